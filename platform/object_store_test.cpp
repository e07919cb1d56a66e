#include "platform/object_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>

#include "platform/object_store_database.h"
#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

namespace fs = std::filesystem;

constexpr SortOrder kByInt32{0, PropertyKind::kInt32};
constexpr char16_t kFile[] = u"\\objects.db";

// A record of the tests: property 0 is the sort value, property 1 tells records apart.
std::vector<Property> Record(int32_t value, int32_t tag) {
  return {Property::Int32(0, value), Property::Int32(1, tag)};
}

int32_t TagOf(const std::vector<Property>& record) {
  const Property* tag = FindProperty(record, 1);
  return tag != nullptr ? std::get<int32_t>(tag->value) : -1;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Object ids in cursor order, first to last.
std::vector<uint32_t> WalkIds(ObjectStoreDatabase& db) {
  std::vector<uint32_t> ids;
  for (bool more = db.SeekFirst(); more; more = db.SeekNext()) ids.push_back(db.CurrentObjectId());
  return ids;
}

// Tags in cursor order, each read from its record.
std::vector<int32_t> WalkTags(ObjectStoreDatabase& db) {
  std::vector<int32_t> tags;
  std::vector<Property> record;
  for (bool more = db.SeekFirst(); more; more = db.SeekNext()) {
    EXPECT_TRUE(db.ReadCurrent(&record));
    tags.push_back(TagOf(record));
  }
  return tags;
}

class ObjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = device_.host_root();
    path_ = folder_ / "objects.db";
  }

  std::unique_ptr<ObjectStore> OpenStore() { return ObjectStore::Open(device_.env(), kFile); }

  // The tags of database "t" as the store's files on the disk hold them now: what a process
  // killed at this moment would leave. Read from a copy, since the store holds its own files.
  std::vector<int32_t> TagsOnDisk() {
    const fs::path copy = folder_ / "snapshot.db";
    fs::copy_file(path_, copy, fs::copy_options::overwrite_existing);
    fs::path log = path_;
    log += "-wal";
    fs::path copy_log = copy;
    copy_log += "-wal";
    fs::remove(copy_log);
    if (fs::exists(log)) fs::copy_file(log, copy_log);
    std::vector<int32_t> tags{-1};
    if (std::unique_ptr<ObjectStore> store = ObjectStore::Open(device_.env(), u"\\snapshot.db")) {
      std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(u"t");
      tags = db != nullptr ? WalkTags(*db) : std::vector<int32_t>{-2};
    }
    fs::remove(copy);
    fs::remove(copy_log);
    return tags;
  }

  // A store with one database "t" sorted on an int32 property 0.
  void OpenWithTable() {
    store_ = OpenStore();
    ASSERT_NE(store_, nullptr);
    ASSERT_TRUE(store_->CreateDatabase(u"t", 7, kByInt32));
    db_ = store_->OpenDatabase(u"t");
    ASSERT_NE(db_, nullptr);
  }

  testing::TempDeviceRoot device_;
  fs::path folder_;
  fs::path path_;
  std::unique_ptr<ObjectStore> store_;
  std::unique_ptr<ObjectStoreDatabase> db_;
};

TEST_F(ObjectStoreTest, CreatesOpensListsAndDeletesDatabases) {
  std::unique_ptr<ObjectStore> store = OpenStore();
  ASSERT_NE(store, nullptr);
  EXPECT_TRUE(store->CreateDatabase(u"[sec_data]", 1004, kByInt32));
  EXPECT_TRUE(store->CreateDatabase(u"TOLVENA_Ledgerix_1", 1, {0, PropertyKind::kText}));
  EXPECT_FALSE(store->CreateDatabase(u"[sec_data]", 5, kByInt32)) << "the name is taken";
  EXPECT_FALSE(store->CreateDatabase(u"", 5, kByInt32));
  EXPECT_TRUE(store->CreateDatabase(u"[SEC_DATA]", 5, kByInt32)) << "names compare exactly";

  const std::vector<DatabaseInfo> list = store->ListDatabases();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, u"[sec_data]");
  EXPECT_EQ(list[0].type_id, 1004u);
  EXPECT_EQ(list[1].name, u"TOLVENA_Ledgerix_1");
  EXPECT_EQ(list[1].sort, (SortOrder{0, PropertyKind::kText}));
  EXPECT_EQ(list[2].name, u"[SEC_DATA]");

  std::unique_ptr<ObjectStoreDatabase> data = store->OpenDatabase(u"[sec_data]", kByInt32);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->info().type_id, 1004u);
  EXPECT_EQ(data->RecordCount(), 0u);
  EXPECT_EQ(store->OpenDatabase(u"[sec_data]", SortOrder{0, PropertyKind::kText}), nullptr);
  EXPECT_EQ(store->OpenDatabase(u"[sec_data]", SortOrder{1, PropertyKind::kInt32}), nullptr);
  EXPECT_EQ(store->OpenDatabase(u"missing"), nullptr);

  ASSERT_NE(data->AddRecord(Record(1, 1)), 0u);
  EXPECT_TRUE(store->DeleteDatabase(u"[sec_data]"));
  EXPECT_FALSE(store->DeleteDatabase(u"[sec_data]"));
  EXPECT_FALSE(store->DatabaseExists(u"[sec_data]"));
  EXPECT_TRUE(store->DatabaseExists(u"[SEC_DATA]"));
  EXPECT_EQ(store->OpenDatabase(u"[sec_data]"), nullptr);

  // The database open on the deleted one fails from then on.
  EXPECT_FALSE(data->usable());
  EXPECT_FALSE(data->SeekFirst());
  EXPECT_EQ(data->AddRecord(Record(2, 2)), 0u);
  EXPECT_EQ(data->RecordCount(), 0u);

  // A new database of the old name starts empty.
  ASSERT_TRUE(store->CreateDatabase(u"[sec_data]", 1004, kByInt32));
  EXPECT_EQ(store->OpenDatabase(u"[sec_data]")->RecordCount(), 0u);
}

