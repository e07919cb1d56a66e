#pragma once
// The finance databases the fuzz targets start from: a new one (the defaults) and one with known
// rows (the defaults, more kinds and accounts, and entries with Russian notes), with the clock
// and settings a start-up sees.

#include <array>
#include <vector>

#include "finance/finance_db.h"
#include "fuzz/support/finance_rows.h"
#include "testing/fake_clock.h"

namespace ledgerix::fuzz {

// The finance tables in the order of the finance layout.
inline constexpr std::array<const char*, 3> kFinanceTables = {kKindsTable, kEntriesTable,
                                                              kAccountsTable};

// Per finance table, in that order.
using Tables = std::vector<Rows>;

// What a FinanceDb needs beside its Env: a clock at 1 March 2024 12:00 and the storage kind.
struct FinanceSetup {
  explicit FinanceSetup(DriverKind kind) {
    clock.SetDate(2024, 3, 1, 12, 0);
    globals.storage_kind = kind;
  }
  testing::FakeClock clock;
  FinanceGlobals globals;
};

// Every finance table of the open database; aborts when one does not read whole.
Tables ReadTables(FinanceDb& db);

// The rows a new database starts with, made on an empty device of this process.
Tables DefaultTables(DriverKind kind);

// Makes the database with known rows on an empty device of this process, keeps it as the
// device's template (FuzzDevice::FromTemplate puts it back) and answers its rows.
Tables MakeKnownDatabase(DriverKind kind);

}  // namespace ledgerix::fuzz
