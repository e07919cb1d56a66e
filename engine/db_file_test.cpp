#include "engine/db_file.h"

#include <gtest/gtest.h>

#include "engine/directory_lister.h"
#include "platform/fault_injection_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

using platform::kDispositionCreateAlways;
using platform::kDispositionCreateNew;
using platform::kDispositionOpenAlways;
using platform::kDispositionOpenExisting;

class DbFileTest : public ::testing::Test {
 protected:
  testing::TempDeviceRoot device_;
  platform::Env& env_ = device_.env();
};

TEST_F(DbFileTest, WritesReadsSeeksAndTruncates) {
  DbFile file(env_, DbString("\\a.bin"), kAccessReadWrite, kDispositionCreateAlways,
              kShareExclusive);
  ASSERT_TRUE(file.IsOpen());
  DbString text("hello world");
  EXPECT_EQ(file.Write(text, 11), 11u);
  EXPECT_EQ(file.Size(), 11);
  EXPECT_EQ(file.Seek(0, 6), 6);
  DbString dest;
  EXPECT_EQ(file.Read(dest, 100), 5u);
  EXPECT_EQ(dest.View(), "world");
  EXPECT_EQ(file.Truncate(5), 1);
  EXPECT_EQ(file.Size(), 5);
  EXPECT_EQ(device_.ReadHostFile(u"\\a.bin"), "hello");
}

TEST_F(DbFileTest, ReadAtTheEndAnswersZeroAndLeavesTheErrorAlone) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\a.bin", "x"));
  DbFile file(env_, DbString("\\a.bin"), kAccessRead, kDispositionOpenExisting, kShareReadWrite);
  DbString dest;
  EXPECT_EQ(file.Read(dest, 1), 1u);
  EXPECT_EQ(file.Read(dest, 1), 0u);
  EXPECT_EQ(dest.Length(), 0u);
  EXPECT_EQ(file.LastError(), DbFileError::kNone);
}

TEST_F(DbFileTest, MisuseIsAnsweredWithTheStreamsOwnCodes) {
  DbFile file(env_, DbString("\\a.bin"), kAccessReadWrite, kDispositionCreateAlways,
              kShareExclusive);
  EXPECT_EQ(file.Open(DbString("\\b.bin"), kAccessReadWrite, kDispositionCreateAlways, 0), 0);
  EXPECT_EQ(file.LastError(), DbFileError::kAlreadyOpen);
  EXPECT_EQ(file.Name().View(), "\\a.bin");

  DbString small("ab");  // capacity 200
  EXPECT_EQ(file.Write(small, 201), 0u);
  EXPECT_EQ(file.LastError(), DbFileError::kNotOpen);
  EXPECT_EQ(file.Size(), 0);

  DbString dest;
  EXPECT_EQ(file.Read(dest, 0), 0u);
  EXPECT_EQ(file.LastError(), DbFileError::kNotOpen);

  EXPECT_EQ(file.Close(), 1);
  EXPECT_EQ(file.Name().Length(), 0u);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.LastError(), DbFileError::kNotOpen);
}

TEST_F(DbFileTest, PlatformFailuresAreMappedOntoStreamCodes) {
  DbFile missing(env_, DbString("\\nothing.bin"), kAccessRead, kDispositionOpenExisting, 0);
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.LastError(), DbFileError::kFileNotFound);
  EXPECT_EQ(missing.Name().View(), "\\nothing.bin");

  ASSERT_TRUE(device_.WriteHostFile(u"\\a.bin", "x"));
  DbFile exists(env_, DbString("\\a.bin"), kAccessReadWrite, kDispositionCreateNew, 0);
  EXPECT_EQ(exists.LastError(), DbFileError::kAccessDenied);

  DbFile holder(env_, DbString("\\a.bin"), kAccessReadWrite, kDispositionOpenExisting,
                kShareExclusive);
  ASSERT_TRUE(holder.IsOpen());
  DbFile second(env_, DbString("\\a.bin"), kAccessReadWrite, kDispositionOpenExisting,
                kShareReadWrite);
  EXPECT_EQ(second.LastError(), DbFileError::kSharingViolation);
}

// A size or position of 0 is an answer like any other; only -1 is a failure, with its code kept.
TEST_F(DbFileTest, SizeAndSeekAnswerMinusOneOnlyOnFailure) {
  platform::FaultInjectionEnv faulty(&env_);
  DbFile file(faulty);
  EXPECT_EQ(file.Size(), -1);
  EXPECT_EQ(file.LastError(), DbFileError::kNotOpen);
  EXPECT_EQ(file.Seek(0, 0), -1);
  EXPECT_EQ(file.LastError(), DbFileError::kNotOpen);

  ASSERT_EQ(file.Open(DbString("\\e.bin"), kAccessReadWrite, kDispositionCreateAlways, 0), 1);
  EXPECT_EQ(file.Size(), 0);
  EXPECT_EQ(file.Seek(0, 0), 0);
  EXPECT_EQ(file.LastError(), DbFileError::kNone);

  faulty.FailNth(platform::FileOp::kSize, 1, platform::winerr::kNotReady);
  EXPECT_EQ(file.Size(), -1);
  EXPECT_EQ(file.LastError(), DbFileError::kHardwareIo);
  faulty.FailNth(platform::FileOp::kSeek, 1, platform::winerr::kAccessDenied);
  EXPECT_EQ(file.Seek(0, 0), -1);
  EXPECT_EQ(file.LastError(), DbFileError::kAccessDenied);
  EXPECT_EQ(file.Seek(1, 0), -1);
  EXPECT_EQ(file.LastError(), DbFileError::kBadSeek);
}

