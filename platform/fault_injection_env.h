#pragma once
// An Env for tests that forwards every call to another Env but can break chosen calls: the n-th
// call of one operation, the n-th call that changes the disk, short transfers, a full disk.
// A test loops n = 1, 2, ... over a whole save path and checks that every failure is reported
// and leaves the files sound.

#include <array>
#include <cstddef>
#include <vector>

#include "platform/env.h"

namespace ledgerix::platform {

// The operations of Env that are counted and can be made to fail.
enum class FileOp {
  kOpen,
  kRead,
  kWrite,
  kSeek,
  kSize,
  kSetEndOfFile,
  kSync,
  kClose,
  kSetAttributesNormal,
  kDelete,
  kRename,
  kCreateDirectory,
  kFindFirst,
  kFindNext,
  kFindClose,
  kRunAndWait,
  kBackupObjectStore,
  kResetObjectStore,
  kRemoveDirectory,
};
inline constexpr size_t kFileOpCount = static_cast<size_t>(FileOp::kRemoveDirectory) + 1;

// Not thread-safe, like the Envs it wraps. A failed call answers the failure value of its
// operation (kInvalidFileHandle, -1, false, kInvalidFindHandle) without reaching the wrapped
// Env, and LastError() then answers the injected error; except that a failed Close or FindClose
// still releases the handle, as the host's close does, so that tests leak nothing.
//
// While it exists, the object store of the wrapped Env makes its file calls through it (see
// Env::RouteObjectStore), so that its plans reach the store's reads and writes too, whichever
// Env the store was asked for through.
class FaultInjectionEnv : public Env {
 public:
  // `base` is not owned and must outlive this Env. Routes the store of `base` through this Env.
  explicit FaultInjectionEnv(Env* base);
  // Gives the route of the store back to the Env it went through before.
  ~FaultInjectionEnv() override;
  FaultInjectionEnv(const FaultInjectionEnv&) = delete;
  FaultInjectionEnv& operator=(const FaultInjectionEnv&) = delete;

  // The n-th call of `op` from now (n = 1: the next one) fails with `error`. Several plans may
  // wait at once; each fires once. n below 1 plans nothing.
  void FailNth(FileOp op, int n, uint32_t error);
  // The n-th Write from now writes only the first half of its bytes (rounded down) and answers
  // that count, with LastError() kDiskFull, as a disk that fills up mid-write.
  void ShortWriteNth(int n);
  // The n-th Read from now reads only the first half of the bytes asked for (rounded down).
  void ShortReadNth(int n);
  // The n-th call from now that changes the disk fails with `error`. Those calls are Write,
  // SetEndOfFile, Sync, Delete, Rename, CreateDirectory, RemoveDirectory, SetAttributesNormal,
  // and Open with a
  // creating disposition (create new, create always, open always) or with write access,
  // BackupObjectStore and ResetObjectStore.
  void FailNthMutation(int n, uint32_t error);
  // While full, every Write fails with kDiskFull and writes nothing.
  void SetDiskFull(bool full);

  // Calls of `op` since construction or Reset(), failed ones included.
  int Count(FileOp op) const;
  // Calls that change the disk (see FailNthMutation) since construction or Reset().
  int MutationCount() const;
  // Calls broken by a plan or by the full disk since construction or Reset().
  int InjectedCount() const { return injected_; }
  // Drops every plan, the full disk and the counts.
  void Reset();

  FileHandle Open(std::u16string_view path, int access, int disposition, int share) override;
  int64_t Read(FileHandle file, void* dest, size_t n) override;
  int64_t Write(FileHandle file, const void* src, size_t n) override;
  int64_t Seek(FileHandle file, int64_t offset) override;
  int64_t Size(FileHandle file) override;
  bool SetEndOfFile(FileHandle file) override;
  bool Sync(FileHandle file) override;
  bool Close(FileHandle file) override;
  bool SetAttributesNormal(std::u16string_view path) override;
  bool Delete(std::u16string_view path) override;
  bool Rename(std::u16string_view from, std::u16string_view to) override;
  bool CreateDirectory(std::u16string_view path) override;
  bool RemoveDirectory(std::u16string_view path) override;
  FindHandle FindFirst(std::u16string_view pattern, FindData* first) override;
  bool FindNext(FindHandle search, FindData* next) override;
  void FindClose(FindHandle search) override;
  uint32_t LastError() const override;
  // The injected failure (its call and error, no path) or the wrapped Env's.
  FailureDetail LastFailure() const override;
  std::u16string ProgramFilePath() const override;
  bool RunAndWait(std::u16string_view path) override;
  // The wrapped Env's store, whose file calls come through this Env. Not counted itself.
  ObjectStore* Objects() override;
  Env* RouteObjectStore(Env* io) override;
  bool BackupObjectStore(std::u16string_view device_path) override;
  bool ResetObjectStore() override;

 private:
  enum class PlanKind { kFail, kFailMutation, kShortWrite, kShortRead };
  struct Plan {
    PlanKind kind;
    FileOp op;
    int remaining;
    uint32_t error;
  };
  // What to do with one call.
  enum class Action { kForward, kFail, kShort };

  // Counts one call and answers what to do with it; on kFail the injected error is recorded.
  Action Decide(FileOp op, bool mutation);
  // Record the outcome of a forwarded call: a failure reports the wrapped Env's error.
  void Forwarded(bool failed);

  Env* base_;
  Env* previous_store_io_;  // the route of the base's store before this Env took it
  std::vector<Plan> plans_;
  std::array<int, kFileOpCount> counts_{};
  int mutations_ = 0;
  int injected_ = 0;
  bool disk_full_ = false;
  bool last_error_injected_ = false;
  uint32_t injected_error_ = winerr::kSuccess;
  FileOp injected_op_ = FileOp::kOpen;
};

}  // namespace ledgerix::platform
