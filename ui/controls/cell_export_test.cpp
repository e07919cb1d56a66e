// A cell's export text by its column's editor.
#include "ui/controls/cell_export.h"

#include <gtest/gtest.h>

namespace ledgerix {
namespace {

TEST(CellExportTest, TheColumnsEditorDecidesTheText) {
  ColumnEditor digits;
  digits.kind = kEditorDigits;
  ColumnEditor money;
  money.kind = kEditorDecimal;
  money.decimals = 2;
  ColumnEditor three;
  three.kind = kEditorDecimal;
  three.decimals = 3;
  ColumnEditor plain;
  plain.kind = kEditorPlainText;
  ColumnEditor unknown;
  unknown.kind = 7;
  struct Case {
    const char* text;
    const ColumnEditor* editor;
    const char* exported;
  } cases[] = {
      {"1,234.50", &money, "1234.50"},
      {"-1,234.5", &money, "-1234.50"},
      {"1,234.567", &money, "1234.56"},
      {"7", &money, "7.00"},
      {"1,234.5", &three, "1234.500"},
      {"12,345", &digits, "12345"},
      {"12,345.67", &digits, "12345"},
      {"1,234.50", &plain, "1,234.50"},
      {"ул. Мира", &plain, "ул. Мира"},
      {"1,234.50", &unknown, "1,234.50"},
      {"1,234.50", nullptr, "1234"},
      {"-0.50", nullptr, "-0"},
      {"15", nullptr, "15"},
      {"05.03.08", nullptr, "05.03.08"},
      {"ул. Мира", nullptr, "ул. Мира"},
      {"1.2.3", nullptr, "1.2.3"},
      {"-", nullptr, "-"},
      {"", &money, ""},
      {"", nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(CellExportText(FromUtf8(c.text).View(), c.editor)), c.exported) << c.text;
  }
}

}  // namespace
}  // namespace ledgerix
