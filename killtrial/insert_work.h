#pragma once
// InsertWork: kill trials of adding entries one by one. The child adds numbered entries, each a
// transaction of its own, spread over the kinds so that most land amid the table and move the
// rows after them, and reports each once AddEntry answered 1. After the kill every entry that
// was stored before, and every one reported, must be there exactly once, and no row may be
// there that no add put there (the one under way at the kill may be there or not).

#include <chrono>
#include <cstdint>
#include <set>
#include <vector>

#include "finance/finance_records.h"
#include "killtrial/trial_work.h"

namespace ledgerix::killtrial {

class InsertWork : public TrialWork {
 public:
  bool Prepare(TrialSetting& setting) override;
  KillPlan PlanKill(std::mt19937& random) const override;
  void Run(TrialSetting& setting, TrialReporter& reporter) override;
  void Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) override;

  // The entry numbered `serial`: its note is "s" and the number.
  static EntryRecord EntryOf(int32_t serial);
  // The numbers of the stored entries, in table order, one per row; false when the table
  // cannot be read whole or a row carries no number.
  static bool StoredSerials(FinanceDb& db, std::vector<int32_t>* out);

 private:
  std::set<int32_t> stored_;  // the entries at the start of the next trial
  int32_t next_serial_ = 0;   // never used before
  std::chrono::microseconds step_{1000};
};

}  // namespace ledgerix::killtrial
