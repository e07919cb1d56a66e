#pragma once
// RestoreWork: kill trials of restoring archives. The child restores two different archives in
// turn, each restore one transaction over the three tables, and reports what each answered.
// After the kill the tables must equal exactly one of the archives or what they held before;
// and once a restore answered 1, what it restored or what the restore under way at the kill
// restores.

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "killtrial/trial_work.h"

namespace ledgerix::killtrial {

class RestoreWork : public TrialWork {
 public:
  bool Prepare(TrialSetting& setting) override;
  KillPlan PlanKill(std::mt19937& random) const override;
  void Run(TrialSetting& setting, TrialReporter& reporter) override;
  void Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) override;

  // The three tables as exchange text; empty when one cannot be read.
  static std::string Tables(FinanceDb& db);

 private:
  std::array<std::string, 2> restored_;  // the tables after restoring each archive
  std::string current_;                  // the tables at the start of the next trial
  std::chrono::microseconds step_{1000};
};

}  // namespace ledgerix::killtrial