TEST_F(ObjectStoreTest, EveryPropertyKindRoundTrips) {
  OpenWithTable();
  const std::vector<Property> record = {
      Property::Int32(0, -5),
      Property::Int16(1, -32768),
      Property::Text(2, u""),
      Property::Text(3, u"Продукты \U0001F4B0 №1"),
      Property::Bool(4, true),
      Property::Double(5, -1234.5625),
      Property::Blob(6, {}),
      Property::Blob(7, {0, 1, 0, 255}),
      Property::Text(8, std::u16string(u"a\0b", 3)),
  };
  const uint32_t id = db_->AddRecord(record);
  ASSERT_NE(id, 0u);
  std::vector<Property> read;
  ASSERT_TRUE(db_->SeekFirst());
  ASSERT_TRUE(db_->ReadCurrent(&read));
  EXPECT_EQ(read, record);

  db_.reset();
  store_.reset();
  store_ = OpenStore();
  db_ = store_->OpenDatabase(u"t");
  ASSERT_TRUE(db_->SeekFirst());
  EXPECT_EQ(db_->CurrentObjectId(), id);
  ASSERT_TRUE(db_->ReadCurrent(&read));
  EXPECT_EQ(read, record);
}

TEST_F(ObjectStoreTest, SortsBySignedValueThenByInsertion) {
  OpenWithTable();
  const int32_t values[] = {5, -3, 5, 0, INT32_MIN, INT32_MAX, -3, 5};
  for (int32_t tag = 0; tag < 8; ++tag) ASSERT_NE(db_->AddRecord(Record(values[tag], tag)), 0u);
  // A record without the sort property comes first.
  ASSERT_NE(db_->AddRecord({Property::Int32(1, 8)}), 0u);
  EXPECT_EQ(WalkTags(*db_), (std::vector<int32_t>{8, 4, 1, 6, 3, 0, 2, 7, 5}));
}

TEST_F(ObjectStoreTest, SortsMixedKindsByValueAndTextsByCodeUnits) {
  store_ = OpenStore();
  ASSERT_TRUE(store_->CreateDatabase(u"names", 1, {0, PropertyKind::kText}));
  db_ = store_->OpenDatabase(u"names");
  const std::vector<Property> keys = {
      Property::Text(0, u"b"),      Property::Text(0, u"ab"),  Property::Text(0, u""),
      Property::Text(0, u"\uFFFF"), Property::Text(0, u"a"),   Property::Text(0, u"\U0001F4B0"),
      Property::Double(0, 2.5),     Property::Bool(0, true),   Property::Int16(0, -7),
      Property::Blob(0, {1}),       Property::Blob(0, {0, 9}), Property::Text(0, u"Б"),
  };
  for (int32_t tag = 0; tag < static_cast<int32_t>(keys.size()); ++tag) {
    ASSERT_NE(db_->AddRecord({keys[tag], Property::Int32(1, tag)}), 0u);
  }
  // Numbers, then texts ("\U0001F4B0" is D83D DCB0, before U+FFFF), then byte blocks.
  EXPECT_EQ(WalkTags(*db_), (std::vector<int32_t>{8, 7, 6, 2, 4, 1, 0, 11, 5, 3, 10, 9}));
}

TEST_F(ObjectStoreTest, SeeksOnAnEmptyDatabaseAnswerFalse) {
  OpenWithTable();
  EXPECT_EQ(db_->RecordCount(), 0u);
  EXPECT_FALSE(db_->SeekFirst());
  EXPECT_FALSE(db_->SeekLast());
  EXPECT_FALSE(db_->SeekNext());
  EXPECT_FALSE(db_->SeekPrevious());
  EXPECT_FALSE(db_->SeekToIndex(0));
  EXPECT_EQ(db_->CurrentObjectId(), 0u);
  std::vector<Property> read;
  EXPECT_FALSE(db_->ReadCurrent(&read));
}

