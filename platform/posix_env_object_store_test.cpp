// The object store as a PosixEnv keeps it: opened at the device root on first use, copied aside
// and reset when the finance layer must rebuild a damaged one.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fault_injection_env.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"
#include "platform/posix_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

namespace fs = std::filesystem;

constexpr SortOrder kByInt32{0, PropertyKind::kInt32};
constexpr char16_t kStorePath[] = u"\\objects.sqlite";
constexpr char16_t kBackupPath[] = u"\\data\\store.bak";

std::string Garbage(size_t size, char seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 31);
  return bytes;
}

// The second properties of the records of one database of a store, in sort order.
std::vector<int32_t> TagsIn(ObjectStore* store, std::u16string_view database) {
  std::vector<int32_t> tags;
  if (store == nullptr) return {-1};
  std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(database);
  if (db == nullptr) return {-2};
  std::vector<Property> record;
  for (bool more = db->SeekFirst(); more; more = db->SeekNext()) {
    if (!db->ReadCurrent(&record) || record.size() != 2) return {-3};
    tags.push_back(std::get<int32_t>(record[1].value));
  }
  return tags;
}

// The same of a store file other than the Env's own.
std::vector<int32_t> TagsIn(Env& env, std::u16string_view device_path,
                            std::u16string_view database) {
  return TagsIn(ObjectStore::Open(env, device_path).get(), database);
}

// Names of the files in a host folder.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class PosixEnvObjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(env().CreateDirectory(u"\\data")); }

  PosixEnv& env() { return device_.env(); }
  std::string Host(std::u16string_view device_path) { return device_.HostPath(device_path); }

  // Adds records tagged first..last to database "t" of the store of `owner` (by default the
  // device's Env), creating it when missing.
  void AddTagged(int32_t first, int32_t last, Env* owner = nullptr) {
    ObjectStore* store = (owner != nullptr ? *owner : env()).Objects();
    ASSERT_NE(store, nullptr);
    if (!store->DatabaseExists(u"t")) {
      ASSERT_TRUE(store->CreateDatabase(u"t", 1, kByInt32));
    }
    std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(u"t");
    ASSERT_NE(db, nullptr);
    for (int32_t tag = first; tag <= last; ++tag) {
      ASSERT_NE(db->AddRecord({Property::Int32(0, tag), Property::Int32(1, tag)}), 0u);
    }
  }

  testing::TempDeviceRoot device_;
};

