// CMutex: the single-instance guard. "Mutex" here means a named single-instance file lock, held
// by at most one owner across all processes, not a thread synchronisation primitive.
#pragma once

#include <string_view>

#include "platform/InstanceLock.h"

namespace halcyra {

class CMutex {
 public:
  // Takes the lock called name (any text; it names a lock file in the runtime folder), dropping
  // any lock this object held. False when another holder, in this process or another, has the
  // name; nothing is kept then. The lock is released by Close, by destruction, or by the kernel
  // when the process ends.
  bool Create(std::string_view name);
  void Close();

 private:
  InstanceLock lock_;
};

}  // namespace halcyra
