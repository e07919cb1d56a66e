#pragma once
// Keeps two running copies of the program apart: a lock file at the device root held with an
// exclusive advisory lock for as long as the program runs. The host drops the lock when the
// process ends in any way, so a crash never leaves a stale lock behind.

#include <string>

#include "platform/env.h"

namespace ledgerix::platform {

class InstanceLock {
 public:
  // The lock file's name inside the device root.
  static constexpr const char* kFileName = ".ledgerix.lock";

  // Prepares the lock for the device root at host folder `device_root`; takes nothing yet.
  explicit InstanceLock(std::string device_root);
  // Releases the lock when held.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock. Answers true when this object holds it (also when it already did); false
  // while another holder, in this process or another, has it (HeldByAnother()), or when the
  // lock file cannot be created or locked (LastFailure() says why). Never waits.
  [[nodiscard]] bool Acquire();
  // True when the last Acquire failed because another holder has the lock.
  bool HeldByAnother() const { return held_by_another_; }
  // Why the last Acquire failed: the host call, the lock file and the host's error.
  const FailureDetail& LastFailure() const { return failure_; }
  // Lets the lock go; nothing happens when it is not held.
  void Release();
  bool held() const { return fd_ >= 0; }

 private:
  // Records why Acquire failed; false.
  bool Fail(const char* call, int err);

  std::string path_;
  int fd_ = -1;
  bool held_by_another_ = false;
  FailureDetail failure_;
};

}  // namespace ledgerix::platform
