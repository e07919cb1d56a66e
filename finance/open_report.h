#pragma once
// OpenReport: what opening the finance database found and did, with what a message to the
// person needs: the outcome, what was damaged, where a copy or backup was left, how many rows
// of each table came back, and why it failed.

#include <cstdint>
#include <vector>

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

enum class OpenOutcome {
  kOpened,     // the database was whole and is open
  kCreated,    // nothing was stored: a new database with the default contents is open
  kConverted,  // a database of an older layout was saved to `backup` and is open rebuilt
  kSalvaged,   // the database was damaged: a copy is in `copy_folder`, and a new database
               // holding the rows that could be read is open
  kDamaged,    // the database is damaged and no copy of it could be kept: nothing was changed
  kReadOnly,   // the storage cannot be written: nothing was changed
  kFailed,     // it could not be opened, created or rebuilt (`failure` says why); nothing was
               // deleted of which no copy or backup is kept
};

// What was found damaged.
enum class DamageFound {
  kNone,
  kStore,           // the store that holds every table does not open
  kStoreRefuses,    // nothing of the database is stored, and the store refuses to take it
                    // (damage where reading does not look)
  kCatalogMissing,  // no catalog, but tables hold rows
  kCatalogDamaged,  // the catalog does not decode whole, or lists other tables or columns
  kTables,          // the catalog is sound, but a table is missing or not every row reads
};

// What came back of one table.
struct TableRecovery {
  DbString table;
  uint32_t recovered = 0;  // rows read and stored again
  uint32_t lost = 0;       // rows, or pieces of one, that could not be read or stored again
  bool missing = false;    // the table was not stored at all
};

struct OpenReport {
  OpenOutcome outcome = OpenOutcome::kFailed;
  DamageFound damage = DamageFound::kNone;
  // A rebuild that an earlier start began and did not finish was done now, from `backup` (an
  // older layout) or from the rows kept in `copy_folder`.
  bool resumed = false;
  DbString copy_folder;  // device path of the copy of a damaged database; empty when none
  DbString backup;       // device path of the exchange file of an older layout; empty when none
  std::vector<TableRecovery> tables;  // kSalvaged and kConverted: per finance table
  platform::FailureDetail failure;    // kFailed, kDamaged and kReadOnly: why

  // True when the database is open for use.
  bool Opened() const {
    return outcome == OpenOutcome::kOpened || outcome == OpenOutcome::kCreated ||
           outcome == OpenOutcome::kConverted || outcome == OpenOutcome::kSalvaged;
  }
};

}  // namespace ledgerix
