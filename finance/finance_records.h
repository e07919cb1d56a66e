#pragma once
// In-memory rows of the finance tables: AccountRecord ([sec_firms]), KindRecord
// ([sec_consumeritems]), EntryRecord ([sec_data]), and EntryFilter, a selection of entries.

#include <cstdint>

#include "engine/db_string.h"

namespace ledgerix {

struct AccountRecord {
  int32_t id = 0;
  DbString name;  // firmName
  int32_t currency_id = 0;
  DbString note;
};

struct KindRecord {
  int32_t id = 0;
  DbString name;      // descr
  DbString category;  // empty when the kind has none
  double price = 0;   // default price
  int32_t type = 0;   // 1 income kind, 2 expense kind
};

struct EntryRecord {
  int32_t date = 0;  // DateKey
  double price = 0;  // unit price
  double count = 0;  // number of units
  int32_t kind_id = 0;
  int32_t type = 0;  // TypeCode
  int32_t mark = 0;  // 1 when the "[+]" digit is set; kept by the entry list, not stored
  int32_t account_id = 0;
  int32_t currency_id = 0;
  DbString note;
};

// Only date, kind id, type and account id are read; 0 accepts every value.
using EntryFilter = EntryRecord;

}  // namespace ledgerix
