#pragma once
// Small POSIX helpers behind PosixEnv and InstanceLock: system calls retried over EINTR, whole
// transfers over partial ones, folder syncs and lock probes. Each answers -1 or false with errno
// set on failure, as the system calls do.

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace ledgerix::platform {

// Reads until n bytes are in or the end of the file. Answers the count read; -1 only when
// nothing was read and the call failed (a failure after some bytes answers the bytes read).
[[nodiscard]] ssize_t ReadFully(int fd, void* dest, size_t n);
// The same from `offset`, without moving the descriptor's position (pread).
[[nodiscard]] ssize_t ReadFullyAt(int fd, int64_t offset, void* dest, size_t n);

// Writes until n bytes are out. Answers the count written, short when the disk fills or the
// call fails after some bytes; -1 only when nothing could be written.
[[nodiscard]] ssize_t WriteFully(int fd, const void* src, size_t n);

// flock() retried over EINTR.
[[nodiscard]] int LockFile(int fd, int operation);

// fsync() of the folder holding host_path, so that a created, renamed or deleted name
// survives a crash.
[[nodiscard]] bool SyncFolderOf(const std::string& host_path);

// Brings a file (or, with O_DIRECTORY in `open_flags`, a folder) at a host path to stable
// storage; false with errno set when it cannot be opened or synced.
[[nodiscard]] bool SyncHostPath(const std::string& host_path, int open_flags = 0);

// The host folder holding host_path ("." for a bare name).
std::string FolderOf(const std::string& host_path);

// True when a handle (of this or another process) holds the regular file at host_path open.
// False when the file cannot be probed (missing, unreadable, not a regular file).
bool IsHeldOpen(const std::string& host_path);

// True when host_path names an existing folder.
bool IsFolder(const std::string& host_path);

}  // namespace ledgerix::platform
