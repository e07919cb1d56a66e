// Every kind of write of the object store, with each disk-changing call of it failing in turn:
// the write answers failure, the files hold the store as it was (what a crash would leave), the
// same store takes the write afterwards, and the failure tells why.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/fault_injection_env.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"
#include "platform/property_record.h"
#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kFile[] = u"\\objects.db";
constexpr char16_t kCopy[] = u"\\copy.db";
constexpr SortOrder kByInt32{0, PropertyKind::kInt32};
constexpr SortOrder kByText{1, PropertyKind::kText};
// Small enough that a batch of the big records below outgrows it and writes pages into the log
// before it commits.
constexpr ObjectStoreOptions kSmallCache{.cache_kib = 64};

std::vector<Property> Record(int32_t value, int32_t tag, size_t text_length = 8) {
  return {Property::Int32(0, value), Property::Int32(1, tag),
          Property::Text(2, std::u16string(text_length, static_cast<char16_t>(u'a' + tag % 26)))};
}

// The whole content of a store as text: every database with its type and order, every record
// in cursor order with its object id and a digest of its properties.
std::string Dump(ObjectStore& store) {
  std::string dump;
  for (const DatabaseInfo& info : store.ListDatabases()) {
    dump += "[" + std::string(info.name.begin(), info.name.end()) + " " +
            std::to_string(info.type_id) + " " + std::to_string(info.sort.property_id) + "]\n";
    std::unique_ptr<ObjectStoreDatabase> db = store.OpenDatabase(info.name);
    if (db == nullptr) return dump + "does not open\n";
    std::vector<Property> record;
    std::string bytes;
    for (bool more = db->SeekFirst(); more; more = db->SeekNext()) {
      if (!db->ReadCurrent(&record) || !EncodePropertyRecord(record, &bytes)) {
        return dump + "unreadable\n";
      }
      dump += std::to_string(db->CurrentObjectId()) + ":" +
              std::to_string(std::hash<std::string>()(bytes) % 100000) + " ";
    }
    dump += "\ncount " + std::to_string(db->RecordCount()) + "\n";
  }
  return dump;
}

// The store as its files on the disk hold it now, as a process killed at this moment would find
// it. Read from copies of the files, since the open store holds its own.
std::string DumpOnDisk(testing::TempDeviceRoot& device) {
  const fs::path file = device.HostPath(kFile);
  const fs::path log = device.HostPath(u"\\objects.db-wal");
  const fs::path copy = device.HostPath(u"\\crash.db");
  const fs::path copy_log = device.HostPath(u"\\crash.db-wal");
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
  fs::remove(copy_log);
  if (fs::exists(log)) fs::copy_file(log, copy_log);
  std::string dump = "does not open";
  if (std::unique_ptr<ObjectStore> store = ObjectStore::Open(device.env(), u"\\crash.db")) {
    dump = Dump(*store);
  }
  fs::remove(copy);
  fs::remove(copy_log);
  return dump;
}

// The store every write starts from: records 1 to 20 in "a", 21 to 25 in "b".
void Prepare(ObjectStore& store) {
  ASSERT_TRUE(store.CreateDatabase(u"a", 1, kByInt32));
  ASSERT_TRUE(store.CreateDatabase(u"b", 2, kByText));
  std::unique_ptr<ObjectStoreDatabase> a = store.OpenDatabase(u"a");
  for (int32_t tag = 1; tag <= 20; ++tag) ASSERT_EQ(a->AddRecord(Record(tag % 7, tag)), tag);
  std::unique_ptr<ObjectStoreDatabase> b = store.OpenDatabase(u"b");
  for (int32_t tag = 21; tag <= 25; ++tag) ASSERT_EQ(b->AddRecord(Record(tag, tag)), tag);
}

// Writes `count` records to database "a" from tag `first` on; false when one fails.
bool AddRecords(ObjectStore& store, int32_t first, int32_t count, size_t text_length) {
  std::unique_ptr<ObjectStoreDatabase> a = store.OpenDatabase(u"a");
  bool ok = a != nullptr;
  for (int32_t tag = first; ok && tag < first + count; ++tag) {
    ok = a->AddRecord(Record(tag % 11, tag, text_length)) != 0;
  }
  return ok;
}

bool WriteBatch(ObjectStore& store, size_t text_length) {
  if (!store.BeginBatch()) return false;
  bool ok = AddRecords(store, 100, 40, text_length);
  std::unique_ptr<ObjectStoreDatabase> a = store.OpenDatabase(u"a");
  ok = a != nullptr && a->DeleteRecord(3) && ok;
  ok = a != nullptr && a->WriteRecord(4, Record(-1, 4, text_length)) && ok;
  ok = store.CreateDatabase(u"c", 3, kByInt32) && ok;
  a.reset();
  return store.EndBatch() && ok;
}

struct WriteCase {
  const char* name;
  // Writes to a store prepared as above; answers whether every step succeeded. The Env is the
  // device's own, past the faults.
  std::function<bool(ObjectStore&, Env&)> write;
  ObjectStoreOptions options = {};
};

