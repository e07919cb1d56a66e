#pragma once
// The handheld platform as the rest of the program sees it: files and folders addressed by
// device paths ("\settings\tv_ledgrx.$$$"), the program's own file, starting other programs.
// Everything above this layer speaks in these terms; only implementations of Env know the host.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ledgerix::platform {

class ObjectStore;

// Windows error numbers: the vocabulary in which a failed call reports why it failed. The file
// stream maps them onto its own error codes; host errors are translated into them in one place.
namespace winerr {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kTooManyOpenFiles = 4;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidHandle = 6;
inline constexpr uint32_t kNotEnoughMemory = 8;
inline constexpr uint32_t kInvalidData = 13;
inline constexpr uint32_t kNotSameDevice = 17;
inline constexpr uint32_t kNoMoreFiles = 18;
inline constexpr uint32_t kWriteProtect = 19;
inline constexpr uint32_t kNotReady = 21;
inline constexpr uint32_t kCrc = 23;  // data error: the medium could not be read or written
inline constexpr uint32_t kSeek = 25;
inline constexpr uint32_t kWriteFault = 29;
inline constexpr uint32_t kReadFault = 30;
inline constexpr uint32_t kGenFailure = 31;
inline constexpr uint32_t kSharingViolation = 32;
inline constexpr uint32_t kLockViolation = 33;
inline constexpr uint32_t kHandleEof = 38;
inline constexpr uint32_t kHandleDiskFull = 39;
inline constexpr uint32_t kFileExists = 80;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kDiskFull = 112;
inline constexpr uint32_t kInvalidName = 123;
inline constexpr uint32_t kNegativeSeek = 131;
inline constexpr uint32_t kDirNotEmpty = 145;
inline constexpr uint32_t kAlreadyExists = 183;
inline constexpr uint32_t kBadExeFormat = 193;
inline constexpr uint32_t kFilenameTooLong = 206;
}  // namespace winerr

// Access codes of Open: 1 read, 2 write, 3 read and write, any other value all rights.
// Dispositions: 1 create new, 2 create always, 3 open existing, 4 open always.
// Share codes: 0 exclusive, 2 share reading, 3 share writing, 4 (and 1) share both.
inline constexpr int kDispositionCreateNew = 1;
inline constexpr int kDispositionCreateAlways = 2;
inline constexpr int kDispositionOpenExisting = 3;
inline constexpr int kDispositionOpenAlways = 4;

using FileHandle = int64_t;
inline constexpr FileHandle kInvalidFileHandle = -1;
using FindHandle = int64_t;
inline constexpr FindHandle kInvalidFindHandle = 0;

// One match of a file search.
struct FindData {
  std::u16string name;  // the file name without its folder
  bool is_directory = false;
  uint64_t size = 0;
};

// What is known of the last failed call, for messages that say why something could not be done.
struct FailureDetail {
  std::string call;       // the operation that failed: "Open", "Write", "Rename", ...
  std::string host_path;  // the host file or folder it worked on; empty when not known
  uint32_t error = 0;     // the Windows error number, as LastError() answers it
  int host_errno = 0;     // the host's own error number; 0 when the host did not fail
  std::string host_text;  // the host's text for it (in English); empty when none
};

// Every failing call records a Windows error number that LastError() answers until the next
// failing call. Paths are device paths in 16-bit text: "\" separates folders (repeated
// separators count once) and a path that does not start with "\" is taken from the root.
class Env {
 public:
  virtual ~Env() = default;

  // Opens or creates a file. Answers a handle, or kInvalidFileHandle on failure. An exclusive
  // open (share 0) fails with kSharingViolation while another handle holds the file, and any
  // open fails that way while an exclusive handle holds it.
  [[nodiscard]] virtual FileHandle Open(std::u16string_view path, int access, int disposition,
                                        int share) = 0;
  // Reads up to n bytes at the handle's position. Answers the count read (0 at the end of the
  // file), or -1 on failure.
  [[nodiscard]] virtual int64_t Read(FileHandle file, void* dest, size_t n) = 0;
  // Writes n bytes at the handle's position. Answers the count written, which may be short
  // (a full disk), or -1 on failure.
  [[nodiscard]] virtual int64_t Write(FileHandle file, const void* src, size_t n) = 0;
  // Moves the position to offset bytes from the start. Answers the new position, or -1.
  [[nodiscard]] virtual int64_t Seek(FileHandle file, int64_t offset) = 0;
  // Reads up to n bytes from offset, as Seek and then Read until n bytes or the end, in one
  // call where the host has one. Answers the count read, or -1 on failure. The handle's
  // position afterwards is not defined: seek before the next Read or Write.
  [[nodiscard]] virtual int64_t ReadAt(FileHandle file, int64_t offset, void* dest, size_t n) {
    if (offset < 0 || Seek(file, offset) != offset) return -1;
    size_t got = 0;
    while (got < n) {
      const int64_t part = Read(file, static_cast<char*>(dest) + got, n - got);
      if (part < 0) return -1;
      if (part == 0) break;
      got += static_cast<size_t>(part);
    }
    return static_cast<int64_t>(got);
  }
  // Answers the file's size in bytes, or -1.
  [[nodiscard]] virtual int64_t Size(FileHandle file) = 0;
  // Ends the file at the handle's position.
  [[nodiscard]] virtual bool SetEndOfFile(FileHandle file) = 0;
  // Brings what was written to stable storage.
  [[nodiscard]] virtual bool Sync(FileHandle file) = 0;
  [[nodiscard]] virtual bool Close(FileHandle file) = 0;

