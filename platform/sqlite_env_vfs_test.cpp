// SQLite's files reached through the Env: which files the store opens and how, short transfers,
// and what a refused open tells.

#include "platform/sqlite_env_vfs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/fault_injection_env.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"
#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

constexpr char16_t kFile[] = u"\\objects.db";
constexpr SortOrder kByInt32{0, PropertyKind::kInt32};

// Keeps the opens and deletes that pass through it.
class RecordingEnv : public FaultInjectionEnv {
 public:
  using FaultInjectionEnv::FaultInjectionEnv;

  struct OpenCall {
    std::u16string path;
    int access;
    int disposition;
    int share;
  };

  FileHandle Open(std::u16string_view path, int access, int disposition, int share) override {
    opens.push_back({std::u16string(path), access, disposition, share});
    return FaultInjectionEnv::Open(path, access, disposition, share);
  }
  bool Delete(std::u16string_view path) override {
    deletes.emplace_back(path);
    return FaultInjectionEnv::Delete(path);
  }

  std::vector<OpenCall> opens;
  std::vector<std::u16string> deletes;
};

std::vector<Property> Record(int32_t tag) {
  return {Property::Int32(0, tag), Property::Text(1, std::u16string(40, u'ж'))};
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A store with one database "t" of `count` records, closed.
void MakeStore(Env& env, int32_t count) {
  std::unique_ptr<ObjectStore> store = ObjectStore::Open(env, kFile);
  ASSERT_NE(store, nullptr);
  ASSERT_TRUE(store->CreateDatabase(u"t", 1, kByInt32));
  std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(u"t");
  ASSERT_TRUE(db->BeginBatch());
  for (int32_t tag = 0; tag < count; ++tag) ASSERT_NE(db->AddRecord(Record(tag)), 0u);
  ASSERT_TRUE(db->EndBatch());
}

TEST(SqliteEnvVfsTest, EveryFileIsOpenedByItsDevicePathAndHeldExclusively) {
  testing::TempDeviceRoot device;
  RecordingEnv env(&device.env());
  {
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(env, kFile);
    ASSERT_NE(store, nullptr);
    ASSERT_TRUE(store->CreateDatabase(u"t", 1, kByInt32));
    ASSERT_NE(store->OpenDatabase(u"t")->AddRecord(Record(1)), 0u);
    ASSERT_TRUE(store->WriteCopy(u"\\copy.db"));
  }
  // A new file is made a store with a rollback journal before it takes up its log, and the
  // copy is written with one; every file is opened for reading and writing, held alone.
  std::vector<std::string> opens;
  for (const RecordingEnv::OpenCall& call : env.opens) {
    opens.push_back(std::string(call.path.begin(), call.path.end()) + " " +
                    std::to_string(call.access) + " " + std::to_string(call.disposition) + " " +
                    std::to_string(call.share));
  }
  EXPECT_EQ(opens, (std::vector<std::string>{"\\objects.db 3 4 0", "\\objects.db-journal 3 4 0",
                                             "\\objects.db-wal 3 4 0", "\\copy.db 3 4 0",
                                             "\\copy.db-journal 3 4 0"}));
  EXPECT_EQ(env.deletes, (std::vector<std::u16string>{u"\\objects.db-journal", u"\\copy.db-journal",
                                                      u"\\objects.db-wal"}))
      << "the journals when done, the log once put back into the file at the close";
  EXPECT_EQ(FilesIn(device.host_root()), (std::vector<std::string>{"copy.db", "objects.db"}))
      << "no shared-memory file, no journal";
  EXPECT_GT(env.Count(FileOp::kWrite), 0);
  EXPECT_GT(env.Count(FileOp::kSync), 0) << "the close's checkpoint";
}

TEST(SqliteEnvVfsTest, AHeldStoreIsRefusedToASecondOpenAndTellsWhy) {
  testing::TempDeviceRoot device;
  std::unique_ptr<ObjectStore> store = ObjectStore::Open(device.env(), kFile);
  ASSERT_NE(store, nullptr);
  FailureDetail why;
  EXPECT_EQ(ObjectStore::Open(device.env(), kFile, {}, &why), nullptr);
  EXPECT_EQ(why.error, winerr::kSharingViolation);
  EXPECT_EQ(why.call, "Open");
  EXPECT_EQ(why.host_path, device.HostPath(kFile));
  EXPECT_TRUE(store->CreateDatabase(u"t", 1, kByInt32)) << "the first store is untouched";
}

TEST(SqliteEnvVfsTest, AnOpenTellsTheFailedCallOrThatTheFileIsNoStore) {
  testing::TempDeviceRoot device;
  MakeStore(device.env(), 10);
  FaultInjectionEnv faulty(&device.env());
  faulty.FailNth(FileOp::kRead, 1, winerr::kReadFault);
  FailureDetail why;
  EXPECT_EQ(ObjectStore::Open(faulty, kFile, {}, &why), nullptr);
  EXPECT_EQ(why.call, "Read");
  EXPECT_EQ(why.error, winerr::kReadFault);

  ASSERT_TRUE(device.WriteHostFile(u"\\other.db", std::string(8192, 'x')));
  EXPECT_EQ(ObjectStore::Open(faulty, u"\\other.db", {}, &why), nullptr);
  EXPECT_EQ(why.call, "ObjectStore::Open");
  EXPECT_EQ(why.error, winerr::kInvalidData);
  EXPECT_EQ(device.ReadHostFile(u"\\other.db"), std::string(8192, 'x'));
}

TEST(SqliteEnvVfsTest, ShortReadsAreReadOnToTheEnd) {
  testing::TempDeviceRoot device;
  MakeStore(device.env(), 500);
  for (int n = 1; n <= 12; ++n) {
    FaultInjectionEnv faulty(&device.env());
    for (int k = n; k <= 60; k += 12) faulty.ShortReadNth(k);
    std::unique_ptr<ObjectStore> store = ObjectStore::Open(faulty, kFile);
    ASSERT_NE(store, nullptr) << n;
    std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(u"t");
    ASSERT_NE(db, nullptr) << n;
    uint32_t walked = 0;
    std::vector<Property> record;
    for (bool more = db->SeekFirst(); more; more = db->SeekNext()) {
      ASSERT_TRUE(db->ReadCurrent(&record));
      ++walked;
    }
    EXPECT_EQ(walked, 500u) << n;
    EXPECT_GT(faulty.InjectedCount(), 0) << n;
  }
}

TEST(SqliteEnvVfsTest, AShortWriteFailsTheWriteAsAFullDisk) {
  testing::TempDeviceRoot device;
  MakeStore(device.env(), 3);
  FaultInjectionEnv faulty(&device.env());
  std::unique_ptr<ObjectStore> store = ObjectStore::Open(faulty, kFile);
  ASSERT_NE(store, nullptr);
  std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(u"t");
  faulty.ShortWriteNth(1);
  EXPECT_EQ(db->AddRecord(Record(7)), 0u);
  EXPECT_EQ(faulty.InjectedCount(), 1);
  EXPECT_EQ(faulty.LastError(), winerr::kDiskFull);
  EXPECT_EQ(db->RecordCount(), 3u);
  EXPECT_NE(db->AddRecord(Record(7)), 0u) << "the next write goes through";
  EXPECT_EQ(db->RecordCount(), 4u);
}

}  // namespace
}  // namespace ledgerix::platform
