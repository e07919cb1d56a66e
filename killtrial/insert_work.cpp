#include "killtrial/insert_work.h"

#include <algorithm>
#include <map>
#include <string>

#include "access/db_transaction.h"
#include "engine/parse.h"

namespace ledgerix::killtrial {
namespace {

// Entries stored before the first trial, so that every insert moves rows.
constexpr int32_t kFirstEntries = 2000;
// The kinds the new database is seeded with.
constexpr int32_t kKinds = 5;
// The note is the sixth value of an entry's line.
constexpr size_t kNoteValue = 5;

}  // namespace

EntryRecord InsertWork::EntryOf(int32_t serial) {
  EntryRecord entry;
  entry.kind_id = 1 + serial % kKinds;
  entry.date = 150308;
  entry.price = serial % 1000;
  entry.count = 1;
  entry.type = 2;
  entry.account_id = 1;
  entry.note = DbString(("s" + std::to_string(serial)).c_str());
  return entry;
}

bool InsertWork::StoredSerials(FinanceDb& db, std::vector<int32_t>* out) {
  out->clear();
  const DbString section = db.WriteTableSection(kEntriesTable);
  std::string_view text = section.View();
  // The first line names the table.
  if (text.substr(0, std::string_view(kEntriesTable).size()) != kEntriesTable) return false;
  size_t line_start = text.find('\n');
  while (line_start != std::string_view::npos && line_start + 1 < text.size()) {
    const size_t line_end = text.find('\r', line_start + 1);
    const std::string_view line = text.substr(line_start + 1, line_end - line_start - 1);
    size_t at = 0;
    for (size_t value = 0; value < kNoteValue && at != std::string_view::npos; ++value) {
      at = line.find(';', at);
      if (at != std::string_view::npos) ++at;
    }
    if (at == std::string_view::npos || at >= line.size() || line[at] != 's') return false;
    out->push_back(ParseInt(std::string(line.substr(at + 1)).c_str()));
    line_start = text.find('\n', line_end);
  }
  return true;
}

bool InsertWork::Prepare(TrialSetting& setting) {
  FinanceDb db(setting.env, setting.clock, setting.globals);
  if (!db.Open(kDatabaseName)) return false;
  {
    DbTransaction transaction(db.Connection());
    for (int32_t serial = 0; serial < kFirstEntries; ++serial) {
      if (!db.AddEntry(EntryOf(serial))) return false;
      stored_.insert(serial);
    }
    if (!transaction.Commit()) return false;
  }
  // One add on its own, as the child makes them, sets the pace of the kills.
  const auto start = std::chrono::steady_clock::now();
  if (!db.AddEntry(EntryOf(kFirstEntries))) return false;
  step_ = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                start);
  stored_.insert(kFirstEntries);
  next_serial_ = kFirstEntries + 1;
  return true;
}

KillPlan InsertWork::PlanKill(std::mt19937& random) const {
  KillPlan plan;
  plan.events = 2 * static_cast<int>(random() % 20);  // 0 to 19 adds answered
  plan.delay = std::chrono::microseconds(random() % std::max<int64_t>(100, step_.count()));
  return plan;
}

void InsertWork::Run(TrialSetting& setting, TrialReporter& reporter) {
  FinanceDb db(setting.env, setting.clock, setting.globals);
  if (!db.Open(kDatabaseName)) return;
  reporter.Ready();
  for (int32_t serial = next_serial_;; ++serial) {
    reporter.Started(serial);
    const int answer = db.AddEntry(EntryOf(serial));
    reporter.Answered(serial, answer);
    if (!answer) return;
  }
}

void InsertWork::Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) {
  std::set<int32_t> expected = stored_;
  int32_t in_flight = -1;  // the add under way at the kill; numbers are never negative
  for (const TrialEvent& event : events) {
    if (event.kind == TrialEvent::Kind::kStarted) {
      in_flight = event.step;
      next_serial_ = std::max(next_serial_, event.step + 1);
    } else if (event.kind == TrialEvent::Kind::kAnswered) {
      in_flight = -1;
      if (event.answer == 1) {
        expected.insert(event.step);
      } else {
        ++tally->failed_steps;
      }
    }
  }
  if (in_flight >= 0) ++tally->killed_in_flight;
  std::vector<int32_t> rows;
  if (!StoredSerials(db, &rows)) {
    ++tally->partial;
    return;
  }
  std::map<int32_t, int> copies;
  for (int32_t serial : rows) ++copies[serial];
  for (int32_t serial : expected) {
    if (copies.count(serial) == 0) ++tally->lost;
  }
  stored_.clear();
  bool stray = false;
  for (const auto& [serial, count] : copies) {
    tally->duplicates += count - 1;
    // A row that no add put there is a piece of a table moved half-way.
    stray = stray || (expected.count(serial) == 0 && serial != in_flight);
    stored_.insert(serial);
  }
  if (stray) ++tally->partial;
}

}  // namespace ledgerix::killtrial
