#include "platform/wildcard.h"

#include <gtest/gtest.h>

namespace ledgerix::platform {
namespace {

TEST(WildcardTest, StarAndQuestionMark) {
  EXPECT_TRUE(MatchesPattern(u"*.txt", u"arch_2024.txt"));
  EXPECT_FALSE(MatchesPattern(u"*.txt", u"arch_2024.txt.bak"));
  EXPECT_TRUE(MatchesPattern(u"a?c", u"abc"));
  EXPECT_FALSE(MatchesPattern(u"a?c", u"ac"));
  EXPECT_TRUE(MatchesPattern(u"*", u""));
  EXPECT_TRUE(MatchesPattern(u"a*b*c", u"axxbyybzc"));
  EXPECT_FALSE(MatchesPattern(u"a*b*c", u"axxbyybz"));
  EXPECT_TRUE(MatchesPattern(u"**x", u"x"));
  EXPECT_TRUE(MatchesPattern(u"exact.txt", u"exact.txt"));
  EXPECT_FALSE(MatchesPattern(u"exact.txt", u"exact.txt2"));
}

TEST(WildcardTest, StarDotStarMatchesNamesWithoutADot) {
  EXPECT_TRUE(MatchesPattern(u"*.*", u"README"));
  EXPECT_FALSE(MatchesPattern(u"*.?", u"README"));
}

TEST(WildcardTest, IgnoresCaseOfLatinAndCyrillicLetters) {
  EXPECT_TRUE(MatchesPattern(u"*.TXT", u"a.txt"));
  EXPECT_TRUE(MatchesPattern(u"ОТЧЁТ*", u"отчёт за май.txt"));
  EXPECT_TRUE(MatchesPattern(u"café", u"CAFÉ"));
  EXPECT_FALSE(MatchesPattern(u"отчет", u"отчёт"));
}

TEST(WildcardTest, CompareNamesGivesOneFixedOrder) {
  EXPECT_LT(CompareNames(u"a.txt", u"B.txt"), 0);
  EXPECT_GT(CompareNames(u"b", u"A"), 0);
  EXPECT_LT(CompareNames(u"ab", u"abc"), 0);
  // Names that differ only in case still come out in a fixed order.
  EXPECT_NE(CompareNames(u"A", u"a"), 0);
  EXPECT_EQ(CompareNames(u"A", u"a"), -CompareNames(u"a", u"A"));
  EXPECT_EQ(CompareNames(u"same", u"same"), 0);
}

}  // namespace
}  // namespace ledgerix::platform
