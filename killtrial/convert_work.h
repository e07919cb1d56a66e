#pragma once
// ConvertWork: kill trials of converting a database of the older layout. Each trial's child
// makes an older database (entries without note or account, counts in whole units), then opens
// it as the program's start does, which converts it, and is killed at a random moment of that.
// After the kill the next start must open the database with every entry there exactly once and
// converted: its count of n units now n.00, its note empty and its account 1, which exists.

#include <chrono>
#include <string>
#include <vector>

#include "killtrial/trial_work.h"

namespace ledgerix::killtrial {

class ConvertWork : public TrialWork {
 public:
  bool Prepare(TrialSetting& setting) override;
  KillPlan PlanKill(std::mt19937& random) const override;
  void Run(TrialSetting& setting, TrialReporter& reporter) override;
  void Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) override;

  // Removes whatever database and rebuild files the device holds and makes the older database
  // in their place. False when that fails.
  static bool MakeOlderDatabase(TrialSetting& setting);
  // The entries' lines of the exchange file once converted, sorted.
  static std::vector<std::string> ConvertedEntries();

 private:
  std::chrono::microseconds step_{1000};  // how long a conversion takes
};

}  // namespace ledgerix::killtrial
