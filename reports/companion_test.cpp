// Starting the desktop companion from the program's folder.
#include "reports/companion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "finance/finance_db.h"
#include "platform/fault_injection_env.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

TEST(CompanionTest, RunsTheCompanionBesideTheProgramAndWaitsForIt) {
  testing::TempDeviceRoot device;
  const std::string program = device.program_folder() + "/ldxload";
  std::FILE* script = std::fopen(program.c_str(), "w");
  ASSERT_NE(script, nullptr);
  std::fputs("#!/bin/sh\necho ran > \"$(dirname \"$0\")/marker\"\n", script);
  std::fclose(script);
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  EXPECT_TRUE(StartCompanion(device.env(), nullptr));
  // The call came back only after the companion had written its marker.
  EXPECT_TRUE(std::filesystem::exists(device.program_folder() + "/marker"));
}

TEST(CompanionTest, AMissingCompanionIsAnsweredQuietly) {
  testing::TempDeviceRoot device;
  platform::FaultInjectionEnv counting(&device.env());
  EXPECT_FALSE(StartCompanion(counting, nullptr));
  EXPECT_EQ(counting.Count(platform::FileOp::kRunAndWait), 1);
  EXPECT_EQ(counting.LastError(), platform::winerr::kFileNotFound);
}

// While the companion runs, the store's file is free for it (no log beside it: the store that
// held it exclusively is closed) and the database of the program is closed; after it, the
// database is open again with its rows.
class CompanionHandOverTest : public ::testing::TestWithParam<DriverKind> {};

TEST_P(CompanionHandOverTest, TheDataIsHandedOverWhileTheCompanionRuns) {
  testing::TempDeviceRoot root_;
  testing::FakeClock clock;
  FinanceGlobals globals;
  globals.storage_kind = GetParam();
  auto db_ = std::make_unique<FinanceDb>(root_.env(), clock, globals);
  ASSERT_EQ(db_->Open(kDatabaseName), 1);
  EntryRecord entry;
  entry.kind_id = 1;
  entry.date = 150308;
  entry.price = 15;
  entry.count = 2;
  entry.type = 2;
  entry.account_id = 1;
  ASSERT_EQ(db_->AddEntry(entry), 1);
  const DbString before = db_->WriteTableSection(kEntriesTable);
  const std::string program = root_.program_folder() + "/ldxload";
  std::FILE* script = std::fopen(program.c_str(), "w");
  ASSERT_NE(script, nullptr);
  std::fputs(
      "#!/bin/sh\ncd \"$(dirname \"$0\")/../root\"\n"
      "if [ -e objects.sqlite-wal ]; then echo held; else echo free; fi > ../program/marker\n",
      script);
  std::fclose(script);
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  EXPECT_TRUE(StartCompanion(root_.env(), db_.get()));
  std::FILE* marker = std::fopen((root_.program_folder() + "/marker").c_str(), "r");
  ASSERT_NE(marker, nullptr);
  char seen[8] = {};
  ASSERT_NE(std::fgets(seen, sizeof seen, marker), nullptr);
  std::fclose(marker);
  EXPECT_STREQ(seen, "free\n");
  ASSERT_TRUE(db_->IsOpen());
  EXPECT_EQ(db_->WriteTableSection(kEntriesTable).View(), before.View());
}

INSTANTIATE_TEST_SUITE_P(Drivers, CompanionHandOverTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix
