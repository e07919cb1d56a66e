#pragma once
// Small helpers through which the finance operations open a table and read or set the fields of
// its current row by column name, so that a missing column is one failed result, not a crash.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <type_traits>

#include "engine/db_record_set.h"
#include "engine/db_string.h"

namespace ledgerix {

class DbConnection;

// A new record set of `connection` open on `table` (on its first row). Null when the
// connection is missing or not open, or when the table cannot be opened. The caller owns it.
std::unique_ptr<DbRecordSet> OpenTableRecordSet(DbConnection* connection, const char* table);

// The 32-bit value of a field; 0 when the record or the column is missing.
int32_t IntField(DbRecord* record, const char* column);
// The text of a field; empty when the record or the column is missing.
DbString TextField(DbRecord* record, const char* column);
int32_t IntFieldAt(DbRecord* record, uint32_t index);
DbString TextFieldAt(DbRecord* record, uint32_t index);

// Walks an open record set from its current row: visit(record) on each row, moving on while it
// answers true. True when the walk ended at the last row or by the visitor; false when a row
// could not be read.
template <typename Visit>
[[nodiscard]] bool ForEachRow(DbRecordSet& record_set, Visit&& visit) {
  while (!record_set.IsEOF()) {
    DbRecord* record = record_set.CurrentRecord(-1);
    if (record == nullptr) return false;
    if (!visit(record)) return true;
    record_set.MoveNext();
  }
  return true;
}

// Reads every row of the record set from its first with the driver's own walk
// (DbRecordSet::ScanRows): visit(record) on each, moving on while it answers true. For reading
// only: the visitor must not move or write the record set, which afterwards stands on its first
// row. True when the walk ended at the last row or by the visitor; false when a row could not
// be read.
// `columns` names the fields the visitor reads (bit i for column i, 0 for all; see
// ColumnSet); the others may hold anything.
// The visitor answers true to go on and false to stop, or a ScanStep (kWholeRow to have every
// field of the row read before it is visited again).
template <typename Visit>
[[nodiscard]] bool ScanEveryRow(DbRecordSet& record_set, Visit&& visit, uint64_t columns = 0) {
  return record_set.ScanRows(columns, [&](DbRecord* record) {
    if constexpr (std::is_same_v<decltype(visit(record)), ScanStep>) {
      return visit(record);
    } else {
      return visit(record) ? ScanStep::kNext : ScanStep::kStop;
    }
  }) == 1;
}

// The column set of a scan from column indices (ColumnIndex); an index below 0 (a column the
// table lacks) adds nothing.
inline uint64_t ColumnSet(std::initializer_list<int> indices) {
  uint64_t set = 0;
  for (int index : indices) {
    if (index >= 0 && index < 64) set |= uint64_t{1} << index;
  }
  return set;
}

// True when the record's fields, encoded by the record set's column types, fit in a slot of the
// file database (18 bytes per column). Rows are held to it on both drivers, so that what one
// stores can always be restored on the other.
bool RecordFitsSlot(const DbRecordSet& record_set, DbRecord* record);

// Set a field of the record; false when the record or the column is missing.
[[nodiscard]] bool SetIntField(DbRecord* record, const char* column, int32_t value);
[[nodiscard]] bool SetTextField(DbRecord* record, const char* column, const DbString& value);

}  // namespace ledgerix
