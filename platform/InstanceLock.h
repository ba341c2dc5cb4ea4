// A named lock that only one process may hold at a time: an exclusive advisory lock on a file
// named after the lock in the user's runtime folder. The kernel drops it when the process dies.
#pragma once

#include <string>
#include <string_view>

namespace halcyra {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another holder (this process or another) has the name; nothing is kept then.
  bool Acquire(std::string_view name);
  void Release();
  bool IsHeld() const { return descriptor_ >= 0; }

  // Where the lock file for a name lives (XDG_RUNTIME_DIR, else the temporary folder).
  static std::string LockFilePath(std::string_view name);

 private:
  int descriptor_ = -1;
};

}  // namespace halcyra