// A close the platform reports as failed may have lost what was written: it is told, and the
// stream is closed all the same.
TEST_F(DbFileTest, AFailedCloseIsToldAndClosesTheStream) {
  platform::FaultInjectionEnv faulty(&env_);
  DbFile file(faulty, DbString("\\c.bin"), kAccessReadWrite, kDispositionCreateAlways, 0);
  ASSERT_TRUE(file.IsOpen());
  faulty.FailNth(platform::FileOp::kClose, 1, platform::winerr::kWriteFault);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.LastError(), DbFileError::kAccessDenied);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Open(DbString("\\c.bin"), kAccessRead, kDispositionOpenExisting, 0), 1);
  EXPECT_EQ(file.Close(), 1);
}

// Sizes and positions past 4 GiB are answered whole, not cut to 32 bits.
TEST_F(DbFileTest, SizeAndSeekReachPastFourGibibytes) {
  constexpr int64_t kFar = (int64_t{5} << 30) + 7;
  DbFile file(env_, DbString("\\big.bin"), kAccessReadWrite, kDispositionCreateAlways, 0);
  ASSERT_TRUE(file.IsOpen());
  ASSERT_EQ(file.Seek(0, kFar), kFar);
  ASSERT_EQ(file.Write(DbString("x"), 1), 1u);  // the bytes before it stay a hole
  EXPECT_EQ(file.Size(), kFar + 1);
}

TEST_F(DbFileTest, TwoSharedStreamsSeeEachOthersWrites) {
  DbFile first(env_, DbString("\\t.bin"), kAccessReadWrite, kDispositionOpenAlways,
               kShareReadWrite);
  DbFile second(env_, DbString("\\t.bin"), kAccessReadWrite, kDispositionOpenAlways,
                kShareReadWrite);
  ASSERT_TRUE(first.IsOpen() && second.IsOpen());
  EXPECT_EQ(first.Write(DbString("abc"), 3), 3u);
  DbString dest;
  EXPECT_EQ(second.Read(dest, 3), 3u);
  EXPECT_EQ(dest.View(), "abc");
}

TEST_F(DbFileTest, FailedAndShortWritesAreReported) {
  platform::FaultInjectionEnv faulty(&env_);
  DbFile file(faulty, DbString("\\a.bin"), kAccessReadWrite, kDispositionCreateAlways, 0);
  faulty.SetDiskFull(true);
  EXPECT_EQ(file.Write(DbString("abcd"), 4), 0u);
  EXPECT_EQ(file.LastError(), DbFileError::kDiskFull);
  faulty.SetDiskFull(false);
  faulty.ShortWriteNth(1);
  EXPECT_EQ(file.Write(DbString("abcd"), 4), 2u);
}

TEST_F(DbFileTest, DeleteClearsAttributesFirst) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\d.bin", "x"));
  EXPECT_EQ(DeleteDbFile(env_, DbString("\\d.bin")), 1);
  EXPECT_FALSE(device_.Exists(u"\\d.bin"));
  EXPECT_EQ(DeleteDbFile(env_, DbString("\\d.bin")), 0);
}

TEST_F(DbFileTest, ExistenceIsDoubtedOnlyWhenTheFileIsCertainlyMissing) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\a.txt", "x"));
  EXPECT_TRUE(DbFileExists(env_, DbString("\\data\\a.txt")));
  EXPECT_FALSE(DbFileExists(env_, DbString("\\data\\b.txt")));
  EXPECT_FALSE(DbFileExists(env_, DbString("\\nowhere\\b.txt")));
  DbFile holder(env_, DbString("\\data\\a.txt"), kAccessReadWrite, kDispositionOpenExisting,
                kShareExclusive);
  EXPECT_TRUE(DbFileExists(env_, DbString("\\data\\a.txt")));
}

TEST_F(DbFileTest, ListerWalksMatchesRelativeToTheProgramFolder) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\b.txt", "1"));
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\a.txt", "2"));
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\c.bin", "3"));
  DirectoryLister lister(env_);
  EXPECT_EQ(lister.First(DbString("da")), 0);
  ASSERT_EQ(lister.First(DbString("data\\*.txt")), 1);
  EXPECT_EQ(lister.Directory().View(), "\\data");
  std::vector<std::string> names{std::string(lister.Name().View())};
  while (lister.Next()) names.emplace_back(lister.Name().View());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt"}));
  lister.Close();
  EXPECT_EQ(lister.Name().Length(), 0u);
  EXPECT_EQ(lister.Next(), 0);
  EXPECT_EQ(lister.First(DbString("data\\*.xls")), 0);
}

}  // namespace
}  // namespace ledgerix