const WriteCase kWriteCases[] = {
    {"CreateDatabase", [](ObjectStore& s, Env&) { return s.CreateDatabase(u"c", 3, kByInt32); }},
    {"Insert", [](ObjectStore& s, Env&) { return AddRecords(s, 100, 1, 8); }},
    {"Replace",
     [](ObjectStore& s, Env&) { return s.OpenDatabase(u"a")->WriteRecord(5, Record(9, 50)); }},
    {"Delete", [](ObjectStore& s, Env&) { return s.OpenDatabase(u"b")->DeleteRecord(22); }},
    {"Clear", [](ObjectStore& s, Env&) { return s.ClearDatabase(u"a"); }},
    {"DeleteDatabase", [](ObjectStore& s, Env&) { return s.DeleteDatabase(u"a"); }},
    {"BatchAndItsCommit", [](ObjectStore& s, Env&) { return WriteBatch(s, 8); }},
    {"BatchOutgrowingTheCache", [](ObjectStore& s, Env&) { return WriteBatch(s, 2000); },
     kSmallCache},
    {"AbortedBatch",
     [](ObjectStore& s, Env&) {
       // Big enough to write pages into the log before it is taken back.
       const bool began = s.BeginBatch();
       const bool written = AddRecords(s, 100, 40, 2000);
       return s.AbortBatch() && began && written;
     },
     kSmallCache},
    {"WriteCopy",
     [](ObjectStore& s, Env& env) {
       if (!s.WriteCopy(kCopy)) return false;
       // A store of its own with the same content.
       std::unique_ptr<ObjectStore> copy = ObjectStore::Open(env, kCopy);
       EXPECT_NE(copy, nullptr);
       if (copy != nullptr) {
         EXPECT_EQ(Dump(*copy), Dump(s));
       }
       return true;
     }},
};

class ObjectStoreFaultTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ObjectStoreFaultTest, AFailedWriteKeepsAllTheOldDataAndTheStoreTakesItAfterwards) {
  const WriteCase& write_case = GetParam();
  std::string old_dump;
  std::string new_dump;
  {
    testing::TempDeviceRoot device;
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(device.env(), kFile);
    ASSERT_NE(store, nullptr);
    Prepare(*store);
    old_dump = Dump(*store);
    ASSERT_TRUE(write_case.write(*store, device.env()));
    new_dump = Dump(*store);
  }
  int failures = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("disk-changing call " + std::to_string(n));
    testing::TempDeviceRoot device;
    {
      std::unique_ptr<ObjectStore> store = ObjectStore::Open(device.env(), kFile);
      ASSERT_NE(store, nullptr);
      Prepare(*store);
    }
    FaultInjectionEnv faulty(&device.env());
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(faulty, kFile, write_case.options);
    ASSERT_NE(store, nullptr);
    faulty.Reset();
    faulty.FailNthMutation(n, winerr::kDiskFull);
    const bool written = write_case.write(*store, device.env());
    const bool fired = faulty.InjectedCount() > 0;
    faulty.Reset();
    if (written) {
      EXPECT_EQ(Dump(*store), new_dump);
      EXPECT_EQ(DumpOnDisk(device), new_dump) << "kept as soon as it answered";
      if (!fired) break;
      continue;
    }
    ++failures;
    ASSERT_TRUE(fired) << "only the broken call fails the write";
    const FailureDetail why = faulty.LastFailure();
    EXPECT_EQ(why.error, winerr::kDiskFull);
    EXPECT_FALSE(why.call.empty());
    EXPECT_GT(store->IoFailureCount(), 0u);
    EXPECT_EQ(DumpOnDisk(device), old_dump) << "a crash now would find the old store";
    EXPECT_EQ(Dump(*store), old_dump) << "the open store reads the old data";
    // The store is not left broken: the same write goes through now.
    if (write_case.name == std::string("WriteCopy")) {
      ASSERT_TRUE(!fs::exists(device.HostPath(kCopy)) || fs::remove(device.HostPath(kCopy)));
    }
    ASSERT_TRUE(write_case.write(*store, device.env()));
    EXPECT_EQ(Dump(*store), new_dump);
    store.reset();
    store = ObjectStore::Open(device.env(), kFile);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(Dump(*store), new_dump) << "reopened";
    ASSERT_LT(n, 400);
  }
  EXPECT_GE(failures, 1) << "no fault reached the write";
}

