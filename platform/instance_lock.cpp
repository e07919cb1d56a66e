#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "platform/posix_io.h"

namespace ledgerix::platform {

InstanceLock::InstanceLock(std::string device_root)
    : path_(std::move(device_root) + "/" + kFileName) {}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire() {
  if (held()) return true;
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return false;
  if (LockFile(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  // The holder's process id, for a person wondering which copy is running; nothing reads it.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) WriteFully(fd, pid.data(), pid.size());
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (!held()) return;
  ::close(fd_);  // closing the only descriptor drops the lock
  fd_ = -1;
}

}  // namespace ledgerix::platform
