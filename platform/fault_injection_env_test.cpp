#include "platform/fault_injection_env.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/object_store.h"
#include "testing/open_descriptors.h"
#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

constexpr int kReadWrite = 3;
constexpr int kShareAll = 4;

class FaultInjectionEnvTest : public ::testing::Test {
 protected:
  FaultInjectionEnvTest() : env_(&device_.env()) {}

  FileHandle Create(std::u16string_view path) {
    return env_.Open(path, kReadWrite, kDispositionCreateAlways, kShareAll);
  }
  int64_t WriteText(FileHandle file, std::string_view text) {
    return env_.Write(file, text.data(), text.size());
  }

  // Saves a file the careful way: write a temporary file, sync it, move it over the old one.
  bool Save(std::string_view contents) {
    const FileHandle file = Create(u"\\settings\\s.tmp");
    if (file == kInvalidFileHandle) return false;
    const bool written =
        WriteText(file, contents) == static_cast<int64_t>(contents.size()) && env_.Sync(file);
    const bool closed = env_.Close(file);
    return written && closed && env_.Rename(u"\\settings\\s.tmp", u"\\settings\\s.$$$");
  }

  testing::TempDeviceRoot device_;
  FaultInjectionEnv env_;
};

TEST_F(FaultInjectionEnvTest, ForwardsAndCountsEveryCall) {
  const FileHandle file = Create(u"\\a.txt");
  ASSERT_NE(file, kInvalidFileHandle);
  EXPECT_EQ(WriteText(file, "abc"), 3);
  EXPECT_EQ(env_.Seek(file, 0), 0);
  char buffer[3];
  EXPECT_EQ(env_.Read(file, buffer, 3), 3);
  EXPECT_TRUE(env_.Close(file));
  EXPECT_EQ(env_.Count(FileOp::kOpen), 1);
  EXPECT_EQ(env_.Count(FileOp::kWrite), 1);
  EXPECT_EQ(env_.Count(FileOp::kRead), 1);
  EXPECT_EQ(env_.Count(FileOp::kClose), 1);
  EXPECT_EQ(env_.MutationCount(), 2);  // the creating open and the write
  EXPECT_EQ(env_.InjectedCount(), 0);
  EXPECT_EQ(device_.ReadHostFile(u"\\a.txt"), "abc");
  EXPECT_EQ(env_.ProgramFilePath(), u"\\ledgerix.exe");

  // The wrapped Env's own errors come through.
  EXPECT_EQ(env_.Open(u"\\none", 1, kDispositionOpenExisting, kShareAll), kInvalidFileHandle);
  EXPECT_EQ(env_.LastError(), winerr::kFileNotFound);
  env_.Reset();
  EXPECT_EQ(env_.Count(FileOp::kOpen), 0);
}

TEST_F(FaultInjectionEnvTest, FailNthBreaksExactlyThatCall) {
  const FileHandle file = Create(u"\\a.txt");
  env_.FailNth(FileOp::kWrite, 2, winerr::kWriteFault);
  EXPECT_EQ(WriteText(file, "one"), 3);
  EXPECT_EQ(WriteText(file, "two"), -1);
  EXPECT_EQ(env_.LastError(), winerr::kWriteFault);
  EXPECT_EQ(WriteText(file, "three"), 5);
  EXPECT_EQ(env_.LastError(), winerr::kWriteFault);  // kept until the next failure
  EXPECT_EQ(env_.InjectedCount(), 1);

  env_.FailNth(FileOp::kSize, 1, winerr::kGenFailure);
  env_.FailNth(FileOp::kSeek, 1, winerr::kNegativeSeek);
  env_.FailNth(FileOp::kOpen, 1, winerr::kSharingViolation);
  EXPECT_EQ(env_.Size(file), -1);
  EXPECT_EQ(env_.Seek(file, 0), -1);
  EXPECT_EQ(env_.LastError(), winerr::kNegativeSeek);
  EXPECT_EQ(Create(u"\\b.txt"), kInvalidFileHandle);
  EXPECT_FALSE(device_.Exists(u"\\b.txt"));

  env_.FailNth(FileOp::kClose, 1, winerr::kCrc);
  EXPECT_FALSE(env_.Close(file));
  EXPECT_EQ(env_.LastError(), winerr::kCrc);
  // The failed close still let the handle go.
  EXPECT_FALSE(env_.Close(file));
  EXPECT_EQ(env_.LastError(), winerr::kInvalidHandle);
  EXPECT_EQ(device_.ReadHostFile(u"\\a.txt"), "onethree");
}

