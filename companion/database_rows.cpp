#include "companion/database_rows.h"

#include <cstdio>
#include <memory>

#include "finance/date_key.h"
#include "finance/record_access.h"
#include "platform/clock.h"

namespace ledgerix {
namespace {

// 1 January 2000, the day DayOrdinal counts from, in seconds since 1970.
constexpr int64_t kDayZero = 946684800;
constexpr int64_t kSecondsPerDay = 86400;

// The entry columns in table order, as StoredEntryRow holds them.
constexpr const char* kEntryColumns[] = {"consumer_id", "curdate", "price",   "count",
                                         "type",        "note",    "firm_id", "currency_id"};

}  // namespace

const KindRecord* DatabaseRows::KindOf(int32_t id) const {
  for (const KindRecord& kind : kinds) {
    if (kind.id == id) return &kind;
  }
  return nullptr;
}

DbString DatabaseRows::AccountNameOf(int32_t id) const {
  if (id == 0) return DbString();
  for (const AccountRecord& account : accounts) {
    if (account.id == id) return account.name;
  }
  return DbString();
}

bool ReadDatabaseRows(FinanceDb& db, DatabaseRows* out) {
  *out = DatabaseRows();
  if (!db.IsOpen() || !db.LoadKinds(&out->kinds) || !db.LoadAccounts(&out->accounts)) {
    return false;
  }
  std::unique_ptr<DbRecordSet> records = OpenTableRecordSet(db.Connection(), kEntriesTable);
  if (records == nullptr) return false;
  int index[std::size(kEntryColumns)];
  for (size_t i = 0; i < std::size(kEntryColumns); ++i) {
    index[i] = records->ColumnIndex(kEntryColumns[i]);
  }
  auto number = [&](DbRecord* record, size_t column) {
    return index[column] < 0 ? 0 : IntFieldAt(record, static_cast<uint32_t>(index[column]));
  };
  out->entries.reserve(records->RowCount());
  return ForEachRow(*records, [&](DbRecord* record) {
    StoredEntryRow row;
    row.kind_id = number(record, 0);
    row.date = number(record, 1);
    row.price = number(record, 2);
    row.count = number(record, 3);
    row.type = number(record, 4);
    if (index[5] >= 0) row.note = TextFieldAt(record, static_cast<uint32_t>(index[5]));
    row.account_id = number(record, 6);
    row.currency_id = number(record, 7);
    out->entries.push_back(std::move(row));
    return true;
  });
}

std::string IsoDateOfKey(int32_t date_key) {
  const int64_t day = static_cast<int64_t>(DayOrdinal(date_key));
  const platform::LocalTime time = platform::UtcTime(kDayZero + day * kSecondsPerDay);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year % 10000, time.month, time.day);
  return text;
}

std::string PlainMoney(int64_t hundredths) {
  const bool negative = hundredths < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 100);
  text += '.';
  text += static_cast<char>('0' + magnitude % 100 / 10);
  text += static_cast<char>('0' + magnitude % 10);
  return text;
}

}  // namespace ledgerix
