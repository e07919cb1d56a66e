#include "fuzz/support/store_damage.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>

#include "fuzz/support/fuzz_check.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"

namespace ledgerix::fuzz {
namespace {

using platform::Property;

constexpr size_t kMostSteps = 16;
constexpr uint16_t kMostProperties = 20;

constexpr std::array<std::u16string_view, 4> kDatabases = {
    u"TOLVENA_Ledgerix_1", u"[sec_consumeritems]", u"[sec_data]", u"[sec_firms]"};

// Bytes of the input as 16-bit text: ASCII as it is, most other bytes as Cyrillic letters (as
// the program's texts are), the last few as lone surrogates, which no text should hold.
std::u16string WideText(const std::string& bytes) {
  std::u16string text;
  for (unsigned char b : bytes) {
    if (b < 0x80) {
      text += static_cast<char16_t>(b);
    } else if (b < 0xF0) {
      text += static_cast<char16_t>(0x0410 + (b - 0x80) % 0x40);
    } else {
      text += static_cast<char16_t>(0xD800 + b);
    }
  }
  return text;
}

Property ReadProperty(FuzzedDataProvider& input, uint16_t id) {
  switch (input.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return Property::Int16(id, input.ConsumeIntegral<int16_t>());
    case 1:
      return Property::Int32(id, input.ConsumeIntegral<int32_t>());
    case 2:
      return Property::Text(id, WideText(input.ConsumeRandomLengthString(40)));
    case 3:
      return Property::Bool(id, input.ConsumeBool());
    case 4: {
      // Any bit pattern: NaNs and infinities too.
      const uint64_t bits = input.ConsumeIntegral<uint64_t>();
      double value = 0;
      std::memcpy(&value, &bits, sizeof value);
      return Property::Double(id, value);
    }
    default: {
      const std::string bytes = input.ConsumeRandomLengthString(40);
      return Property::Blob(id, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
  }
}

std::string NameBytes(std::u16string_view name) {
  std::string bytes;
  for (char16_t c : name) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

// The record properties with one replaced (or added, past the end) by `property`, keeping the
// id of the one it replaces.
std::vector<Property> WithProperty(std::vector<Property> properties, uint32_t position,
                                   Property property) {
  if (position < properties.size()) {
    property.id = properties[position].id;
    properties[position] = std::move(property);
  } else {
    properties.push_back(std::move(property));
  }
  return properties;
}

// A step the store refuses is damage that did not take: whatever it left is what start-up meets.
void ApplyRecordStep(platform::ObjectStore& store, const DamageStep& step) {
  const std::u16string_view name = kDatabases[step.database];
  switch (step.kind) {
    case Damage::kDeleteDatabase:
      static_cast<void>(store.DeleteDatabase(name));
      return;
    case Damage::kCreateDatabase:
      static_cast<void>(store.CreateDatabase(
          name, static_cast<uint32_t>(step.number),
          {static_cast<uint16_t>(step.position),
           static_cast<platform::PropertyKind>(step.index % platform::kPropertyKindCount)}));
      return;
    default:
      break;
  }
  std::unique_ptr<platform::ObjectStoreDatabase> database = store.OpenDatabase(name);
  if (database == nullptr) return;
  std::vector<Property> record;
  const bool on_record = database->RecordCount() > 0 &&
                         database->SeekToIndex(step.index % database->RecordCount()) &&
                         database->ReadCurrent(&record);
  switch (step.kind) {
    case Damage::kChangeProperty:
      if (on_record) {
        static_cast<void>(
            database->WriteRecord(database->CurrentObjectId(),
                                  WithProperty(record, step.position, step.properties.front())));
      }
      return;
    case Damage::kReplaceRecord:
      if (on_record) {
        static_cast<void>(database->WriteRecord(database->CurrentObjectId(), step.properties));
      }
      return;
    case Damage::kDeleteRecord:
      if (on_record) static_cast<void>(database->DeleteRecord(database->CurrentObjectId()));
      return;
    case Damage::kAddRecord:
      static_cast<void>(database->AddRecord(
          on_record ? WithProperty(record, step.position, step.properties.front())
                    : step.properties));
      return;
    default:
      return;
  }
}

// Runs one statement with its parameters bound in order (texts as blobs); failures are ignored.
class Sql {
 public:
  explicit Sql(sqlite3* db) : db_(db) {}

  void Run(const char* text, const std::vector<std::variant<int64_t, std::string>>& values) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, text, -1, &statement, nullptr) != SQLITE_OK) return;
    Bind(statement, values);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
  }

  // The single number a query answers; -1 when it answers none.
  int64_t Number(const char* text, const std::vector<std::variant<int64_t, std::string>>& values) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, text, -1, &statement, nullptr) != SQLITE_OK) return -1;
    Bind(statement, values);
    const int64_t answer =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    return answer;
  }

 private:
  static void Bind(sqlite3_stmt* statement,
                   const std::vector<std::variant<int64_t, std::string>>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
      const int index = static_cast<int>(i + 1);
      if (const int64_t* number = std::get_if<int64_t>(&values[i])) {
        sqlite3_bind_int64(statement, index, *number);
      } else {
        const std::string& bytes = std::get<std::string>(values[i]);
        sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
      }
    }
  }

  sqlite3* db_;
};

