#pragma once
// DatabaseRows: the whole finance database read into memory once, as the companion's exports
// need it: kinds and accounts in table order and every entry with its stored codes (packed
// amounts, DateKey, TypeCode), so that nothing is rounded on the way to a file.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_db.h"
#include "finance/finance_records.h"

namespace ledgerix {

// One row of [sec_data] as stored.
struct StoredEntryRow {
  int32_t kind_id = 0;
  int32_t date = 0;   // DateKey
  int32_t price = 0;  // PackedAmount
  int32_t count = 0;  // PackedAmount
  int32_t type = 0;   // TypeCode
  DbString note;
  int32_t account_id = 0;
  int32_t currency_id = 0;
};

struct DatabaseRows {
  std::vector<KindRecord> kinds;
  std::vector<AccountRecord> accounts;
  std::vector<StoredEntryRow> entries;  // in table order

  // The first kind with that id (as the entry lists look kinds up); null when none has it.
  const KindRecord* KindOf(int32_t id) const;
  // The name of the first account with that non-zero id; empty when none has it.
  DbString AccountNameOf(int32_t id) const;
};

// Reads the three tables whole. False when the database is not open or a row cannot be read;
// an export of part of the data would look complete.
[[nodiscard]] bool ReadDatabaseRows(FinanceDb& db, DatabaseRows* out);

// The calendar day an entry's DateKey stands for, as every report places it (DayOrdinal: the
// two-digit year as 20YY, parts out of range carried over): "2015-06-03".
std::string IsoDateOfKey(int32_t date_key);

// Hundredths as plain decimal text with a "." and two decimals, no grouping: -150 gives "-1.50".
std::string PlainMoney(int64_t hundredths);

}  // namespace ledgerix
