#include "fuzz/support/finance_rows.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "access/object_store_values.h"
#include "engine/db_string.h"
#include "finance/record_access.h"
#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/row_order.h"
#include "platform/object_store_database.h"
#include "platform/posix_env.h"

namespace ledgerix::fuzz {
namespace {

constexpr size_t kSlotBytesPerColumn = 18;

std::string ValueText(const DbValue& value) {
  switch (value.Type()) {
    case DbValueType::Int32:
      return std::to_string(value.AsInt32());
    case DbValueType::Text:
      return value.CStr() == nullptr ? std::string() : std::string(value.CStr());
    default:
      return std::string(value.ToText().View());
  }
}

// Decodes one slot; nullopt when a column does not decode within it.
std::optional<Row> DecodeSlot(std::string_view slot, const DbTableSchema& table) {
  Row row;
  for (const auto& column : table.columns) {
    if (column->Type() == DbValueType::Int32) {
      if (slot.size() < 4) return std::nullopt;
      uint32_t bits = 0;
      for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<uint8_t>(slot[i]);
      row.push_back(std::to_string(static_cast<int32_t>(bits)));
      slot.remove_prefix(4);
    } else {
      FUZZ_CHECK(column->Type() == DbValueType::Text, "a column neither Int32 nor Text");
      const size_t end = slot.find('\0');
      if (end == std::string_view::npos) return std::nullopt;
      row.emplace_back(slot.substr(0, end));
      slot.remove_prefix(end + 1);
    }
  }
  return row;
}

}  // namespace

std::string Joined(const Row& row) {
  std::string line;
  for (const std::string& value : row) line += value + ";";
  return line;
}

std::string Describe(const Row& row) {
  std::string text;
  for (const std::string& value : row) text += ToUtf8(DbString(value.c_str())) + ";";
  return text;
}

std::string Describe(const Rows& rows) {
  std::string text;
  for (const Row& row : rows) text += "  " + Describe(row) + "\n";
  return text;
}

bool ReadTable(FinanceDb& db, const char* table, Rows* out) {
  out->clear();
  std::unique_ptr<DbRecordSet> record_set = OpenTableRecordSet(db.Connection(), table);
  if (record_set == nullptr) return false;
  return ForEachRow(*record_set, [&](DbRecord* record) {
    Row row;
    for (uint32_t i = 0; i < record->Count(); ++i) {
      const DbValue* field = record->FieldByIndex(i);
      row.push_back(field == nullptr ? std::string() : ValueText(*field));
    }
    out->push_back(std::move(row));
    return true;
  });
}

DecodedTableFile DecodeTableFile(std::string_view bytes, const DbTableSchema& table) {
  DecodedTableFile decoded;
  const size_t slot_size = kSlotBytesPerColumn * table.columns.size();
  if (slot_size == 0) {
    decoded.undecodable = bytes.empty() ? 0 : 1;
    return decoded;
  }
  for (; bytes.size() >= slot_size; bytes.remove_prefix(slot_size)) {
    std::optional<Row> row = DecodeSlot(bytes.substr(0, slot_size), table);
    if (row) {
      decoded.rows.push_back(std::move(*row));
    } else {
      ++decoded.undecodable;
    }
  }
  if (!bytes.empty()) ++decoded.undecodable;
  return decoded;
}

Rows ConvertRecords(const std::vector<StoredRecord>& records, const DbTableSchema& table) {
  Rows rows;
  DbString scratch;
  for (const StoredRecord& record : records) {
    if (!record || record->size() != table.columns.size()) continue;
    Row row;
    bool converts = true;
    for (size_t i = 0; i < record->size() && converts; ++i) {
      const DbValueType type = table.columns[i]->Type();
      DbValue field(type);
      converts = PropertyToField((*record)[i], type, &field, &scratch);
      row.push_back(ValueText(field));
    }
    if (converts) rows.push_back(std::move(row));
  }
  return rows;
}

bool SameTables(DriverKind kind, const std::vector<Rows>& a, const std::vector<Rows>& b) {
  if (kind != DriverKind::kFileDatabase || a.size() != b.size()) return a == b;
  auto keyed = [](const Rows& rows) {
    KeyedRows keyed_rows;
    for (const Row& row : rows) {
      keyed_rows.emplace_back(row.empty() ? std::string() : row[0], Joined(row));
    }
    return keyed_rows;
  };
  for (size_t t = 0; t < a.size(); ++t) {
    if (!SameUpToEqualKeys(keyed(a[t]), keyed(b[t]))) return false;
  }
  return true;
}

Rows Missing(const Rows& a, const Rows& b) {
  Rows sorted_a = a;
  Rows sorted_b = b;
  std::sort(sorted_a.begin(), sorted_a.end());
  std::sort(sorted_b.begin(), sorted_b.end());
  Rows missing;
  std::set_difference(sorted_a.begin(), sorted_a.end(), sorted_b.begin(), sorted_b.end(),
                      std::back_inserter(missing));
  return missing;
}

bool DatabaseDump::operator==(const DatabaseDump& other) const {
  return info.name == other.info.name && info.type_id == other.info.type_id &&
         info.sort == other.info.sort && record_count == other.record_count &&
         records == other.records;
}

namespace {

// The records of an open database, in sort order.
void ReadRecords(platform::ObjectStoreDatabase& open, DatabaseDump* database) {
  database->info = open.info();
  database->record_count = open.RecordCount();
  database->records.clear();
  for (bool on = open.SeekFirst(); on; on = open.SeekNext()) {
    std::vector<platform::Property> properties;
    if (open.ReadCurrent(&properties)) {
      database->records.emplace_back(std::move(properties));
    } else {
      database->records.emplace_back(std::nullopt);
    }
  }
}

}  // namespace

StoreDump DumpStore(platform::ObjectStore& store) {
  StoreDump dump;
  for (const platform::DatabaseInfo& info : store.ListDatabases()) {
    DatabaseDump& database = dump[info.name];
    database.info = info;
    std::unique_ptr<platform::ObjectStoreDatabase> open = store.OpenDatabase(info.name);
    if (open != nullptr) ReadRecords(*open, &database);
  }
  // A damaged store may list a database under another name than it finds it by.
  for (const std::u16string& name :
       {std::u16string(u"TOLVENA_Ledgerix_1"), std::u16string(u"[sec_consumeritems]"),
        std::u16string(u"[sec_data]"), std::u16string(u"[sec_firms]")}) {
    if (dump.count(name) > 0) continue;
    std::unique_ptr<platform::ObjectStoreDatabase> open = store.OpenDatabase(name);
    if (open != nullptr) ReadRecords(*open, &dump[name]);
  }
  return dump;
}

std::optional<StoreDump> DumpStoreFile(const std::string& host_file,
                                       const std::string& scratch_folder) {
  namespace fs = std::filesystem;
  platform::PosixEnvOptions options;
  options.device_root = scratch_folder + "/root";
  options.documents_folder = scratch_folder + "/documents";
  options.program_folder = scratch_folder + "/program";
  std::error_code error;
  fs::create_directories(options.device_root, error);
  fs::create_directories(options.program_folder, error);
  platform::PosixEnv env(options);
  const std::string store_file = env.ObjectStoreFile();
  fs::copy_file(host_file, store_file, error);
  if (error) return std::nullopt;
  if (fs::exists(host_file + "-wal", error))
    fs::copy_file(host_file + "-wal", store_file + "-wal", error);
  platform::ObjectStore* store = env.Objects();
  if (store == nullptr) return std::nullopt;
  return DumpStore(*store);
}

}  // namespace ledgerix::fuzz