TEST_F(ObjectStoreTest, SeeksStopAtTheEndsAndTurnBack) {
  OpenWithTable();
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < 5; ++i) ids.push_back(db_->AddRecord(Record(i * 10, i)));

  ASSERT_TRUE(db_->SeekLast());
  EXPECT_EQ(db_->CurrentObjectId(), ids[4]);
  EXPECT_FALSE(db_->SeekNext());
  EXPECT_EQ(db_->CurrentObjectId(), 0u);
  EXPECT_FALSE(db_->SeekNext());
  ASSERT_TRUE(db_->SeekPrevious()) << "from past the end, back to the last";
  EXPECT_EQ(db_->CurrentObjectId(), ids[4]);

  ASSERT_TRUE(db_->SeekFirst());
  EXPECT_FALSE(db_->SeekPrevious());
  EXPECT_FALSE(db_->SeekPrevious());
  ASSERT_TRUE(db_->SeekNext()) << "from before the start, on to the first";
  EXPECT_EQ(db_->CurrentObjectId(), ids[0]);

  for (uint32_t k : {3u, 0u, 4u, 2u, 2u, 1u}) {
    ASSERT_TRUE(db_->SeekToIndex(k));
    EXPECT_EQ(db_->CurrentObjectId(), ids[k]);
  }
  ASSERT_TRUE(db_->SeekToIndex(1));
  ASSERT_TRUE(db_->SeekNext());
  EXPECT_EQ(db_->CurrentObjectId(), ids[2]);
  ASSERT_TRUE(db_->SeekPrevious());
  ASSERT_TRUE(db_->SeekPrevious());
  EXPECT_EQ(db_->CurrentObjectId(), ids[0]);
  EXPECT_FALSE(db_->SeekToIndex(5));
  ASSERT_TRUE(db_->SeekPrevious());
  EXPECT_EQ(db_->CurrentObjectId(), ids[4]);
}

TEST_F(ObjectStoreTest, OpensOnTheFirstRecord) {
  OpenWithTable();
  ASSERT_NE(db_->AddRecord(Record(2, 0)), 0u);
  const uint32_t first = db_->AddRecord(Record(1, 1));
  std::unique_ptr<ObjectStoreDatabase> other = store_->OpenDatabase(u"t");
  EXPECT_EQ(other->CurrentObjectId(), first);
}

TEST_F(ObjectStoreTest, DeletingWhileWalkingVisitsEveryRecord) {
  OpenWithTable();
  for (int32_t i = 0; i < 100; ++i) ASSERT_NE(db_->AddRecord(Record(i % 7, i)), 0u);
  const std::vector<int32_t> before = WalkTags(*db_);

  std::vector<int32_t> visited;
  std::vector<Property> record;
  for (bool more = db_->SeekFirst(); more; more = db_->SeekNext()) {
    ASSERT_TRUE(db_->ReadCurrent(&record));
    visited.push_back(TagOf(record));
    if (TagOf(record) % 3 != 0) {
      ASSERT_TRUE(db_->DeleteRecord(db_->CurrentObjectId()));
      EXPECT_EQ(db_->CurrentObjectId(), 0u);
      EXPECT_FALSE(db_->ReadCurrent(&record));
    }
  }
  EXPECT_EQ(visited, before);
  std::vector<int32_t> kept;
  std::copy_if(before.begin(), before.end(), std::back_inserter(kept),
               [](int32_t tag) { return tag % 3 == 0; });
  EXPECT_EQ(WalkTags(*db_), kept);
  EXPECT_EQ(db_->RecordCount(), kept.size());
}

TEST_F(ObjectStoreTest, DeletingTheCurrentRecordLeavesAGapBetweenItsNeighbours) {
  OpenWithTable();
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < 5; ++i) ids.push_back(db_->AddRecord(Record(i, i)));
  ASSERT_TRUE(db_->SeekToIndex(2));
  ASSERT_TRUE(db_->DeleteRecord(ids[2]));
  ASSERT_TRUE(db_->SeekPrevious());
  EXPECT_EQ(db_->CurrentObjectId(), ids[1]);

  ASSERT_TRUE(db_->SeekToIndex(2));
  EXPECT_EQ(db_->CurrentObjectId(), ids[3]);
  ASSERT_TRUE(db_->DeleteRecord(ids[3]));
  ASSERT_TRUE(db_->SeekToIndex(2)) << "the record after the gap holds the gap's index";
  EXPECT_EQ(db_->CurrentObjectId(), ids[4]);
  EXPECT_FALSE(db_->DeleteRecord(ids[3])) << "already gone";
}

