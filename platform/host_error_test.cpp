#include "platform/host_error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/env.h"

namespace ledgerix::platform {
namespace {

TEST(HostErrorTest, MissingNamesTellFileFromPath) {
  EXPECT_EQ(WinErrorFromErrno(ENOENT), winerr::kFileNotFound);
  EXPECT_EQ(WinErrorFromErrno(ENOENT, {.folder_missing = true}), winerr::kPathNotFound);
  EXPECT_EQ(WinErrorFromErrno(ENOTDIR), winerr::kPathNotFound);
  EXPECT_EQ(WinErrorFromErrno(ENAMETOOLONG), winerr::kFilenameTooLong);
}

TEST(HostErrorTest, WouldBlockIsASharingViolationOnlyWhenLocking) {
  EXPECT_EQ(WinErrorFromErrno(EWOULDBLOCK, {.taking_lock = true}), winerr::kSharingViolation);
  EXPECT_EQ(WinErrorFromErrno(EWOULDBLOCK), winerr::kGenFailure);
}

TEST(HostErrorTest, CommonFailures) {
  EXPECT_EQ(WinErrorFromErrno(0), winerr::kSuccess);
  EXPECT_EQ(WinErrorFromErrno(EACCES), winerr::kAccessDenied);
  EXPECT_EQ(WinErrorFromErrno(EPERM), winerr::kAccessDenied);
  EXPECT_EQ(WinErrorFromErrno(EISDIR), winerr::kAccessDenied);
  EXPECT_EQ(WinErrorFromErrno(EEXIST), winerr::kFileExists);
  EXPECT_EQ(WinErrorFromErrno(ENOSPC), winerr::kDiskFull);
  EXPECT_EQ(WinErrorFromErrno(EDQUOT), winerr::kDiskFull);
  EXPECT_EQ(WinErrorFromErrno(EMFILE), winerr::kTooManyOpenFiles);
  EXPECT_EQ(WinErrorFromErrno(ENFILE), winerr::kTooManyOpenFiles);
  EXPECT_EQ(WinErrorFromErrno(EBADF), winerr::kInvalidHandle);
  EXPECT_EQ(WinErrorFromErrno(EINVAL), winerr::kInvalidParameter);
  EXPECT_EQ(WinErrorFromErrno(EPROTO), winerr::kGenFailure);
}

TEST(HostErrorTest, InputOutputErrorsAreHardwareFailures) {
  // Not kReadFault or kWriteFault: the file stream files those as a bad seek and as access
  // denied, while an EIO is a failing medium.
  EXPECT_EQ(WinErrorFromErrno(EIO), winerr::kCrc);
  EXPECT_EQ(WinErrorFromErrno(ENXIO), winerr::kNotReady);
}

}  // namespace
}  // namespace ledgerix::platform
