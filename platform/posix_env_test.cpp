#include "platform/posix_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/fault_injection_env.h"
#include "testing/open_descriptors.h"
#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

constexpr int kRead = 1;
constexpr int kWrite = 2;
constexpr int kReadWrite = 3;
constexpr int kExclusive = 0;
constexpr int kShareAll = 4;

class PosixEnvTest : public ::testing::Test {
 protected:
  FileHandle OpenRw(std::u16string_view path, int disposition, int share = kShareAll) {
    return env().Open(path, kReadWrite, disposition, share);
  }
  std::string ReadAll(FileHandle file) {
    std::string text(static_cast<size_t>(env().Size(file)), '\0');
    EXPECT_EQ(env().Seek(file, 0), 0);
    text.resize(static_cast<size_t>(env().Read(file, text.data(), text.size())));
    return text;
  }
  bool WriteText(FileHandle file, std::string_view text) {
    return env().Write(file, text.data(), text.size()) == static_cast<int64_t>(text.size());
  }
  std::vector<std::u16string> FindAll(std::u16string_view pattern) {
    std::vector<std::u16string> names;
    FindData data;
    const FindHandle search = env().FindFirst(pattern, &data);
    if (search == kInvalidFindHandle) return names;
    do {
      names.push_back(data.name + (data.is_directory ? u"\\" : u""));
    } while (env().FindNext(search, &data));
    env().FindClose(search);
    return names;
  }
  PosixEnv& env() { return device_.env(); }

  testing::TempDeviceRoot device_;
};

TEST_F(PosixEnvTest, CreatesItsFoldersWhenMissing) {
  EXPECT_TRUE(env().Ready());
  EXPECT_TRUE(std::filesystem::is_directory(device_.host_root()));
  EXPECT_TRUE(std::filesystem::is_directory(device_.documents_folder()));
  EXPECT_EQ(env().ProgramFilePath(), u"\\ledgerix.exe");
}

// A failure keeps the call, the host path and the host's own error beside the Windows number,
// and a call that fails without a host error keeps no stale host text.
TEST_F(PosixEnvTest, AFailureKeepsItsCallPathAndHostError) {
  EXPECT_EQ(OpenRw(u"\\missing.txt", kDispositionOpenExisting), kInvalidFileHandle);
  FailureDetail missing = env().LastFailure();
  EXPECT_EQ(missing.call, "Open");
  EXPECT_EQ(missing.error, winerr::kFileNotFound);
  EXPECT_EQ(missing.host_errno, ENOENT);
  EXPECT_TRUE(missing.host_path.ends_with("/missing.txt")) << missing.host_path;
  EXPECT_FALSE(missing.host_text.empty());

  const FileHandle held = OpenRw(u"\\held.txt", kDispositionCreateNew);
  ASSERT_NE(held, kInvalidFileHandle);
  EXPECT_FALSE(env().Delete(u"\\held.txt"));
  const FailureDetail refused = env().LastFailure();
  EXPECT_EQ(refused.call, "Delete");
  EXPECT_EQ(refused.error, winerr::kSharingViolation);
  EXPECT_EQ(refused.host_errno, 0);
  EXPECT_TRUE(refused.host_text.empty());
  EXPECT_TRUE(refused.host_path.ends_with("/held.txt"));
  EXPECT_TRUE(env().Close(held));

  const FileHandle read_only = env().Open(u"\\held.txt", kRead, kDispositionOpenExisting, 4);
  ASSERT_NE(read_only, kInvalidFileHandle);
  EXPECT_EQ(env().Write(read_only, "x", 1), -1);
  EXPECT_EQ(env().LastFailure().call, "Write");
  EXPECT_TRUE(env().LastFailure().host_path.ends_with("/held.txt"));
  EXPECT_TRUE(env().Close(read_only));
  EXPECT_EQ(env().LastFailure().call, "Write") << "a call that succeeds keeps the last failure";
}

