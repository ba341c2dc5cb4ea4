#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace halcyra {

InstanceLock::~InstanceLock() { Release(); }

std::string InstanceLock::LockFilePath(std::string_view name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = (runtime != nullptr && *runtime != '\0') ? runtime : "/tmp";
  std::string file(name);
  for (char& c : file) {
    if (c == '/' || c == '\\') c = '_';
  }
  return folder + "/" + file + ".lock";
}

bool InstanceLock::Acquire(std::string_view name) {
  Release();
  const std::string path = LockFilePath(name);
  const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (descriptor < 0) return false;
  if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    close(descriptor);
    return false;
  }
  descriptor_ = descriptor;
  return true;
}

void InstanceLock::Release() {
  if (descriptor_ < 0) return;
  flock(descriptor_, LOCK_UN);
  close(descriptor_);
  descriptor_ = -1;
}

}  // namespace halcyra
