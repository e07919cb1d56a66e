#include "engine/collate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/db_string.h"

namespace ledgerix {
namespace {

TEST(CollateCompareTest, HyphensAreSkipped) {
  EXPECT_EQ(CollateCompare("ab-c", "abc"), 0);
  EXPECT_EQ(CollateCompare("abc", "a-b-c"), 0);
  EXPECT_EQ(CollateCompare("a--b", "a-b"), 0);
  EXPECT_EQ(CollateCompare("a-", "a-"), 0);
  // The walk ends with the shorter text, so a trailing hyphen still counts.
  EXPECT_EQ(CollateCompare("abc-", "abc"), 1);
}

TEST(CollateCompareTest, CapitalsSitNextToSmallLetters) {
  EXPECT_EQ(CollateCompare("a", "A"), 1);
  EXPECT_EQ(CollateCompare("C", "c"), 1);  // the table puts c before C
  EXPECT_EQ(CollateCompare("A", "b"), -1);
  EXPECT_EQ(CollateCompare("", "a"), -1);
  EXPECT_EQ(CollateCompare("a", ""), 1);
  EXPECT_EQ(CollateCompare(nullptr, ""), 0);
  EXPECT_EQ(CollateCompare(" ", "0"), -1);
  EXPECT_EQ(CollateCompare("9", "A"), -1);
  EXPECT_EQ(CollateCompare("z", FromUtf8("а").CStr()), -1);  // Latin before Cyrillic
}

TEST(CollateCompareTest, OrdersRussianWordsAlphabetically) {
  // Each small letter before its capital, and Ё, ё between е and ж.
  const std::vector<std::string> sorted = {"аренда",   "Автомобиль", "Бензин", "еда",
                                           "Ёмкость",  "ёлка",       "Жильё",  "Зарплата",
                                           "Продукты", "Связь",      "Я",      "яблоко"};
  std::vector<DbString> words;
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) words.push_back(FromUtf8(*it));
  std::sort(words.begin(), words.end(), [](const DbString& a, const DbString& b) {
    return CollateCompare(a.CStr(), b.CStr()) < 0;
  });
  std::vector<std::string> result;
  for (const DbString& w : words) result.push_back(ToUtf8(w));
  EXPECT_EQ(result, sorted);
}

}  // namespace
}  // namespace ledgerix
