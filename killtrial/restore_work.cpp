#include "killtrial/restore_work.h"

#include <algorithm>

#include "engine/atomic_file.h"

namespace ledgerix::killtrial {
namespace {

constexpr const char16_t* kArchives[] = {u"\\data\\archive a.txt", u"\\data\\archive b.txt"};

// Two archives that differ in every table, the first the larger.
std::string ArchiveText(int which) {
  const int kinds = which == 0 ? 12 : 8;
  const int entries = which == 0 ? 1200 : 800;
  const char letter = which == 0 ? 'a' : 'b';
  std::string text = "[sec_consumeritems]\r\n";
  for (int kind = 1; kind <= kinds; ++kind) {
    text += std::to_string(kind) + ";Kind " + letter + std::to_string(kind) + ";Group;0;2;0;\r\n";
  }
  text += "\r\n[sec_data]\r\n";
  for (int i = 0; i < entries; ++i) {
    text += std::to_string(1 + i % kinds) + ";150308;" + std::to_string(256 * i) + ";256;2;" +
            letter + std::to_string(i) + ";1;0;\r\n";
  }
  text += "\r\n[sec_firms]\r\n";
  for (int account = 1; account <= 3 - which; ++account) {
    text += std::to_string(account) + ";Account " + letter + ";;0;\r\n";
  }
  return text;
}

DbString ArchivePath(int which) {
  DbString path;
  path.AppendWide(kArchives[which]);
  return path;
}

}  // namespace

std::string RestoreWork::Tables(FinanceDb& db) {
  std::string tables;
  for (const char* table : {kKindsTable, kEntriesTable, kAccountsTable}) {
    const DbString section = db.WriteTableSection(table);
    if (section.Length() == 0) return "";
    tables += section.View();
  }
  return tables;
}

bool RestoreWork::Prepare(TrialSetting& setting) {
  setting.env.CreateDirectory(u"\\data");
  for (int which : {0, 1}) {
    if (!ReplaceFileContent(setting.env, ArchivePath(which),
                            DbString(std::string_view(ArchiveText(which))))) {
      return false;
    }
  }
  FinanceDb db(setting.env, setting.clock, setting.globals);
  if (!db.Open(kDatabaseName)) return false;
  for (int which : {0, 1}) {
    const auto start = std::chrono::steady_clock::now();
    if (!db.RestoreExchangeFile(ArchivePath(which))) return false;
    step_ = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                  start);
    restored_[which] = Tables(db);
    if (restored_[which].empty()) return false;
  }
  current_ = restored_[1];
  return restored_[0] != restored_[1];
}

KillPlan RestoreWork::PlanKill(std::mt19937& random) const {
  KillPlan plan;
  plan.events = static_cast<int>(random() % 4);  // 0 to 2 restores answered
  plan.delay = std::chrono::microseconds(random() % std::max<int64_t>(100, 2 * step_.count()));
  return plan;
}

void RestoreWork::Run(TrialSetting& setting, TrialReporter& reporter) {
  FinanceDb db(setting.env, setting.clock, setting.globals);
  if (!db.Open(kDatabaseName)) return;
  reporter.Ready();
  // Each restore changes the tables: first the archive they do not hold.
  for (int which = current_ == restored_[0] ? 1 : 0;; which = 1 - which) {
    reporter.Started(which);
    reporter.Answered(which, db.RestoreExchangeFile(ArchivePath(which)));
  }
}

void RestoreWork::Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) {
  std::string acknowledged = current_;  // what the last restore that answered 1 left
  int in_flight = -1;                   // the archive being restored at the kill
  for (const TrialEvent& event : events) {
    if (event.kind == TrialEvent::Kind::kStarted) {
      in_flight = event.step;
    } else if (event.kind == TrialEvent::Kind::kAnswered) {
      in_flight = -1;
      if (event.answer == 1) {
        acknowledged = restored_[event.step];
      } else {
        ++tally->failed_steps;
      }
    }
  }
  if (in_flight >= 0) ++tally->killed_in_flight;
  const std::string now = Tables(db);
  const bool whole = now == current_ || now == restored_[0] || now == restored_[1];
  if (!whole) {
    ++tally->partial;
  } else if (now != acknowledged && !(in_flight >= 0 && now == restored_[in_flight])) {
    ++tally->lost;
  }
  if (whole) current_ = now;
}

}  // namespace ledgerix::killtrial
