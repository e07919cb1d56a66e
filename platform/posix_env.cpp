#include "platform/posix_env.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include "platform/host_error.h"
#include "platform/object_store.h"
#include "platform/posix_io.h"
#include "platform/process.h"
#include "platform/utf8.h"
#include "platform/wildcard.h"

namespace ledgerix::platform {
namespace {

constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the user's umask, as any new file
constexpr mode_t kNewFolderMode = 0777;
// A dangling symbolic link makes "open or create" flip between ENOENT and EEXIST; give up then.
constexpr int kCreateAttempts = 3;
constexpr std::u16string_view kDocumentsFolder = u"My Documents";

bool IsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

bool EndsWithExe(std::u16string_view name) {
  constexpr std::u16string_view kExe = u".exe";
  if (name.size() <= kExe.size()) return false;
  const std::u16string_view tail = name.substr(name.size() - kExe.size());
  for (size_t i = 0; i < kExe.size(); ++i) {
    if (FoldCase(tail[i]) != kExe[i]) return false;
  }
  return true;
}

// The matches of a name pattern among the entries of a host folder, in the folder's order.
bool ListMatches(const std::string& host_folder, std::u16string_view pattern,
                 std::vector<FindData>* matches) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(host_folder.c_str()), &::closedir);
  if (!dir) return false;
  std::u16string name;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view host_name = entry->d_name;
    if (host_name == "." || host_name == "..") continue;
    // A host name that is not UTF-8 has no device name: it cannot be reached, so it is not listed.
    if (!Utf8ToUtf16(host_name, &name) || !MatchesPattern(pattern, name)) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) != 0) continue;
    FindData data;
    data.name = name;
    data.is_directory = S_ISDIR(st.st_mode);
    data.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    matches->push_back(std::move(data));
  }
  return true;
}

constexpr char kObjectStoreFile[] = "objects.sqlite";
constexpr char16_t kObjectStorePath[] = u"\\objects.sqlite";
constexpr char kWalSuffix[] = "-wal";
// SQLite's companions of a store file. The log goes first when they are removed: a log left
// beside a new store file would be replayed into it.
constexpr const char* kStoreCompanionSuffixes[] = {"-wal", "-shm", "-journal"};

// Copies the bytes of one host file into another, which exists and is empty.
bool CopyHostFile(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CLOEXEC);
  bool ok = out >= 0;
  std::vector<char> buffer(1 << 16);
  while (ok) {
    const ssize_t got = ReadFully(in, buffer.data(), buffer.size());
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    ok = WriteFully(out, buffer.data(), static_cast<size_t>(got)) == got;
  }
  const int saved = errno;
  ::close(in);
  if (out >= 0 && ::close(out) != 0 && errno != EINTR) ok = false;
  if (!ok) errno = saved != 0 ? saved : EIO;
  return ok;
}

// Writes a file through a new temporary file beside `target`: `fill` writes into the path it is
// given, which exists and is empty; the file is then synced. Answers the temporary path, or an
// empty text on failure (errno set, the temporary file removed).
std::string WriteBeside(const std::string& target,
                        const std::function<bool(const std::string&)>& fill) {
  std::string temp = target + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return {};
  ::close(fd);
  errno = 0;
  if (fill(temp) && SyncHostPath(temp)) return temp;
  const int saved = errno != 0 ? errno : EIO;
  ::unlink(temp.c_str());
  errno = saved;
  return {};
}