TEST_F(ObjectStoreTest, ClearingKeepsTheDatabaseAndEveryCursorUsable) {
  OpenWithTable();
  ASSERT_TRUE(store_->CreateDatabase(u"other", 9, kByInt32));
  std::unique_ptr<ObjectStoreDatabase> other = store_->OpenDatabase(u"other");
  ASSERT_NE(other->AddRecord(Record(1, 1)), 0u);
  for (int32_t i = 0; i < 50; ++i) ASSERT_NE(db_->AddRecord(Record(i, i)), 0u);
  std::unique_ptr<ObjectStoreDatabase> second = store_->OpenDatabase(u"t");
  ASSERT_TRUE(db_->SeekToIndex(20));
  ASSERT_TRUE(second->SeekLast());

  ASSERT_TRUE(store_->ClearDatabase(u"t"));
  for (ObjectStoreDatabase* db : {db_.get(), second.get()}) {
    EXPECT_TRUE(db->usable());
    EXPECT_EQ(db->RecordCount(), 0u);
    EXPECT_EQ(db->CurrentObjectId(), 0u);
  }
  EXPECT_FALSE(db_->SeekFirst());
  EXPECT_FALSE(db_->SeekToIndex(0));
  const uint32_t added = db_->AddRecord(Record(5, 5));
  ASSERT_NE(added, 0u);
  EXPECT_TRUE(second->SeekNext()) << "a cursor before the first record finds the new one";
  EXPECT_EQ(second->CurrentObjectId(), added);
  EXPECT_EQ(store_->OpenDatabase(u"t", kByInt32)->RecordCount(), 1u);
  EXPECT_EQ(other->RecordCount(), 1u) << "other databases keep their records";
  EXPECT_EQ(WalkTags(*other), std::vector<int32_t>{1});
  ASSERT_EQ(store_->ListDatabases().size(), 2u);
  EXPECT_EQ(store_->ListDatabases()[0].type_id, 7u);
  EXPECT_FALSE(store_->ClearDatabase(u"missing"));
}

TEST_F(ObjectStoreTest, WritingOverReplacesAllPropertiesAndMovesTheRecord) {
  OpenWithTable();
  const uint32_t a = db_->AddRecord(Record(1, 0));
  const uint32_t b = db_->AddRecord({Property::Int32(0, 2), Property::Int32(1, 1),
                                     Property::Text(2, u"прежний"), Property::Bool(3, true)});
  const uint32_t c = db_->AddRecord(Record(3, 2));

  ASSERT_TRUE(db_->SeekToIndex(1));
  ASSERT_TRUE(db_->WriteRecord(b, Record(0, 1)));
  EXPECT_EQ(db_->CurrentObjectId(), b) << "the cursor follows the record";
  std::vector<Property> read;
  ASSERT_TRUE(db_->ReadCurrent(&read));
  EXPECT_EQ(read, Record(0, 1)) << "the old properties are gone";
  ASSERT_TRUE(db_->SeekNext());
  EXPECT_EQ(db_->CurrentObjectId(), a);
  ASSERT_TRUE(db_->SeekToIndex(2));
  EXPECT_EQ(db_->CurrentObjectId(), c);
  EXPECT_EQ(WalkIds(*db_), (std::vector<uint32_t>{b, a, c}));

  EXPECT_FALSE(db_->WriteRecord(0, Record(5, 5)));
  EXPECT_FALSE(db_->WriteRecord(c + 100, Record(5, 5)));
  EXPECT_FALSE(db_->WriteRecord(a, {Property::Int32(1, 1), Property::Int32(1, 2)}))
      << "two properties with one id";
  ASSERT_TRUE(store_->CreateDatabase(u"other", 1, kByInt32));
  std::unique_ptr<ObjectStoreDatabase> other = store_->OpenDatabase(u"other");
  EXPECT_FALSE(other->WriteRecord(a, Record(5, 5))) << "the record belongs to another database";
  EXPECT_FALSE(other->DeleteRecord(a));
  EXPECT_EQ(db_->RecordCount(), 3u);
}

TEST_F(ObjectStoreTest, ObjectIdsAreNeverReused) {
  OpenWithTable();
  ASSERT_TRUE(store_->CreateDatabase(u"other", 1, kByInt32));
  std::unique_ptr<ObjectStoreDatabase> other = store_->OpenDatabase(u"other");
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < 10; ++i) {
    ids.push_back(db_->AddRecord(Record(0, i)));
    ids.push_back(other->AddRecord(Record(0, i)));
  }
  for (uint32_t id : ids) ASSERT_TRUE(db_->DeleteRecord(id) || other->DeleteRecord(id));
  db_.reset();
  other.reset();
  store_.reset();
  store_ = OpenStore();
  db_ = store_->OpenDatabase(u"t");
  const uint32_t next = db_->AddRecord(Record(0, 0));
  EXPECT_NE(next, 0u);
  EXPECT_GT(next, *std::max_element(ids.begin(), ids.end()));
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
  EXPECT_NE(ids.front(), 0u);
}

