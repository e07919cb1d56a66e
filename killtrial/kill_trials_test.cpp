// A few kill trials of each kind of work on both storage kinds: the full series runs from
// scripts/kill-trials.sh.

#include "killtrial/kill_trials.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "testing/driver_kinds.h"

namespace ledgerix::killtrial {
namespace {

class KillTrialTest : public ::testing::TestWithParam<std::tuple<DriverKind, std::string>> {};

TEST_P(KillTrialTest, AKilledProcessLosesAndMixesNothing) {
  TrialOptions options;
  options.storage = std::get<0>(GetParam());
  options.work = std::get<1>(GetParam());
  options.trials = 4;
  options.seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(options.seed));
  TrialTally tally;
  std::string error;
  ASSERT_TRUE(RunKillTrials(options, &tally, &error)) << error;
  EXPECT_EQ(tally.trials, 4);
  EXPECT_EQ(tally.partial, 0);
  EXPECT_EQ(tally.lost, 0);
  EXPECT_EQ(tally.duplicates, 0);
  EXPECT_EQ(tally.unopened, 0);
  EXPECT_EQ(tally.failed_steps, 0);
}

INSTANTIATE_TEST_SUITE_P(Works, KillTrialTest,
                         ::testing::Combine(testing::BothStorageKinds(),
                                            ::testing::Values("insert", "restore", "convert")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == DriverKind::kFileDatabase
                                                  ? "FileDatabase"
                                                  : "ObjectStore") +
                                  "_" + std::get<1>(info.param);
                         });

TEST(KillTrialsTest, AnUnknownWorkDoesNotRun) {
  TrialOptions options;
  options.work = "nothing";
  TrialTally tally;
  std::string error;
  EXPECT_FALSE(RunKillTrials(options, &tally, &error));
  EXPECT_NE(error.find("nothing"), std::string::npos);
  EXPECT_EQ(tally.trials, 0);
  EXPECT_EQ(MakeTrialWork("nothing"), nullptr);
  for (const std::string& name : TrialWorkNames()) EXPECT_NE(MakeTrialWork(name), nullptr) << name;
}

}  // namespace
}  // namespace ledgerix::killtrial
