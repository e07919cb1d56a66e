#pragma once
// DbFile: the one stream through which the program reads and writes its own files (tables,
// catalogs, settings, exchange, export and archive files). It keeps the file's name and the code
// of its last failure, so that callers only test a 0 / non-zero result.

#include <cstdint>

#include "engine/db_file_error.h"
#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// Access codes: 1 read, 2 write, 3 both. Dispositions are those of platform::Env.
inline constexpr int kAccessRead = 1;
inline constexpr int kAccessWrite = 2;
inline constexpr int kAccessReadWrite = 3;
// Share codes: 0 exclusive, 2 share reading, 3 share writing, 4 share both.
inline constexpr int kShareExclusive = 0;
inline constexpr int kShareRead = 2;
inline constexpr int kShareWrite = 3;
inline constexpr int kShareReadWrite = 4;

class DbFile {
 public:
  // A closed stream over the given platform; the Env must outlive the stream.
  explicit DbFile(platform::Env& env);
  // Constructs, then Open(); the name is kept even when the open fails.
  DbFile(platform::Env& env, const DbString& name, int access, int disposition, int share);
  DbFile(const DbFile&) = delete;
  DbFile& operator=(const DbFile&) = delete;
  // Closes the file when it is open.
  virtual ~DbFile();

  // Opens `name` (a device path). 1 on success; 0 with kAlreadyOpen when a file is open, or
  // with the mapped platform error. Share code 1 is taken as 4.
  int Open(const DbString& name, int access, int disposition, int share);
  // Reads up to n bytes at the current position into `dest`, whose length becomes the count
  // read, which is answered (0 at the end of the file, `dest` then empty). 0 with kNotOpen
  // when closed or n is 0. On a platform failure `dest` is released and 0 answered.
  uint32_t Read(DbString& dest, uint32_t n);
  // Writes the first n bytes of `src`. Answers the count the platform wrote (a full disk may
  // make it short), or 0 on failure; kNotOpen when closed or when src's capacity is below n.
  uint32_t Write(const DbString& src, uint32_t n);
  // Reads up to n bytes at the current position straight into `dest` (which must hold n
  // bytes), for large transfers without a copy. Answers the count read (0 at the end of the
  // file); 0 with an error when closed, when n is 0, or on a platform failure.
  uint32_t ReadBytes(void* dest, uint32_t n);
  // Writes n bytes from `src` at the current position without a copy. Answers the count the
  // platform wrote (short on a full disk), or 0 with an error.
  uint32_t WriteBytes(const void* src, uint32_t n);
  // Moves to `offset` from the start (origin 0) or from the current position (any other
  // origin). Answers the new position, or 0 with the mapped error.
  uint32_t Seek(int origin, int64_t offset);
  // The file's size, or 0 with an error.
  uint32_t Size();
  // Ends the file at `position`. 1 on success.
  int Truncate(uint32_t position);
  // Brings what was written to stable storage. 1 on success.
  int Sync();
  // 1 when a file was open and is now closed; 0 with kNotOpen when none was open.
  int Close();

  bool IsOpen() const { return handle_ != platform::kInvalidFileHandle; }
  DbFileError LastError() const { return error_; }
  // Forgets the last failure, so that a caller can tell whether the next call failed: Seek to 0
  // and Size of an empty file answer 0 on success too.
  void ClearError() { error_ = DbFileError::kNone; }
  const DbString& Name() const { return name_; }

 private:
  int Fail(DbFileError error);
  int FailFromPlatform();

  platform::Env& env_;
  platform::FileHandle handle_ = platform::kInvalidFileHandle;
  DbFileError error_ = DbFileError::kNone;
  DbString name_;
};

// Deletes the file at a device path, first clearing its attributes so that a read-only file
// goes too. 1 when the file was deleted.
int DeleteDbFile(platform::Env& env, const DbString& name);

// True unless the file at a device path is certainly missing: a file that exists but cannot be
// opened (held exclusively, unreadable) counts as existing, so callers never write over it.
bool DbFileExists(platform::Env& env, const DbString& name);

}  // namespace ledgerix