TEST_F(ObjectStoreTest, CursorKeepsItsPlaceWhenAnotherHandleWrites) {
  OpenWithTable();
  std::unique_ptr<ObjectStoreDatabase> writer = store_->OpenDatabase(u"t");
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < 6; ++i) ids.push_back(writer->AddRecord(Record(i * 10, i)));
  ASSERT_TRUE(db_->SeekToIndex(3));  // value 30

  ASSERT_NE(writer->AddRecord(Record(5, 100)), 0u);  // before the cursor
  EXPECT_EQ(db_->CurrentObjectId(), ids[3]);
  ASSERT_TRUE(db_->SeekNext());
  EXPECT_EQ(db_->CurrentObjectId(), ids[4]);
  ASSERT_TRUE(db_->SeekToIndex(3));
  EXPECT_EQ(db_->CurrentObjectId(), ids[2]) << "the new record took a place before it";

  ASSERT_TRUE(writer->DeleteRecord(ids[2]));  // the cursor's own record
  EXPECT_EQ(db_->CurrentObjectId(), 0u);
  ASSERT_TRUE(db_->SeekNext());
  EXPECT_EQ(db_->CurrentObjectId(), ids[3]);
}

// Random seeks and writes, through the cursor's own database and through a second one, checked
// step by step against a plain sorted list.
class ObjectStoreModelTest : public ObjectStoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(ObjectStoreModelTest, CursorAgreesWithASortedListUnderRandomSeeksAndWrites) {
  OpenWithTable();
  std::unique_ptr<ObjectStoreDatabase> second = store_->OpenDatabase(u"t");
  std::mt19937 random(GetParam());

  using Key = std::pair<std::optional<int32_t>, uint32_t>;  // a missing value sorts first
  std::vector<Key> model;                                   // kept sorted
  enum class Place { kBefore, kOn, kGap, kAfter } place = Place::kAfter;
  Key cursor;
  auto index_of = [&](const Key& key) {
    return std::lower_bound(model.begin(), model.end(), key) - model.begin();
  };
  auto stand_on = [&](size_t i) {
    if (i >= model.size()) return false;
    place = Place::kOn;
    cursor = model[i];
    return true;
  };
  auto make = [&](std::optional<int32_t> value, int32_t tag) {
    return value ? Record(*value, tag) : std::vector<Property>{Property::Int32(1, tag)};
  };

  for (int step = 0; step < 4000; ++step) {
    const int op = static_cast<int>(random() % 10);
    ObjectStoreDatabase& writer = random() % 2 == 0 ? *db_ : *second;
    bool expected = true, actual = true;
    if (op == 0) {
      expected = stand_on(0) || ((place = Place::kAfter), false);
      actual = db_->SeekFirst();
    } else if (op == 1) {
      expected = !model.empty() && stand_on(model.size() - 1);
      if (!expected) place = Place::kBefore;
      actual = db_->SeekLast();
    } else if (op == 2) {
      size_t i = place == Place::kBefore ? 0
                 : place == Place::kAfter
                     ? model.size()
                     : std::upper_bound(model.begin(), model.end(), cursor) - model.begin();
      expected = stand_on(i);
      if (!expected) place = Place::kAfter;
      actual = db_->SeekNext();
    } else if (op == 3) {
      const long i = place == Place::kBefore  ? -1
                     : place == Place::kAfter ? static_cast<long>(model.size()) - 1
                                              : index_of(cursor) - 1;
      expected = i >= 0 && stand_on(static_cast<size_t>(i));
      if (!expected) place = Place::kBefore;
      actual = db_->SeekPrevious();
    } else if (op == 4) {
      const uint32_t k = static_cast<uint32_t>(random() % (model.size() + 2));
      expected = stand_on(k);
      if (!expected) place = Place::kAfter;
      actual = db_->SeekToIndex(k);
    } else if (op <= 6) {
      const std::optional<int32_t> value =
          random() % 8 == 0 ? std::nullopt : std::optional<int32_t>(random() % 9 - 4);
      const uint32_t id = writer.AddRecord(make(value, step));
      ASSERT_NE(id, 0u);
      model.insert(std::upper_bound(model.begin(), model.end(), Key{value, id}), {value, id});
    } else if (op == 7 && !model.empty()) {
      // Delete the current record, or any.
      const Key victim =
          place == Place::kOn && random() % 2 ? cursor : model[random() % model.size()];
      ASSERT_TRUE(writer.DeleteRecord(victim.second));
      model.erase(model.begin() + index_of(victim));
      if (place == Place::kOn && victim == cursor) place = Place::kGap;
    } else if (op == 8 && !model.empty()) {
      const Key old = model[random() % model.size()];
      const Key moved{static_cast<int32_t>(random() % 9 - 4), old.second};
      ASSERT_TRUE(writer.WriteRecord(old.second, make(moved.first, step)));
      model.erase(model.begin() + index_of(old));
      model.insert(std::upper_bound(model.begin(), model.end(), moved), moved);
      if (place == Place::kOn && cursor == old) cursor = moved;
    }
    ASSERT_EQ(actual, expected) << "step " << step << " op " << op;
    ASSERT_EQ(db_->CurrentObjectId(), place == Place::kOn ? cursor.second : 0u) << "step " << step;
    ASSERT_EQ(db_->RecordCount(), model.size());
    std::vector<Property> record;
    ASSERT_EQ(db_->ReadCurrent(&record), place == Place::kOn);
    if (place == Place::kOn) {
      const Property* value = FindProperty(record, 0);
      ASSERT_EQ(value ? std::optional(std::get<int32_t>(value->value)) : std::nullopt, cursor.first)
          << "step " << step;
    }
  }
  std::vector<uint32_t> ids;
  for (const Key& key : model) ids.push_back(key.second);
  EXPECT_EQ(WalkIds(*second), ids);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ObjectStoreModelTest, ::testing::Values(1, 2, 3, 4, 5));