TEST_F(PosixEnvTest, DispositionsAndTheirErrors) {
  EXPECT_EQ(OpenRw(u"\\missing.txt", kDispositionOpenExisting), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  EXPECT_EQ(OpenRw(u"\\no_folder\\a.txt", kDispositionOpenAlways), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kPathNotFound);

  FileHandle file = OpenRw(u"\\a.txt", kDispositionCreateNew);
  ASSERT_NE(file, kInvalidFileHandle);
  EXPECT_TRUE(WriteText(file, "hello"));
  EXPECT_TRUE(env().Close(file));
  EXPECT_EQ(OpenRw(u"\\a.txt", kDispositionCreateNew), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kFileExists);

  file = OpenRw(u"\\a.txt", kDispositionOpenAlways);  // keeps the contents
  EXPECT_EQ(ReadAll(file), "hello");
  EXPECT_TRUE(env().Close(file));
  file = OpenRw(u"\\a.txt", kDispositionCreateAlways);  // empties the file
  EXPECT_EQ(env().Size(file), 0);
  EXPECT_TRUE(env().Close(file));
  file = OpenRw(u"\\new.txt", kDispositionOpenAlways);
  EXPECT_NE(file, kInvalidFileHandle);
  EXPECT_TRUE(env().Sync(file));
  EXPECT_TRUE(env().Close(file));
  EXPECT_TRUE(device_.Exists(u"\\new.txt"));

  EXPECT_EQ(OpenRw(u"\\a.txt", 7), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kInvalidParameter);
}

TEST_F(PosixEnvTest, RefusesBadNamesFoldersAndReadOnlyFilesForWriting) {
  EXPECT_EQ(OpenRw(u"\\..\\escape.txt", kDispositionOpenAlways), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kInvalidName);
  EXPECT_EQ(OpenRw(u"\\a*.txt", kDispositionOpenAlways), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kInvalidName);
  EXPECT_FALSE(std::filesystem::exists(device_.host_root() + "/../escape.txt"));

  ASSERT_TRUE(env().CreateDirectory(u"\\data"));
  EXPECT_EQ(env().Open(u"\\data", kRead, kDispositionOpenExisting, kShareAll), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);

  ASSERT_TRUE(device_.WriteHostFile(u"\\ro.txt", "keep"));
  ::chmod(device_.HostPath(u"\\ro.txt").c_str(), 0444);
  EXPECT_EQ(OpenRw(u"\\ro.txt", kDispositionOpenExisting), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_EQ(OpenRw(u"\\ro.txt", kDispositionCreateAlways), kInvalidFileHandle);
  EXPECT_EQ(device_.ReadHostFile(u"\\ro.txt"), "keep");
  const FileHandle reader = env().Open(u"\\ro.txt", kRead, kDispositionOpenExisting, kShareAll);
  EXPECT_NE(reader, kInvalidFileHandle);
  EXPECT_TRUE(env().Close(reader));
  EXPECT_TRUE(env().SetAttributesNormal(u"\\ro.txt"));
  const FileHandle writer = OpenRw(u"\\ro.txt", kDispositionOpenExisting);
  EXPECT_NE(writer, kInvalidFileHandle);
  EXPECT_TRUE(env().Close(writer));
}

TEST_F(PosixEnvTest, ExclusiveAndSharedOpensInOneProcess) {
  const FileHandle first = OpenRw(u"\\t.$tab$", kDispositionOpenAlways, kShareAll);
  ASSERT_NE(first, kInvalidFileHandle);
  ASSERT_TRUE(WriteText(first, "rows"));
  // Two shared handles on one file, as two table streams hold it.
  const FileHandle second = OpenRw(u"\\t.$tab$", kDispositionOpenExisting, kShareAll);
  EXPECT_NE(second, kInvalidFileHandle);
  EXPECT_EQ(OpenRw(u"\\t.$tab$", kDispositionOpenExisting, kExclusive), kInvalidFileHandle);
  EXPECT_EQ(env().LastError(), winerr::kSharingViolation);
  // A refused create-always must not empty the file under its holders.
  EXPECT_EQ(OpenRw(u"\\t.$tab$", kDispositionCreateAlways, kExclusive), kInvalidFileHandle);
  EXPECT_EQ(device_.ReadHostFile(u"\\t.$tab$"), "rows");

  EXPECT_TRUE(env().Close(first));
  EXPECT_TRUE(env().Close(second));
  const FileHandle exclusive = OpenRw(u"\\t.$tab$", kDispositionOpenExisting, kExclusive);
  ASSERT_NE(exclusive, kInvalidFileHandle);
  for (int share : {1, 2, 3, 4, 0}) {
    EXPECT_EQ(env().Open(u"\\t.$tab$", kRead, kDispositionOpenExisting, share), kInvalidFileHandle)
        << "share " << share;
    EXPECT_EQ(env().LastError(), winerr::kSharingViolation);
  }
  EXPECT_TRUE(env().Close(exclusive));
  const FileHandle again = OpenRw(u"\\t.$tab$", kDispositionOpenExisting, kExclusive);
  EXPECT_NE(again, kInvalidFileHandle);
  EXPECT_TRUE(env().Close(again));
}

TEST_F(PosixEnvTest, ReadWriteSeekSizeTruncate) {
  const FileHandle file = OpenRw(u"\\data.bin", kDispositionCreateAlways);
  ASSERT_TRUE(WriteText(file, "0123456789"));
  EXPECT_EQ(env().Size(file), 10);
  EXPECT_EQ(env().Seek(file, 4), 4);
  ASSERT_TRUE(WriteText(file, "ab"));
  EXPECT_EQ(ReadAll(file), "0123ab6789");

  char buffer[8] = {};
  EXPECT_EQ(env().Seek(file, 8), 8);
  EXPECT_EQ(env().Read(file, buffer, sizeof buffer), 2);
  EXPECT_EQ(env().Read(file, buffer, 1), 0);  // at the end
  // Seeking past the end is allowed; writing there fills the gap with zeros.
  EXPECT_EQ(env().Seek(file, 12), 12);
  ASSERT_TRUE(WriteText(file, "z"));
  EXPECT_EQ(env().Size(file), 13);
  EXPECT_EQ(ReadAll(file), std::string("0123ab6789\0\0z", 13));

  EXPECT_EQ(env().Seek(file, 3), 3);
  EXPECT_TRUE(env().SetEndOfFile(file));
  EXPECT_EQ(env().Size(file), 3);
  EXPECT_EQ(env().Seek(file, -1), -1);
  EXPECT_EQ(env().LastError(), winerr::kNegativeSeek);
  EXPECT_EQ(env().Write(file, "", 0), 0);
  EXPECT_TRUE(env().Close(file));
  EXPECT_EQ(device_.ReadHostFile(u"\\data.bin"), "012");
}

// A positioned read answers what Seek and Read would, on the host in one call and through the
// Env's own Seek and Read elsewhere (so that a wrapper's faults reach it).
TEST_F(PosixEnvTest, ReadAtAnswersAsSeekAndReadWould) {
  const FileHandle file = OpenRw(u"\\data.bin", kDispositionCreateAlways);
  ASSERT_TRUE(WriteText(file, "0123456789"));
  FaultInjectionEnv wrapped(&env());
  struct Case {
    int64_t offset;
    size_t n;
    int64_t answer;
    std::string bytes;
  };
  const Case cases[] = {{0, 4, 4, "0123"}, {6, 4, 4, "6789"}, {8, 4, 2, "89"},
                        {10, 4, 0, ""},    {20, 4, 0, ""},    {-1, 4, -1, ""}};
  for (Env* io : {static_cast<Env*>(&env()), static_cast<Env*>(&wrapped)}) {
    for (const Case& c : cases) {
      char buffer[8] = {};
      EXPECT_EQ(io->ReadAt(file, c.offset, buffer, c.n), c.answer) << c.offset;
      EXPECT_EQ(std::string(buffer, c.answer > 0 ? c.answer : 0), c.bytes) << c.offset;
    }
  }
  char buffer[4];
  wrapped.FailNth(FileOp::kRead, 1, winerr::kCrc);
  EXPECT_EQ(wrapped.ReadAt(file, 0, buffer, 4), -1);
  EXPECT_TRUE(env().Close(file));
  const FileHandle read_only =
      env().Open(u"\\data.bin", /*write*/ 2, kDispositionOpenExisting, kShareAll);
  ASSERT_NE(read_only, kInvalidFileHandle);
  EXPECT_EQ(env().ReadAt(read_only, 0, buffer, 4), -1);
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_TRUE(env().Close(read_only));
}

TEST_F(PosixEnvTest, HandlesKeepTheirAccessAndNeverComeBack) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\f.txt", "abc"));
  const FileHandle reader = env().Open(u"\\f.txt", kRead, kDispositionOpenExisting, kShareAll);
  EXPECT_EQ(env().Write(reader, "x", 1), -1);
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_FALSE(env().SetEndOfFile(reader));
  const FileHandle writer = env().Open(u"\\f.txt", kWrite, kDispositionOpenExisting, kShareAll);
  char c;
  EXPECT_EQ(env().Read(writer, &c, 1), -1);
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_TRUE(env().Close(writer));
  EXPECT_TRUE(env().Close(reader));

  // A closed handle stays dead even after new files are opened.
  EXPECT_FALSE(env().Close(reader));
  EXPECT_EQ(env().LastError(), winerr::kInvalidHandle);
  const FileHandle next = OpenRw(u"\\g.txt", kDispositionCreateAlways);
  EXPECT_NE(next, reader);
  EXPECT_EQ(env().Write(reader, "x", 1), -1);
  EXPECT_EQ(env().LastError(), winerr::kInvalidHandle);
  EXPECT_EQ(env().Size(next), 0);
  EXPECT_TRUE(env().Close(next));
}

TEST_F(PosixEnvTest, FindMatchesPatternsInNameOrder) {
  for (const char16_t* name : {u"\\data\\b.txt", u"\\data\\A.TXT", u"\\data\\c.csv",
                               u"\\data\\Архив.txt", u"\\data\\a1.txt"}) {
    ASSERT_TRUE(device_.WriteHostFile(name, "12345"));
  }
  ASSERT_TRUE(env().CreateDirectory(u"\\data\\sub.txt"));
  EXPECT_EQ(FindAll(u"\\data\\*.txt"), (std::vector<std::u16string>{u"A.TXT", u"a1.txt", u"b.txt",
                                                                    u"sub.txt\\", u"Архив.txt"}));
  EXPECT_EQ(FindAll(u"data\\a?.TXT"), (std::vector<std::u16string>{u"a1.txt"}));
  EXPECT_EQ(FindAll(u"\\data\\архив.*"), (std::vector<std::u16string>{u"Архив.txt"}));

  FindData data;
  const FindHandle search = env().FindFirst(u"\\data\\c.csv", &data);
  ASSERT_NE(search, kInvalidFindHandle);
  EXPECT_EQ(data.size, 5u);
  EXPECT_FALSE(data.is_directory);
  EXPECT_FALSE(env().FindNext(search, &data));
  EXPECT_EQ(env().LastError(), winerr::kNoMoreFiles);
  env().FindClose(search);
  EXPECT_FALSE(env().FindNext(search, &data));
  EXPECT_EQ(env().LastError(), winerr::kInvalidHandle);

  EXPECT_EQ(env().FindFirst(u"\\data\\*.xls", &data), kInvalidFindHandle);
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  EXPECT_EQ(env().FindFirst(u"\\nowhere\\*.txt", &data), kInvalidFindHandle);
  EXPECT_EQ(env().LastError(), winerr::kPathNotFound);
  EXPECT_EQ(env().FindFirst(u"\\*\\*.txt", &data), kInvalidFindHandle);
  EXPECT_EQ(env().LastError(), winerr::kInvalidName);
}

TEST_F(PosixEnvTest, MyDocumentsShowsInTheRootAndTakesSubFolders) {
  ASSERT_TRUE(env().CreateDirectory(u"\\data"));
  EXPECT_EQ(FindAll(u"\\*"), (std::vector<std::u16string>{u"data\\", u"My Documents\\"}));
  EXPECT_TRUE(env().CreateDirectory(u"\\My Documents\\Отчеты"));
  EXPECT_TRUE(std::filesystem::is_directory(device_.documents_folder() + "/Отчеты"));
  EXPECT_FALSE(env().CreateDirectory(u"\\my documents\\Отчеты"));
  EXPECT_EQ(env().LastError(), winerr::kAlreadyExists);
  EXPECT_FALSE(env().CreateDirectory(u"\\no\\such\\folder"));
  EXPECT_EQ(env().LastError(), winerr::kPathNotFound);
}

TEST_F(PosixEnvTest, RemoveDirectoryRemovesOnlyAnEmptyFolder) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\full\\x.txt", "x"));
  ASSERT_TRUE(env().CreateDirectory(u"\\data\\empty"));
  EXPECT_TRUE(env().RemoveDirectory(u"\\data\\empty"));
  EXPECT_FALSE(device_.Exists(u"\\data\\empty"));
  EXPECT_FALSE(env().RemoveDirectory(u"\\data\\full"));
  EXPECT_EQ(env().LastError(), winerr::kDirNotEmpty);
  EXPECT_TRUE(device_.Exists(u"\\data\\full\\x.txt"));
  EXPECT_FALSE(env().RemoveDirectory(u"\\data\\none"));
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  EXPECT_FALSE(env().RemoveDirectory(u"\\data\\full\\x.txt"));
}

