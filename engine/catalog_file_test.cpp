#include "engine/catalog_file.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

using namespace std::string_literals;

DbTableSchema Table(const char* name,
                    std::initializer_list<std::pair<const char*, DbValueType>> columns) {
  DbTableSchema table{DbString(name)};
  for (const auto& [column, type] : columns) table.AddColumn(DbString(column), type);
  return table;
}

std::string Record(const DbTableSchema& table) {
  DbString out;
  EXPECT_EQ(AppendTableRecord(table, &out), 1);
  return std::string(out.View());
}

const DbTableSchema kKinds =
    Table("[kinds]", {{"id", DbValueType::Int32}, {"descr", DbValueType::Text}});
const DbTableSchema kFirms = Table(
    "[firms]",
    {{"id", DbValueType::Int32}, {"firmName", DbValueType::Text}, {"flag", DbValueType::Bool8}});

TEST(CatalogRecordTest, IsTheNameTheCountThenEachColumnsNameAndType) {
  EXPECT_EQ(Record(kKinds), "[kinds]\0\x02\0id\0\x03\0descr\0\x08\0"s);
  DbString out("keep");
  EXPECT_EQ(AppendTableRecord(Table("e", {}), &out), 1);
  EXPECT_EQ(std::string(out.View()), "keepe\0\0\0"s);
}

TEST(CatalogDecodeTest, ReadsEveryTableInOrder) {
  DbSchema schema;
  ASSERT_EQ(DecodeCatalog(Record(kKinds) + Record(kFirms) + Record(Table("e", {})), &schema), 1);
  ASSERT_EQ(schema.Count(), 3u);
  EXPECT_EQ(schema.At(0)->name.View(), "[kinds]");
  const DbTableSchema* firms = schema.At(1);
  ASSERT_EQ(firms->ColumnCount(), 3u);
  EXPECT_EQ(firms->columns[1]->Name().View(), "firmName");
  EXPECT_EQ(firms->columns[1]->Type(), DbValueType::Text);
  EXPECT_EQ(firms->columns[2]->Type(), DbValueType::Bool8);
  EXPECT_EQ(schema.At(2)->ColumnCount(), 0u);
}

TEST(CatalogDecodeTest, AnEmptyCatalogFails) {
  DbSchema schema;
  EXPECT_EQ(DecodeCatalog("", &schema), 0);
  EXPECT_EQ(schema.Count(), 0u);
}

TEST(CatalogDecodeTest, ARecordCutShortEndsTheReading) {
  const std::string first = Record(kKinds);
  const std::string second = Record(kFirms);
  // Cut inside the second record's name, count, a column name and the last column type.
  for (size_t cut : {size_t{3}, size_t{8}, size_t{12}, second.size() - 1}) {
    DbSchema schema;
    EXPECT_EQ(DecodeCatalog(first + second.substr(0, cut), &schema), 1) << cut;
    ASSERT_EQ(schema.Count(), 1u) << cut;
    EXPECT_EQ(schema.At(0)->name.View(), "[kinds]");
  }
  // A table is never kept with fewer columns than it was made with: a catalog whose only
  // record has its column list cut short cannot be read.
  for (size_t cut : {size_t{1}, size_t{2}, size_t{8}}) {
    DbSchema schema;
    EXPECT_EQ(DecodeCatalog(first.substr(0, first.size() - cut), &schema), 0) << cut;
    EXPECT_EQ(schema.Count(), 0u);
  }
}

// Only a catalog that decodes to its very end is whole: one cut short, with bytes after its last
// record, or with nothing in it is not, though it may yield tables.
TEST(CatalogDecodeTest, OnlyACatalogDecodedToItsEndIsWhole) {
  const std::string both = Record(kKinds) + Record(kFirms);
  struct Case {
    std::string bytes;
    bool whole;
    int tables;  // -1: any number
  } cases[] = {
      {both, true, 2},
      {Record(kKinds), true, 1},
      {"", false, 0},
      {both.substr(0, both.size() - 1), false, 1},
      {both + "x", false, 2},
      {both + "\0"s, false, 2},
      {std::string(16, '\0') + both.substr(16), false, -1},
      {"\0\0"s, false, 0},
      // Three zero bytes are one whole record of a table without a name or columns: whole,
      // though no finance layout has such a table.
      {"\0\0\0"s, true, 1},
  };
  for (const Case& c : cases) {
    DbSchema schema;
    EXPECT_EQ(DecodeWholeCatalog(c.bytes, &schema), c.whole) << c.bytes.size();
    if (c.tables >= 0) {
      EXPECT_EQ(schema.Count(), static_cast<uint32_t>(c.tables)) << c.bytes.size();
    }
  }
}

class CatalogFileTest : public ::testing::Test {
 protected:
  testing::TempDeviceRoot device_;
  platform::Env& env_ = device_.env();
};

TEST_F(CatalogFileTest, ReadsTheCatalogFileOfTheDatabase) {
  EXPECT_EQ(CatalogPath(env_, DbString("TOLVENA_Ledgerix_1")).View(),
            "\\tolvena_db\\TOLVENA_Ledgerix_1.$db$");
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\db.$db$", Record(kKinds) + Record(kFirms)));
  DbSchema schema;
  schema.AddTable(DbString("stale"));
  ASSERT_EQ(ReadCatalog(env_, DbString("db"), &schema), 1);
  ASSERT_EQ(schema.Count(), 2u);
  EXPECT_EQ(schema.At(1)->name.View(), "[firms]");
}

TEST_F(CatalogFileTest, AMissingOrEmptyCatalogFails) {
  DbSchema schema;
  EXPECT_EQ(ReadCatalog(env_, DbString("db"), &schema), 0);
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\db.$db$", ""));
  EXPECT_EQ(ReadCatalog(env_, DbString("db"), &schema), 0);
}

TEST_F(CatalogFileTest, MissingTableFilesAreCreatedEmptyAndOthersKept) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\[firms].$tab$", "rows"));
  DbSchema schema;
  schema.Append(Table("[kinds]", {{"id", DbValueType::Int32}}));
  schema.Append(Table("[firms]", {{"id", DbValueType::Int32}}));
  schema.Append(Table("[none]", {}));
  CreateMissingTableFiles(env_, schema);
  EXPECT_TRUE(device_.Exists(u"\\tolvena_db\\[kinds].$tab$"));
  EXPECT_EQ(device_.ReadHostFile(u"\\tolvena_db\\[kinds].$tab$"), "");
  EXPECT_EQ(device_.ReadHostFile(u"\\tolvena_db\\[firms].$tab$"), "rows");
  EXPECT_FALSE(device_.Exists(u"\\tolvena_db\\[none].$tab$"));
}

}  // namespace
}  // namespace ledgerix
