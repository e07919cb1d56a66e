// Times the file database on the reference load: a "[sec_data]" table of 50,000 rows in
// 144-byte slots, walked first to last reading every row, through the TableFile alone and
// through a record set of the file database driver (median of 5 walks); and sorted inserts
// into the middle of that table.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "engine/db_file.h"
#include "engine/db_record_set.h"
#include "engine/file_db_driver.h"
#include "engine/table_file.h"
#include "platform/posix_env.h"

namespace {

using namespace ledgerix;

constexpr int kRows = 50000;
constexpr int kRuns = 5;
constexpr int kInserts = 20;

double MedianOfRuns(const std::function<void()>& work) {
  return bench::MedianMilliseconds(work, kRuns);
}

DbSchema EntriesSchema() {
  DbSchema schema;
  DbTableSchema& table = schema.AddTable(DbString("[sec_data]"));
  for (const char* name : {"consumer_id", "curdate", "price", "count", "type"}) {
    table.AddColumn(DbString(name), DbValueType::Int32);
  }
  table.AddColumn(DbString("note"), DbValueType::Text);
  table.AddColumn(DbString("firm_id"), DbValueType::Int32);
  table.AddColumn(DbString("currency_id"), DbValueType::Int32);
  return schema;
}

// The table's bytes: entries ordered by kind id (300 kinds), as the driver keeps them.
DbString EntriesBytes() {
  std::string bytes;
  for (int i = 0; i < kRows; ++i) {
    DbString slot;
    const int32_t values[] = {i * 300 / kRows, 110110 + i % 28, i * 256, 256, 2};
    for (int32_t value : values) DbValue(value).Encode(&slot, DbValueType::Int32);
    DbValue(DbString("comment")).Encode(&slot, DbValueType::Text);
    DbValue(1).Encode(&slot, DbValueType::Int32);
    DbValue(0).Encode(&slot, DbValueType::Int32);
    const std::string zeros(144 - slot.Length(), '\0');
    slot.AppendBytes(zeros.data(), static_cast<uint32_t>(zeros.size()));
    bytes += slot.View();
  }
  return DbString(std::string_view(bytes));
}

class Host : public DbDriverHost {
 public:
  explicit Host(platform::Env& env) : driver_(env) {}
  DbDriver* Driver() override { return &driver_; }
  DriverKind Kind() const override { return DriverKind::kFileDatabase; }
  FileDbDriver& file_driver() { return driver_; }

 private:
  FileDbDriver driver_;
};

}  // namespace

int main() {
  char folder_template[] = "/tmp/ledgerix_bench_XXXXXX";
  if (mkdtemp(folder_template) == nullptr) return 1;
  const std::filesystem::path folder(folder_template);
  int result = 0;
  {
    platform::PosixEnv env(
        {(folder / "root").string(), (folder / "documents").string(), folder.string()});
    Host host(env);
    if (!host.file_driver().CreateDatabase(DbString("bench"), EntriesSchema()) ||
        !host.file_driver().Open(DbString("bench"))) {
      std::fprintf(stderr, "cannot create the database in %s\n", folder.c_str());
      return 1;
    }
    {
      TableFile table(env, DbString("[sec_data]"), 8);
      if (!table.OpenStreams() || !table.Append(EntriesBytes())) result = 1;
    }

    TableFile table(env, DbString("[sec_data]"), 8);
    if (!table.OpenStreams()) result = 1;
    const double table_ms = MedianOfRuns([&] {
      int seen = 0;
      table.MoveFirst();
      while (table.ReadCurrentRow()) {
        ++seen;
        table.MoveNext();
      }
      if (seen != kRows) result = 1;
    });
    std::printf("walk %d rows with a TableFile (median of %d): %.2f ms\n", kRows, kRuns, table_ms);
    table.CloseStreams();

    DbRecordSet rs(&host);
    if (!rs.OpenTable("[sec_data]", nullptr)) result = 1;
    int64_t sum = 0;
    const double record_set_ms = MedianOfRuns([&] {
      int seen = 0;
      for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        if (rs.CurrentRecord(-1) == nullptr) break;
        sum += rs.FieldByIndex(2)->AsInt32();
        ++seen;
      }
      if (seen != kRows) result = 1;
    });
    std::printf("walk %d rows with a record set, decoding each (median of %d): %.2f ms\n", kRows,
                kRuns, record_set_ms);

    const double backward_ms = MedianOfRuns([&] {
      if (!rs.MoveLast()) return;
      do {
        if (rs.CurrentRecord(-1) == nullptr) result = 1;
      } while (rs.MovePrevious());
    });
    std::printf("walk %d rows backwards with a record set (median of %d): %.2f ms\n", kRows, kRuns,
                backward_ms);

    const double insert_ms = bench::MillisecondsOf([&] {
      for (int i = 0; i < kInserts; ++i) {
        if (!rs.AddNew()) result = 1;
        rs.FieldByIndex(0)->SetInt32(150);
        rs.FieldByIndex(5)->SetText("inserted");
        if (!rs.Update()) result = 1;
      }
    });
    std::printf("insert %d rows in the middle in key order: %.1f ms (%.2f ms each)\n", kInserts,
                insert_ms, insert_ms / kInserts);
    rs.Close();
    if (sum == 0) result = 1;
  }
  std::filesystem::remove_all(folder);
  if (result != 0) std::fprintf(stderr, "a step failed\n");
  return result;
}
