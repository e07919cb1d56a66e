// Starting the desktop companion from the program's folder.
#include "reports/companion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "platform/fault_injection_env.h"
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
  EXPECT_TRUE(StartCompanion(device.env()));
  // The call came back only after the companion had written its marker.
  EXPECT_TRUE(std::filesystem::exists(device.program_folder() + "/marker"));
}

TEST(CompanionTest, AMissingCompanionIsAnsweredQuietly) {
  testing::TempDeviceRoot device;
  platform::FaultInjectionEnv counting(&device.env());
  EXPECT_FALSE(StartCompanion(counting));
  EXPECT_EQ(counting.Count(platform::FileOp::kRunAndWait), 1);
  EXPECT_EQ(counting.LastError(), platform::winerr::kFileNotFound);
}

}  // namespace
}  // namespace ledgerix
