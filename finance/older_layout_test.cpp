#include "finance/older_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "finance/finance_db.h"
#include "finance/finance_schema.h"

namespace ledgerix {
namespace {

DbTableSchema CopyOf(const DbTableSchema& table) {
  DbTableSchema copy(table.name);
  for (const auto& column : table.columns) copy.AddColumn(column->Name(), column->Type());
  return copy;
}

// `base` with `change` applied to a copy of each of its tables (null: the table is left out).
DbSchema Changed(const DbSchema& base,
                 const std::function<bool(DbTableSchema*)>& change = nullptr) {
  DbSchema out;
  for (uint32_t i = 0; i < base.Count(); ++i) {
    DbTableSchema table = CopyOf(*base.At(i));
    if (change == nullptr || change(&table)) out.Append(std::move(table));
  }
  return out;
}

bool IsEntries(const DbTableSchema& table) { return table.name.View() == kEntriesTable; }

// Converts UTF-8 text as the program keeps it (Windows-1251) and answers the result in UTF-8.
std::string Convert(const std::string& older_utf8, RowCounts* left_out) {
  const DbString older = FromUtf8(older_utf8);
  return ToUtf8(DbString(std::string_view(ConvertOlderLayoutText(older.View(), left_out))));
}

TEST(ClassifyLayoutTest, OnlyTheKnownLayoutsAreKnown) {
  const DbSchema current = BuildFinanceSchema();
  struct Case {
    const char* name;
    DbSchema catalog;
    StoredLayout layout;
  };
  Case cases[] = {
      {"current", Changed(current), StoredLayout::kCurrent},
      {"older with accounts", OlderLayoutSchema(true), StoredLayout::kOlder},
      {"older without accounts", OlderLayoutSchema(false), StoredLayout::kOlder},
      {"tables in another order", Changed(current), StoredLayout::kCurrent},
      {"no accounts, entries with a note",
       Changed(current, [](DbTableSchema* t) { return t->name.View() != kAccountsTable; }),
       StoredLayout::kUnknown},
      {"no kinds", Changed(current, [](DbTableSchema* t) { return t->name.View() != kKindsTable; }),
       StoredLayout::kUnknown},
      {"a column type 42406",
       Changed(current,
               [](DbTableSchema* t) {
                 if (IsEntries(*t)) {
                   DbTableSchema changed(t->name);
                   for (const auto& c : t->columns) {
                     changed.AddColumn(c->Name(), c->Name().View() == col::kNote
                                                      ? static_cast<DbValueType>(42406)
                                                      : c->Type());
                   }
                   *t = std::move(changed);
                 }
                 return true;
               }),
       StoredLayout::kUnknown},
      {"a column renamed",
       Changed(current,
               [](DbTableSchema* t) {
                 if (IsEntries(*t))
                   t->columns[3] = std::make_unique<DbColumnDef>("cnt", DbValueType::Int32, 0);
                 return true;
               }),
       StoredLayout::kUnknown},
      {"a column more",
       Changed(current,
               [](DbTableSchema* t) {
                 if (IsEntries(*t)) t->AddColumn("extra", DbValueType::Int32);
                 return true;
               }),
       StoredLayout::kUnknown},
      {"a table more",
       [&] {
         DbSchema s = Changed(current);
         s.AddTable(DbString("[x]")).AddColumn("id", DbValueType::Int32);
         return s;
       }(),
       StoredLayout::kUnknown},
      {"one table without a name or columns",
       [] {
         DbSchema s;
         s.AddTable(DbString(""));
         return s;
       }(),
       StoredLayout::kUnknown},
      {"nothing", DbSchema(), StoredLayout::kUnknown},
  };
  // The order in which tables are listed does not matter.
  {
    DbSchema reversed;
    for (uint32_t i = current.Count(); i > 0; --i) reversed.Append(CopyOf(*current.At(i - 1)));
    cases[3].catalog = std::move(reversed);
  }
  for (const Case& c : cases) EXPECT_EQ(ClassifyLayout(c.catalog), c.layout) << c.name;
}

TEST(ConvertOlderLayoutTextTest, CountsBecomeAmountsAndEverythingGoesToTheCashAccount) {
  const std::string older =
      "[sec_consumeritems]\r\n1;Бензин;Машина;51200;2;0;\r\n\r\n"
      "[sec_data]\r\n1;150308;3840;3;2;\r\n1;160308;256;29;2;\r\n5;160308;896000;1;1;\r\n\r\n"
      "[sec_firms]\r\n2;Карта;;0;\r\n";
  RowCounts left_out;
  EXPECT_EQ(Convert(older, &left_out),
            "[sec_consumeritems]\r\n1;Бензин;Машина;51200;2;0;\r\n\r\n"
            "[sec_data]\r\n1;150308;3840;768;2;;1;0;\r\n1;160308;256;7424;2;;1;0;\r\n"
            "5;160308;896000;256;1;;1;0;\r\n\r\n"
            "[sec_firms]\r\n1;Наличные;;0;\r\n2;Карта;;0;\r\n");
  for (const auto& [table, count] : left_out) EXPECT_EQ(count, 0u) << table;
}

TEST(ConvertOlderLayoutTextTest, AnExistingCashAccountStaysAndRowsThatDoNotFitAreCounted) {
  const std::string long_name(100, 'x');
  const std::string older = "[sec_consumeritems]\r\n1;" + long_name +
                            ";;0;2;0;\r\n2;a;b;0;2;0;\r\n\r\n[sec_data]\r\n3;110110;256;1;2;\r\n"
                            "\r\n[sec_firms]\r\n1;Своя;;0;\r\n";
  RowCounts left_out;
  EXPECT_EQ(Convert(older, &left_out),
            "[sec_consumeritems]\r\n2;a;b;0;2;0;\r\n\r\n[sec_data]\r\n3;110110;256;256;2;;1;0;\r\n"
            "\r\n[sec_firms]\r\n1;Своя;;0;\r\n");
  EXPECT_EQ(left_out[kKindsTable], 1u);
  EXPECT_EQ(left_out[kEntriesTable], 0u);
}

}  // namespace
}  // namespace ledgerix
