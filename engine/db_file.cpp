#include "engine/db_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ledgerix {

DbFile::DbFile(platform::Env& env) : env_(env) {}

DbFile::DbFile(platform::Env& env, const DbString& name, int access, int disposition, int share)
    : env_(env) {
  if (!Open(name, access, disposition, share)) name_ = name;
}

DbFile::~DbFile() {
  if (IsOpen()) Close();
}

int DbFile::Fail(DbFileError error) {
  error_ = error;
  return 0;
}

int DbFile::FailFromPlatform() { return Fail(DbFileErrorFromPlatform(env_.LastError())); }

int DbFile::Open(const DbString& name, int access, int disposition, int share) {
  if (IsOpen()) return Fail(DbFileError::kAlreadyOpen);
  if (share == 1) share = kShareReadWrite;
  platform::FileHandle handle = env_.Open(name.Wide(), access, disposition, share);
  if (handle == platform::kInvalidFileHandle) return FailFromPlatform();
  handle_ = handle;
  name_ = name;
  error_ = DbFileError::kNone;
  return 1;
}

uint32_t DbFile::Read(DbString& dest, uint32_t n) {
  if (!IsOpen() || n == 0) return Fail(DbFileError::kNotOpen);
  dest.SetLength(n + 1);
  dest.Clear();
  std::vector<char> buffer(n);
  int64_t got = env_.Read(handle_, buffer.data(), n);
  if (got < 0) {
    dest = DbString();
    return FailFromPlatform();
  }
  dest.AppendBytes(buffer.data(), static_cast<uint32_t>(got));
  return static_cast<uint32_t>(got);
}

uint32_t DbFile::Write(const DbString& src, uint32_t n) {
  if (!IsOpen() || n == 0 || src.Capacity() < n) return Fail(DbFileError::kNotOpen);
  // The bytes past the text are zero by the string's invariant, so n may exceed its length.
  std::vector<char> buffer(n, 0);
  std::memcpy(buffer.data(), src.CStr(), std::min(n, src.Length()));
  int64_t written = env_.Write(handle_, buffer.data(), n);
  if (written <= 0) {
    if (written < 0)
      FailFromPlatform();
    else
      Fail(DbFileError::kDiskFull);
    return 0;
  }
  return static_cast<uint32_t>(written);
}

uint32_t DbFile::ReadBytes(void* dest, uint32_t n) {
  if (!IsOpen() || n == 0) return Fail(DbFileError::kNotOpen);
  const int64_t got = env_.Read(handle_, dest, n);
  if (got < 0) return FailFromPlatform();
  return static_cast<uint32_t>(got);
}

uint32_t DbFile::WriteBytes(const void* src, uint32_t n) {
  if (!IsOpen() || n == 0) return Fail(DbFileError::kNotOpen);
  const int64_t written = env_.Write(handle_, src, n);
  if (written < 0) return FailFromPlatform();
  if (written == 0) return Fail(DbFileError::kDiskFull);
  return static_cast<uint32_t>(written);
}

uint32_t DbFile::Seek(int origin, int64_t offset) {
  if (!IsOpen()) return Fail(DbFileError::kNotOpen);
  int64_t position = 0;
  if (origin == 0) {
    position = env_.Seek(handle_, offset);
  } else {
    // Relative moves are not used by the program; they are computed from the start.
    return Fail(DbFileError::kBadSeek);
  }
  if (position < 0) return FailFromPlatform();
  return static_cast<uint32_t>(position);
}

uint32_t DbFile::Size() {
  if (!IsOpen()) return Fail(DbFileError::kNotOpen);
  int64_t size = env_.Size(handle_);
  if (size < 0) return FailFromPlatform();
  return static_cast<uint32_t>(size);
}

int DbFile::Truncate(uint32_t position) {
  if (!IsOpen()) return Fail(DbFileError::kNotOpen);
  if (env_.Seek(handle_, position) < 0) return FailFromPlatform();
  if (!env_.SetEndOfFile(handle_)) return FailFromPlatform();
  return 1;
}

int DbFile::Sync() {
  if (!IsOpen()) return Fail(DbFileError::kNotOpen);
  if (!env_.Sync(handle_)) return FailFromPlatform();
  return 1;
}

int DbFile::Close() {
  if (!IsOpen()) return Fail(DbFileError::kNotOpen);
  env_.Close(handle_);
  handle_ = platform::kInvalidFileHandle;
  error_ = DbFileError::kNone;
  name_ = DbString();
  return 1;
}

int DeleteDbFile(platform::Env& env, const DbString& name) {
  env.SetAttributesNormal(name.Wide());
  return env.Delete(name.Wide()) ? 1 : 0;
}

bool DbFileExists(platform::Env& env, const DbString& name) {
  DbFile file(env);
  if (file.Open(name, kAccessRead, platform::kDispositionOpenExisting, kShareReadWrite))
    return true;
  DbFileError error = file.LastError();
  return error != DbFileError::kFileNotFound && error != DbFileError::kBadPath;
}

}  // namespace ledgerix
