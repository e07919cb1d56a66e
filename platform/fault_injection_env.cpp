#include "platform/fault_injection_env.h"

#include <algorithm>

namespace ledgerix::platform {
namespace {

bool IsMutatingOpen(int access, int disposition) {
  return disposition != kDispositionOpenExisting || access != 1;
}

}  // namespace

FaultInjectionEnv::FaultInjectionEnv(Env* base)
    : base_(base), previous_store_io_(base->RouteObjectStore(this)) {}

FaultInjectionEnv::~FaultInjectionEnv() { base_->RouteObjectStore(previous_store_io_); }

void FaultInjectionEnv::FailNth(FileOp op, int n, uint32_t error) {
  if (n >= 1) plans_.push_back(Plan{PlanKind::kFail, op, n, error});
}

void FaultInjectionEnv::ShortWriteNth(int n) {
  if (n >= 1) plans_.push_back(Plan{PlanKind::kShortWrite, FileOp::kWrite, n, winerr::kDiskFull});
}

void FaultInjectionEnv::ShortReadNth(int n) {
  if (n >= 1) plans_.push_back(Plan{PlanKind::kShortRead, FileOp::kRead, n, winerr::kSuccess});
}

void FaultInjectionEnv::FailNthMutation(int n, uint32_t error) {
  if (n >= 1) plans_.push_back(Plan{PlanKind::kFailMutation, FileOp::kOpen, n, error});
}

void FaultInjectionEnv::SetDiskFull(bool full) { disk_full_ = full; }

int FaultInjectionEnv::Count(FileOp op) const { return counts_[static_cast<size_t>(op)]; }

int FaultInjectionEnv::MutationCount() const { return mutations_; }

void FaultInjectionEnv::Reset() {
  plans_.clear();
  counts_.fill(0);
  mutations_ = 0;
  injected_ = 0;
  disk_full_ = false;
}

FaultInjectionEnv::Action FaultInjectionEnv::Decide(FileOp op, bool mutation) {
  ++counts_[static_cast<size_t>(op)];
  if (mutation) ++mutations_;
  // Every plan that this call concerns counts it, even when another plan fires first.
  Action action = Action::kForward;
  uint32_t error = winerr::kSuccess;
  for (Plan& plan : plans_) {
    const bool concerns = plan.kind == PlanKind::kFailMutation ? mutation : plan.op == op;
    if (!concerns || --plan.remaining > 0) continue;
    const bool fails = plan.kind == PlanKind::kFail || plan.kind == PlanKind::kFailMutation;
    if (action == Action::kForward || (fails && action == Action::kShort)) {
      action = fails ? Action::kFail : Action::kShort;
      error = plan.error;
    }
  }
  std::erase_if(plans_, [](const Plan& plan) { return plan.remaining <= 0; });
  if (action == Action::kForward && op == FileOp::kWrite && disk_full_) {
    action = Action::kFail;
    error = winerr::kDiskFull;
  }
  if (action != Action::kForward) ++injected_;
  // A short read is no failure and leaves LastError() alone.
  if (action != Action::kForward && error != winerr::kSuccess) {
    last_error_injected_ = true;
    injected_error_ = error;
    injected_op_ = op;
  }
  return action;
}

FailureDetail FaultInjectionEnv::LastFailure() const {
  if (!last_error_injected_) return base_->LastFailure();
  static constexpr const char* kNames[kFileOpCount] = {"Open",
                                                       "Read",
                                                       "Write",
                                                       "Seek",
                                                       "Size",
                                                       "SetEndOfFile",
                                                       "Sync",
                                                       "Close",
                                                       "SetAttributesNormal",
                                                       "Delete",
                                                       "Rename",
                                                       "CreateDirectory",
                                                       "FindFirst",
                                                       "FindNext",
                                                       "FindClose",
                                                       "RunAndWait",
                                                       "BackupObjectStore",
                                                       "ResetObjectStore",
                                                       "RemoveDirectory"};
  FailureDetail detail;
  detail.call = kNames[static_cast<size_t>(injected_op_)];
  detail.error = injected_error_;
  detail.host_text = "injected failure";
  return detail;
}

void FaultInjectionEnv::Forwarded(bool failed) {
  if (failed) last_error_injected_ = false;
}

FileHandle FaultInjectionEnv::Open(std::u16string_view path, int access, int disposition,
                                   int share) {
  if (Decide(FileOp::kOpen, IsMutatingOpen(access, disposition)) == Action::kFail) {
    return kInvalidFileHandle;
  }
  const FileHandle handle = base_->Open(path, access, disposition, share);
  Forwarded(handle == kInvalidFileHandle);
  return handle;
}

int64_t FaultInjectionEnv::Read(FileHandle file, void* dest, size_t n) {
  const Action action = Decide(FileOp::kRead, false);
  if (action == Action::kFail) return -1;
  if (action == Action::kShort) n /= 2;
  const int64_t got = n == 0 ? 0 : base_->Read(file, dest, n);
  Forwarded(got < 0);
  return got;
}

int64_t FaultInjectionEnv::Write(FileHandle file, const void* src, size_t n) {
  const Action action = Decide(FileOp::kWrite, true);
  if (action == Action::kFail) return -1;
  if (action == Action::kShort) {
    const int64_t put = n / 2 == 0 ? 0 : base_->Write(file, src, n / 2);
    Forwarded(put < 0);
    return put;
  }
  const int64_t put = base_->Write(file, src, n);
  Forwarded(put < 0 || static_cast<size_t>(put) < n);
  return put;
}

int64_t FaultInjectionEnv::Seek(FileHandle file, int64_t offset) {
  if (Decide(FileOp::kSeek, false) == Action::kFail) return -1;
  const int64_t position = base_->Seek(file, offset);
  Forwarded(position < 0);
  return position;
}

int64_t FaultInjectionEnv::Size(FileHandle file) {
  if (Decide(FileOp::kSize, false) == Action::kFail) return -1;
  const int64_t size = base_->Size(file);
  Forwarded(size < 0);
  return size;
}

bool FaultInjectionEnv::SetEndOfFile(FileHandle file) {
  if (Decide(FileOp::kSetEndOfFile, true) == Action::kFail) return false;
  const bool ok = base_->SetEndOfFile(file);
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::Sync(FileHandle file) {
  if (Decide(FileOp::kSync, true) == Action::kFail) return false;
  const bool ok = base_->Sync(file);
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::Close(FileHandle file) {
  const bool inject = Decide(FileOp::kClose, false) == Action::kFail;
  const bool ok = base_->Close(file);
  if (inject) return false;
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::SetAttributesNormal(std::u16string_view path) {
  if (Decide(FileOp::kSetAttributesNormal, true) == Action::kFail) return false;
  const bool ok = base_->SetAttributesNormal(path);
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::Delete(std::u16string_view path) {
  if (Decide(FileOp::kDelete, true) == Action::kFail) return false;
  const bool ok = base_->Delete(path);
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::Rename(std::u16string_view from, std::u16string_view to) {
  if (Decide(FileOp::kRename, true) == Action::kFail) return false;
  const bool ok = base_->Rename(from, to);
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::CreateDirectory(std::u16string_view path) {
  if (Decide(FileOp::kCreateDirectory, true) == Action::kFail) return false;
  const bool ok = base_->CreateDirectory(path);
  Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::RemoveDirectory(std::u16string_view path) {
  if (Decide(FileOp::kRemoveDirectory, true) == Action::kFail) return false;
  const bool ok = base_->RemoveDirectory(path);
  Forwarded(!ok);
  return ok;
}

FindHandle FaultInjectionEnv::FindFirst(std::u16string_view pattern, FindData* first) {
  if (Decide(FileOp::kFindFirst, false) == Action::kFail) return kInvalidFindHandle;
  const FindHandle handle = base_->FindFirst(pattern, first);
  Forwarded(handle == kInvalidFindHandle);
  return handle;
}

bool FaultInjectionEnv::FindNext(FindHandle search, FindData* next) {
  if (Decide(FileOp::kFindNext, false) == Action::kFail) return false;
  const bool ok = base_->FindNext(search, next);
  Forwarded(!ok);
  return ok;
}

void FaultInjectionEnv::FindClose(FindHandle search) {
  Decide(FileOp::kFindClose, false);
  base_->FindClose(search);
}

uint32_t FaultInjectionEnv::LastError() const {
  return last_error_injected_ ? injected_error_ : base_->LastError();
}

std::u16string FaultInjectionEnv::ProgramFilePath() const { return base_->ProgramFilePath(); }

bool FaultInjectionEnv::RunAndWait(std::u16string_view path) {
  if (Decide(FileOp::kRunAndWait, false) == Action::kFail) return false;
  const bool ok = base_->RunAndWait(path);
  Forwarded(!ok);
  return ok;
}

ObjectStore* FaultInjectionEnv::Objects() {
  const int injected_before = injected_;
  ObjectStore* store = base_->Objects();
  // A store that did not open for a reason of the base's own is the base's to tell.
  if (store == nullptr && injected_ == injected_before) Forwarded(true);
  return store;
}

Env* FaultInjectionEnv::RouteObjectStore(Env* io) { return base_->RouteObjectStore(io); }

bool FaultInjectionEnv::BackupObjectStore(std::u16string_view device_path) {
  if (Decide(FileOp::kBackupObjectStore, true) == Action::kFail) return false;
  const int injected_before = injected_;
  const bool ok = base_->BackupObjectStore(device_path);
  // The store's own file calls come through this Env: a failure injected into one of them is
  // why the copy failed.
  if (injected_ == injected_before) Forwarded(!ok);
  return ok;
}

bool FaultInjectionEnv::ResetObjectStore() {
  if (Decide(FileOp::kResetObjectStore, true) == Action::kFail) return false;
  const bool ok = base_->ResetObjectStore();
  Forwarded(!ok);
  return ok;
}

}  // namespace ledgerix::platform
