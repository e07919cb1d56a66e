// The dated names of backups and of copies of damaged databases.
#include "finance/backup_names.h"

#include <gtest/gtest.h>

#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

TEST(BackupNamesTest, StampHasTwoDigitsPerNumber) {
  testing::FakeClock clock;
  clock.SetDate(2008, 3, 5, 7, 4);
  EXPECT_EQ(ToUtf8(BackupStamp(clock)), "05.03.08 07_04");
  clock.SetDate(2031, 12, 31, 23, 59);
  EXPECT_EQ(ToUtf8(BackupStamp(clock)), "31.12.31 23_59");
}

TEST(BackupNamesTest, OlderLayoutBackupLivesInData) {
  testing::TempDeviceRoot root;
  testing::FakeClock clock;
  clock.SetDate(2010, 1, 9, 18, 30);
  EXPECT_EQ(ToUtf8(OlderLayoutBackupPath(root.env(), clock)), "\\data\\09.01.10 18_30.txt");
}

TEST(BackupNamesTest, DamagedCopyFoldersNeverReuseAName) {
  testing::TempDeviceRoot root;
  testing::FakeClock clock;
  clock.SetDate(2024, 2, 29, 9, 5);
  DbString first;
  DbString second;
  DbString third;
  ASSERT_TRUE(CreateDamagedCopyFolder(root.env(), clock, &first));
  ASSERT_TRUE(CreateDamagedCopyFolder(root.env(), clock, &second));
  ASSERT_TRUE(CreateDamagedCopyFolder(root.env(), clock, &third));
  EXPECT_EQ(ToUtf8(first), "\\data\\damaged 29.02.24 09_05");
  EXPECT_EQ(ToUtf8(second), "\\data\\damaged 29.02.24 09_05 (2)");
  EXPECT_EQ(ToUtf8(third), "\\data\\damaged 29.02.24 09_05 (3)");
  EXPECT_TRUE(root.Exists(u"\\data\\damaged 29.02.24 09_05 (3)"));
}

}  // namespace
}  // namespace ledgerix
