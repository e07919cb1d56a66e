#include "finance/salvage.h"

#include <string_view>

#include "access/db_connection.h"
#include "engine/database_folder.h"
#include "engine/table_file.h"
#include "finance/file_contents.h"
#include "finance/record_access.h"

namespace ledgerix {
namespace {

// Decodes one slot into a row; false when a column does not decode within the slot.
bool DecodeSlot(std::string_view slot, const DbTableSchema& table, std::vector<DbValue>* row) {
  row->clear();
  for (const std::unique_ptr<DbColumnDef>& column : table.columns) {
    DbValue value(column->Type());
    uint32_t used = value.Decode(slot, column->Type());
    if (used == 0) return false;
    slot.remove_prefix(used);
    row->push_back(std::move(value));
  }
  return true;
}

}  // namespace

bool SalvageThroughRecordSet(DbConnection& connection, const char* table, SalvagedTable* out) {
  std::unique_ptr<DbRecordSet> record_set = OpenTableRecordSet(&connection, table);
  if (record_set == nullptr) return false;
  out->name = table;
  out->columns.clear();
  out->rows.clear();
  for (uint32_t i = 0; i < record_set->ColumnCount(); ++i) {
    out->columns.push_back(record_set->ColumnDef(i)->Name());
  }
  while (!record_set->IsEOF()) {
    if (DbRecord* record = record_set->CurrentRecord(-1)) {
      std::vector<DbValue> row;
      for (uint32_t i = 0; i < record->Count(); ++i) row.push_back(*record->FieldByIndex(i));
      out->rows.push_back(std::move(row));
    }
    if (!record_set->MoveNext()) break;
  }
  return true;
}

bool SalvageTableFile(platform::Env& env, const DbTableSchema& table, SalvagedTable* out) {
  out->name = table.name;
  out->columns.clear();
  out->rows.clear();
  for (const std::unique_ptr<DbColumnDef>& column : table.columns) {
    out->columns.push_back(column->Name());
  }
  size_t slot_size = static_cast<size_t>(kSlotBytesPerColumn) * table.ColumnCount();
  DbString content;
  if (slot_size == 0 ||
      !ReadWholeFile(env, DatabaseFilePath(env, table.name, kTableFileExtension), &content)) {
    return false;
  }
  std::string_view bytes = content.View();
  std::vector<DbValue> row;
  for (size_t offset = 0; offset + slot_size <= bytes.size(); offset += slot_size) {
    if (DecodeSlot(bytes.substr(offset, slot_size), table, &row)) out->rows.push_back(row);
  }
  return true;
}

int RestoreSalvagedRows(DbConnection& connection, const SalvagedTable& table) {
  std::unique_ptr<DbRecordSet> record_set = OpenTableRecordSet(&connection, table.name.CStr());
  if (record_set == nullptr) return static_cast<int>(table.rows.size());
  int failed = 0;
  for (const std::vector<DbValue>& row : table.rows) {
    if (!record_set->AddNew()) {
      ++failed;
      continue;
    }
    DbRecord* record = record_set->CurrentRecord(-1);
    for (size_t i = 0; record != nullptr && i < row.size() && i < table.columns.size(); ++i) {
      if (DbValue* field = record->FieldByName(table.columns[i].CStr())) {
        field->CopyFrom(row[i]);
      }
    }
    if (record == nullptr || !record_set->Update()) {
      if (record == nullptr) record_set->Delete();  // leaves the adding state
      ++failed;
    }
  }
  return failed;
}

}  // namespace ledgerix
