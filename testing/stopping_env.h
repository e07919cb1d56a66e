#pragma once
// StoppingEnv: an Env for tests that leaves the disk as a process killed at a chosen moment
// leaves it. It forwards every call to the device's Env until the n-th call that changes the
// disk; of that call it carries out only a part (a write puts its first half, rounded down; any
// other change is not made), and from then on every call fails without reaching the disk. A
// test runs an operation with n = 1, 2, ... and opens the files afterwards with the device's
// Env, as the next start of the program would.
//
// While it exists, the device's object store makes its file calls through it (see
// Env::RouteObjectStore), so that the kill reaches the store's file and log as it reaches any
// other file.

#include <cstddef>
#include <cstdint>

#include "platform/env.h"
#include "platform/posix_env.h"

namespace ledgerix::testing {

class StoppingEnv : public platform::Env {
 public:
  // Stops at the n-th disk change from now (n >= 1). `base` is not owned and must outlive
  // this. Routes the store of `base` through this Env.
  StoppingEnv(platform::PosixEnv* base, int n);
  // After the stop, closes the store of `base` while its calls still fail here, so that it
  // writes nothing a killed process would not have written and the next Objects() reads its
  // files as the kill left them. Then gives the route of the store back. Without a stop the
  // store stays open, as the program that goes on working has it.
  ~StoppingEnv() override;
  StoppingEnv(const StoppingEnv&) = delete;
  StoppingEnv& operator=(const StoppingEnv&) = delete;

  // True once the stop has come.
  bool stopped() const { return stopped_; }
  // Moves the stop to the n-th disk change from now (n >= 1), so that what a test does before
  // the operation it kills (opening the database) is not counted. No effect after the stop.
  void StopAt(int n);

  // The calls that change the disk: Write, SetEndOfFile, Sync, Delete, Rename, CreateDirectory,
  // RemoveDirectory, SetAttributesNormal, Open that may create or write, BackupObjectStore,
  // ResetObjectStore.
  platform::FileHandle Open(std::u16string_view path, int access, int disposition,
                            int share) override;
  int64_t Read(platform::FileHandle file, void* dest, size_t n) override;
  int64_t Write(platform::FileHandle file, const void* src, size_t n) override;
  int64_t Seek(platform::FileHandle file, int64_t offset) override;
  int64_t Size(platform::FileHandle file) override;
  bool SetEndOfFile(platform::FileHandle file) override;
  bool Sync(platform::FileHandle file) override;
  // Always releases the handle in the wrapped Env, so that nothing stays open.
  bool Close(platform::FileHandle file) override;
  bool SetAttributesNormal(std::u16string_view path) override;
  bool Delete(std::u16string_view path) override;
  bool Rename(std::u16string_view from, std::u16string_view to) override;
  bool CreateDirectory(std::u16string_view path) override;
  bool RemoveDirectory(std::u16string_view path) override;
  platform::FindHandle FindFirst(std::u16string_view pattern, platform::FindData* first) override;
  bool FindNext(platform::FindHandle search, platform::FindData* next) override;
  void FindClose(platform::FindHandle search) override;
  uint32_t LastError() const override;
  std::u16string ProgramFilePath() const override;
  bool RunAndWait(std::u16string_view path) override;
  // The store of `base`, whose file calls come through this Env. Not counted itself.
  platform::ObjectStore* Objects() override;
  Env* RouteObjectStore(Env* io) override;
  bool BackupObjectStore(std::u16string_view device_path) override;
  bool ResetObjectStore() override;

 private:
  // Counts a disk change; true when it is to be made whole. The n-th is the stop.
  bool Change();

  platform::PosixEnv* base_;
  Env* previous_store_io_;  // the route of the base's store before this Env took it
  int remaining_;
  bool stopped_ = false;
};

}  // namespace ledgerix::testing
