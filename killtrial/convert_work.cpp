#include "killtrial/convert_work.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>

#include "access/db_connection.h"
#include "engine/db_string.h"
#include "finance/damaged_copy.h"
#include "finance/older_layout.h"

namespace ledgerix::killtrial {
namespace {

// Enough entries that a conversion takes a while to kill into.
constexpr int kOlderEntries = 1000;
constexpr int32_t kKinds = 5;

// Entry i of the older database: kind, date, price (packed hundredths), count in whole units.
struct OlderEntry {
  int32_t kind, date, price, count;
};

OlderEntry OlderEntryOf(int i) {
  return {1 + i % kKinds, 110110 + i % 28 * 10000, 256 * (1 + i), 1 + i % 9};
}

// Adds rows to one table in a bulk load; false when one is refused.
bool AddRows(DbRecordSet& record_set, const char* table,
             const std::vector<std::vector<DbValue>>& rows) {
  if (record_set.OpenTable(table, nullptr) != 1) return false;
  record_set.BeginBulkLoad();
  for (const std::vector<DbValue>& values : rows) {
    if (record_set.AddNew() != 1) return false;
    DbRecord* record = record_set.CurrentRecord(-1);
    if (record == nullptr) return false;
    for (uint32_t i = 0; i < values.size(); ++i) record->FieldByIndex(i)->CopyFrom(values[i]);
    if (record_set.Update() != 1) return false;
  }
  return record_set.EndBulkLoad() == 1;
}

// The data lines of one table's exchange section.
std::vector<std::string> SectionLines(FinanceDb& db, const char* table) {
  const std::string text(db.WriteTableSection(table).View());
  std::vector<std::string> lines;
  size_t start = text.find("\r\n");
  while (start != std::string::npos && start + 2 < text.size()) {
    const size_t end = text.find("\r\n", start + 2);
    lines.push_back(text.substr(start + 2, end - start - 2));
    start = end;
  }
  return lines;
}

}  // namespace

bool ConvertWork::MakeOlderDatabase(TrialSetting& setting) {
  platform::Env& env = setting.env;
  if (!env.ResetObjectStore()) return false;
  for (const char* folder : {"\\tolvena_db", "\\data"}) {
    // A folder that is not there is as good as removed.
    if (!RemoveFolderWithFiles(env, DbString(folder)) &&
        env.LastError() != platform::winerr::kFileNotFound &&
        env.LastError() != platform::winerr::kPathNotFound) {
      return false;
    }
  }
  DbConnection connection(env, setting.globals.storage_kind);
  if (!connection.CreateDatabase(DbString(kDatabaseName), OlderLayoutSchema(true)) ||
      !connection.Open(DbString(kDatabaseName), DbString(), DbString())) {
    return false;
  }
  std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
  std::vector<std::vector<DbValue>> kinds;
  for (int32_t kind = 1; kind <= kKinds; ++kind) {
    kinds.push_back(
        {DbValue(kind), DbValue("Kind"), DbValue("Group"), DbValue(0), DbValue(2), DbValue(0)});
  }
  std::vector<std::vector<DbValue>> entries;
  for (int i = 0; i < kOlderEntries; ++i) {
    const OlderEntry entry = OlderEntryOf(i);
    entries.push_back({DbValue(entry.kind), DbValue(entry.date), DbValue(entry.price),
                       DbValue(entry.count), DbValue(2)});
  }
  const std::vector<std::vector<DbValue>> accounts = {
      {DbValue(2), DbValue("Card"), DbValue(""), DbValue(0)}};
  return record_set != nullptr && AddRows(*record_set, kKindsTable, kinds) &&
         AddRows(*record_set, kEntriesTable, entries) &&
         AddRows(*record_set, kAccountsTable, accounts);
}

std::vector<std::string> ConvertWork::ConvertedEntries() {
  std::vector<std::string> lines;
  for (int i = 0; i < kOlderEntries; ++i) {
    const OlderEntry entry = OlderEntryOf(i);
    // A count of n whole units packs as n * 256; the note is empty and the account 1.
    lines.push_back(std::to_string(entry.kind) + ";" + std::to_string(entry.date) + ";" +
                    std::to_string(entry.price) + ";" + std::to_string(entry.count * 256) +
                    ";2;;1;0;");
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

bool ConvertWork::Prepare(TrialSetting& setting) {
  if (!MakeOlderDatabase(setting)) return false;
  // One conversion without a kill sets the pace of the kills, and shows that it converts.
  FinanceDb db(setting.env, setting.clock, setting.globals);
  const auto start = std::chrono::steady_clock::now();
  if (!db.Open(kDatabaseName)) return false;
  step_ = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                start);
  std::vector<std::string> entries = SectionLines(db, kEntriesTable);
  std::sort(entries.begin(), entries.end());
  return entries == ConvertedEntries();
}

KillPlan ConvertWork::PlanKill(std::mt19937& random) const {
  KillPlan plan;
  plan.events = 0;  // from the moment the older database is there
  // Most kills during the conversion, a few after it.
  plan.delay = std::chrono::microseconds(random() % std::max<int64_t>(100, step_.count() * 6 / 5));
  return plan;
}

void ConvertWork::Run(TrialSetting& setting, TrialReporter& reporter) {
  if (!MakeOlderDatabase(setting)) return;
  reporter.Ready();
  reporter.Started(0);
  {
    FinanceDb db(setting.env, setting.clock, setting.globals);
    reporter.Answered(0, db.Open(kDatabaseName));
  }
  // The work is done; the kill may still come while the program would go on.
  for (;;) pause();
}

void ConvertWork::Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) {
  bool in_flight = false;
  for (const TrialEvent& event : events) {
    if (event.kind == TrialEvent::Kind::kStarted) {
      in_flight = true;
    } else if (event.kind == TrialEvent::Kind::kAnswered) {
      in_flight = false;
      if (event.answer != 1) ++tally->failed_steps;
    }
  }
  if (in_flight) ++tally->killed_in_flight;
  std::map<std::string, int> copies;
  for (const std::string& line : SectionLines(db, kEntriesTable)) ++copies[line];
  bool stray = false;
  for (const std::string& line : ConvertedEntries()) {
    const auto found = copies.find(line);
    if (found == copies.end()) {
      ++tally->lost;
      continue;
    }
    tally->duplicates += found->second - 1;
    copies.erase(found);
  }
  // Entries left over were not converted, or converted wrongly.
  stray = !copies.empty();
  // Account 1 is made, account 2 kept, every kind kept.
  const std::vector<std::string> accounts = SectionLines(db, kAccountsTable);
  stray = stray || accounts.size() != 2 || accounts[0].rfind("1;", 0) != 0 ||
          accounts[1] != "2;Card;;0;";
  stray = stray || SectionLines(db, kKindsTable).size() != static_cast<size_t>(kKinds);
  if (stray) ++tally->partial;
}

}  // namespace ledgerix::killtrial
