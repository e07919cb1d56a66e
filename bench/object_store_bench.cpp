// Times the object store on the reference load: 50,000 records of about 60 bytes in one
// database, walked in sort order reading every record (median of 5 walks).

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"
#include "platform/posix_env.h"

namespace {

using ledgerix::platform::ObjectStore;
using ledgerix::platform::ObjectStoreDatabase;
using ledgerix::platform::Property;
using ledgerix::platform::PropertyKind;
using ledgerix::platform::SortOrder;

constexpr int kRecords = 50000;
constexpr int kRuns = 5;
constexpr char16_t kTable[] = u"[sec_data]";

double MedianOfRuns(const std::function<void()>& work) {
  return ledgerix::bench::MedianMilliseconds(work, kRuns);
}

// An entry of the finance tables: kind id (the sort key), date, comment, price, count, type.
std::vector<Property> Entry(int i) {
  return {Property::Int32(0, (i * 7919) % 300),
          Property::Int32(1, 10 + i % 31),
          Property::Text(2, u"comment " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26))),
          Property::Int32(3, i * 256),
          Property::Int32(4, 256),
          Property::Int32(5, 2)};
}

}  // namespace

int main() {
  char folder_template[] = "/tmp/ledgerix_bench_XXXXXX";
  if (mkdtemp(folder_template) == nullptr) return 1;
  const std::filesystem::path folder(folder_template);
  ledgerix::platform::PosixEnv env({folder.string(), (folder / "documents").string(), ""});
  constexpr char16_t kFile[] = u"\\objects.db";
  int result = 0;
  {
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(env, kFile);
    if (!store || !store->CreateDatabase(kTable, 1004, SortOrder{0, PropertyKind::kInt32})) {
      std::fprintf(stderr, "cannot create the store in %s\n", folder.c_str());
      return 1;
    }
    std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(kTable);
    const double add_ms = ledgerix::bench::MillisecondsOf([&] {
      for (int i = 0; i < kRecords; ++i) {
        if (db->AddRecord(Entry(i)) == 0) result = 1;
      }
    });
    std::printf("add %d records one write each: %.0f ms (%.1f us per record)\n", kRecords, add_ms,
                add_ms * 1000 / kRecords);
  }

  std::unique_ptr<ObjectStore> store;
  const double open_ms =
      ledgerix::bench::MillisecondsOf([&] { store = ObjectStore::Open(env, kFile); });
  std::printf("open the store (with its quick check): %.1f ms\n", open_ms);
  std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(kTable);

  size_t bytes = 0;
  std::vector<Property> record;
  const double walk_ms = MedianOfRuns([&] {
    int seen = 0;
    for (bool more = db->SeekFirst(); more; more = db->SeekNext()) {
      if (!db->ReadCurrent(&record)) result = 1;
      bytes += record.size();
      ++seen;
    }
    if (seen != kRecords) result = 1;
  });
  std::printf("walk %d records reading each (median of %d): %.2f ms\n", kRecords, kRuns, walk_ms);

  const double index_walk_ms = MedianOfRuns([&] {
    for (uint32_t i = 0; i < kRecords; ++i) {
      if (!db->SeekToIndex(i) || !db->ReadCurrent(&record)) result = 1;
    }
  });
  std::printf("walk %d records by index (median of %d): %.2f ms\n", kRecords, kRuns, index_walk_ms);

  const double backward_ms = MedianOfRuns([&] {
    for (bool more = db->SeekLast(); more; more = db->SeekPrevious()) {
      if (!db->ReadCurrent(&record)) result = 1;
    }
  });
  std::printf("walk %d records backwards (median of %d): %.2f ms\n", kRecords, kRuns, backward_ms);

  db.reset();
  store.reset();
  std::filesystem::remove_all(folder);
  if (result != 0) std::fprintf(stderr, "a step failed\n");
  return result;
}