TEST_F(PosixEnvTest, RenameReplacesAFileInOneStep) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\settings\\s.tmp", "new"));
  ASSERT_TRUE(device_.WriteHostFile(u"\\settings\\s.$$$", "old"));
  EXPECT_TRUE(env().Rename(u"\\settings\\s.tmp", u"\\settings\\s.$$$"));
  EXPECT_EQ(device_.ReadHostFile(u"\\settings\\s.$$$"), "new");
  EXPECT_FALSE(device_.Exists(u"\\settings\\s.tmp"));

  EXPECT_FALSE(env().Rename(u"\\settings\\s.tmp", u"\\x"));
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  EXPECT_FALSE(env().Rename(u"\\settings\\s.$$$", u"\\nowhere\\x"));
  EXPECT_EQ(env().LastError(), winerr::kPathNotFound);
  EXPECT_TRUE(env().Rename(u"\\settings\\s.$$$", u"\\My Documents\\s.txt"));
  EXPECT_EQ(device_.ReadHostFile(u"\\My Documents\\s.txt"), "new");
}

TEST_F(PosixEnvTest, FilesHeldOpenOrReadOnlyAreNotRemoved) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\held.txt", "held"));
  ASSERT_TRUE(device_.WriteHostFile(u"\\other.txt", "other"));
  const FileHandle file = env().Open(u"\\held.txt", kRead, kDispositionOpenExisting, kShareAll);
  EXPECT_FALSE(env().Delete(u"\\held.txt"));
  EXPECT_EQ(env().LastError(), winerr::kSharingViolation);
  EXPECT_FALSE(env().Rename(u"\\other.txt", u"\\held.txt"));
  EXPECT_EQ(env().LastError(), winerr::kSharingViolation);
  EXPECT_FALSE(env().Rename(u"\\held.txt", u"\\moved.txt"));
  EXPECT_TRUE(env().Close(file));
  EXPECT_TRUE(env().Delete(u"\\held.txt"));
  EXPECT_FALSE(device_.Exists(u"\\held.txt"));

  ::chmod(device_.HostPath(u"\\other.txt").c_str(), 0444);
  EXPECT_FALSE(env().Delete(u"\\other.txt"));
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_TRUE(env().SetAttributesNormal(u"\\other.txt"));
  EXPECT_TRUE(env().Delete(u"\\other.txt"));

  EXPECT_FALSE(env().Delete(u"\\other.txt"));
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  ASSERT_TRUE(env().CreateDirectory(u"\\folder"));
  EXPECT_FALSE(env().Delete(u"\\folder"));
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_FALSE(env().SetAttributesNormal(u"\\gone.txt"));
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
}