TEST_F(FaultInjectionEnvTest, ShortTransfersAndAFullDisk) {
  const FileHandle file = Create(u"\\a.txt");
  env_.ShortWriteNth(1);
  EXPECT_EQ(WriteText(file, "abcdefg"), 3);
  EXPECT_EQ(env_.LastError(), winerr::kDiskFull);
  EXPECT_EQ(device_.ReadHostFile(u"\\a.txt"), "abc");

  env_.SetDiskFull(true);
  EXPECT_EQ(WriteText(file, "xyz"), -1);
  EXPECT_EQ(env_.LastError(), winerr::kDiskFull);
  EXPECT_EQ(device_.ReadHostFile(u"\\a.txt"), "abc");
  env_.SetDiskFull(false);
  EXPECT_EQ(WriteText(file, "d"), 1);

  env_.Seek(file, 0);
  env_.ShortReadNth(1);
  char buffer[4] = {};
  EXPECT_EQ(env_.Read(file, buffer, 4), 2);
  EXPECT_EQ(std::string(buffer, 2), "ab");
  EXPECT_EQ(env_.Read(file, buffer, 4), 2);
  EXPECT_EQ(std::string(buffer, 2), "cd");
  env_.Close(file);
}

TEST_F(FaultInjectionEnvTest, WhatCountsAsAMutation) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\a.txt", "abc"));
  const FileHandle reader = env_.Open(u"\\a.txt", 1, kDispositionOpenExisting, kShareAll);
  char c;
  env_.Read(reader, &c, 1);
  env_.Size(reader);
  env_.Close(reader);
  FindData data;
  env_.FindClose(env_.FindFirst(u"\\*", &data));
  EXPECT_EQ(env_.MutationCount(), 0);

  const FileHandle writer = env_.Open(u"\\a.txt", 2, kDispositionOpenExisting, kShareAll);
  env_.Write(writer, "x", 1);
  env_.SetEndOfFile(writer);
  env_.Sync(writer);
  env_.Close(writer);
  env_.CreateDirectory(u"\\d");
  env_.SetAttributesNormal(u"\\a.txt");
  env_.Rename(u"\\a.txt", u"\\b.txt");
  env_.Delete(u"\\b.txt");
  EXPECT_EQ(env_.MutationCount(), 8);
}

TEST_F(FaultInjectionEnvTest, ObjectStoreBackupAndResetCanFail) {
  ASSERT_NE(env_.Objects(), nullptr);
  ASSERT_TRUE(env_.Objects()->CreateDatabase(u"t", 1, SortOrder{}));
  env_.FailNth(FileOp::kBackupObjectStore, 1, winerr::kDiskFull);
  env_.FailNth(FileOp::kResetObjectStore, 1, winerr::kAccessDenied);
  EXPECT_FALSE(env_.BackupObjectStore(u"\\copy"));
  EXPECT_EQ(env_.LastError(), winerr::kDiskFull);
  EXPECT_FALSE(device_.Exists(u"\\copy"));
  EXPECT_FALSE(env_.ResetObjectStore());
  EXPECT_EQ(env_.LastError(), winerr::kAccessDenied);
  EXPECT_TRUE(env_.Objects()->DatabaseExists(u"t")) << "the failed reset changed nothing";

  EXPECT_TRUE(env_.BackupObjectStore(u"\\copy"));
  EXPECT_TRUE(device_.Exists(u"\\copy"));
  EXPECT_TRUE(env_.ResetObjectStore());
  EXPECT_FALSE(env_.Objects()->DatabaseExists(u"t"));
  EXPECT_EQ(env_.Count(FileOp::kBackupObjectStore), 2);
  EXPECT_EQ(env_.Count(FileOp::kResetObjectStore), 2);
  // Besides the four calls, the store's own writes of the copy and at its close come through.
  EXPECT_GT(env_.MutationCount(), 4);

  // The wrapped Env's own failure comes through.
  EXPECT_FALSE(env_.BackupObjectStore(u"\\missing\\copy"));
  EXPECT_EQ(env_.LastError(), winerr::kPathNotFound);
}

TEST_F(FaultInjectionEnvTest, EveryMutationOfASaveCanFailAndNoneLeaks) {
  ASSERT_TRUE(env_.CreateDirectory(u"\\settings"));
  ASSERT_TRUE(Save("old"));
  const int descriptors = testing::OpenDescriptorCount();
  int failures = 0;
  for (int n = 1; n < 100; ++n) {
    env_.Reset();
    env_.FailNthMutation(n, winerr::kDiskFull);
    const bool saved = Save("new");
    if (env_.InjectedCount() == 0) {
      EXPECT_TRUE(saved);
      break;
    }
    ++failures;
    EXPECT_FALSE(saved) << "mutation " << n;
    EXPECT_EQ(env_.LastError(), winerr::kDiskFull);
    // Whatever failed, the saved file is whole: the old one or, after the rename, the new one.
    EXPECT_EQ(device_.ReadHostFile(u"\\settings\\s.$$$"), "old") << "mutation " << n;
  }
  EXPECT_EQ(failures, 4);  // open, write, sync, rename
  EXPECT_EQ(device_.ReadHostFile(u"\\settings\\s.$$$"), "new");
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
}

}  // namespace
}  // namespace ledgerix::platform
