// Times a walk over the entries of the ten-year household (50,000 rows of the entries table's
// shape) through a record set, first row to last with every field read, for each storage driver
// (median of 5 walks). The walk reading fields by index is the cost of the driver and the record
// set; reading them by name, as the finance layer does, adds the record set's column lookups.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/db_connection.h"
#include "access/driver_factory.h"
#include "access/object_store_driver.h"
#include "bench/timing.h"
#include "engine/db_schema.h"
#include "engine/file_db_driver.h"
#include "platform/posix_env.h"

namespace {

using ledgerix::DbConnection;
using ledgerix::DbRecord;
using ledgerix::DbRecordSet;
using ledgerix::DbSchema;
using ledgerix::DbString;
using ledgerix::DbTableSchema;
using ledgerix::DbValueType;

constexpr int kRows = 50000;
constexpr int kRuns = 5;
constexpr char kDatabase[] = "TOLVENA_Ledgerix_1";
constexpr char kEntries[] = "[sec_data]";
constexpr const char* kIntColumns[] = {"consumer_id", "curdate", "price",      "count",
                                       "type",        "firm_id", "currency_id"};

double MedianOfRuns(const std::function<void()>& work) {
  return ledgerix::bench::MedianMilliseconds(work, kRuns);
}

DbSchema EntriesSchema() {
  DbSchema schema;
  DbTableSchema& entries = schema.AddTable(kEntries);
  for (const char* name : {"consumer_id", "curdate", "price", "count", "type"}) {
    entries.AddColumn(name, DbValueType::Int32);
  }
  entries.AddColumn("note", DbValueType::Text);
  entries.AddColumn("firm_id", DbValueType::Int32);
  entries.AddColumn("currency_id", DbValueType::Int32);
  return schema;
}

bool CreateDatabase(ledgerix::DriverKind kind, ledgerix::platform::Env& env) {
  if (kind == ledgerix::DriverKind::kObjectStore) {
    return ledgerix::ObjectStoreDriver(env).CreateDatabase(kDatabase, EntriesSchema()) == 1;
  }
  if (kind == ledgerix::DriverKind::kFileDatabase) {
    return ledgerix::FileDbDriver(env).CreateDatabase(kDatabase, EntriesSchema()) == 1;
  }
  return false;
}

// Adds the entries one Update() each, as the program does when it loads an archive.
bool Fill(DbConnection& connection) {
  std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
  if (record_set->OpenTable(kEntries, nullptr) != 1) return false;
  const DbString note = ledgerix::FromUtf8("продукты на неделю");
  for (int i = 0; i < kRows; ++i) {
    if (record_set->AddNew() != 1) return false;
    DbRecord* record = record_set->CurrentRecord(-1);
    record->FieldByName("consumer_id")->SetInt32((i * 7919) % 300);
    record->FieldByName("curdate")->SetInt32(110110 + i % 28 * 10000);
    record->FieldByName("price")->SetInt32(i * 256 + 15);
    record->FieldByName("count")->SetInt32(256);
    record->FieldByName("type")->SetInt32(2);
    record->FieldByName("note")->SetText(note);
    record->FieldByName("firm_id")->SetInt32(1 + i % 5);
    if (record_set->Update() != 1) return false;
  }
  return true;
}

// One walk with every field read, by column name as the finance layer reads them or by column
// index; answers a sum of what was read, so that nothing is left out.
int64_t Walk(DbConnection& connection, bool by_name, int* rows) {
  int64_t sum = 0;
  *rows = 0;
  std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
  if (record_set->OpenTable(kEntries, nullptr) != 1) return -1;
  const uint32_t columns = record_set->ColumnCount();
  const uint32_t note = static_cast<uint32_t>(record_set->ColumnIndex("note"));
  while (record_set->IsEOF() == 0) {
    DbRecord* record = record_set->CurrentRecord(-1);
    if (record == nullptr) return -1;
    if (by_name) {
      for (const char* column : kIntColumns) sum += record->FieldByName(column)->AsInt32();
      sum += static_cast<int64_t>(std::string_view(record->FieldByName("note")->CStr()).size());
    } else {
      for (uint32_t i = 0; i < columns; ++i) {
        const ledgerix::DbValue* field = record->FieldByIndex(i);
        sum += i == note ? static_cast<int64_t>(std::string_view(field->CStr()).size())
                         : field->AsInt32();
      }
    }
    ++*rows;
    record_set->MoveNext();
  }
  return sum;
}

int Run(ledgerix::DriverKind kind, const char* label, const std::filesystem::path& folder) {
  ledgerix::platform::PosixEnvOptions options;
  options.device_root = (folder / label / "root").string();
  options.documents_folder = (folder / label / "documents").string();
  ledgerix::platform::PosixEnv env(options);
  if (ledgerix::CreateDriver(kind, env) == nullptr) {
    std::printf("%s (kind %d): not built\n", label, static_cast<int>(kind));
    return 0;
  }
  if (!CreateDatabase(kind, env)) {
    std::fprintf(stderr, "%s: cannot create the database\n", label);
    return 1;
  }
  DbConnection connection(env, kind);
  if (connection.Open(kDatabase, "", "") != 1) return 1;
  bool filled = false;
  const double fill_ms = ledgerix::bench::MillisecondsOf([&] { filled = Fill(connection); });
  if (!filled) {
    std::fprintf(stderr, "%s: cannot fill the table\n", label);
    return 1;
  }
  std::printf("%s (kind %d): add %d rows one Update() each: %.0f ms (%.1f us per row)\n", label,
              static_cast<int>(kind), kRows, fill_ms, fill_ms * 1000 / kRows);
  for (const bool by_name : {false, true}) {
    int rows = 0;
    int64_t sum = 0;
    const double walk_ms = MedianOfRuns([&] { sum = Walk(connection, by_name, &rows); });
    if (sum < 0 || rows != kRows) {
      std::fprintf(stderr, "%s: the walk met %d rows\n", label, rows);
      return 1;
    }
    std::printf("%s (kind %d): walk %d rows reading every field by %s (median of %d): %.2f ms\n",
                label, static_cast<int>(kind), rows, by_name ? "name" : "index", kRuns, walk_ms);
  }
  return 0;
}

}  // namespace

int main() {
  char folder_template[] = "/tmp/ledgerix_recordset_bench_XXXXXX";
  if (mkdtemp(folder_template) == nullptr) return 1;
  const std::filesystem::path folder(folder_template);
  int result = Run(ledgerix::DriverKind::kObjectStore, "object store", folder);
  result |= Run(ledgerix::DriverKind::kFileDatabase, "file database", folder);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return result;
}
