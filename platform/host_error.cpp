#include "platform/host_error.h"

#include <cerrno>

#include "platform/env.h"

namespace ledgerix::platform {

uint32_t WinErrorFromErrno(int err, ErrnoContext context) {
  using namespace winerr;
  if (context.taking_lock && (err == EWOULDBLOCK || err == EAGAIN || err == EACCES)) {
    return kSharingViolation;
  }
  switch (err) {
    case 0:
      return kSuccess;
    case ENOENT:
      return context.folder_missing ? kPathNotFound : kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case ENAMETOOLONG:
      return kFilenameTooLong;
    case ELOOP:
      return kInvalidName;
    case EXDEV:
      return kNotSameDevice;
    case EACCES:
    case EPERM:
    case EISDIR:  // the handheld refuses file operations on a folder as access denied
      return kAccessDenied;
    case EROFS:
      return kWriteProtect;
    case EEXIST:
      return kFileExists;
    case ENOTEMPTY:
      return kDirNotEmpty;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kDiskFull;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    // EIO has no exact Windows twin; the read and write fault numbers would be filed by the
    // file stream as a bad seek or access denied, so use the data error, a hardware failure.
    case EIO:
      return kCrc;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
      return kNotReady;
    case EBUSY:
    case ETXTBSY:
      return kSharingViolation;
    case ENOLCK:
      return kLockViolation;
    case EBADF:
      return kInvalidHandle;
    case EINVAL:
      return kInvalidParameter;
    case ESPIPE:
      return kSeek;
    case ENOMEM:
      return kNotEnoughMemory;
    default:
      return kGenFailure;
  }
}

}  // namespace ledgerix::platform
