#include "fuzz/support/startup_open.h"

#include <optional>
#include <string>

#include "finance/open_report.h"
#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/fuzz_stats.h"

namespace ledgerix::fuzz {
namespace {

const char* OutcomeName(OpenOutcome outcome) {
  switch (outcome) {
    case OpenOutcome::kOpened:
      return "opened";
    case OpenOutcome::kCreated:
      return "created";
    case OpenOutcome::kConverted:
      return "converted";
    case OpenOutcome::kSalvaged:
      return "salvaged";
    case OpenOutcome::kDamaged:
      return "damaged";
    case OpenOutcome::kReadOnly:
      return "read-only";
    case OpenOutcome::kFailed:
      return "failed";
  }
  return "?";
}

std::string Why(const OpenReport& report) {
  return std::string("outcome ") + OutcomeName(report.outcome) + ", failed call " +
         report.failure.call + " on " + report.failure.host_path + ", error " +
         std::to_string(report.failure.error) + " " + report.failure.host_text;
}

bool Contains(const std::string& text, const Row& row) {
  return !text.empty() && text.find(Joined(row)) != std::string::npos;
}

bool AllEmpty(const Tables& tables) {
  for (const Rows& rows : tables) {
    if (!rows.empty()) return false;
  }
  return true;
}

uint32_t RecoveredInAll(const OpenReport& report) {
  uint32_t rows = 0;
  for (const TableRecovery& table : report.tables) rows += table.recovered;
  return rows;
}

// An older entry as the converted one must show it: everything but the count (which is
// converted), and an empty note, the cash account and currency 0.
Row OlderEntryKey(const Row& older) {
  return {older[0], older[1], older[2], older[4], "", "1", "0"};
}
Row EntryKey(const Row& entry) {
  return {entry[0], entry[1], entry[2], entry[4], entry[5], entry[6], entry[7]};
}

const char* DamageName(DamageFound damage) {
  switch (damage) {
    case DamageFound::kNone:
      return "none";
    case DamageFound::kStore:
      return "store";
    case DamageFound::kStoreRefuses:
      return "store refuses";
    case DamageFound::kCatalogMissing:
      return "catalog missing";
    case DamageFound::kCatalogDamaged:
      return "catalog damaged";
    case DamageFound::kTables:
      return "tables";
  }
  return "?";
}

void CountOutcome(const OpenReport& report) {
  CountStat(std::string(OutcomeName(report.outcome)) + ", damage " + DamageName(report.damage) +
            (report.resumed ? ", resumed" : ""));
}

class OpenCheck {
 public:
  OpenCheck(FuzzDevice& device, const StoredFinanceRows& stored, const Tables& defaults,
            const CopyRows& copy_rows, const OpenReport& report, const Tables& opened)
      : device_(device),
        stored_(stored),
        defaults_(defaults),
        copy_rows_(copy_rows),
        report_(report),
        opened_(opened) {}

  void Run() {
    switch (report_.outcome) {
      case OpenOutcome::kOpened:
        for (size_t t = 0; t < opened_.size(); ++t) {
          FUZZ_CHECK(
              Missing(stored_.tables[t], opened_[t]).empty() &&
                  Missing(opened_[t], stored_.tables[t]).empty(),
              std::string("a database opened as whole shows other rows of ") + kFinanceTables[t]);
        }
        return;
      case OpenOutcome::kCreated:
        FUZZ_CHECK(AllEmpty(stored_.tables),
                   "a database holding rows was taken for none:\n" + Describe(stored_.tables[0]) +
                       Describe(stored_.tables[1]) + Describe(stored_.tables[2]));
        FUZZ_CHECK(opened_ == defaults_, "a new database lacks its defaults");
        return;
      case OpenOutcome::kSalvaged:
        FUZZ_CHECK(report_.copy_folder.Length() > 0, "a salvage kept no copy");
        for (size_t t = 0; t < opened_.size(); ++t) CheckTable(t, stored_.tables[t], "");
        return;
      case OpenOutcome::kConverted:
        CheckConverted();
        return;
      default:
        FUZZ_CHECK(false, "Open answered 1 with " + Why(report_));
    }
  }

 private:
  // The rows of the kept copy, read when first needed: reading it costs as much as an input.
  const Tables& Copy() {
    if (!copy_) copy_ = copy_rows_(report_.copy_folder);
    return *copy_;
  }

