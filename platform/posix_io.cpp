#include "platform/posix_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ledgerix::platform {
namespace {

// Larger transfers are split so that one call's count always fits in ssize_t.
constexpr size_t kMaxTransfer = size_t{1} << 30;

// Reads until `n` bytes are in, the end of the file, or an error: `read_some(dest, limit, done)`
// reads at most `limit` bytes after the `done` already read, as read(2) or pread(2) would.
template <typename ReadSome>
ssize_t ReadUntilDone(void* dest, size_t n, ReadSome read_some) {
  auto* bytes = static_cast<char*>(dest);
  size_t done = 0;
  while (done < n) {
    const ssize_t got = read_some(bytes + done, std::min(n - done, kMaxTransfer), done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

ssize_t ReadFully(int fd, void* dest, size_t n) {
  return ReadUntilDone(dest, n,
                       [fd](char* to, size_t limit, size_t) { return ::read(fd, to, limit); });
}

ssize_t ReadFullyAt(int fd, int64_t offset, void* dest, size_t n) {
  return ReadUntilDone(dest, n, [fd, offset](char* to, size_t limit, size_t done) {
    return ::pread(fd, to, limit, static_cast<off_t>(offset + static_cast<int64_t>(done)));
  });
}

ssize_t WriteFully(int fd, const void* src, size_t n) {
  const auto* bytes = static_cast<const char*>(src);
  size_t done = 0;
  while (done < n) {
    const ssize_t put = ::write(fd, bytes + done, std::min(n - done, kMaxTransfer));
    if (put < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    if (put == 0) {
      // No progress without an error: report it as a full disk rather than spin.
      errno = ENOSPC;
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    done += static_cast<size_t>(put);
  }
  return static_cast<ssize_t>(done);
}

int LockFile(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

std::string FolderOf(const std::string& host_path) {
  const size_t slash = host_path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return host_path.substr(0, slash);
}

bool SyncFolderOf(const std::string& host_path) {
  return SyncHostPath(FolderOf(host_path), O_DIRECTORY);
}

bool SyncHostPath(const std::string& host_path, int open_flags) {
  const int fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC | open_flags);
  if (fd < 0) return false;
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return result == 0;
}

bool IsHeldOpen(const std::string& host_path) {
  // O_NONBLOCK keeps the probe from hanging on a FIFO left in the folder.
  const int fd = ::open(host_path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  bool held = false;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (LockFile(fd, LOCK_EX | LOCK_NB) != 0) {
      held = (errno == EWOULDBLOCK);
    }
  }
  const int saved = errno;
  ::close(fd);  // also drops the probe's own lock
  errno = saved;
  return held;
}

bool IsFolder(const std::string& host_path) {
  struct stat st;
  return ::stat(host_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace ledgerix::platform