TEST_F(PosixEnvTest, RunAndWaitStartsTheCompanionAndWaitsForIt) {
  const std::string program = device_.program_folder() + "/ldxload";
  {
    std::FILE* script = std::fopen(program.c_str(), "w");
    ASSERT_NE(script, nullptr);
    // Sleeps a little before writing, so the marker exists only if the call waited.
    std::fputs("#!/bin/sh\nsleep 0.2\necho ran > \"$(dirname \"$0\")/marker\"\nexit 3\n", script);
    std::fclose(script);
  }
  ::chmod(program.c_str(), 0755);
  EXPECT_TRUE(env().RunAndWait(u"\\ldxload.exe"));
  EXPECT_TRUE(std::filesystem::exists(device_.program_folder() + "/marker"));

  EXPECT_FALSE(env().RunAndWait(u"\\missing.exe"));
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  EXPECT_FALSE(env().RunAndWait(u"\\..\\ldxload.exe"));
  EXPECT_EQ(env().LastError(), winerr::kInvalidName);
  ::chmod(program.c_str(), 0644);
  EXPECT_FALSE(env().RunAndWait(u"\\ldxload.exe"));
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
}

TEST_F(PosixEnvTest, LeavesNoDescriptorsBehind) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\f.txt", "abc"));
  ASSERT_TRUE(env().CreateDirectory(u"\\dir"));
  const int before = testing::OpenDescriptorCount();
  const FileHandle holder = OpenRw(u"\\f.txt", kDispositionOpenExisting, kExclusive);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(env().Open(u"\\f.txt", kRead, kDispositionOpenExisting, kShareAll),
              kInvalidFileHandle);  // sharing violation
    EXPECT_EQ(env().Open(u"\\dir", kRead, kDispositionOpenExisting, kShareAll),
              kInvalidFileHandle);           // a folder
    EXPECT_FALSE(env().Delete(u"\\f.txt"));  // held
    FindData data;
    env().FindClose(env().FindFirst(u"\\*", &data));
  }
  EXPECT_TRUE(env().Close(holder));
  EXPECT_EQ(testing::OpenDescriptorCount(), before);
  {
    PosixEnv other(env().options());
    ASSERT_NE(other.Open(u"\\f.txt", kRead, kDispositionOpenExisting, kShareAll),
              kInvalidFileHandle);
  }  // the destructor closes what was left open
  EXPECT_EQ(testing::OpenDescriptorCount(), before);
}

}  // namespace
}  // namespace ledgerix::platform
