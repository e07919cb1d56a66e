#include "platform/sqlite_env_vfs.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/utf8.h"

namespace ledgerix::platform {
namespace {

constexpr int kMaxPathname = 1024;
constexpr int kSectorSize = 4096;

bool IsDiskFull(uint32_t error) {
  return error == winerr::kDiskFull || error == winerr::kHandleDiskFull;
}

bool IsMissing(uint32_t error) {
  return error == winerr::kFileNotFound || error == winerr::kPathNotFound;
}

bool DevicePath(const char* name, std::u16string* path) {
  return name != nullptr && Utf8ToUtf16(name, path) && !path->empty();
}

// The last part of a device path: what FindFirst answers as the name of a match.
std::u16string_view LastName(std::u16string_view path) {
  const size_t separator = path.find_last_of(u'\\');
  return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

// One open file: a handle of the Env, or bytes in memory for a file without a name.
struct SqliteEnvVfs::File {
  SqliteEnvVfs* vfs = nullptr;
  FileHandle handle = kInvalidFileHandle;
  std::u16string path;
  bool delete_on_close = false;
  bool in_memory = false;
  std::string bytes;
  // Where the handle stands, so that reading or writing on from there spares a Seek; -1 when
  // not known (after a failed call).
  int64_t position = -1;
  int lock = SQLITE_LOCK_NONE;

  Env& io() const { return *vfs->io_; }

  bool MoveTo(int64_t offset) {
    if (position == offset) return true;
    position = io().Seek(handle, offset);
    if (position == offset) return true;
    position = -1;
    return false;
  }
};

// The slot SQLite allocates for each file: standard layout, so that SQLite's pointer to its
// first member is a pointer to the slot.
struct SqliteEnvVfs::Slot {
  sqlite3_file base;
  File* file;
};

struct SqliteEnvVfs::Methods {
  static File& Of(sqlite3_file* base) { return *reinterpret_cast<Slot*>(base)->file; }

  static int Close(sqlite3_file* base) {
    std::unique_ptr<File> file(&Of(base));
    reinterpret_cast<Slot*>(base)->file = nullptr;
    if (file->in_memory) return SQLITE_OK;
    bool ok = file->io().Close(file->handle);
    if (file->delete_on_close) ok = file->io().Delete(file->path) && ok;
    return ok ? SQLITE_OK : file->vfs->Failed(SQLITE_IOERR_CLOSE);
  }

  static int Read(sqlite3_file* base, void* dest, int amount, sqlite3_int64 offset) {
    File& file = Of(base);
    int64_t got = 0;
    if (file.in_memory) {
      if (offset < static_cast<int64_t>(file.bytes.size())) {
        got = std::min<int64_t>(amount, static_cast<int64_t>(file.bytes.size()) - offset);
        std::memcpy(dest, file.bytes.data() + offset, static_cast<size_t>(got));
      }
    } else {
      // One call reads the whole page (up to the end of the file when it is shorter, which
      // SQLite takes as a short read); where the handle stands afterwards is not known.
      got = file.io().ReadAt(file.handle, offset, dest, static_cast<size_t>(amount));
      file.position = -1;
      if (got < 0) return file.vfs->Failed(SQLITE_IOERR_READ);
    }
    if (got == amount) return SQLITE_OK;
    // SQLite counts on the rest of the buffer being zeros after a short read.
    std::memset(static_cast<char*>(dest) + got, 0, static_cast<size_t>(amount - got));
    return SQLITE_IOERR_SHORT_READ;
  }

  static int Write(sqlite3_file* base, const void* src, int amount, sqlite3_int64 offset) {
    File& file = Of(base);
    if (file.in_memory) {
      const size_t end = static_cast<size_t>(offset) + static_cast<size_t>(amount);
      if (file.bytes.size() < end) file.bytes.resize(end);
      std::memcpy(file.bytes.data() + offset, src, static_cast<size_t>(amount));
      return SQLITE_OK;
    }
    if (!file.MoveTo(offset)) return file.vfs->Failed(SQLITE_IOERR_WRITE);
    const int64_t put = file.io().Write(file.handle, src, static_cast<size_t>(amount));
    if (put < 0) {
      file.position = -1;
      return file.vfs->Failed(IsDiskFull(file.io().LastError()) ? SQLITE_FULL : SQLITE_IOERR_WRITE);
    }
    file.position += put;
    // A short write is what a full disk does.
    return put == amount ? SQLITE_OK : file.vfs->Failed(SQLITE_FULL);
  }

  static int Truncate(sqlite3_file* base, sqlite3_int64 size) {
    File& file = Of(base);
    if (file.in_memory) {
      if (static_cast<int64_t>(file.bytes.size()) > size) file.bytes.resize(size);
      return SQLITE_OK;
    }
    if (!file.MoveTo(size) || !file.io().SetEndOfFile(file.handle)) {
      return file.vfs->Failed(SQLITE_IOERR_TRUNCATE);
    }
    return SQLITE_OK;
  }

  static int Sync(sqlite3_file* base, int /*flags*/) {
    File& file = Of(base);
    if (file.in_memory || file.io().Sync(file.handle)) return SQLITE_OK;
    return file.vfs->Failed(SQLITE_IOERR_FSYNC);
  }

  static int FileSize(sqlite3_file* base, sqlite3_int64* size) {
    File& file = Of(base);
    if (file.in_memory) {
      *size = static_cast<sqlite3_int64>(file.bytes.size());
      return SQLITE_OK;
    }
    const int64_t answer = file.io().Size(file.handle);
    if (answer < 0) return file.vfs->Failed(SQLITE_IOERR_FSTAT);
    *size = answer;
    return SQLITE_OK;
  }

  // The file is held exclusively from its open, so every lock is granted at once.
  static int Lock(sqlite3_file* base, int level) {
    Of(base).lock = level;
    return SQLITE_OK;
  }
  static int Unlock(sqlite3_file* base, int level) {
    Of(base).lock = level;
    return SQLITE_OK;
  }
  static int CheckReservedLock(sqlite3_file* /*base*/, int* result) {
    *result = 0;  // no other connection can hold the file
    return SQLITE_OK;
  }

  static int FileControl(sqlite3_file* base, int op, void* arg) {
    if (op == SQLITE_FCNTL_LOCKSTATE) {
      *static_cast<int*>(arg) = Of(base).lock;
      return SQLITE_OK;
    }
    return SQLITE_NOTFOUND;
  }
  static int SectorSize(sqlite3_file* /*base*/) { return kSectorSize; }
  // Writing part of a sector leaves the rest of it as it was, as SQLite's own VFS assumes by
  // default of a POSIX file.
  static int DeviceCharacteristics(sqlite3_file* /*base*/) {
    return SQLITE_IOCAP_POWERSAFE_OVERWRITE;
  }

  // Version 1: no shared memory and no memory mapping.
  static constexpr sqlite3_io_methods kTable = {1,
                                                &Close,
                                                &Read,
                                                &Write,
                                                &Truncate,
                                                &Sync,
                                                &FileSize,
                                                &Lock,
                                                &Unlock,
                                                &CheckReservedLock,
                                                &FileControl,
                                                &SectorSize,
                                                &DeviceCharacteristics,
                                                nullptr,
                                                nullptr,
                                                nullptr,
                                                nullptr,
                                                nullptr,
                                                nullptr};
};

SqliteEnvVfs::SqliteEnvVfs(Env* io) : io_(io) {
  static std::atomic<uint64_t> next_id{1};
  name_ = "ledgerix-env-" + std::to_string(next_id++);
  sqlite3_vfs* fallback = sqlite3_vfs_find(nullptr);
  vfs_.iVersion = 2;
  vfs_.szOsFile = sizeof(Slot);
  vfs_.mxPathname = kMaxPathname;
  vfs_.zName = name_.c_str();
  vfs_.pAppData = this;
  vfs_.xOpen = &SqliteEnvVfs::Open;
  vfs_.xDelete = &SqliteEnvVfs::Delete;
  vfs_.xAccess = &SqliteEnvVfs::Access;
  vfs_.xFullPathname = &SqliteEnvVfs::FullPathname;
  // Randomness, time and sleep do not touch the device.
  vfs_.xRandomness = [](sqlite3_vfs*, int n, char* out) {
    sqlite3_vfs* host = sqlite3_vfs_find(nullptr);
    return host->xRandomness(host, n, out);
  };
  vfs_.xSleep = [](sqlite3_vfs*, int microseconds) {
    sqlite3_vfs* host = sqlite3_vfs_find(nullptr);
    return host->xSleep(host, microseconds);
  };
  vfs_.xCurrentTime = [](sqlite3_vfs*, double* now) {
    sqlite3_vfs* host = sqlite3_vfs_find(nullptr);
    return host->xCurrentTime(host, now);
  };
  vfs_.xGetLastError = [](sqlite3_vfs*, int, char*) { return 0; };
  if (fallback != nullptr && fallback->iVersion >= 2 && fallback->xCurrentTimeInt64 != nullptr) {
    vfs_.xCurrentTimeInt64 = [](sqlite3_vfs*, sqlite3_int64* now) {
      sqlite3_vfs* host = sqlite3_vfs_find(nullptr);
      return host->xCurrentTimeInt64(host, now);
    };
  }
  sqlite3_vfs_register(&vfs_, 0);
}

SqliteEnvVfs::~SqliteEnvVfs() { sqlite3_vfs_unregister(&vfs_); }

int SqliteEnvVfs::Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* base, int flags,
                       int* out_flags) {
  auto* slot = reinterpret_cast<Slot*>(base);
  slot->base.pMethods = nullptr;  // SQLite calls no method of a file that failed to open
  auto file = std::make_unique<File>();
  file->vfs = &Of(vfs);
  if (name == nullptr) {
    file->in_memory = true;
  } else {
    if (!DevicePath(name, &file->path)) return SQLITE_CANTOPEN;
    const int access = (flags & SQLITE_OPEN_READWRITE) != 0 ? 3 : 1;
    int disposition = kDispositionOpenExisting;
    if ((flags & SQLITE_OPEN_CREATE) != 0) {
      disposition =
          (flags & SQLITE_OPEN_EXCLUSIVE) != 0 ? kDispositionCreateNew : kDispositionOpenAlways;
    }
    file->handle = file->io().Open(file->path, access, disposition, /*share=*/0);
    if (file->handle == kInvalidFileHandle) return file->vfs->Failed(SQLITE_CANTOPEN);
    file->position = 0;
    file->delete_on_close = (flags & SQLITE_OPEN_DELETEONCLOSE) != 0;
  }
  slot->file = file.release();
  slot->base.pMethods = &Methods::kTable;
  if (out_flags != nullptr) *out_flags = flags;
  return SQLITE_OK;
}

int SqliteEnvVfs::Delete(sqlite3_vfs* vfs, const char* name, int /*sync_dir*/) {
  // The Env brings the removal of the name to the disk itself.
  std::u16string path;
  if (!DevicePath(name, &path)) return SQLITE_IOERR_DELETE;
  Env& io = *Of(vfs).io_;
  if (io.Delete(path)) return SQLITE_OK;
  if (IsMissing(io.LastError())) return SQLITE_IOERR_DELETE_NOENT;
  return Of(vfs).Failed(SQLITE_IOERR_DELETE);
}

int SqliteEnvVfs::Failed(int code) {
  ++failure_count_;
  last_failure_ = io_->LastFailure();
  return code;
}

int SqliteEnvVfs::Access(sqlite3_vfs* vfs, const char* name, int /*flags*/, int* result) {
  std::u16string path;
  *result = DevicePath(name, &path) && Of(vfs).HasContent(path) ? 1 : 0;
  return SQLITE_OK;
}

bool SqliteEnvVfs::HasContent(const std::u16string& path) {
  // A search for the name itself; names match there without regard to case, so the exact one
  // is picked out of the matches.
  FindData match;
  const FindHandle search = io_->FindFirst(path, &match);
  if (search == kInvalidFindHandle) return false;
  const std::u16string_view wanted = LastName(path);
  bool found = false;
  do {
    found = match.name == wanted && (match.is_directory || match.size > 0);
  } while (!found && io_->FindNext(search, &match));
  io_->FindClose(search);
  return found;
}

int SqliteEnvVfs::FullPathname(sqlite3_vfs* /*vfs*/, const char* name, int size, char* out) {
  // Device paths are already absolute: one that does not start with "\" is taken from the root.
  const size_t length = std::strlen(name);
  if (length + 1 > static_cast<size_t>(size)) return SQLITE_CANTOPEN;
  std::memcpy(out, name, length + 1);
  return SQLITE_OK;
}

}  // namespace ledgerix::platform
