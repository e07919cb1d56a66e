#pragma once
// Opening a stored finance database as start-up does, for the targets that damage one. What
// must hold for every stored database on a writable device:
// - Open answers (a hang is caught by libFuzzer's -timeout), and answers 1: a database that is
//   damaged is salvaged, never left unusable;
// - every table of the opened database reads whole;
// - no row is hidden: every row that storage holds readable under the finance layout is in the
//   opened database, or it is counted as lost in the report and the kept copy holds it (for a
//   database of the older layout: the backup or the copy holds it); no row appears that was not
//   stored, except the defaults of a database of which nothing could be read;
// - a salvage keeps a copy; a second Open after anything but a normal open finds the database
//   whole and gives the same rows.

#include <functional>

#include "engine/db_driver.h"
#include "engine/db_string.h"
#include "finance/open_report.h"
#include "fuzz/support/fuzz_device.h"
#include "fuzz/support/known_database.h"

namespace ledgerix::fuzz {

// What storage holds before the open, read without the code that opens it.
struct StoredFinanceRows {
  Tables tables;  // per finance table, the rows that read under the finance layout
  // The rows of the entries table read under the older layout (five whole numbers), and whether
  // the catalog lists an accounts table: what a database of the older layout holds.
  Rows older_entries;
  bool catalog_lists_accounts = true;
};

// Per finance table, the rows the kept copy of a damaged database holds; the argument is the
// device path of the folder of the copy.
using CopyRows = std::function<Tables(const DbString& copy_folder)>;

// Opens kDatabaseName on the device's Env with a FinanceDb of `kind` and checks the above;
// `defaults` are the rows of a new database. Aborts on a violation; answers the report of the
// first Open, whose outcome is counted (fuzz_stats.h).
OpenReport CheckStartupOpen(FuzzDevice& device, DriverKind kind, const StoredFinanceRows& stored,
                            const Tables& defaults, const CopyRows& copy_rows);

}  // namespace ledgerix::fuzz
