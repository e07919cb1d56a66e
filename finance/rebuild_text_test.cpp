#include "finance/rebuild_text.h"

#include <gtest/gtest.h>

#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/rebuild_marker.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

std::vector<DbString> Values(std::initializer_list<std::string> texts) {
  std::vector<DbString> values;
  for (const std::string& text : texts) values.push_back(FromUtf8(text));
  return values;
}

TEST(RowFitsTableTest, TakesWhatTheTableStoresAndTheExchangeFileCarries) {
  const DbSchema schema = BuildFinanceSchema();
  const DbTableSchema& kinds = *schema.Find(DbString(kKindsTable));
  const DbTableSchema& entries = *schema.Find(DbString(kEntriesTable));
  struct Case {
    const DbTableSchema* table;
    std::vector<DbString> values;
    bool fits;
  } cases[] = {
      {&kinds, Values({"1", "Бензин", "Машина", "51200", "2", "0"}), true},
      // 90 bytes of texts fit a kind's slot; 91 do not.
      {&kinds, Values({"1", std::string(45, 'a'), std::string(45, 'b'), "0", "2", "0"}), true},
      {&kinds, Values({"1", std::string(45, 'a'), std::string(46, 'b'), "0", "2", "0"}), false},
      {&kinds, Values({"1", "a;b", "", "0", "2", "0"}), false},
      {&kinds, Values({"1", "[a]", "", "0", "2", "0"}), false},
      {&kinds, Values({"1", "a", "", "0", "2"}), false},
      {&entries, Values({"1", "110110", "256", "256", "2", std::string(115, 'n'), "1", "0"}), true},
      {&entries, Values({"1", "110110", "256", "256", "2", std::string(116, 'n'), "1", "0"}),
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowFitsTable(*c.table, c.values), c.fits) << ToUtf8(c.values[1]);
  }
}

TEST(RebuildTextTest, WritesSectionsAsTheExchangeFileAndCountsTheirRows) {
  RebuildText text;
  text.BeginSection(DbString(kKindsTable));
  text.AddRow(ExchangeValuesOf({DbValue(1), DbValue("a"), DbValue(""), DbValue(-5)}));
  text.EndSection();
  text.BeginSection(DbString(kEntriesTable));
  text.EndSection();
  text.BeginSection(DbString(kAccountsTable));
  text.AddRow(Values({"1", "x", "", "0"}));
  text.AddRow(Values({"2", "y", "", "0"}));
  EXPECT_EQ(text.text(),
            "[sec_consumeritems]\r\n1;a;;-5;\r\n\r\n[sec_data]\r\n\r\n[sec_firms]\r\n1;x;;0;\r\n"
            "2;y;;0;\r\n");
  const RowCounts counts = CountExchangeRows(text.text());
  EXPECT_EQ(counts.at(kKindsTable), 1u);
  EXPECT_EQ(counts.at(kEntriesTable), 0u);
  EXPECT_EQ(counts.at(kAccountsTable), 2u);
}

TEST(RebuildMarkerTest, IsWrittenReadAndRemovedPerStorageKind) {
  testing::TempDeviceRoot device;
  platform::Env& env = device.env();
  const DbString name(kDatabaseName);
  RebuildMarker marker;
  platform::FailureDetail failure;
  EXPECT_EQ(ReadRebuildMarker(env, name, DriverKind::kFileDatabase, &marker, &failure),
            MarkerState::kNone);
  ASSERT_TRUE(env.CreateDirectory(u"\\data"));
  ASSERT_EQ(WriteRebuildMarker(env, name, DriverKind::kFileDatabase,
                               {RebuildSource::kOlderLayout, FromUtf8("\\data\\a b.txt")}),
            1);
  EXPECT_EQ(ReadRebuildMarker(env, name, DriverKind::kObjectStore, &marker, &failure),
            MarkerState::kNone)
      << "a mark belongs to its storage kind";
  ASSERT_EQ(ReadRebuildMarker(env, name, DriverKind::kFileDatabase, &marker, &failure),
            MarkerState::kFound);
  EXPECT_EQ(marker.source, RebuildSource::kOlderLayout);
  EXPECT_EQ(marker.text_path.View(), "\\data\\a b.txt");
  EXPECT_EQ(RemoveRebuildMarker(env, name, DriverKind::kFileDatabase), 1);
  EXPECT_EQ(RemoveRebuildMarker(env, name, DriverKind::kFileDatabase), 1);
  EXPECT_EQ(ReadRebuildMarker(env, name, DriverKind::kFileDatabase, &marker, &failure),
            MarkerState::kNone);

  for (const char* content :
       {"", "convert", "convert\r\n\r\n", "later\r\nx.txt\r\n", "load\r\nx.txt"}) {
    ASSERT_TRUE(device.WriteHostFile(u"\\data\\TOLVENA_Ledgerix_1 rebuild 3.$$$", content));
    EXPECT_EQ(ReadRebuildMarker(env, name, DriverKind::kObjectStore, &marker, &failure),
              MarkerState::kUnreadable)
        << content;
    EXPECT_EQ(failure.error, platform::winerr::kInvalidData);
  }
}

}  // namespace
}  // namespace ledgerix
