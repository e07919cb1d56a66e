#include "engine/program_path.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

// An Env that only knows where the program's file is.
class ProgramFileEnv : public platform::Env {
 public:
  explicit ProgramFileEnv(std::u16string path) : path_(std::move(path)) {}
  std::u16string ProgramFilePath() const override { return path_; }

  platform::FileHandle Open(std::u16string_view, int, int, int) override { return -1; }
  int64_t Read(platform::FileHandle, void*, size_t) override { return -1; }
  int64_t Write(platform::FileHandle, const void*, size_t) override { return -1; }
  int64_t Seek(platform::FileHandle, int64_t) override { return -1; }
  int64_t Size(platform::FileHandle) override { return -1; }
  bool SetEndOfFile(platform::FileHandle) override { return false; }
  bool Sync(platform::FileHandle) override { return false; }
  bool Close(platform::FileHandle) override { return false; }
  bool SetAttributesNormal(std::u16string_view) override { return false; }
  bool Delete(std::u16string_view) override { return false; }
  bool Rename(std::u16string_view, std::u16string_view) override { return false; }
  bool CreateDirectory(std::u16string_view) override { return false; }
  platform::FindHandle FindFirst(std::u16string_view, platform::FindData*) override { return 0; }
  bool FindNext(platform::FindHandle, platform::FindData*) override { return false; }
  void FindClose(platform::FindHandle) override {}
  uint32_t LastError() const override { return 0; }
  bool RunAndWait(std::u16string_view) override { return false; }
  platform::ObjectStore* Objects() override { return nullptr; }
  bool BackupObjectStore(std::u16string_view) override { return false; }
  bool ResetObjectStore() override { return false; }

 private:
  std::u16string path_;
};

TEST(ProgramPathTest, ProgramAtTheRoot) {
  const ProgramFileEnv env(u"\\ledgerix.exe");
  EXPECT_EQ(ProgramPath(env, "tolvena_db").View(), "\\tolvena_db");
  DbString dir("stale");
  DbString file;
  ProgramDirectory(env, &dir, &file);
  EXPECT_EQ(dir.View(), "");
  EXPECT_EQ(file.View(), "ledgerix.exe");
  ProgramDirectory(env, nullptr, nullptr);
}

TEST(ProgramPathTest, ProgramInAFolder) {
  const ProgramFileEnv env(u"\\Program Files\\Учёт\\ledgerix.exe");
  EXPECT_EQ(ToUtf8(ProgramPath(env, "data\\")), "\\Program Files\\Учёт\\data\\");
  DbString dir;
  DbString file;
  ProgramDirectory(env, &dir, &file);
  EXPECT_EQ(ToUtf8(dir), "\\Program Files\\Учёт");
  EXPECT_EQ(file.View(), "ledgerix.exe");
}

TEST(ProgramPathTest, PathWithoutSeparator) {
  const ProgramFileEnv env(u"ledgerix.exe");
  EXPECT_EQ(ProgramPath(env, "x").View(), "x");
  DbString dir("d");
  DbString file("f");
  ProgramDirectory(env, &dir, &file);
  EXPECT_EQ(dir.Length(), 0u);
  EXPECT_EQ(file.Length(), 0u);
}

}  // namespace
}  // namespace ledgerix
