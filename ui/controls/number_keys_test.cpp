// The number editor's keystroke rules, without a widget.
#include "ui/controls/number_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

// Stand-ins in the key column for the two keys that are not characters.
constexpr char kBackspace = '\b';
constexpr char kDelete = '\x7f';

// Presses `key`; answers whether it was taken.
bool Press(const NumberKeys& keys, NumberKeyState& state, char key) {
  if (key == kBackspace) {
    keys.Backspace(state);
    return true;
  }
  if (key == kDelete) {
    keys.DeleteKey(state);
    return true;
  }
  return keys.TypeChar(state, key);
}

struct KeyCase {
  const char* text;
  int sel_begin, sel_end;
  char key;
  const char* expected;
  int caret;  // -1: the key is ignored and the selection stays
};

void RunCases(int decimals, const std::vector<KeyCase>& cases) {
  const NumberKeys keys(decimals);
  for (const KeyCase& c : cases) {
    NumberKeyState state{c.text, c.sel_begin, c.sel_end};
    const std::string label = std::string("\"") + c.text + "\" [" + std::to_string(c.sel_begin) +
                              "," + std::to_string(c.sel_end) + ") key " +
                              std::to_string(static_cast<int>(c.key));
    EXPECT_EQ(Press(keys, state, c.key), c.caret >= 0) << label;
    EXPECT_EQ(state.text, c.expected) << label;
    EXPECT_EQ(state.sel_begin, c.caret >= 0 ? c.caret : c.sel_begin) << label;
    EXPECT_EQ(state.sel_end, c.caret >= 0 ? c.caret : c.sel_end) << label;
  }
}

TEST(NumberKeysTest, DigitGoesIntoTheIntegerPartOrOverAPlaceOfDecimals) {
  RunCases(2, {
                  {"1234.50", 0, 0, '7', "71234.50", 1},  // the editor opened from "1,234.50"
                  {"0.00", 0, 0, '5', "5.00", 1},         // a lone "0" is replaced
                  {"0.00", 1, 1, '5', "5.00", 1},
                  {"5.00", 0, 0, '7', "75.00", 1},
                  {"5.00", 1, 1, '7', "57.00", 2},
                  {"12.50", 2, 2, '3', "123.50", 3},
                  {"12.50", 3, 3, '7', "12.70", 4},
                  {"12.50", 4, 4, '7', "12.57", 5},
                  {"12.50", 5, 5, '7', "12.57", 5},  // at the end the last place is overwritten
                  // With a selection.
                  {"1234.50", 0, 7, '7', "7.00", 1},
                  {"1234.50", 1, 3, '9', "194.50", 2},
                  {"1234.56", 2, 6, '9', "129.00", 3},  // reaching into the decimals zeroes both
                  {"12.34", 2, 3, '7', "127.00", 3},    // "." alone: it ends before the decimals
                  {"12.34", 3, 5, '7', "12.70", 4},
                  {"12.34", 4, 5, '7', "12.37", 5},
                  {"0.00", 0, 1, '5', "5.00", 1},
                  {"12.34", 0, 2, '0', "0.34", 1},
              });
}

TEST(NumberKeysTest, SeparatorsMoveTheCaretToTheFirstPlaceOfDecimalsOthersAreIgnored) {
  RunCases(2, {
                  {"1234.50", 0, 0, ',', "1234.50", 5},
                  {"0.00", 0, 0, ',', "0.00", 2},
                  {"12.50", 5, 5, '.', "12.50", 3},
                  {"12.50", 0, 5, '-', "12.50", 3},
                  {"12.50", 1, 1, '/', "12.50", 3},
                  {"12.50", 1, 3, 'a', "12.50", -1},
                  {"12.50", 1, 3, ' ', "12.50", -1},
                  {"12.50", 2, 2, '+', "12.50", -1},
                  {"12.50", 2, 2, '\0', "12.50", -1},
              });
}

TEST(NumberKeysTest, BackspaceWithoutASelection) {
  RunCases(2, {
                  {"12.34", 5, 5, kBackspace, "12.30", 4},
                  {"12.34", 4, 4, kBackspace, "12.04", 3},
                  {"12.34", 3, 3, kBackspace, "1.34", 1},  // just after ".": the last digit
                  {"123.45", 2, 2, kBackspace, "13.45", 1},
                  {"123.45", 1, 1, kBackspace, "23.45", 0},
                  {"123.45", 0, 0, kBackspace, "123.45", 0},
                  {"5.25", 4, 4, kBackspace, "5.20", 3},
                  {"5.25", 2, 2, kBackspace, "5.25", 1},  // one digit: steps over "."
                  {"5.25", 1, 1, kBackspace, "0.25", 0},  // and the digit becomes "0"
                  {"5.25", 0, 0, kBackspace, "5.25", 0},
              });
}

TEST(NumberKeysTest, DeleteWithoutASelection) {
  RunCases(2, {
                  {"12.34", 5, 5, kDelete, "12.30", 5},  // at the end: the last place
                  {"12.34", 4, 4, kDelete, "12.30", 5},
                  {"12.34", 3, 3, kDelete, "12.04", 4},
                  {"12.34", 2, 2, kDelete, "12.04", 4},  // in front of ".": the first place
                  {"5.25", 1, 1, kDelete, "5.05", 3},
                  {"5.25", 0, 0, kDelete, "0.25", 1},
                  {"123.45", 0, 0, kDelete, "23.45", 0},
                  {"123.45", 1, 1, kDelete, "13.45", 1},
              });
}

