#include "testing/stopping_env.h"

namespace ledgerix::testing {

using platform::FileHandle;
using platform::FindHandle;

StoppingEnv::StoppingEnv(platform::PosixEnv* base, int n)
    : base_(base), previous_store_io_(base->RouteObjectStore(this)), remaining_(n) {}

StoppingEnv::~StoppingEnv() {
  if (stopped_) base_->CloseObjectStore();
  base_->RouteObjectStore(previous_store_io_);
}

void StoppingEnv::StopAt(int n) {
  if (!stopped_) remaining_ = n;
}

bool StoppingEnv::Change() {
  if (stopped_) return false;
  if (--remaining_ > 0) return true;
  stopped_ = true;
  return false;
}

FileHandle StoppingEnv::Open(std::u16string_view path, int access, int disposition, int share) {
  const bool changes = disposition != platform::kDispositionOpenExisting || access != 1;
  if (stopped_ || (changes && !Change())) return platform::kInvalidFileHandle;
  return base_->Open(path, access, disposition, share);
}

int64_t StoppingEnv::Read(FileHandle file, void* dest, size_t n) {
  return stopped_ ? -1 : base_->Read(file, dest, n);
}

int64_t StoppingEnv::Write(FileHandle file, const void* src, size_t n) {
  if (stopped_) return -1;
  if (Change()) return base_->Write(file, src, n);
  // Killed in the middle of the write.
  if (n / 2 > 0) base_->Write(file, src, n / 2);
  return -1;
}

int64_t StoppingEnv::Seek(FileHandle file, int64_t offset) {
  return stopped_ ? -1 : base_->Seek(file, offset);
}

int64_t StoppingEnv::Size(FileHandle file) { return stopped_ ? -1 : base_->Size(file); }

bool StoppingEnv::SetEndOfFile(FileHandle file) { return Change() && base_->SetEndOfFile(file); }

bool StoppingEnv::Sync(FileHandle file) { return Change() && base_->Sync(file); }

bool StoppingEnv::Close(FileHandle file) { return base_->Close(file) && !stopped_; }

bool StoppingEnv::SetAttributesNormal(std::u16string_view path) {
  return Change() && base_->SetAttributesNormal(path);
}

bool StoppingEnv::Delete(std::u16string_view path) { return Change() && base_->Delete(path); }

bool StoppingEnv::Rename(std::u16string_view from, std::u16string_view to) {
  return Change() && base_->Rename(from, to);
}

bool StoppingEnv::CreateDirectory(std::u16string_view path) {
  return Change() && base_->CreateDirectory(path);
}

bool StoppingEnv::RemoveDirectory(std::u16string_view path) {
  return Change() && base_->RemoveDirectory(path);
}

FindHandle StoppingEnv::FindFirst(std::u16string_view pattern, platform::FindData* first) {
  return stopped_ ? platform::kInvalidFindHandle : base_->FindFirst(pattern, first);
}

bool StoppingEnv::FindNext(FindHandle search, platform::FindData* next) {
  return !stopped_ && base_->FindNext(search, next);
}

void StoppingEnv::FindClose(FindHandle search) { base_->FindClose(search); }

uint32_t StoppingEnv::LastError() const {
  return stopped_ ? platform::winerr::kNotReady : base_->LastError();
}

std::u16string StoppingEnv::ProgramFilePath() const { return base_->ProgramFilePath(); }

bool StoppingEnv::RunAndWait(std::u16string_view path) {
  return !stopped_ && base_->RunAndWait(path);
}

platform::ObjectStore* StoppingEnv::Objects() { return base_->Objects(); }

platform::Env* StoppingEnv::RouteObjectStore(Env* io) { return base_->RouteObjectStore(io); }

bool StoppingEnv::BackupObjectStore(std::u16string_view device_path) {
  return Change() && base_->BackupObjectStore(device_path);
}

bool StoppingEnv::ResetObjectStore() { return Change() && base_->ResetObjectStore(); }

}  // namespace ledgerix::testing
