#pragma once
// The one translation of host errors (errno) into the Windows error numbers that the platform
// reports through Env::LastError(), chosen so that the file stream files each under the right
// code of its own (bad path, access denied, disk full, sharing violation, ...).

#include <cstdint>

namespace ledgerix::platform {

// What the failing host call was doing, where one errno means different things.
struct ErrnoContext {
  // The call was taking a lock: "would block" means another handle holds the file.
  bool taking_lock = false;
  // The folder that should hold the named file is missing, so ENOENT means a bad path rather
  // than a missing file (as the handheld tells "path not found" from "file not found").
  bool folder_missing = false;
};

// Answers the Windows error number for a host errno; kSuccess for 0 and kGenFailure for every
// errno without a closer match.
uint32_t WinErrorFromErrno(int err, ErrnoContext context = {});

}  // namespace ledgerix::platform
