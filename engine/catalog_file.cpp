#include "engine/catalog_file.h"

#include <algorithm>
#include <limits>

#include "engine/database_folder.h"
#include "engine/db_file.h"
#include "engine/db_value.h"

namespace ledgerix {
namespace {

// Decodes one value of `type` from the front of *bytes and drops the bytes it used.
bool TakeValue(std::string_view* bytes, DbValueType type, DbValue* value) {
  const uint32_t used = value->Decode(*bytes, type);
  if (used == 0) return false;
  bytes->remove_prefix(used);
  return true;
}

bool TakeText(std::string_view* bytes, DbString* text) {
  DbValue value;
  if (!TakeValue(bytes, DbValueType::Text, &value)) return false;
  *text = DbString(value.CStr());
  return true;
}

bool TakeCount(std::string_view* bytes, uint32_t* count) {
  DbValue value;
  if (!TakeValue(bytes, DbValueType::Int16, &value)) return false;
  *count = static_cast<uint16_t>(value.AsInt16());
  return true;
}

// One whole table record from the front of *bytes; false when any part of it is missing.
bool TakeTableRecord(std::string_view* bytes, DbTableSchema* table) {
  uint32_t column_count = 0;
  if (!TakeText(bytes, &table->name) || !TakeCount(bytes, &column_count)) return false;
  for (uint32_t i = 0; i < column_count; ++i) {
    DbString name;
    uint32_t type = 0;
    if (!TakeText(bytes, &name) || !TakeCount(bytes, &type)) return false;
    table->AddColumn(name, static_cast<DbValueType>(type));
  }
  return true;
}

// The most a catalog file is read at a time.
constexpr int64_t kReadChunk = 1 << 20;

// The whole file, or false when it cannot be opened or read to its end.
bool ReadWholeFile(platform::Env& env, const DbString& path, std::string* content) {
  DbFile file(env, path, kAccessRead, platform::kDispositionOpenExisting, kShareReadWrite);
  if (!file.IsOpen()) return false;
  int64_t remaining = file.Size();
  if (remaining < 0) return false;
  DbString chunk;
  while (remaining > 0) {
    const uint32_t got =
        file.Read(chunk, static_cast<uint32_t>(std::min<int64_t>(remaining, kReadChunk)));
    if (got == 0) return false;
    content->append(chunk.View());
    remaining -= got;
  }
  return true;
}

}  // namespace

DbString CatalogPath(platform::Env& env, const DbString& database_name) {
  return DatabaseFilePath(env, database_name, kCatalogFileExtension);
}

int AppendTableRecord(const DbTableSchema& table, DbString* out) {
  if (table.ColumnCount() > std::numeric_limits<uint16_t>::max()) return 0;
  DbString record;
  DbValue(table.name).Encode(&record, DbValueType::Text);
  DbValue count(DbValueType::Int16);
  count.SetInt16(static_cast<int16_t>(table.ColumnCount()));
  count.Encode(&record, DbValueType::Int16);
  for (const auto& column : table.columns) {
    DbValue(column->Name()).Encode(&record, DbValueType::Text);
    DbValue type(DbValueType::Int16);
    type.SetInt16(static_cast<int16_t>(column->Type()));
    type.Encode(&record, DbValueType::Int16);
  }
  out->AppendString(record);
  return 1;
}

namespace {

// Decodes whole table records from the front of `bytes` into *schema; answers the bytes that
// are left (from the first record that does not decode whole).
std::string_view DecodeRecords(std::string_view bytes, DbSchema* schema) {
  while (!bytes.empty()) {
    std::string_view rest = bytes;
    DbTableSchema table;
    if (!TakeTableRecord(&rest, &table)) break;
    schema->Append(std::move(table));
    bytes = rest;
  }
  return bytes;
}

}  // namespace

int DecodeCatalog(std::string_view bytes, DbSchema* schema) {
  const uint32_t before = schema->Count();
  DecodeRecords(bytes, schema);
  return schema->Count() > before ? 1 : 0;
}

bool DecodeWholeCatalog(std::string_view bytes, DbSchema* schema) {
  const uint32_t before = schema->Count();
  return DecodeRecords(bytes, schema).empty() && schema->Count() > before;
}

int ReadCatalog(platform::Env& env, const DbString& database_name, DbSchema* schema) {
  schema->Clear();
  std::string content;
  if (!ReadWholeFile(env, CatalogPath(env, database_name), &content)) return 0;
  return DecodeCatalog(content, schema);
}

void CreateMissingTableFiles(platform::Env& env, const DbSchema& schema) {
  for (uint32_t i = 0; i < schema.Count(); ++i) {
    const DbTableSchema* table = schema.At(i);
    if (table->ColumnCount() == 0) continue;
    DbFile file(env, DatabaseFilePath(env, table->name, kTableFileExtension), kAccessReadWrite,
                platform::kDispositionOpenAlways, kShareReadWrite);
  }
}

}  // namespace ledgerix