INSTANTIATE_TEST_SUITE_P(Writes, ObjectStoreFaultTest, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The store's own file is made by its first open: an open broken anywhere answers null and
// leaves what the next open makes into an empty store, never a file refused as damaged.
TEST(ObjectStoreFileFaultTest, AFailedCreationLeavesNothingTheNextOpenRefuses) {
  int failures = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("disk-changing call " + std::to_string(n));
    testing::TempDeviceRoot device;
    FaultInjectionEnv faulty(&device.env());
    faulty.FailNthMutation(n, winerr::kDiskFull);
    FailureDetail why;
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(faulty, kFile, {}, &why);
    const bool fired = faulty.InjectedCount() > 0;
    faulty.Reset();
    if (store != nullptr) {
      EXPECT_TRUE(store->ListDatabases().empty());
      if (!fired) break;
      continue;
    }
    ++failures;
    ASSERT_TRUE(fired);
    EXPECT_EQ(why.error, winerr::kDiskFull);
    store = ObjectStore::Open(device.env(), kFile);
    ASSERT_NE(store, nullptr) << "refused after a failed creation";
    EXPECT_TRUE(store->ListDatabases().empty());
    ASSERT_TRUE(store->CreateDatabase(u"a", 1, kByInt32));
    ASSERT_LT(n, 100);
  }
  EXPECT_GE(failures, 2) << "the open and the first writes at least";
}

// A batch too big for the page cache writes into the log before it commits; when that fails,
// SQLite takes the whole batch back, so every write after it must fail too rather than be kept
// on its own, and the batch must not end as committed.
TEST(ObjectStoreFileFaultTest, ABatchTakenBackByTheDiskTakesNoWriteUntilItEnds) {
  testing::TempDeviceRoot device;
  {
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(device.env(), kFile);
    ASSERT_NE(store, nullptr);
    Prepare(*store);
  }
  FaultInjectionEnv faulty(&device.env());
  std::unique_ptr<ObjectStore> store = ObjectStore::Open(faulty, kFile, kSmallCache);
  ASSERT_NE(store, nullptr);
  const std::string old_dump = Dump(*store);
  std::unique_ptr<ObjectStoreDatabase> a = store->OpenDatabase(u"a");
  ASSERT_TRUE(store->BeginBatch());
  ASSERT_TRUE(a->BeginBatch());  // nested, as a bulk load inside a transaction
  faulty.SetDiskFull(true);
  int32_t tag = 100;
  while (a->AddRecord(Record(tag, tag, 2000)) != 0) ASSERT_LT(++tag, 1000);
  EXPECT_GT(tag, 100) << "the first records fit in the cache";
  faulty.SetDiskFull(false);

  EXPECT_EQ(a->RecordCount(), 20u) << "counted afresh: none of the batch is left";
  EXPECT_EQ(a->AddRecord(Record(1, 1)), 0u);
  EXPECT_FALSE(a->DeleteRecord(1));
  EXPECT_FALSE(store->CreateDatabase(u"c", 3, kByInt32));
  EXPECT_FALSE(store->ClearDatabase(u"b"));
  EXPECT_EQ(Dump(*store), old_dump);
  EXPECT_FALSE(a->EndBatch()) << "the nested batch";
  EXPECT_TRUE(store->InBatch());
  EXPECT_FALSE(store->EndBatch()) << "the outer batch";
  EXPECT_FALSE(store->InBatch());
  EXPECT_EQ(DumpOnDisk(device), old_dump);

  // Past the batch, writes are taken again.
  EXPECT_NE(a->AddRecord(Record(1, 1)), 0u);
  EXPECT_EQ(a->RecordCount(), 21u);
}

// The store copies its log into its file once the log has grown (a checkpoint), right after a
// commit. A checkpoint that fails leaves the pages in the log: the commit before it succeeded,
// and must be answered as such, or the caller would write the same record again.
TEST(ObjectStoreFileFaultTest, AFailedCheckpointCostsTheCommitBeforeItNothing) {
  testing::TempDeviceRoot device;
  FaultInjectionEnv faulty(&device.env());
  std::unique_ptr<ObjectStore> store = ObjectStore::Open(faulty, kFile);
  ASSERT_NE(store, nullptr);
  ASSERT_TRUE(store->CreateDatabase(u"a", 1, kByInt32));
  std::unique_ptr<ObjectStoreDatabase> a = store->OpenDatabase(u"a");
  ASSERT_NE(a->AddRecord(Record(0, 0)), 0u);  // the log is begun (its header synced)
  // From here on only a checkpoint syncs.
  faulty.FailNth(FileOp::kSync, 1, winerr::kWriteFault);
  int32_t tag = 1;
  for (; faulty.InjectedCount() == 0; ++tag) {
    ASSERT_NE(a->AddRecord(Record(tag, tag, 100)), 0u) << "record " << tag;
    ASSERT_LT(tag, 20000) << "no checkpoint ran";
  }
  for (int32_t more = 0; more < 10; ++more, ++tag) {
    ASSERT_NE(a->AddRecord(Record(tag, tag, 100)), 0u);
  }
  EXPECT_GT(store->IoFailureCount(), 0u);
  a.reset();
  store.reset();
  store = ObjectStore::Open(device.env(), kFile);
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->OpenDatabase(u"a")->RecordCount(), static_cast<uint32_t>(tag));
}

}  // namespace
}  // namespace ledgerix::platform