TEST_F(ObjectStoreTest, ReopenedStoreKeepsEverything) {
  std::map<uint32_t, int32_t> written;
  {
    OpenWithTable();
    ASSERT_TRUE(store_->CreateDatabase(u"Вторая", 42, {1, PropertyKind::kText}));
    std::unique_ptr<ObjectStoreDatabase> second = store_->OpenDatabase(u"Вторая");
    for (int32_t i = 0; i < 300; ++i) {
      written[db_->AddRecord(Record(i % 13, i))] = i;
      ASSERT_NE(second->AddRecord({Property::Int32(0, i), Property::Text(1, u"k")}), 0u);
    }
    for (int32_t i = 0; i < 300; i += 4) {
      ASSERT_TRUE(second->SeekToIndex(0));
      ASSERT_TRUE(second->DeleteRecord(second->CurrentObjectId()));
    }
    second.reset();
    db_.reset();
    store_.reset();
  }
  store_ = OpenStore();
  ASSERT_NE(store_, nullptr);
  const std::vector<DatabaseInfo> list = store_->ListDatabases();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].name, u"Вторая");
  EXPECT_EQ(list[1].type_id, 42u);
  EXPECT_EQ(list[1].sort, (SortOrder{1, PropertyKind::kText}));
  EXPECT_EQ(store_->OpenDatabase(u"Вторая")->RecordCount(), 225u);

  db_ = store_->OpenDatabase(u"t");
  ASSERT_EQ(db_->RecordCount(), written.size());
  std::vector<Property> record;
  int32_t last_value = INT32_MIN;
  for (bool more = db_->SeekFirst(); more; more = db_->SeekNext()) {
    ASSERT_TRUE(db_->ReadCurrent(&record));
    const int32_t value = std::get<int32_t>(record[0].value);
    EXPECT_GE(value, last_value);
    last_value = value;
    EXPECT_EQ(written.at(db_->CurrentObjectId()), TagOf(record));
  }
}

TEST_F(ObjectStoreTest, DatabaseOutlivingItsStoreFailsSafely) {
  OpenWithTable();
  ASSERT_NE(db_->AddRecord(Record(1, 1)), 0u);
  ASSERT_TRUE(db_->SeekFirst());
  store_.reset();
  EXPECT_FALSE(db_->usable());
  EXPECT_FALSE(db_->SeekNext());
  EXPECT_EQ(db_->CurrentObjectId(), 0u);
  EXPECT_EQ(db_->AddRecord(Record(2, 2)), 0u);
  db_.reset();
}

TEST_F(ObjectStoreTest, EmptyFileBecomesAStore) {
  { std::ofstream create(path_); }
  std::unique_ptr<ObjectStore> store = OpenStore();
  ASSERT_NE(store, nullptr);
  EXPECT_TRUE(store->CreateDatabase(u"t", 1, kByInt32));
}

