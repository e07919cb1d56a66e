// Numbers in list cells: exact amounts, the editor's opening text, a decimal cell's new text.
#include "ui/controls/cell_number.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

TEST(CellNumberTest, CellAmountsAreExactHundredthsWithTheirSign) {
  struct Case {
    const char* text;
    int64_t hundredths;
  } cases[] = {{"-0.50", -50},
               {"0.50", 50},
               {"1,234.50", 123450},
               {"-1,234.56", -123456},
               {"  -3.5", -350},
               {"", 0},
               {"0", 0},
               {"-0.00", 0},
               {"12", 1200},
               {"99,999,999.99", 9999999999},
               {"x", 0}};
  for (const Case& c : cases) EXPECT_EQ(CellHundredths(c.text), c.hundredths) << c.text;
  EXPECT_EQ(CellHundredths(nullptr), 0);
}

TEST(CellNumberTest, TheEditorOpensWithTheFixedForm) {
  struct Case {
    const char* cell;
    int decimals;
    const char* text;
  } cases[] = {{"1,234.50", 2, "1234.50"}, {"1,234.567", 2, "1234.56"},
               {"5", 2, "5.00"},           {"", 2, "0.00"},
               {"-7.5", 2, "-7.50"},       {".5", 2, "0.50"},
               {"-", 2, "-0.00"},          {"1,234.50", 0, "1234.50"},
               {"12,345", 0, "12345"},     {"3.14159", 3, "3.141"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(NumberEditorText(c.cell, c.decimals)), c.text) << c.cell << " " << c.decimals;
  }
}

TEST(CellNumberTest, ADecimalCellTakesItsEditorsTextFormatted) {
  struct Case {
    const char* editor;
    int decimals;
    const char* cell;
  } cases[] = {{"71234.50", 2, "71,234.50"}, {"5.00", 2, "5.00"}, {"-1234.50", 2, "-1,234.50"},
               {"0.07", 2, "0.07"},          {"", 2, "0.00"},     {"1234567.89", 2, "1,234,567.89"},
               {"1234.5", 0, "1,234"},       {"-12", 0, "-12"},   {"2.5", 1, "2.5"},
               {"1000.125", 3, "1,000.125"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(DecimalCellText(c.editor, c.decimals)), c.cell) << c.editor;
  }
  EXPECT_EQ(ToUtf8(DecimalCellText(nullptr, 2)), "0.00");
}

}  // namespace
}  // namespace ledgerix