bool HostFileExists(const std::string& host_path) {
  struct stat st;
  return ::stat(host_path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

PosixEnv::PosixEnv(PosixEnvOptions options)
    : options_(std::move(options)),
      paths_(DeviceFolders{options_.device_root, options_.documents_folder}) {
  std::error_code ignored;
  std::filesystem::create_directories(options_.device_root, ignored);
  std::filesystem::create_directories(options_.documents_folder, ignored);
}

PosixEnv::~PosixEnv() {
  // The store closes its files through this Env (or the one it is routed through), so it goes
  // while the Env is whole.
  objects_.reset();
  for (auto& [handle, file] : files_) ::close(file.fd);
}

bool PosixEnv::Ready() const {
  return IsFolder(paths_.folders().root) && IsFolder(paths_.folders().documents);
}

bool PosixEnv::HostPath(std::u16string_view device_path, std::string* host_path) const {
  return paths_.ToHost(device_path, host_path);
}

bool PosixEnv::Fail(uint32_t error, int host_errno) {
  last_failure_.call = call_;
  last_failure_.host_path = call_path_ != nullptr ? *call_path_ : std::string();
  last_failure_.error = error;
  last_failure_.host_errno = host_errno;
  last_failure_.host_text = host_errno != 0 ? std::strerror(host_errno) : "";
  return false;
}

int64_t PosixEnv::FailCount(uint32_t error, int host_errno) {
  Fail(error, host_errno);
  return -1;
}

bool PosixEnv::FailErrno(int err, const std::string& host_path) {
  ErrnoContext context;
  if (err == ENOENT && !host_path.empty()) context.folder_missing = !IsFolder(FolderOf(host_path));
  if (!host_path.empty()) call_path_ = &host_path;
  return Fail(WinErrorFromErrno(err, context), err);
}

bool PosixEnv::MapName(std::u16string_view path, std::string* host_path) {
  if (HasWildcards(path) || !paths_.ToHost(path, host_path)) return Fail(winerr::kInvalidName);
  return true;
}

PosixEnv::OpenFile* PosixEnv::Find(FileHandle file) {
  const auto it = files_.find(file);
  if (it == files_.end()) {
    Fail(winerr::kInvalidHandle);
    return nullptr;
  }
  return &it->second;
}

int PosixEnv::OpenHost(const std::string& host_path, int flags, int disposition, bool* created) {
  *created = false;
  if (disposition == kDispositionCreateNew) {
    const int fd = ::open(host_path.c_str(), flags | O_CREAT | O_EXCL, kNewFileMode);
    *created = fd >= 0;
    return fd;
  }
  if (disposition == kDispositionOpenExisting) return ::open(host_path.c_str(), flags);
  // Open always and create always: open what is there, else create it. Two steps instead of
  // O_CREAT alone so that the handle knows whether it created the file.
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    int fd = ::open(host_path.c_str(), flags);
    if (fd >= 0 || errno != ENOENT) return fd;
    fd = ::open(host_path.c_str(), flags | O_CREAT | O_EXCL, kNewFileMode);
    if (fd >= 0) {
      *created = true;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

FileHandle PosixEnv::Open(std::u16string_view path, int access, int disposition, int share) {
  Enter("Open");
  std::string host_path;
  if (!MapName(path, &host_path)) return kInvalidFileHandle;
  Enter("Open", &host_path);
  if (disposition < kDispositionCreateNew || disposition > kDispositionOpenAlways) {
    Fail(winerr::kInvalidParameter);
    return kInvalidFileHandle;
  }
  const bool truncate = disposition == kDispositionCreateAlways;
  OpenFile file;
  file.can_read = access != 2;
  file.can_write = access != 1;
  // Truncating needs a writable descriptor even when the caller asked only to read.
  int flags = kOpenFlags;
  if (!file.can_read) {
    flags |= O_WRONLY;
  } else if (file.can_write || truncate) {
    flags |= O_RDWR;
  } else {
    flags |= O_RDONLY;
  }
  const int fd = OpenHost(host_path, flags, disposition, &file.created);
  if (fd < 0) {
    FailErrno(errno, host_path);
    return kInvalidFileHandle;
  }
  struct stat st;
  uint32_t error = winerr::kSuccess;
  int host_errno = 0;
  if (::fstat(fd, &st) != 0) {
    host_errno = errno;
    error = WinErrorFromErrno(host_errno);
  } else if (!S_ISREG(st.st_mode)) {
    error = winerr::kAccessDenied;
  } else if ((file.can_write || truncate) && IsReadOnly(st) && !file.created) {
    error = winerr::kAccessDenied;
  } else if (LockFile(fd, share == 0 ? LOCK_EX | LOCK_NB : LOCK_SH | LOCK_NB) != 0) {
    host_errno = errno;
    error = WinErrorFromErrno(host_errno, ErrnoContext{.taking_lock = true});
  } else if (truncate && !file.created && ::ftruncate(fd, 0) != 0) {
    // Only now, with the lock held, may the old contents go.
    host_errno = errno;
    error = WinErrorFromErrno(host_errno);
  }
  if (error != winerr::kSuccess) {
    ::close(fd);
    Fail(error, host_errno);
    return kInvalidFileHandle;
  }
  file.fd = fd;
  file.host_path = std::move(host_path);
  const FileHandle handle = next_file_++;
  files_.emplace(handle, std::move(file));
  return handle;
}

int64_t PosixEnv::Read(FileHandle file, void* dest, size_t n) {
  Enter("Read");
  OpenFile* open = Find(file);
  if (open == nullptr) return -1;
  Enter("Read", &open->host_path);
  if (!open->can_read) return FailCount(winerr::kAccessDenied);
  const ssize_t got = ReadFully(open->fd, dest, n);
  if (got < 0) return FailCount(WinErrorFromErrno(errno), errno);
  return got;
}

int64_t PosixEnv::ReadAt(FileHandle file, int64_t offset, void* dest, size_t n) {
  Enter("ReadAt");
  OpenFile* open = Find(file);
  if (open == nullptr) return -1;
  Enter("ReadAt", &open->host_path);
  if (!open->can_read) return FailCount(winerr::kAccessDenied);
  if (offset < 0) return FailCount(winerr::kNegativeSeek);
  const ssize_t got = ReadFullyAt(open->fd, offset, dest, n);
  if (got < 0) return FailCount(WinErrorFromErrno(errno), errno);
  return got;
}

int64_t PosixEnv::Write(FileHandle file, const void* src, size_t n) {
  Enter("Write");
  OpenFile* open = Find(file);
  if (open == nullptr) return -1;
  Enter("Write", &open->host_path);
  if (!open->can_write) return FailCount(winerr::kAccessDenied);
  if (n == 0) return 0;
  const ssize_t put = WriteFully(open->fd, src, n);
  if (put < 0) return FailCount(WinErrorFromErrno(errno), errno);
  // A short count is a result, not a failure, but LastError() tells why it stopped.
  if (static_cast<size_t>(put) < n) FailErrno(errno);
  return put;
}

int64_t PosixEnv::Seek(FileHandle file, int64_t offset) {
  Enter("Seek");
  OpenFile* open = Find(file);
  if (open == nullptr) return -1;
  Enter("Seek", &open->host_path);
  if (offset < 0) return FailCount(winerr::kNegativeSeek);
  const off_t position = ::lseek(open->fd, static_cast<off_t>(offset), SEEK_SET);
  if (position < 0) return FailCount(WinErrorFromErrno(errno), errno);
  return position;
}

int64_t PosixEnv::Size(FileHandle file) {
  Enter("Size");
  OpenFile* open = Find(file);
  if (open == nullptr) return -1;
  Enter("Size", &open->host_path);
  struct stat st;
  if (::fstat(open->fd, &st) != 0) return FailCount(WinErrorFromErrno(errno), errno);
  return st.st_size;
}

bool PosixEnv::SetEndOfFile(FileHandle file) {
  Enter("SetEndOfFile");
  OpenFile* open = Find(file);
  if (open == nullptr) return false;
  Enter("SetEndOfFile", &open->host_path);
  if (!open->can_write) return Fail(winerr::kAccessDenied);
  const off_t position = ::lseek(open->fd, 0, SEEK_CUR);
  if (position < 0) return FailErrno(errno);
  int result;
  do {
    result = ::ftruncate(open->fd, position);
  } while (result != 0 && errno == EINTR);
  return result == 0 || FailErrno(errno);
}

bool PosixEnv::Sync(FileHandle file) {
  Enter("Sync");
  OpenFile* open = Find(file);
  if (open == nullptr) return false;
  Enter("Sync", &open->host_path);
  // After a failed fsync the kernel may have dropped the unwritten pages, so a later fsync
  // that succeeds proves nothing: the handle keeps failing.
  if (open->sync_failed) return Fail(winerr::kCrc);
  int result;
  do {
    result = ::fsync(open->fd);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    open->sync_failed = true;
    return FailErrno(errno);
  }
  // A new file is only durable once its name is: sync the folder the first time.
  if (open->created) {
    if (!SyncFolderOf(open->host_path)) return FailErrno(errno);
    open->created = false;
  }
  return true;
}

bool PosixEnv::Close(FileHandle file) {
  Enter("Close");
  const auto it = files_.find(file);
  if (it == files_.end()) return Fail(winerr::kInvalidHandle);
  const int fd = it->second.fd;
  const std::string host_path = std::move(it->second.host_path);
  Enter("Close", &host_path);
  files_.erase(it);
  // The descriptor is released even when close reports an error; EINTR is no failure on Linux.
  if (::close(fd) != 0 && errno != EINTR) return FailErrno(errno);
  return true;
}

bool PosixEnv::SetAttributesNormal(std::u16string_view path) {
  Enter("SetAttributesNormal");
  std::string host_path;
  if (!MapName(path, &host_path)) return false;
  Enter("SetAttributesNormal", &host_path);
  struct stat st;
  if (::stat(host_path.c_str(), &st) != 0) return FailErrno(errno, host_path);
  mode_t mode = (st.st_mode & 0777) | S_IRUSR | S_IWUSR;
  if (S_ISDIR(st.st_mode)) mode |= S_IXUSR;
  if (::chmod(host_path.c_str(), mode) != 0) return FailErrno(errno, host_path);
  return true;
}

bool PosixEnv::MayRemove(const std::string& host_path) {
  struct stat st;
  if (::stat(host_path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && IsReadOnly(st)) {
    return Fail(winerr::kAccessDenied);
  }
  if (IsHeldOpen(host_path)) return Fail(winerr::kSharingViolation);
  return true;
}

bool PosixEnv::Delete(std::u16string_view path) {
  Enter("Delete");
  std::string host_path;
  if (!MapName(path, &host_path)) return false;
  Enter("Delete", &host_path);
  struct stat st;
  if (::lstat(host_path.c_str(), &st) != 0) return FailErrno(errno, host_path);
  if (S_ISDIR(st.st_mode)) return Fail(winerr::kAccessDenied);
  if (!MayRemove(host_path)) return false;
  if (::unlink(host_path.c_str()) != 0) return FailErrno(errno, host_path);
  static_cast<void>(SyncFolderOf(host_path));  // best effort: the file is gone either way
  return true;
}

bool PosixEnv::Rename(std::u16string_view from, std::u16string_view to) {
  Enter("Rename");
  std::string from_host;
  std::string to_host;
  if (!MapName(from, &from_host) || !MapName(to, &to_host)) return false;
  Enter("Rename", &to_host);
  struct stat from_st;
  if (::lstat(from_host.c_str(), &from_st) != 0) return FailErrno(errno, from_host);
  if (from_host == to_host) return true;
  if (IsHeldOpen(from_host)) return Fail(winerr::kSharingViolation);
  struct stat to_st;
  if (::lstat(to_host.c_str(), &to_st) == 0) {
    // Only a file replaces a file; folders are never merged or replaced.
    if (S_ISDIR(to_st.st_mode) || S_ISDIR(from_st.st_mode)) return Fail(winerr::kAlreadyExists);
    if (!MayRemove(to_host)) return false;
  }
  if (::rename(from_host.c_str(), to_host.c_str()) != 0) return FailErrno(errno, to_host);
  // The move is made; without these syncs a crash could still undo it.
  if (!SyncFolderOf(to_host)) return FailErrno(errno);
  if (FolderOf(from_host) != FolderOf(to_host) && !SyncFolderOf(from_host)) {
    return FailErrno(errno);
  }
  return true;
}

bool PosixEnv::CreateDirectory(std::u16string_view path) {
  Enter("CreateDirectory");
  std::string host_path;
  if (!MapName(path, &host_path)) return false;
  Enter("CreateDirectory", &host_path);
  if (::mkdir(host_path.c_str(), kNewFolderMode) != 0) {
    if (errno == EEXIST) return Fail(winerr::kAlreadyExists);
    return FailErrno(errno, host_path);
  }
  // Best effort: a lost empty folder is made again on next use.
  static_cast<void>(SyncFolderOf(host_path));
  return true;
}

bool PosixEnv::RemoveDirectory(std::u16string_view path) {
  Enter("RemoveDirectory");
  std::string host_path;
  if (!MapName(path, &host_path)) return false;
  Enter("RemoveDirectory", &host_path);
  if (::rmdir(host_path.c_str()) != 0) {
    if (errno == ENOTEMPTY || errno == EEXIST) return Fail(winerr::kDirNotEmpty, errno);
    return FailErrno(errno, host_path);
  }
  // Best effort: the folder is gone for this run either way.
  static_cast<void>(SyncFolderOf(host_path));
  return true;
}

FindHandle PosixEnv::FindFirst(std::u16string_view pattern, FindData* first) {
  Enter("FindFirst");
  std::vector<std::u16string> names;
  if (!SplitDevicePath(pattern, &names) || names.empty()) {
    Fail(winerr::kInvalidName);
    return kInvalidFindHandle;
  }
  const std::u16string name_pattern = std::move(names.back());
  names.pop_back();
  std::string host_folder;
  // Only the last name may hold wildcards.
  if (std::any_of(names.begin(), names.end(), [](const auto& n) { return HasWildcards(n); }) ||
      !paths_.ToHost(names, &host_folder)) {
    Fail(winerr::kInvalidName);
    return kInvalidFindHandle;
  }
  Enter("FindFirst", &host_folder);
  Search search;
  if (!ListMatches(host_folder, name_pattern, &search.matches)) {
    const int err = errno;
    Fail(err == ENOENT || err == ENOTDIR ? winerr::kPathNotFound : WinErrorFromErrno(err), err);
    return kInvalidFindHandle;
  }
  // The documents folder lives elsewhere on the host but shows in the device root.
  if (names.empty() && MatchesPattern(name_pattern, kDocumentsFolder) &&
      std::none_of(search.matches.begin(), search.matches.end(),
                   [](const FindData& d) { return IsDocumentsFolderName(d.name); })) {
    search.matches.push_back(FindData{std::u16string(kDocumentsFolder), true, 0});
  }
  if (search.matches.empty()) {
    Fail(winerr::kFileNotFound);
    return kInvalidFindHandle;
  }
  std::sort(search.matches.begin(), search.matches.end(),
            [](const FindData& a, const FindData& b) { return CompareNames(a.name, b.name) < 0; });
  if (first != nullptr) *first = search.matches.front();
  search.next = 1;
  const FindHandle handle = next_search_++;
  searches_.emplace(handle, std::move(search));
  return handle;
}

bool PosixEnv::FindNext(FindHandle search, FindData* next) {
  Enter("FindNext");
  const auto it = searches_.find(search);
  if (it == searches_.end()) return Fail(winerr::kInvalidHandle);
  Search& state = it->second;
  if (state.next >= state.matches.size()) return Fail(winerr::kNoMoreFiles);
  if (next != nullptr) *next = state.matches[state.next];
  ++state.next;
  return true;
}

void PosixEnv::FindClose(FindHandle search) { searches_.erase(search); }

std::string PosixEnv::ObjectStoreFile() const {
  return options_.device_root + "/" + kObjectStoreFile;
}

ObjectStore* PosixEnv::Objects() {
  if (objects_ != nullptr) return objects_.get();
  const std::string file = ObjectStoreFile();
  Enter("OpenObjectStore", &file);
  struct stat st;
  const bool exists = ::stat(file.c_str(), &st) == 0;
  // A read-only store file is left as it is, as any read-only file, even by a host user whom
  // the host would let write it.
  if (exists && S_ISREG(st.st_mode) && IsReadOnly(st)) {
    Fail(winerr::kAccessDenied);
    return nullptr;
  }
  FailureDetail why;
  objects_ = ObjectStore::Open(*store_io_, kObjectStorePath, store_options_, &why);
  if (objects_ != nullptr) return objects_.get();
  // A file or folder that may not be written is no damage to the store, whatever call failed.
  Enter("OpenObjectStore", &file);
  if (::access(FolderOf(file).c_str(), W_OK) != 0 ||
      (exists && ::access(file.c_str(), W_OK) != 0)) {
    FailErrno(errno, file);
  } else {
    last_failure_ = why;
  }
  return nullptr;
}

Env* PosixEnv::RouteObjectStore(Env* io) {
  Env* const previous = store_io_;
  store_io_ = io != nullptr ? io : this;
  if (objects_ != nullptr) objects_->RouteIo(*store_io_);
  return previous;
}

bool PosixEnv::BackupObjectStore(std::u16string_view device_path) {
  Enter("BackupObjectStore");
  std::string target;
  if (!MapName(device_path, &target)) return false;
  Enter("BackupObjectStore", &target);
  if (!IsFolder(FolderOf(target))) return Fail(winerr::kPathNotFound);
  if (IsFolder(target)) return Fail(winerr::kAccessDenied);
  if (!MayRemove(target)) return false;
  const std::string source = ObjectStoreFile();
  // The store's own files are in use: copying onto them would destroy what is being copied.
  if (target.starts_with(source)) return Fail(winerr::kSharingViolation);
  ObjectStore* store = Objects();
  // The store makes calls of this Env of its own: this call is the one under way again.
  Enter("BackupObjectStore", &target);
  if (store == nullptr && !HostFileExists(source)) return Fail(winerr::kFileNotFound);

  std::string copy;
  std::string wal_copy;
  if (store != nullptr) {
    // The store writes by device paths: the temporary file's is the target's with the same
    // suffix as its host name.
    std::u16string device_target(device_path);
    while (!device_target.empty() && device_target.back() == u'\\') device_target.pop_back();
    const uint64_t failures_before = store->IoFailureCount();
    copy = WriteBeside(target, [&](const std::string& temp) {
      std::u16string suffix;
      if (Utf8ToUtf16(std::string_view(temp).substr(target.size()), &suffix) &&
          store->WriteCopy(device_target + suffix)) {
        return true;
      }
      errno = EIO;  // whatever SQLite left in errno need not be why it failed
      return false;
    });
    Enter("BackupObjectStore", &target);
    if (copy.empty() && store->IoFailureCount() != failures_before) {
      // The file call of the store that failed tells why better than the copy's EIO.
      last_failure_ = store->LastIoFailure();
      return false;
    }
  } else {
    // SQLite cannot read it, so its bytes are kept as they are, log included: whoever looks at
    // the copy later needs both files to see the last commits.
    copy = WriteBeside(target, [&](const std::string& temp) { return CopyHostFile(source, temp); });
    const std::string source_wal = source + kWalSuffix;
    if (!copy.empty() && HostFileExists(source_wal)) {
      wal_copy = WriteBeside(target + kWalSuffix, [&](const std::string& temp) {
        return CopyHostFile(source_wal, temp);
      });
      if (wal_copy.empty()) {
        const int saved = errno;
        ::unlink(copy.c_str());
        return FailErrno(saved);
      }
    }
  }
  if (copy.empty()) return FailErrno(errno);

  // A log or index left beside the target belongs to the file being replaced.
  for (const char* suffix : kStoreCompanionSuffixes) ::unlink((target + suffix).c_str());
  bool moved = ::rename(copy.c_str(), target.c_str()) == 0;
  if (moved && !wal_copy.empty()) {
    moved = ::rename(wal_copy.c_str(), (target + kWalSuffix).c_str()) == 0;
  }
  if (!moved) {
    const int saved = errno;
    ::unlink(copy.c_str());
    if (!wal_copy.empty()) ::unlink(wal_copy.c_str());
    ::unlink(target.c_str());
    return FailErrno(saved, target);
  }
  if (!SyncFolderOf(target)) return FailErrno(errno);
  return true;
}

void PosixEnv::CloseObjectStore() { objects_.reset(); }

bool PosixEnv::ResetObjectStore() {
  Enter("ResetObjectStore");
  objects_.reset();
  const std::string file = ObjectStoreFile();
  Enter("ResetObjectStore", &file);
  for (const char* suffix : kStoreCompanionSuffixes) {
    if (::unlink((file + suffix).c_str()) != 0 && errno != ENOENT) return FailErrno(errno, file);
  }
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) return FailErrno(errno, file);
  // Best effort: the files are gone for this run either way.
  static_cast<void>(SyncFolderOf(file));
  return true;
}

std::u16string PosixEnv::ProgramFilePath() const { return u"\\ledgerix.exe"; }

bool PosixEnv::RunAndWait(std::u16string_view path) {
  Enter("RunAndWait");
  std::vector<std::u16string> names;
  if (HasWildcards(path) || !SplitDevicePath(path, &names)) return Fail(winerr::kInvalidName);
  if (names.empty()) return Fail(winerr::kFileNotFound);
  std::u16string& program = names.back();
  if (EndsWithExe(program)) program.resize(program.size() - 4);
  std::string host_path = options_.program_folder;
  std::string utf8;
  for (const std::u16string& name : names) {
    if (!Utf16ToUtf8(name, &utf8)) return Fail(winerr::kInvalidName);
    host_path += '/';
    host_path += utf8;
  }
  Enter("RunAndWait", &host_path);
  struct stat st;
  if (::stat(host_path.c_str(), &st) != 0) return FailErrno(errno, host_path);
  if (!S_ISREG(st.st_mode) || ::access(host_path.c_str(), X_OK) != 0) {
    return Fail(winerr::kAccessDenied);
  }
  // The companion reads and writes the program's data itself: the store's file is handed over
  // closed (its log written into it), since an open store holds it exclusively. Whoever starts a
  // program closes its databases on the store first; the next Objects() opens it afresh.
  objects_.reset();
  int error = 0;
  if (!SpawnAndWait(host_path, &error)) {
    return Fail(error == ENOEXEC ? winerr::kBadExeFormat : WinErrorFromErrno(error), error);
  }
  return true;
}

}  // namespace ledgerix::platform