void ApplyTableStep(Sql& sql, const DamageStep& step) {
  const std::string name = NameBytes(kDatabases[step.database]);
  const int64_t count = sql.Number(
      "SELECT count(*) FROM records WHERE database_id = (SELECT id FROM databases WHERE name = ?1)",
      {name});
  const int64_t object_id = count <= 0 ? -1
                                       : sql.Number(
                                             "SELECT object_id FROM records WHERE database_id = "
                                             "(SELECT id FROM databases WHERE name = ?1) "
                                             "ORDER BY sort_key LIMIT 1 OFFSET ?2",
                                             {name, static_cast<int64_t>(step.index % count)});
  switch (step.kind) {
    case Damage::kRecordBytes:
      sql.Run("UPDATE records SET properties = ?1 WHERE object_id = ?2", {step.bytes, object_id});
      return;
    case Damage::kSortKey:
      sql.Run("UPDATE records SET sort_key = ?1 WHERE object_id = ?2", {step.bytes, object_id});
      return;
    case Damage::kRecordCount:
      sql.Run("UPDATE databases SET record_count = ?1 WHERE name = ?2", {step.number, name});
      return;
    case Damage::kSortOrder:
      sql.Run("UPDATE databases SET sort_property = ?1, sort_kind = ?2 WHERE name = ?3",
              {static_cast<int64_t>(step.position), step.number, name});
      return;
    case Damage::kTypeId:
      sql.Run("UPDATE databases SET type_id = ?1 WHERE name = ?2", {step.number, name});
      return;
    case Damage::kRename:
      sql.Run(
          "UPDATE databases SET name = ?1 WHERE name = ?2",
          {step.position < kDatabases.size() ? NameBytes(kDatabases[step.position]) : step.bytes,
           name});
      return;
    default:
      return;
  }
}

bool IsRecordStep(Damage kind) { return kind <= Damage::kCreateDatabase; }
bool IsTableStep(Damage kind) {
  return kind > Damage::kCreateDatabase && kind < Damage::kFileBytes;
}

void ApplyFileStep(const std::string& file, const DamageStep& step) {
  std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
  stream.seekg(0, std::ios::end);
  const std::streamoff size = stream.tellg();
  if (!stream || size <= 0) return;
  stream.seekp(static_cast<std::streamoff>(static_cast<uint64_t>(step.number) % size));
  stream.write(step.bytes.data(), static_cast<std::streamsize>(step.bytes.size()));
}

constexpr const char* kDamageNames[] = {
    "change property", "replace record", "delete record", "add record", "delete database",
    "create database", "record bytes",   "record count",  "sort order", "type id",
    "sort key",        "rename",         "file bytes"};

std::string PropertyText(const Property& property) {
  std::string text = std::to_string(property.id) + ":";
  switch (property.kind()) {
    case platform::PropertyKind::kInt16:
      return text + "int16 " + std::to_string(std::get<int16_t>(property.value));
    case platform::PropertyKind::kInt32:
      return text + "int32 " + std::to_string(std::get<int32_t>(property.value));
    case platform::PropertyKind::kText:
      return text + "text of " + std::to_string(std::get<std::u16string>(property.value).size());
    case platform::PropertyKind::kBool:
      return text + "bool " + std::to_string(std::get<bool>(property.value));
    case platform::PropertyKind::kDouble:
      return text + "double " + std::to_string(std::get<double>(property.value));
    case platform::PropertyKind::kBlob:
      return text + "blob of " +
             std::to_string(std::get<std::vector<uint8_t>>(property.value).size());
  }
  return text;
}

}  // namespace