TEST_F(ObjectStoreTest, UnopenableOrForeignFilesAreRefusedAndLeftAlone) {
  EXPECT_EQ(ObjectStore::Open(device_.env(), u"\\missing\\objects.db"), nullptr);
  ASSERT_TRUE(device_.env().CreateDirectory(u"\\folder"));
  EXPECT_EQ(ObjectStore::Open(device_.env(), u"\\folder"), nullptr) << "a folder";
  fs::remove(folder_ / "folder");

  std::mt19937 random(7);
  std::string garbage(10000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  { std::ofstream(path_, std::ios::binary) << garbage; }
  EXPECT_EQ(OpenStore(), nullptr);
  EXPECT_EQ(FileBytes(path_), garbage);

  // A sound SQLite database of some other program.
  fs::remove(path_);
  sqlite3* foreign = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &foreign), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(foreign, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  sqlite3_close(foreign);
  const std::string foreign_bytes = FileBytes(path_);
  EXPECT_EQ(OpenStore(), nullptr);
  EXPECT_EQ(FileBytes(path_), foreign_bytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "no journal files left beside it";
}

TEST_F(ObjectStoreTest, DamagedStoreIsRefusedAndLeftAlone) {
  OpenWithTable();
  for (int32_t i = 0; i < 3000; ++i) ASSERT_NE(db_->AddRecord(Record(i, i)), 0u);
  db_.reset();
  store_.reset();

  std::string bytes = FileBytes(path_);
  ASSERT_GT(bytes.size(), 40000u);
  std::fill(bytes.begin() + 8 * 4096, bytes.begin() + 9 * 4096, '\xAB');  // one page overwritten
  { std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes; }
  EXPECT_EQ(OpenStore(), nullptr);
  EXPECT_EQ(FileBytes(path_), bytes);

  // Opened to be read once (no check at open, a small cache), the store opens, and the damage is
  // found by the walk that reads the page: the walk fails instead of ending early as if the
  // records were all there.
  std::unique_ptr<ObjectStore> store =
      ObjectStore::Open(device_.env(), kFile, ObjectStoreOptions::ReadOnce());
  ASSERT_NE(store, nullptr);
  std::unique_ptr<ObjectStoreDatabase> table = store->OpenDatabase(u"t");
  ASSERT_NE(table, nullptr);
  uint32_t walked = 0;
  EXPECT_FALSE(table->ScanAll([&](std::string_view) { return ++walked > 0; }));
  EXPECT_LT(walked, 3000u);
}

TEST_F(ObjectStoreTest, ADatabaseWhoseSortOrderIsDamagedStillHoldsItsNameAndCanBeDeleted) {
  OpenWithTable();
  for (int32_t i = 0; i < 3; ++i) ASSERT_NE(db_->AddRecord(Record(i, i)), 0u);
  db_.reset();
  store_.reset();
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "UPDATE databases SET sort_kind = 9", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);

  store_ = OpenStore();
  ASSERT_NE(store_, nullptr);
  // It cannot be walked in an order it does not name, but it is there: its name is taken.
  EXPECT_EQ(store_->OpenDatabase(u"t"), nullptr);
  EXPECT_TRUE(store_->DatabaseExists(u"t"));
  EXPECT_FALSE(store_->CreateDatabase(u"t", 7, kByInt32));
  // Deleted with its records, the name can be used again.
  EXPECT_TRUE(store_->DeleteDatabase(u"t"));
  EXPECT_FALSE(store_->DatabaseExists(u"t"));
  ASSERT_TRUE(store_->CreateDatabase(u"t", 7, kByInt32));
  db_ = store_->OpenDatabase(u"t");
  ASSERT_NE(db_, nullptr);
  EXPECT_EQ(db_->RecordCount(), 0u);
  EXPECT_FALSE(db_->SeekFirst());
}

TEST_F(ObjectStoreTest, ABatchCommitsItsWritesTogether) {
  OpenWithTable();
  const uint32_t before = db_->AddRecord(Record(5, 100));
  const uint32_t rewritten = db_->AddRecord(Record(6, 101));

  ASSERT_TRUE(store_->BeginBatch());
  EXPECT_TRUE(store_->InBatch());
  for (int32_t i = 0; i < 20; ++i) ASSERT_NE(db_->AddRecord(Record(i % 7, i)), 0u);
  ASSERT_TRUE(db_->DeleteRecord(before));
  ASSERT_TRUE(db_->WriteRecord(rewritten, Record(-1, 101)));
  // Inside the batch its writes show at once, in order and counted.
  EXPECT_EQ(db_->RecordCount(), 21u);
  const std::vector<int32_t> tags = WalkTags(*db_);
  ASSERT_EQ(tags.size(), 21u);
  EXPECT_EQ(tags.front(), 101);
  // The files hold the store as it was until the batch is committed.
  EXPECT_EQ(TagsOnDisk(), (std::vector<int32_t>{100, 101}));

  ASSERT_TRUE(store_->EndBatch());
  EXPECT_FALSE(store_->InBatch());
  EXPECT_EQ(TagsOnDisk(), tags);
  EXPECT_FALSE(store_->EndBatch()) << "no batch runs";
  db_.reset();
  store_.reset();
  store_ = OpenStore();
  EXPECT_EQ(WalkTags(*store_->OpenDatabase(u"t")), tags);
}

TEST_F(ObjectStoreTest, BatchesNestAndARefusedWriteLeavesTheBatchsOthers) {
  OpenWithTable();
  ASSERT_TRUE(store_->CreateDatabase(u"other", 9, kByInt32));
  std::unique_ptr<ObjectStoreDatabase> other = store_->OpenDatabase(u"other");
  const uint32_t foreign = other->AddRecord(Record(1, 1));
  ASSERT_TRUE(store_->BeginBatch());
  ASSERT_NE(db_->AddRecord(Record(1, 10)), 0u);
  ASSERT_TRUE(store_->BeginBatch());
  ASSERT_NE(db_->AddRecord(Record(2, 20)), 0u);
  EXPECT_FALSE(db_->DeleteRecord(foreign)) << "not a record of this database";
  EXPECT_FALSE(db_->WriteRecord(foreign, Record(3, 30)));
  ASSERT_NE(db_->AddRecord(Record(3, 30)), 0u);
  ASSERT_TRUE(store_->EndBatch());
  EXPECT_TRUE(store_->InBatch()) << "the outer batch still runs";
  ASSERT_TRUE(store_->EndBatch());
  db_.reset();
  other.reset();
  store_.reset();
  store_ = OpenStore();
  EXPECT_EQ(WalkTags(*store_->OpenDatabase(u"t")), (std::vector<int32_t>{10, 20, 30}));
  EXPECT_EQ(WalkTags(*store_->OpenDatabase(u"other")), std::vector<int32_t>{1});
}

TEST_F(ObjectStoreTest, ADatabaseEndsTheBatchItBeganAndTheStoreKeepsAnUnendedOne) {
  OpenWithTable();
  ASSERT_TRUE(db_->BeginBatch());
  EXPECT_FALSE(db_->BeginBatch()) << "one at a time";
  ASSERT_NE(db_->AddRecord(Record(1, 1)), 0u);
  db_.reset();
  EXPECT_FALSE(store_->InBatch());

  db_ = store_->OpenDatabase(u"t");
  ASSERT_TRUE(store_->BeginBatch());
  ASSERT_NE(db_->AddRecord(Record(2, 2)), 0u);
  db_.reset();
  store_.reset();  // writes reported as done are not dropped at a normal close
  store_ = OpenStore();
  EXPECT_EQ(WalkTags(*store_->OpenDatabase(u"t")), (std::vector<int32_t>{1, 2}));
}

// A process killed inside a batch leaves none of the batch's writes, and the store opens.
TEST_F(ObjectStoreTest, AKilledBatchLeavesNoneOfItsWrites) {
  OpenWithTable();
  ASSERT_NE(db_->AddRecord(Record(1, 1)), 0u);
  db_.reset();
  store_.reset();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    std::unique_ptr<ObjectStore> store = OpenStore();
    std::unique_ptr<ObjectStoreDatabase> db = store ? store->OpenDatabase(u"t") : nullptr;
    if (!db || !db->BeginBatch()) _exit(2);
    for (int32_t tag = 2; tag < 500; ++tag) {
      if (db->AddRecord(Record(tag, tag)) == 0) _exit(3);
    }
    const char done = 1;
    if (write(fds[1], &done, 1) != 1) _exit(4);
    pause();
    _exit(5);
  }
  close(fds[1]);
  char done = 0;
  EXPECT_EQ(read(fds[0], &done, 1), 1);
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  close(fds[0]);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, exit " << WEXITSTATUS(status);
  store_ = OpenStore();
  ASSERT_NE(store_, nullptr);
  db_ = store_->OpenDatabase(u"t");
  EXPECT_EQ(db_->RecordCount(), 1u);
  EXPECT_EQ(WalkTags(*db_), std::vector<int32_t>{1});
}

