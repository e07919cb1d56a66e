#pragma once
// The platform on a POSIX host: device paths mapped onto host folders, files opened with
// advisory locks standing in for the handheld's share codes, host errors as Windows numbers.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_path.h"
#include "platform/env.h"
#include "platform/object_store.h"

namespace ledgerix::platform {

// The host folders behind a PosixEnv.
struct PosixEnvOptions {
  std::string device_root;       // host folder of the device root "\"
  std::string documents_folder;  // host folder of "\My Documents"
  std::string program_folder;    // where the companion programs live (see RunAndWait)
};

// Not thread-safe: the program calls its platform from its one user-interface thread.
//
// Beyond the Env contract, as on the handheld:
// - the owner's write permission stands for the inverse of the read-only attribute: a file
//   without it cannot be opened for writing, truncated by a create, deleted or replaced
//   (kAccessDenied) until SetAttributesNormal;
// - a file that a handle holds open cannot be deleted or renamed, nor replaced by a rename
//   (kSharingViolation);
// - folders, devices and other special files cannot be opened as files (kAccessDenied);
// - names holding "*" or "?" are refused outside FindFirst (kInvalidName).
// Searches list their matches in name order (letters compared without regard to case), taken
// when FindFirst runs; the device root also shows the folder "My Documents".
class PosixEnv : public Env {
 public:
  // Creates the device root and the documents folder when missing (see Ready()).
  explicit PosixEnv(PosixEnvOptions options);
  // Closes the object store, then every handle and search still open.
  ~PosixEnv() override;
  PosixEnv(const PosixEnv&) = delete;
  PosixEnv& operator=(const PosixEnv&) = delete;

  // False when the device root or the documents folder is missing and could not be created;
  // every file call then fails with kPathNotFound.
  bool Ready() const;
  // How the next opening of the object store runs it; the program's defaults unless set. A store
  // already open stays as it is.
  void SetObjectStoreOptions(const ObjectStoreOptions& options) { store_options_ = options; }
  const PosixEnvOptions& options() const { return options_; }
  // The host path behind a device path; false for a bad path.
  [[nodiscard]] bool HostPath(std::u16string_view device_path, std::string* host_path) const;

  [[nodiscard]] FileHandle Open(std::u16string_view path, int access, int disposition,
                                int share) override;
  [[nodiscard]] int64_t Read(FileHandle file, void* dest, size_t n) override;
  [[nodiscard]] int64_t Write(FileHandle file, const void* src, size_t n) override;
  [[nodiscard]] int64_t Seek(FileHandle file, int64_t offset) override;
  [[nodiscard]] int64_t ReadAt(FileHandle file, int64_t offset, void* dest, size_t n) override;
  [[nodiscard]] int64_t Size(FileHandle file) override;
  [[nodiscard]] bool SetEndOfFile(FileHandle file) override;
  [[nodiscard]] bool Sync(FileHandle file) override;
  [[nodiscard]] bool Close(FileHandle file) override;

  [[nodiscard]] bool SetAttributesNormal(std::u16string_view path) override;
  [[nodiscard]] bool Delete(std::u16string_view path) override;
  [[nodiscard]] bool Rename(std::u16string_view from, std::u16string_view to) override;
  [[nodiscard]] bool CreateDirectory(std::u16string_view path) override;
  [[nodiscard]] bool RemoveDirectory(std::u16string_view path) override;

  [[nodiscard]] FindHandle FindFirst(std::u16string_view pattern, FindData* first) override;
  [[nodiscard]] bool FindNext(FindHandle search, FindData* next) override;
  void FindClose(FindHandle search) override;

  uint32_t LastError() const override { return last_failure_.error; }
  FailureDetail LastFailure() const override { return last_failure_; }

  std::u16string ProgramFilePath() const override;
  // The companion programs live in the program folder under their device name without
  // ".exe": "\ldxload.exe" runs <program folder>/ldxload. False with kFileNotFound when it is
  // missing, kAccessDenied when it is not executable.
  // The object store is closed first, so that the program started may use its file; databases
  // still open on it answer failure from then on.
  [[nodiscard]] bool RunAndWait(std::u16string_view path) override;

  // The object store lives in the device root's file "\objects.sqlite" (with its log
  // "objects.sqlite-wal" beside it while it is open, or after a crash). It is opened on first
  // use, through the Env the store is routed through, and stays open until ResetObjectStore or
  // the Env's destruction; a failed open is not remembered. After a failed open LastFailure()
  // tells the file call that failed, or kInvalidData when the file is no sound store.
  [[nodiscard]] ObjectStore* Objects() override;
  Env* RouteObjectStore(Env* io) override;
  // Closes the object store, its log written into its file, so that another connection may use
  // the file and the next Objects() opens it afresh; for tests and tools that reach the file
  // itself. Databases still open on the store answer failure from then on.
  void CloseObjectStore();
  // A target that is read-only or held open is refused as Rename refuses to replace it, and the
  // store's own files with kSharingViolation. The copy is written beside the target under a
  // temporary name (through the Env the store is routed through), synced, then moved over it.
  [[nodiscard]] bool BackupObjectStore(std::u16string_view device_path) override;
  [[nodiscard]] bool ResetObjectStore() override;
  // The host path of the store's file.
  std::string ObjectStoreFile() const;

 private:
  struct OpenFile {
    int fd = -1;
    bool can_read = false;
    bool can_write = false;
    bool created = false;      // this handle created the file: its folder needs a sync
    bool sync_failed = false;  // after a failed fsync the written data can no longer be trusted
    std::string host_path;
  };
  struct Search {
    std::vector<FindData> matches;
    size_t next = 0;
  };

  // Record the error and answer the failure value of the caller.
  // Names the call under way and the host path it works on (which must outlive the call), for
  // the failure detail.
  void Enter(const char* call, const std::string* host_path = nullptr) {
    call_ = call;
    call_path_ = host_path;
  }
  // Records a failure of the call under way; `host_errno` 0 when the host did not fail.
  bool Fail(uint32_t error, int host_errno = 0);
  int64_t FailCount(uint32_t error, int host_errno = 0);  // the -1 of the counting calls
  bool FailErrno(int err, const std::string& host_path = {});
  // Maps a device path naming a file or folder (no wildcards); kInvalidName on refusal.
  [[nodiscard]] bool MapName(std::u16string_view path, std::string* host_path);
  OpenFile* Find(FileHandle file);
  // Opens the host file by disposition; sets *created. -1 with errno on failure.
  [[nodiscard]] int OpenHost(const std::string& host_path, int flags, int disposition,
                             bool* created);
  // Refuses to delete or replace a file that is read-only or held open.
  [[nodiscard]] bool MayRemove(const std::string& host_path);

  PosixEnvOptions options_;
  ObjectStoreOptions store_options_;
  DevicePathMap paths_;
  std::map<FileHandle, OpenFile> files_;
  std::map<FindHandle, Search> searches_;
  std::unique_ptr<ObjectStore> objects_;
  Env* store_io_ = this;  // see RouteObjectStore
  // Handle numbers are never reused, so a stale handle cannot reach a file opened later.
  FileHandle next_file_ = 1;
  FindHandle next_search_ = 1;
  FailureDetail last_failure_;
  const char* call_ = "";
  const std::string* call_path_ = nullptr;
};

}  // namespace ledgerix::platform