std::string DescribeDamage(const std::vector<DamageStep>& steps) {
  std::string text;
  for (const DamageStep& step : steps) {
    text += std::string(kDamageNames[static_cast<int>(step.kind)]) + " in database " +
            std::to_string(step.database) + " at record " + std::to_string(step.index) +
            ", position " + std::to_string(step.position) + ", number " +
            std::to_string(step.number) + ", " + std::to_string(step.bytes.size()) + " bytes";
    for (const Property& property : step.properties) text += ", " + PropertyText(property);
    text += "\n";
  }
  return text;
}

std::vector<DamageStep> ReadDamage(FuzzedDataProvider& input) {
  std::vector<DamageStep> steps;
  while (input.remaining_bytes() > 0 && steps.size() < kMostSteps) {
    DamageStep step;
    step.kind =
        static_cast<Damage>(input.ConsumeIntegralInRange<int>(0, static_cast<int>(Damage::kLast)));
    step.database = input.ConsumeIntegralInRange<uint8_t>(0, kDatabases.size() - 1);
    step.index = input.ConsumeIntegral<uint8_t>();
    switch (step.kind) {
      case Damage::kChangeProperty:
      case Damage::kAddRecord:
        step.position = input.ConsumeIntegralInRange<uint32_t>(0, kMostProperties);
        step.properties.push_back(ReadProperty(input, static_cast<uint16_t>(step.position)));
        break;
      case Damage::kReplaceRecord: {
        const uint16_t count = input.ConsumeIntegralInRange<uint16_t>(0, kMostProperties);
        for (uint16_t id = 0; id < count; ++id) step.properties.push_back(ReadProperty(input, id));
        break;
      }
      case Damage::kCreateDatabase:
        step.position = input.ConsumeIntegralInRange<uint32_t>(0, kMostProperties);
        step.number = input.ConsumeIntegral<uint32_t>();
        break;
      case Damage::kRecordBytes:
        step.bytes = input.ConsumeRandomLengthString(128);
        break;
      case Damage::kSortKey:
        step.bytes = input.ConsumeRandomLengthString(32);
        break;
      case Damage::kRecordCount:
        step.number = input.ConsumeIntegral<int64_t>();
        break;
      case Damage::kSortOrder:
        step.position = input.ConsumeIntegralInRange<uint32_t>(0, kMostProperties);
        step.number = input.ConsumeIntegralInRange<int64_t>(-1, platform::kPropertyKindCount);
        break;
      case Damage::kTypeId:
        step.number = input.ConsumeIntegral<uint32_t>();
        break;
      case Damage::kRename:
        step.position = input.ConsumeIntegralInRange<uint32_t>(0, kDatabases.size());
        step.bytes = input.ConsumeRandomLengthString(40);
        break;
      case Damage::kFileBytes:
        step.number = input.ConsumeIntegral<uint32_t>();
        step.bytes = input.ConsumeRandomLengthString(16);
        break;
      default:
        break;
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

void ApplyDamage(FuzzDevice& device, const std::vector<DamageStep>& steps) {
  auto any = [&](bool (*of_kind)(Damage)) {
    return std::any_of(steps.begin(), steps.end(),
                       [&](const DamageStep& step) { return of_kind(step.kind); });
  };
  // Each step opens the store only when it has steps to apply: opening costs most of an input.
  platform::PosixEnv& env = device.Reopen();
  const std::string file = env.ObjectStoreFile();
  if (any(IsRecordStep)) {
    platform::ObjectStore* store = env.Objects();
    FUZZ_CHECK(store != nullptr, "the store to damage does not open");
    for (const DamageStep& step : steps) {
      if (IsRecordStep(step.kind)) ApplyRecordStep(*store, step);
    }
  }
  // Closing the store writes it whole into its file.
  device.CloseEnv();
  if (any(IsTableStep)) {
    sqlite3* db = nullptr;
    FUZZ_CHECK(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK,
               "the store's file does not open");
    {
      Sql sql(db);
      for (const DamageStep& step : steps) {
        if (IsTableStep(step.kind)) ApplyTableStep(sql, step);
      }
    }
    sqlite3_close(db);
  }
  for (const DamageStep& step : steps) {
    if (step.kind == Damage::kFileBytes) ApplyFileStep(file, step);
  }
}

}  // namespace ledgerix::fuzz
