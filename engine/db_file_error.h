#pragma once
// The error codes a file stream keeps for its last failure, and their mapping from the
// platform's Windows error numbers.

#include <cstdint>

namespace ledgerix {

enum class DbFileError : int32_t {
  kNone = 0,
  kGeneric = 1,
  kNotOpen = 7,  // also a zero count or a source too small for the count
  kAlreadyOpen = 8,
  kFileNotFound = 9,
  kBadPath = 10,
  kTooManyOpenFiles = 11,
  kAccessDenied = 12,
  kInvalidFile = 13,
  kCurrentDirectory = 14,
  kDirectoryFull = 15,
  kBadSeek = 16,
  kHardwareIo = 17,
  kSharingViolation = 18,
  kLockViolation = 19,
  kDiskFull = 20,
  kEndOfFile = 21,
};

// The stream's code for a Windows error number; every number not listed maps to kGeneric.
DbFileError DbFileErrorFromPlatform(uint32_t platform_error);

}  // namespace ledgerix
