#pragma once
// An SQLite file system (a "VFS") whose every file call goes through a platform Env, so that
// the object store's file, its write-ahead log, any journal and the copies it writes are reached
// by device paths and can be broken by a FaultInjectionEnv like any other file.

#include <sqlite3.h>

#include <string>

#include "platform/env.h"

namespace ledgerix::platform {

// SQLite names files by UTF-8 device paths ("\objects.sqlite", "\objects.sqlite-wal"). Files
// are opened exclusively (share 0), so no other handle, of this process or another, can open
// the store while a connection holds it. Locking is therefore no more than a record of the
// level SQLite asked for, and there are no shared-memory calls: a connection on this VFS must
// run with locking_mode=EXCLUSIVE before it first reads, which keeps the log's index in the
// connection's own memory. Files SQLite opens without a name (temporary files) are kept in
// memory. Randomness, time and sleeping are the default VFS's.
//
// Registered with SQLite under a name of its own for its lifetime; connections opened on it
// must be closed before it is destroyed. Used from one thread, like the Env.
class SqliteEnvVfs {
 public:
  // `io` is not owned and must stay alive while the VFS makes calls through it (see SetIo).
  explicit SqliteEnvVfs(Env* io);
  ~SqliteEnvVfs();
  SqliteEnvVfs(const SqliteEnvVfs&) = delete;
  SqliteEnvVfs& operator=(const SqliteEnvVfs&) = delete;

  // The name to give sqlite3_open_v2.
  const char* name() const { return name_.c_str(); }

  // The Env that file calls go through from now on. Files already open keep their handles, so
  // the new Env must reach the same files with the same handles: the old one, or an Env that
  // wraps it and hands handles on unchanged.
  void SetIo(Env* io) { io_ = io; }
  Env* io() const { return io_; }

  // How many file calls have failed since the VFS was made (a search that finds nothing and
  // the removal of a missing file are answers, not failures), and the last of them as the Env
  // told it.
  uint64_t failure_count() const { return failure_count_; }
  const FailureDetail& last_failure() const { return last_failure_; }

 private:
  struct File;
  struct Slot;
  struct Methods;

  static SqliteEnvVfs& Of(sqlite3_vfs* vfs) { return *static_cast<SqliteEnvVfs*>(vfs->pAppData); }
  static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                  int* out_flags);
  static int Delete(sqlite3_vfs* vfs, const char* name, int sync_dir);
  static int Access(sqlite3_vfs* vfs, const char* name, int flags, int* result);
  static int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out);
  // Whether a file of that name exists and holds bytes, as SQLite's own VFS tells existence.
  bool HasContent(const std::u16string& path);
  // Keeps the Env's account of a call that failed; answers `code`.
  int Failed(int code);

  Env* io_;
  uint64_t failure_count_ = 0;
  FailureDetail last_failure_;
  std::string name_;
  sqlite3_vfs vfs_{};
};

}  // namespace ledgerix::platform