// A child process writes records and reports each object id as soon as the write returns; it is
// killed at a random moment. Every reported record must be in the reopened store.
TEST_F(ObjectStoreTest, ReportedWritesSurviveSigkill) {
  {
    std::unique_ptr<ObjectStore> store = OpenStore();
    ASSERT_TRUE(store->CreateDatabase(u"entries", 1, kByInt32));
  }
  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  struct Report {
    uint32_t object_id;
    int32_t tag;
  };
  std::map<uint32_t, int32_t> reported;
  int32_t next_tag = 0;

  for (int round = 0; round < 3; ++round) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      std::unique_ptr<ObjectStore> store = OpenStore();
      std::unique_ptr<ObjectStoreDatabase> db = store ? store->OpenDatabase(u"entries") : nullptr;
      if (!db) _exit(2);
      for (int32_t tag = next_tag;; ++tag) {
        const uint32_t id = db->AddRecord(
            {Property::Int32(0, tag % 97), Property::Int32(1, tag), Property::Text(2, u"запись")});
        const Report report{id, tag};
        if (id == 0 || write(fds[1], &report, sizeof report) != sizeof report) _exit(3);
      }
    }
    close(fds[1]);
    const size_t wanted = 1 + random() % 400;
    size_t received = 0;
    Report report;
    auto receive = [&] {
      if (read(fds[0], &report, sizeof report) != sizeof report) return false;
      reported[report.object_id] = report.tag;
      next_tag = std::max(next_tag, report.tag + 1);
      ++received;
      return true;
    };
    while (received < wanted && receive()) {
    }
    usleep(static_cast<useconds_t>(random() % 3000));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    while (receive()) {  // reports written before the kill
    }
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, exit " << WEXITSTATUS(status);

    std::unique_ptr<ObjectStore> store = OpenStore();
    ASSERT_NE(store, nullptr) << "round " << round;
    std::unique_ptr<ObjectStoreDatabase> db = store->OpenDatabase(u"entries");
    ASSERT_NE(db, nullptr);
    std::map<uint32_t, int32_t> present;
    std::vector<Property> record;
    for (bool more = db->SeekFirst(); more; more = db->SeekNext()) {
      ASSERT_TRUE(db->ReadCurrent(&record));
      present[db->CurrentObjectId()] = TagOf(record);
    }
    EXPECT_EQ(db->RecordCount(), present.size());
    for (const auto& [id, tag] : reported) {
      ASSERT_TRUE(present.count(id)) << "record " << id << " lost in round " << round;
      EXPECT_EQ(present[id], tag);
    }
  }
}

}  // namespace
}  // namespace ledgerix::platform