  // The rows of table t that were stored and are not there are counted as lost, and are in the
  // kept copy or in `backup`; rows that were not stored are the defaults of a database of which
  // nothing came back.
  void CheckTable(size_t t, const Rows& stored, const std::string& backup) {
    FUZZ_CHECK(report_.tables.size() == kFinanceTables.size(), "the report lists no tables");
    const Rows missing = Missing(stored, opened_[t]);
    FUZZ_CHECK(missing.size() <= report_.tables[t].lost,
               std::string("rows of ") + kFinanceTables[t] + " are gone, " +
                   std::to_string(report_.tables[t].lost) + " counted as lost:\n" +
                   Describe(missing));
    Rows not_kept;
    for (const Row& row : missing) {
      if (!Contains(backup, row)) not_kept.push_back(row);
    }
    if (!not_kept.empty()) {
      FUZZ_CHECK(report_.copy_folder.Length() > 0,
                 "lost rows are neither in the backup nor in a copy:\n" + Describe(not_kept));
      const Rows not_copied = Missing(not_kept, Copy()[t]);
      FUZZ_CHECK(not_copied.empty(), std::string("the kept copy lacks lost rows of ") +
                                         kFinanceTables[t] + ":\n" + Describe(not_copied));
    }
    const Rows extra = Missing(opened_[t], stored);
    if (extra.empty()) return;
    FUZZ_CHECK(RecoveredInAll(report_) == 0 && Missing(extra, defaults_[t]).empty(),
               std::string("rows that were not stored appear in ") + kFinanceTables[t] + ":\n" +
                   Describe(extra));
  }

  void CheckConverted() {
    FUZZ_CHECK(report_.backup.Length() > 0, "a conversion kept no backup");
    const std::string backup = device_.ReadHostFile(report_.backup.Wide());
    CheckTable(0, stored_.tables[0], backup);
    // The accounts of a layout without them are not read; the cash account is added when none
    // has its id.
    Rows accounts = stored_.catalog_lists_accounts ? stored_.tables[2] : Rows();
    Rows added;
    for (const Row& row : Missing(opened_[2], accounts)) {
      FUZZ_CHECK(row.size() == 4 && row[0] == "1" && row[1] == FromUtf8("Наличные").CStr(),
                 "a conversion added an account that was not stored: " + Describe(row));
      added.push_back(row);
    }
    accounts.insert(accounts.end(), added.begin(), added.end());
    CheckTable(2, accounts, backup);
    Rows older_keys;
    for (const Row& row : stored_.older_entries) older_keys.push_back(OlderEntryKey(row));
    Rows opened_keys;
    for (const Row& row : opened_[1]) opened_keys.push_back(EntryKey(row));
    const Rows missing = Missing(older_keys, opened_keys);
    FUZZ_CHECK(missing.size() <= report_.tables[1].lost,
               "converted entries are gone:\n" + Describe(missing));
    const Rows extra = Missing(opened_keys, older_keys);
    FUZZ_CHECK(extra.empty(), "converted entries that were not stored:\n" + Describe(extra));
  }

  FuzzDevice& device_;
  const StoredFinanceRows& stored_;
  const Tables& defaults_;
  const CopyRows& copy_rows_;
  const OpenReport& report_;
  const Tables& opened_;
  std::optional<Tables> copy_;
};

}  // namespace

OpenReport CheckStartupOpen(FuzzDevice& device, DriverKind kind, const StoredFinanceRows& stored,
                            const Tables& defaults, const CopyRows& copy_rows) {
  FinanceSetup setup(kind);
  Tables opened;
  OpenReport first;
  {
    FinanceDb db(device.env(), setup.clock, setup.globals);
    OpenReport report;
    const int result = db.Open(kDatabaseName, &report);
    FUZZ_CHECK(result == (report.Opened() ? 1 : 0),
               "Open answered " + std::to_string(result) + " with " + Why(report));
    FUZZ_CHECK(result == 1, "a stored database on a writable device did not open: " + Why(report));
    opened = ReadTables(db);
    OpenCheck(device, stored, defaults, copy_rows, report, opened).Run();
    CountOutcome(report);
    first = report;
  }
  // Opening a database found whole changes nothing, so a second start would only repeat it.
  if (first.outcome == OpenOutcome::kOpened) return first;
  FinanceDb again(device.env(), setup.clock, setup.globals);
  OpenReport report;
  FUZZ_CHECK(again.Open(kDatabaseName, &report) == 1 && report.outcome == OpenOutcome::kOpened,
             "the second start does not find the database whole: " + Why(report));
  FUZZ_CHECK(ReadTables(again) == opened, "the second start shows other rows");
  return first;
}

}  // namespace ledgerix::fuzz