TEST_F(PosixEnvObjectStoreTest, OpensOnFirstUseAtTheDeviceRootAndKeepsItsData) {
  EXPECT_FALSE(device_.Exists(kStorePath)) << "nothing is created before it is asked for";
  {
    PosixEnv first(env().options());
    ObjectStore* store = first.Objects();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(first.Objects(), store) << "one store for the Env's lifetime";
    EXPECT_TRUE(device_.Exists(kStorePath));
    EXPECT_EQ(first.ObjectStoreFile(), Host(kStorePath));
    AddTagged(1, 3, &first);

    // The store holds its file: another Env on the device cannot open it meanwhile.
    EXPECT_EQ(env().Objects(), nullptr);
    EXPECT_EQ(env().LastError(), winerr::kSharingViolation);
  }
  EXPECT_FALSE(device_.Exists(u"\\objects.sqlite-wal")) << "the log was put back and removed";
  EXPECT_FALSE(device_.Exists(u"\\objects.sqlite-shm")) << "no shared memory file";
  // Another Env on the same device (as the next start of the program) sees the records.
  EXPECT_EQ(TagsIn(env().Objects(), u"t"), (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(PosixEnvObjectStoreTest, FailedOpenIsTriedAgainOnTheNextCall) {
  ASSERT_TRUE(device_.WriteHostFile(kStorePath, Garbage(8192, 'x')));
  EXPECT_EQ(env().Objects(), nullptr);
  EXPECT_EQ(env().Objects(), nullptr);
  ASSERT_TRUE(device_.WriteHostFile(kStorePath, ""));
  EXPECT_NE(env().Objects(), nullptr) << "the earlier failure is not remembered";
}

// A store that does not open says why: read-only is no damage, bytes that are no store are.
TEST_F(PosixEnvObjectStoreTest, AStoreThatDoesNotOpenSaysWhy) {
  AddTagged(1, 2);
  env().CloseObjectStore();  // the store takes its file for itself alone
  PosixEnv other(env().options());
  ASSERT_EQ(::chmod(Host(kStorePath).c_str(), 0444), 0);
  EXPECT_EQ(other.Objects(), nullptr);
  EXPECT_EQ(other.LastFailure().error, winerr::kAccessDenied);
  EXPECT_EQ(other.LastFailure().call, "OpenObjectStore");
  EXPECT_EQ(other.LastFailure().host_path, Host(kStorePath));
  ASSERT_EQ(::chmod(Host(kStorePath).c_str(), 0644), 0);
  EXPECT_NE(other.Objects(), nullptr);

  PosixEnv damaged(env().options());
  device_.env().ResetObjectStore();
  ASSERT_TRUE(device_.WriteHostFile(kStorePath, Garbage(8192, 'x')));
  EXPECT_EQ(damaged.Objects(), nullptr);
  EXPECT_EQ(damaged.LastFailure().error, winerr::kInvalidData);
}

TEST_F(PosixEnvObjectStoreTest, BackupOfAnOpenStoreIsACompleteStoreOfItsOwn) {
  AddTagged(1, 500);
  // Leftovers of an older file at the target: its log must not be replayed into the copy.
  ASSERT_TRUE(device_.WriteHostFile(kBackupPath, "old backup"));
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\store.bak-wal", Garbage(4096, 'w')));
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\store.bak-shm", Garbage(4096, 's')));

  ASSERT_TRUE(env().BackupObjectStore(kBackupPath));
  EXPECT_EQ(FilesIn(Host(u"\\data")), std::vector<std::string>{"store.bak"})
      << "no temporary file and no stale log is left";
  AddTagged(501, 501);  // the store stays open and usable

  std::vector<int32_t> expected;
  for (int32_t tag = 1; tag <= 500; ++tag) expected.push_back(tag);
  EXPECT_EQ(TagsIn(env(), kBackupPath, u"t"), expected);

  // A second backup replaces the first.
  ASSERT_TRUE(env().BackupObjectStore(kBackupPath));
  expected.push_back(501);
  EXPECT_EQ(TagsIn(env(), kBackupPath, u"t"), expected);
}

TEST_F(PosixEnvObjectStoreTest, BackupOfAStoreThatWillNotOpenCopiesItsFiles) {
  const std::string store_bytes = Garbage(10000, 'a');
  const std::string log_bytes = Garbage(3000, 'b');
  ASSERT_TRUE(device_.WriteHostFile(kStorePath, store_bytes));
  ASSERT_TRUE(device_.WriteHostFile(u"\\objects.sqlite-wal", log_bytes));
  ASSERT_EQ(env().Objects(), nullptr);

  ASSERT_TRUE(env().BackupObjectStore(kBackupPath));
  EXPECT_EQ(device_.ReadHostFile(kBackupPath), store_bytes);
  EXPECT_EQ(device_.ReadHostFile(u"\\data\\store.bak-wal"), log_bytes);
  EXPECT_EQ(device_.ReadHostFile(kStorePath), store_bytes) << "the store itself is untouched";
  EXPECT_EQ(device_.ReadHostFile(u"\\objects.sqlite-wal"), log_bytes)
      << "the failed opens neither checkpointed nor deleted the log";

  // Without a log beside the store, a log left at the target from before goes away.
  ASSERT_TRUE(env().Delete(u"\\objects.sqlite-wal"));
  ASSERT_TRUE(env().BackupObjectStore(kBackupPath));
  EXPECT_EQ(device_.ReadHostFile(kBackupPath), store_bytes);
  EXPECT_FALSE(device_.Exists(u"\\data\\store.bak-wal"));
}

TEST_F(PosixEnvObjectStoreTest, BackupFailuresLeaveNothingBehind) {
  AddTagged(1, 3);
  EXPECT_FALSE(env().BackupObjectStore(u"\\missing\\store.bak"));
  EXPECT_EQ(env().LastError(), winerr::kPathNotFound);
  EXPECT_FALSE(env().BackupObjectStore(u"\\data"));
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_FALSE(env().BackupObjectStore(u"\\data\\*.bak"));
  EXPECT_EQ(env().LastError(), winerr::kInvalidName);
  for (const char16_t* own : {kStorePath, u"\\objects.sqlite-wal", u"\\\\objects.sqlite"}) {
    EXPECT_FALSE(env().BackupObjectStore(own));
    EXPECT_EQ(env().LastError(), winerr::kSharingViolation);
  }
  EXPECT_EQ(TagsIn(env().Objects(), u"t"), (std::vector<int32_t>{1, 2, 3}));

  // A read-only file is not replaced, as Rename would not replace it.
  ASSERT_TRUE(device_.WriteHostFile(kBackupPath, "keep"));
  ::chmod(Host(kBackupPath).c_str(), 0444);
  EXPECT_FALSE(env().BackupObjectStore(kBackupPath));
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied);
  EXPECT_EQ(device_.ReadHostFile(kBackupPath), "keep");
  EXPECT_EQ(FilesIn(Host(u"\\data")), std::vector<std::string>{"store.bak"});
}

TEST_F(PosixEnvObjectStoreTest, BackupWithoutAnyStoreFails) {
  // A folder where the store file belongs: nothing opens and there are no bytes to copy.
  ASSERT_TRUE(env().CreateDirectory(kStorePath));
  EXPECT_FALSE(env().BackupObjectStore(kBackupPath));
  EXPECT_EQ(env().LastError(), winerr::kFileNotFound);
  // Told as the backup's failure, though the store's open made calls of the Env in between.
  EXPECT_EQ(env().LastFailure().call, "BackupObjectStore");
  EXPECT_EQ(env().LastFailure().host_path, Host(kBackupPath));
  EXPECT_FALSE(device_.Exists(kBackupPath));
}

TEST_F(PosixEnvObjectStoreTest, ResetRemovesTheStoreAndTheNextOneIsEmpty) {
  AddTagged(1, 10);
  std::unique_ptr<ObjectStoreDatabase> held = env().Objects()->OpenDatabase(u"t");
  ASSERT_NE(held, nullptr);

  ASSERT_TRUE(env().ResetObjectStore());
  EXPECT_FALSE(held->usable()) << "a database of the old store fails safely";
  EXPECT_FALSE(held->SeekFirst());
  held.reset();
  EXPECT_FALSE(device_.Exists(kStorePath));
  EXPECT_FALSE(device_.Exists(u"\\objects.sqlite-wal"));
  EXPECT_FALSE(device_.Exists(u"\\objects.sqlite-shm"));

  ObjectStore* fresh = env().Objects();
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->ListDatabases().empty());
  EXPECT_TRUE(env().ResetObjectStore()) << "and again, with nothing left to remove";
}

TEST_F(PosixEnvObjectStoreTest, ResetClearsAStoreThatWillNotOpen) {
  ASSERT_TRUE(device_.WriteHostFile(kStorePath, Garbage(10000, 'c')));
  ASSERT_TRUE(device_.WriteHostFile(u"\\objects.sqlite-wal", Garbage(3000, 'd')));
  ASSERT_EQ(env().Objects(), nullptr);
  ASSERT_TRUE(env().BackupObjectStore(kBackupPath));
  ASSERT_TRUE(env().ResetObjectStore());
  ObjectStore* fresh = env().Objects();
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->ListDatabases().empty());
  EXPECT_TRUE(device_.Exists(kBackupPath)) << "the copy stays";
}

