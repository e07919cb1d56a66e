// The row-colour rule's compare.
#include "ui/controls/row_colour_rule.h"

#include <gtest/gtest.h>

namespace ledgerix {
namespace {

TEST(RowColourRuleTest, NumbersCompareAsExactAmounts) {
  struct Case {
    const char* cell;
    RowCompare compare;
    const char* value;
    bool match;
  } cases[] = {
      {"-0.50", RowCompare::kLess, "0", true},  // not read as a whole 0
      {"-0.01", RowCompare::kLess, "0", true},
      {"0.00", RowCompare::kLess, "0", false},
      {"-1,234.50", RowCompare::kLess, "0", true},
      {"1,234.50", RowCompare::kLess, "0", false},
      {"0.50", RowCompare::kGreater, "0", true},
      {"0.00", RowCompare::kGreater, "0", false},
      {"1,234.50", RowCompare::kEqual, "1234.5", true},
      {"1,234.51", RowCompare::kEqual, "1234.5", false},
      {"1,234.51", RowCompare::kNotEqual, "1234.5", true},
      {"12", RowCompare::kNotEqual, "12.00", false},
      {"", RowCompare::kEqual, "0", true},
      {"-2.50", RowCompare::kGreater, "-2.75", true},
  };
  for (const Case& c : cases) {
    RowColourRule rule;
    rule.column = 1;
    rule.compare = c.compare;
    rule.value = DbString(c.value);
    EXPECT_EQ(rule.Matches(c.cell), c.match)
        << c.cell << " " << static_cast<int>(c.compare) << " " << c.value;
  }
}

TEST(RowColourRuleTest, TextKnowsOnlyEqualAndNoColumnMatchesNothing) {
  struct Case {
    RowCompare compare;
    const char* cell;
    bool match;
  } cases[] = {{RowCompare::kEqual, "Бензин", true},   {RowCompare::kEqual, "бензин", false},
               {RowCompare::kEqual, "Бензин ", false}, {RowCompare::kNotEqual, "Хлеб", false},
               {RowCompare::kLess, "А", false},        {RowCompare::kGreater, "Я", false}};
  for (const Case& c : cases) {
    RowColourRule rule;
    rule.column = 0;
    rule.as_text = true;
    rule.compare = c.compare;
    rule.value = FromUtf8("Бензин");
    EXPECT_EQ(rule.Matches(FromUtf8(c.cell).CStr()), c.match) << c.cell;
  }
  RowColourRule none;
  none.value = DbString("0");
  none.compare = RowCompare::kEqual;
  EXPECT_FALSE(none.Matches("0"));
  none.column = 0;
  EXPECT_TRUE(none.Matches("0"));
  EXPECT_FALSE(none.Matches(nullptr));
}

TEST(RowColourRuleTest, DefaultsAreNotEqualByNumberInTheListsColours) {
  const RowColourRule rule;
  EXPECT_EQ(rule.column, -1);
  EXPECT_EQ(rule.compare, RowCompare::kNotEqual);
  EXPECT_FALSE(rule.as_text);
  EXPECT_EQ(rule.match_text, 0x19FFFFu);
  EXPECT_EQ(rule.match_background, 0x927B21u);
  EXPECT_EQ(rule.other_text, 0u);
  EXPECT_EQ(rule.other_background, 0xFFFFFFu);
}

}  // namespace
}  // namespace ledgerix
