// Column editor descriptors and the rows' cell storage of the editable list.
#include "ui/controls/column_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/controls/list_row.h"

namespace ledgerix {
namespace {

TEST(ColumnEditorsTest, AddKeepsTheFirstAndTheSecondFormReplaces) {
  ColumnEditors editors;
  EXPECT_TRUE(editors.Add(4, kEditorDecimal, 9, 2));
  EXPECT_FALSE(editors.Add(4, kEditorDigits, 0, 0));  // ignored: the column has one
  ASSERT_NE(editors.Find(4), nullptr);
  EXPECT_EQ(editors.Find(4)->kind, kEditorDecimal);
  EXPECT_EQ(editors.Find(4)->spare, 9);
  EXPECT_TRUE(editors.Find(4)->edit_enabled);
  EXPECT_EQ(editors.Find(3), nullptr);

  ColumnEditor drop_down;
  drop_down.column = 4;
  drop_down.choices.emplace_back("Да");
  drop_down.drop_down = true;
  drop_down.edit_enabled = true;  // the second form always turns editing off
  editors.AddOrUpdate(drop_down);
  EXPECT_EQ(editors.size(), 1u);
  EXPECT_FALSE(editors.Find(4)->edit_enabled);
  EXPECT_TRUE(editors.Find(4)->drop_down);
  EXPECT_EQ(editors.Find(4)->choices.size(), 1u);
  drop_down.column = 6;
  editors.AddOrUpdate(drop_down);
  EXPECT_EQ(editors.size(), 2u);
}

TEST(ColumnEditorsTest, DescriptorsFollowTheirColumns) {
  // The entry list's quantity and price (3 and 4) stay editable when the account column
  // comes in at 2 and goes again.
  ColumnEditors editors;
  ASSERT_TRUE(editors.Add(3, kEditorDecimal, 0, 2));
  ASSERT_TRUE(editors.Add(4, kEditorDecimal, 0, 2));
  ASSERT_TRUE(editors.Add(1, kEditorDigits, 0, 0));
  editors.InsertColumn(2);
  EXPECT_EQ(editors.Find(3), nullptr);
  EXPECT_NE(editors.Find(4), nullptr);
  EXPECT_NE(editors.Find(5), nullptr);
  EXPECT_NE(editors.Find(1), nullptr);
  editors.DeleteColumn(2);
  EXPECT_NE(editors.Find(3), nullptr);
  EXPECT_NE(editors.Find(4), nullptr);
  EXPECT_EQ(editors.Find(5), nullptr);
  editors.DeleteColumn(3);  // its own descriptor goes with it
  EXPECT_EQ(editors.size(), 2u);
  EXPECT_NE(editors.Find(3), nullptr);  // the price, moved back
  EXPECT_EQ(editors.Find(4), nullptr);
  editors.Clear();
  EXPECT_EQ(editors.size(), 0u);
}

std::string Cells(const ListRow& row) {
  std::string out;
  for (size_t i = 0; i < row.CellCount(); ++i) out += std::string(row.Cell(i)) + "|";
  return out;
}

TEST(ListRowTest, CellsAreSetInsertedAndRemovedInPlace) {
  ListRow row("a", 1, 77);
  EXPECT_EQ(row.image, 1);
  EXPECT_EQ(row.data, 77);
  row.SetCell(3, "dd");
  EXPECT_EQ(Cells(row), "a|||dd|");
  row.SetCell(1, "bbb");
  row.SetCell(0, "");
  EXPECT_EQ(Cells(row), "|bbb||dd|");
  row.InsertCell(1);
  EXPECT_EQ(Cells(row), "||bbb||dd|");
  row.InsertCell(5);  // no cell 5: nothing
  row.RemoveCell(0);
  row.RemoveCell(9);
  EXPECT_EQ(Cells(row), "|bbb||dd|");
  EXPECT_STREQ(row.CStr(3), "dd");
  EXPECT_STREQ(row.CStr(4), "");
  EXPECT_EQ(row.Cell(4), "");
  row.SetCell(2, std::string_view("x\0y", 3));  // kept up to the 0 byte
  row.AppendCell("e");
  EXPECT_EQ(Cells(row), "|bbb|x|dd|e|");
}

}  // namespace
}  // namespace ledgerix