TEST(NumberKeysTest, BackspaceAndDeleteWithASelection) {
  for (const char key : {kBackspace, kDelete}) {
    RunCases(2, {
                    {"1234.56", 1, 3, key, "14.56", 1},
                    {"1234.56", 2, 6, key, "12.06", 2},
                    {"1234.56", 0, 4, key, "0.56", 0},  // the last integer digit stays as "0"
                    {"1234.56", 0, 7, key, "0.00", 0},
                    {"12.34", 3, 5, key, "12.00", 3},
                    {"5.25", 0, 2, key, "0.25", 0},
                    {"12.34", 2, 3, key, "12.34", 2},  // "." is never removed
                });
  }
}

// A text not in the editor's form (set from outside) is read as a number before the key, and
// a selection outside the text is clamped, so no key reads or writes past the text.
TEST(NumberKeysTest, AnyTextAndSelectionIsBroughtIntoFormFirst) {
  RunCases(2, {
                  {"", 0, 0, '5', "5.00", 1},
                  {"", 0, 0, kBackspace, "0.00", 0},
                  {"", 0, 0, kDelete, "0.00", 1},
                  {"7", 1, 1, '3', "73.00", 2},
                  {"1234.5", 6, 6, '7', "1234.57", 7},
                  {"1,234.50", 0, 0, '7', "71234.50", 1},
                  {"abc", 1, 1, kBackspace, "0.00", 0},
                  {".5", 0, 0, '1', "1.50", 1},
                  {"12.34", 2, 99, kDelete, "12.00", 2},
                  {"12.34", 99, 99, kBackspace, "12.30", 4},
                  {"12.34", 1, -3, '9', "92.34", 1},
                  {"", 0, 0, 'x', "", -1},  // an ignored key changes nothing
              });
}

TEST(NumberKeysTest, OtherNumbersOfDecimals) {
  RunCases(1, {
                  {"0.0", 0, 0, '4', "4.0", 1},
                  {"12.3", 4, 4, kBackspace, "12.0", 3},
                  {"12.3", 3, 3, kBackspace, "1.3", 1},
                  {"12.3", 0, 0, ',', "12.3", 3},
              });
  RunCases(3, {
                  {"12.345", 6, 6, kBackspace, "12.340", 5},
                  {"12.345", 2, 2, kDelete, "12.045", 4},
                  {"0.000", 0, 0, '8', "8.000", 1},
                  {"12.5", 0, 0, '9', "912.500", 1},
              });
}

TEST(NumberKeysTest, PasteTakesOnlyAPlainNumberAndReplacesTheText) {
  const NumberKeys keys(2);
  const struct {
    const char* pasted;
    const char* expected;  // nullptr: refused
  } cases[] = {
      {"12,5", "12.50"},  {"1 234.56", "1234.56"}, {" 7\n", "7.00"},    {".5", "0.50"},
      {"12.", "12.00"},   {"0012", "0012.00"},     {"12.345", nullptr}, {"1,234.50", nullptr},
      {"-5", nullptr},    {"abc", nullptr},        {"", nullptr},       {".", nullptr},
      {"12?50", nullptr},
  };
  for (const auto& c : cases) {
    NumberKeyState state{"99.99", 1, 3};
    const bool taken = keys.Paste(state, c.pasted);
    EXPECT_EQ(taken, c.expected != nullptr) << c.pasted;
    if (taken) {
      EXPECT_EQ(state.text, c.expected) << c.pasted;
      EXPECT_EQ(state.sel_begin, static_cast<int>(state.text.size())) << c.pasted;
      EXPECT_EQ(state.sel_end, state.sel_begin) << c.pasted;
    } else {
      EXPECT_EQ(state.text, "99.99") << c.pasted;
      EXPECT_EQ(state.sel_begin, 1) << c.pasted;
      EXPECT_EQ(state.sel_end, 3) << c.pasted;
    }
  }
}

TEST(NumberKeysTest, FormAndStartingText) {
  const NumberKeys keys(2);
  for (const char* text : {"0.00", "1234.50", "007.00"}) EXPECT_TRUE(keys.IsInForm(text)) << text;
  for (const char* text : {"", ".00", "1.0", "1.000", "1,00", "-1.00", "12a.00", "1.0a"}) {
    EXPECT_FALSE(keys.IsInForm(text)) << text;
  }
  EXPECT_EQ(keys.Normalised("1,234.5"), "1234.50");
  EXPECT_EQ(keys.Normalised("12,345"), "12.34");
  EXPECT_EQ(keys.Normalised("abc"), "0.00");
  EXPECT_EQ(ZeroNumberText(0), "");
  EXPECT_EQ(ZeroNumberText(2), "0.00");
  EXPECT_EQ(ZeroNumberText(3), "0.000");
}

}  // namespace
}  // namespace ledgerix