// A wrapper puts itself in the path of the wrapped Env's store while it exists, whoever asks
// for the store; nested wrappers give the route back in turn.
TEST_F(PosixEnvObjectStoreTest, TheStoreWritesThroughEveryWrapperOfItsEnvWhileItExists) {
  AddTagged(1, 1);
  std::unique_ptr<ObjectStoreDatabase> db = env().Objects()->OpenDatabase(u"t");
  auto add = [&](int32_t tag) { return db->AddRecord({Property::Int32(0, tag)}) != 0; };
  {
    FaultInjectionEnv inner(&env());
    {
      FaultInjectionEnv outer(&inner);
      EXPECT_EQ(outer.Objects(), env().Objects()) << "one store";
      outer.SetDiskFull(true);
      EXPECT_FALSE(add(2)) << "asked for through the device's Env, written through both";
      EXPECT_EQ(outer.LastError(), winerr::kDiskFull);
      EXPECT_EQ(outer.LastFailure().call, "Write");
      outer.SetDiskFull(false);
      EXPECT_TRUE(add(3));
      EXPECT_GT(inner.Count(FileOp::kWrite), 0) << "handed on through the inner wrapper";
    }
    inner.SetDiskFull(true);
    EXPECT_FALSE(add(4)) << "the route is the inner wrapper's again";
  }
  EXPECT_TRUE(add(5)) << "and the device Env's own once both are gone";
  EXPECT_EQ(db->RecordCount(), 3u);
}

TEST_F(PosixEnvObjectStoreTest, AStoreFirstAskedForThroughAWrapperOpensThroughIt) {
  FaultInjectionEnv faulty(&env());
  faulty.FailNth(FileOp::kOpen, 1, winerr::kAccessDenied);
  EXPECT_EQ(faulty.Objects(), nullptr);
  EXPECT_EQ(faulty.LastError(), winerr::kAccessDenied);
  EXPECT_EQ(env().LastError(), winerr::kAccessDenied) << "the device's Env tells it too";
  ASSERT_NE(faulty.Objects(), nullptr);
  EXPECT_EQ(faulty.Objects(), env().Objects());

  // A file that is no store is the device Env's to tell, not an earlier injected failure.
  ASSERT_TRUE(env().ResetObjectStore());
  ASSERT_TRUE(device_.WriteHostFile(kStorePath, Garbage(8192, 'g')));
  EXPECT_EQ(faulty.Objects(), nullptr);
  EXPECT_EQ(faulty.LastError(), winerr::kInvalidData);
}

TEST_F(PosixEnvObjectStoreTest, ABackupWhoseCopyFailsTellsTheCallThatFailed) {
  AddTagged(1, 50);
  FaultInjectionEnv faulty(&env());
  faulty.FailNth(FileOp::kWrite, 1, winerr::kDiskFull);
  EXPECT_FALSE(faulty.BackupObjectStore(kBackupPath));
  EXPECT_EQ(faulty.InjectedCount(), 1) << "the copy's first write";
  EXPECT_EQ(faulty.LastError(), winerr::kDiskFull);
  EXPECT_EQ(faulty.LastFailure().call, "Write");
  EXPECT_EQ(env().LastError(), winerr::kDiskFull);
  EXPECT_TRUE(FilesIn(Host(u"\\data")).empty()) << "no copy and no temporary file";
  ASSERT_TRUE(faulty.BackupObjectStore(kBackupPath));
  EXPECT_EQ(TagsIn(env(), kBackupPath, u"t").size(), 50u);
}

}  // namespace
}  // namespace ledgerix::platform