  // Clears read-only and other attributes so that the file can be deleted or rewritten.
  [[nodiscard]] virtual bool SetAttributesNormal(std::u16string_view path) = 0;
  [[nodiscard]] virtual bool Delete(std::u16string_view path) = 0;
  // Moves a file over another in one step: afterwards `to` is either the old or the new file.
  [[nodiscard]] virtual bool Rename(std::u16string_view from, std::u16string_view to) = 0;
  // Creates one folder; fails with kAlreadyExists when it exists.
  [[nodiscard]] virtual bool CreateDirectory(std::u16string_view path) = 0;
  // Removes one empty folder; fails with kDirNotEmpty when it holds anything. An Env that
  // cannot remove folders answers false.
  [[nodiscard]] virtual bool RemoveDirectory(std::u16string_view path) {
    (void)path;
    return false;
  }

  // Starts a search for the files matching a pattern whose last part may hold "*" and "?".
  // Answers a handle and the first match, or kInvalidFindHandle when nothing matches.
  [[nodiscard]] virtual FindHandle FindFirst(std::u16string_view pattern, FindData* first) = 0;
  // The next match; false at the end.
  [[nodiscard]] virtual bool FindNext(FindHandle search, FindData* next) = 0;
  virtual void FindClose(FindHandle search) = 0;

  // The Windows error number of the last failed call.
  virtual uint32_t LastError() const = 0;
  // The last failed call as a whole (LastError() among it). An Env that keeps no more than the
  // number answers only that.
  virtual FailureDetail LastFailure() const {
    FailureDetail detail;
    detail.error = LastError();
    return detail;
  }

  // The full device path of the program's own file: "\ledgerix.exe".
  virtual std::u16string ProgramFilePath() const = 0;
  // Starts the program at a device path and waits until it ends. False when it cannot start.
  [[nodiscard]] virtual bool RunAndWait(std::u16string_view path) = 0;

  // The platform's object store (the databases of records with sorted seeking), opened on first
  // use and owned by the Env. Null when it cannot be opened (damaged, not a store, or its file
  // cannot be opened or read); a later call tries again.
  [[nodiscard]] virtual ObjectStore* Objects() = 0;
  // The object store makes its file calls (SQLite's reads and writes of its file, its log and
  // the copies BackupObjectStore writes) through an Env: at first the Env that owns it. This
  // makes them go through `io` from now on (null: through this Env again), whether the store
  // is open yet or not, and answers the Env they went through until now.
  //
  // It lets an Env that wraps another put itself in the path of the wrapped Env's store, so
  // that the faults it injects reach the store as they reach any other file, without a second
  // store on the same file (which the store's exclusive hold would refuse). `io` must hand every
  // call on to this Env with file handles unchanged, so that files opened through either reach
  // the same host files, and must stay alive until the route is given back by calling this
  // again with the Env answered. Wrappers do that in their constructor and destructor, so
  // nested wrappers must be destroyed in the reverse order of their making, as scoped objects
  // are. An Env that keeps no store of its own ignores the route.
  virtual Env* RouteObjectStore(Env* io) {
    static_cast<void>(io);
    return this;
  }
  // Writes a copy of the object store to a device path, replacing a file there, so that a damaged
  // store can be kept before it is rebuilt: a consistent copy of a store that opens, else the
  // store's files byte for byte (with the write-ahead log beside it, named path + "-wal", when
  // there is one). False when there is no store to copy or the copy cannot be written; nothing
  // is left at the path then.
  [[nodiscard]] virtual bool BackupObjectStore(std::u16string_view device_path) = 0;
  // Closes the object store and removes its files, so that the next Objects() starts an empty
  // one. Databases still open on the old store answer failure from then on. False when a file
  // could not be removed.
  [[nodiscard]] virtual bool ResetObjectStore() = 0;
};

}  // namespace ledgerix::platform
