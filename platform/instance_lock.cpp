#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "platform/host_error.h"
#include "platform/posix_io.h"

namespace ledgerix::platform {

InstanceLock::InstanceLock(std::string device_root)
    : path_(std::move(device_root) + "/" + kFileName) {}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire() {
  if (held()) return true;
  held_by_another_ = false;
  failure_ = FailureDetail();
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return Fail("Open", errno);
  if (LockFile(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    held_by_another_ = err == EWOULDBLOCK || err == EAGAIN;
    return Fail("Lock", err);
  }
  // The holder's process id, for a person wondering which copy is running; nothing reads it.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) static_cast<void>(WriteFully(fd, pid.data(), pid.size()));
  fd_ = fd;
  return true;
}

bool InstanceLock::Fail(const char* call, int err) {
  ErrnoContext context;
  context.taking_lock = std::string_view(call) == "Lock";
  // The file is created when missing, so only its folder can be.
  context.folder_missing = !context.taking_lock;
  failure_.call = call;
  failure_.host_path = path_;
  failure_.error = WinErrorFromErrno(err, context);
  failure_.host_errno = err;
  failure_.host_text = std::strerror(err);
  return false;
}

void InstanceLock::Release() {
  if (!held()) return;
  ::close(fd_);  // closing the only descriptor drops the lock
  fd_ = -1;
}

}  // namespace ledgerix::platform
