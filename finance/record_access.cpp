#include "finance/record_access.h"

#include <cstring>

#include "access/db_connection.h"
#include "engine/table_file.h"

namespace ledgerix {

std::unique_ptr<DbRecordSet> OpenTableRecordSet(DbConnection* connection, const char* table) {
  if (connection == nullptr || !connection->IsOpen()) return nullptr;
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  if (record_set == nullptr || !record_set->OpenTable(table, nullptr)) return nullptr;
  return record_set;
}

int32_t IntField(DbRecord* record, const char* column) {
  DbValue* field = record != nullptr ? record->FieldByName(column) : nullptr;
  return field != nullptr ? field->AsInt32() : 0;
}

DbString TextField(DbRecord* record, const char* column) {
  DbValue* field = record != nullptr ? record->FieldByName(column) : nullptr;
  return field != nullptr ? DbString(field->CStr()) : DbString();
}

int32_t IntFieldAt(DbRecord* record, uint32_t index) {
  DbValue* field = record != nullptr ? record->FieldByIndex(index) : nullptr;
  return field != nullptr ? field->AsInt32() : 0;
}

DbString TextFieldAt(DbRecord* record, uint32_t index) {
  DbValue* field = record != nullptr ? record->FieldByIndex(index) : nullptr;
  return field != nullptr ? DbString(field->CStr()) : DbString();
}

bool RecordFitsSlot(const DbRecordSet& record_set, DbRecord* record) {
  if (record == nullptr) return false;
  uint64_t bytes = 0;
  for (uint32_t i = 0; i < record_set.ColumnCount(); ++i) {
    const DbValue* field = record->FieldByIndex(i);
    DbValueType type = record_set.ColumnDef(i)->Type();
    if (type == DbValueType::Text) {
      bytes += (field != nullptr ? std::strlen(field->CStr()) : 0) + 1;
    } else {
      bytes += FixedWidthOf(type);
    }
  }
  return bytes <= uint64_t{kSlotBytesPerColumn} * record_set.ColumnCount();
}

bool SetIntField(DbRecord* record, const char* column, int32_t value) {
  DbValue* field = record != nullptr ? record->FieldByName(column) : nullptr;
  if (field == nullptr) return false;
  field->SetInt32(value);
  return true;
}

bool SetTextField(DbRecord* record, const char* column, const DbString& value) {
  DbValue* field = record != nullptr ? record->FieldByName(column) : nullptr;
  if (field == nullptr) return false;
  field->SetText(value);
  return true;
}

}  // namespace ledgerix
