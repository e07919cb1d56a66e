#pragma once
// The ten-year household: a deterministic finance database for the benchmarks. Five accounts,
// 300 kinds in 30 categories (income and expense), and a chosen number of entries spread over
// ten years, with salaries, everyday spending and transfers between accounts with commissions,
// all drawn from a seed so that the same options always give the same rows.

#include <cstdint>
#include <string>
#include <vector>

#include "finance/finance_db.h"
#include "finance/finance_records.h"

namespace ledgerix::bench {

inline constexpr int kHouseholdAccounts = 5;
inline constexpr int kHouseholdKinds = 300;
inline constexpr int kHouseholdCategories = 30;
// The ten years the entries cover: 2010 to 2019.
inline constexpr int kHouseholdFirstYear = 2010;
inline constexpr int kHouseholdYears = 10;

struct HouseholdOptions {
  int entries = 50000;
  uint64_t seed = 1;
};

struct Household {
  std::vector<AccountRecord> accounts;
  std::vector<KindRecord> kinds;
  // Day by day, as the household booked them.
  std::vector<EntryRecord> entries;
};

// The household of the options: exactly options.entries entries (none for 0 or less).
Household MakeHousehold(const HouseholdOptions& options);

// Replaces the contents of the open database `db` with the household, through the finance
// operations (DeleteAllData, AddAccount, AddKind, AddEntry). The entries are added kind by kind,
// each kind's in date order: the file database keeps its entries in order of their kind, so this
// order makes each insert land at the end of the table instead of moving the rows behind it; it
// changes only the order among the entries of one kind. 1 when every row was stored; 0 at the
// first row that was not.
int WriteHousehold(const Household& household, FinanceDb& db);

// An archive (exchange text) as a tool other than this program writes it: the "[sec_data]"
// lines in date order (stable, so a day keeps its order) rather than grouped by kind as the
// file database keeps them. The other sections and every line's bytes are unchanged.
std::string EntriesInDateOrder(const std::string& archive_text);

// The household as the text of an exchange file (Windows-1251): its kinds, entries and accounts
// in that order. Loading it (FinanceDb::ReadExchangeFile) fills a database far faster than
// WriteHousehold, with the same rows.
std::string HouseholdExchangeText(const Household& household);

// The date of one of the household's days, 0 for 1 January 2010, as a DateKey.
int32_t HouseholdDateKey(int day_index);
// The number of days in the ten years (3652).
int HouseholdDayCount();

}  // namespace ledgerix::bench
