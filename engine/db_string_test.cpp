#include "engine/db_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ledgerix {
namespace {

using namespace std::string_view_literals;

TEST(DbStringTest, FreshStringHasNoBlock) {
  DbString s;
  ASSERT_NE(s.CStr(), nullptr);
  EXPECT_STREQ(s.CStr(), "");
  EXPECT_EQ(s.DataOrNull(), nullptr);
  EXPECT_EQ(s.Capacity(), 0u);
  EXPECT_EQ(s.Duplicate(5), nullptr);
  EXPECT_EQ(s.CharAt(0), '\0');
  EXPECT_EQ(s.Wide()[0], u'\0');
  EXPECT_EQ(s.ByteSum(), 0);
  EXPECT_EQ(DbString(), DbString(""));
}

TEST(DbStringTest, InitialCapacityIsExact) {
  DbString s(7, 3);
  EXPECT_EQ(s.Capacity(), 7u);
  EXPECT_EQ(s.DataOrNull(), nullptr);  // a block but no text
  s.Append("abcdefgh");                // needs 9: 3 * (9 / 3 + 1)
  EXPECT_EQ(s.Capacity(), 12u);
}

TEST(DbStringTest, GrowsInSteps) {
  DbString s;
  s.AppendBytes("12345", 5);
  EXPECT_EQ(s.Capacity(), 200u);
  s.AppendBytes(std::string(194, 'x').data(), 194);
  EXPECT_EQ(s.Capacity(), 200u);
  s.Append("y");  // 200 bytes and the terminator need 201
  EXPECT_EQ(s.Length(), 200u);
  EXPECT_EQ(s.Capacity(), 400u);
  EXPECT_EQ(s.CStr()[200], '\0');
  EXPECT_EQ(s.View().substr(0, 5), "12345");

  DbString t;
  t.SetGrowthStep(0);  // ignored
  t.SetGrowthStep(-5);
  EXPECT_EQ(t.GrowthStep(), 200);
  t.AppendBytes(std::string(199, 'x').data(), 199);
  t.AppendBytes("z", 1);
  EXPECT_EQ(t.Capacity(), 400u);
}

TEST(DbStringTest, AppendVariants) {
  DbString s("ab");
  s.Append(nullptr);
  s.AppendBytes("c\0d", 3);
  EXPECT_EQ(s.View(), "abc\0d"sv);
  EXPECT_STREQ(s.CStr(), "abc");  // the 0 byte ends the C text, not the string
  s.AppendPrefix(DbString("xyz"), 2);
  s.AppendPrefix(DbString("q"), 10);
  EXPECT_EQ(s.View(), "abc\0dxyq"sv);
  s.AppendString(s);  // appending itself must read the bytes before the block moves
  EXPECT_EQ(s.View(), "abc\0dxyqabc\0dxyq"sv);
  EXPECT_EQ(DbString("abc\0d"sv).Length(), 5u);
}

TEST(DbStringTest, InsertRebuildsAndChecksPosition) {
  DbString s("abef");
  s.Insert(2, "cd");
  EXPECT_STREQ(s.CStr(), "abcdef");
  s.Insert(6, "!");
  s.Insert(0, ">");
  EXPECT_STREQ(s.CStr(), ">abcdef!");
  s.Insert(9, "x");  // beyond the end
  s.Insert(1, "");
  s.Insert(1, nullptr);
  EXPECT_STREQ(s.CStr(), ">abcdef!");
  DbString small(0, 4);
  small.Insert(0, "abc");  // 4 * ((0 + 3 + 1) / 4 + 1)
  EXPECT_EQ(small.Capacity(), 8u);
}

TEST(DbStringTest, EraseNeedsTheWholeRangeInside) {
  DbString s("abcdef");
  s.Erase(2, 5);
  EXPECT_STREQ(s.CStr(), "abcdef");
  s.Erase(6, 0);
  EXPECT_STREQ(s.CStr(), "abcdef");
  s.Erase(2, 4);
  EXPECT_STREQ(s.CStr(), "ab");
  EXPECT_EQ(s.MutableData()[2], '\0');  // the freed tail is zero-filled
  EXPECT_EQ(s.MutableData()[5], '\0');
  s.Erase(0, 2);
  EXPECT_EQ(s.Length(), 0u);
}

TEST(DbStringTest, SetLengthTruncatesAndExtends) {
  DbString s("abcdef");
  s.SetLength(2);
  EXPECT_STREQ(s.CStr(), "ab");
  s.SetLength(4);  // an extension over bytes still in the block
  EXPECT_EQ(s.View(), "ab\0d"sv);
  s.SetLength(450);
  EXPECT_EQ(s.Length(), 450u);
  EXPECT_EQ(s.Capacity(), 600u);
  EXPECT_EQ(s.View().substr(0, 4), "ab\0d"sv);
  EXPECT_EQ(s.CharAt(449), '\0');
  s.Append("x");
  EXPECT_EQ(s.CharAt(450), 'x');
}

TEST(DbStringTest, ReserveAndFillInPlace) {
  DbString s;
  s.Reserve(10);
  EXPECT_EQ(s.Capacity(), 10u);
  std::memcpy(s.MutableData(), "hello", 5);
  s.SetLength(5);
  EXPECT_STREQ(s.CStr(), "hello");
  s.Reserve(4);
  EXPECT_EQ(s.Capacity(), 10u);
  s.Reserve(32);
  EXPECT_EQ(s.Capacity(), 32u);
  EXPECT_STREQ(s.CStr(), "hello");
}

TEST(DbStringTest, ClearKeepsTheBlock) {
  DbString s("abc");
  s.Clear();
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_EQ(s.Capacity(), 200u);
  EXPECT_EQ(s.DataOrNull(), nullptr);
  EXPECT_EQ(s.MutableData()[1], '\0');
}

TEST(DbStringTest, DropFrontRestoreFrontAndCompact) {
  DbString s("abcdef");
  const char* block = s.CStr();
  s.DropFront(3);
  EXPECT_STREQ(s.CStr(), "def");
  EXPECT_EQ(s.Capacity(), 197u);
  EXPECT_EQ(s.CStr(), block + 3);  // no memory moved
  s.DropFront(1);
  s.DropFront(9);  // more than is left: nothing
  EXPECT_STREQ(s.CStr(), "ef");
  s.RestoreFront();
  EXPECT_STREQ(s.CStr(), "abcdef");
  EXPECT_EQ(s.Capacity(), 200u);

  s.DropFront(3);
  s.Compact();
  EXPECT_STREQ(s.CStr(), "def");
  EXPECT_EQ(s.CStr(), block);
  s.RestoreFront();  // nothing dropped since the compaction
  EXPECT_STREQ(s.CStr(), "def");

  DbString none;
  none.DropFront(0);
  EXPECT_EQ(none.Capacity(), 0u);
}

TEST(DbStringTest, DroppedBytesSurviveGrowth) {
  DbString s(0, 8);
  s.Append("abcdef");
  s.DropFront(2);
  s.Append("ghijklmnop");  // reallocates
  EXPECT_STREQ(s.CStr(), "cdefghijklmnop");
  s.RestoreFront();
  EXPECT_STREQ(s.CStr(), "abcdefghijklmnop");
}

TEST(DbStringTest, EraseAndClearForgetDroppedBytes) {
  DbString s("abcdef");
  s.DropFront(2);
  s.Erase(0, 1);  // positions count from the block start again
  EXPECT_STREQ(s.CStr(), "bcdef");
  s.DropFront(2);
  s.Clear();
  s.RestoreFront();
  EXPECT_EQ(s.Length(), 0u);
}

TEST(DbStringTest, DuplicateIsZeroPaddedAndOwned) {
  DbString s("abc");
  auto copy = s.Duplicate(5);
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy.get(), "abc");
  EXPECT_EQ(copy[5], '\0');
  EXPECT_STREQ(s.Duplicate(2).get(), "ab");
  EXPECT_EQ(s.Duplicate(0), nullptr);
}

TEST(DbStringTest, CompareAndCharAt) {
  EXPECT_EQ(DbString("abc"), DbString("abc"));
  EXPECT_FALSE(DbString("abc") == DbString("ABC"));
  EXPECT_FALSE(DbString("ab"sv) == DbString("ab\0"sv));
  DbString s("xyz");
  EXPECT_EQ(s.CharAt(2), 'z');
  EXPECT_EQ(s.CharAt(3), '\0');
}

TEST(DbStringTest, ByteSumCountsBytesAsSigned) {
  EXPECT_EQ(DbString("\x01\x02").ByteSum(), 3);
  EXPECT_EQ(DbString("\xFF\x01").ByteSum(), 0);
  EXPECT_EQ(FromUtf8("я").ByteSum(), -1);
}

TEST(DbStringTest, WideUsesTheWholeCodePage) {
  DbString s("\xC0\xFF");
  const char16_t* wide = s.Wide();
  EXPECT_EQ(std::u16string(wide), u"Ая");
  s.Append("\xB8\xA8\xB9");
  EXPECT_EQ(std::u16string(s.Wide()), u"АяёЁ№");

  DbString back;
  back.AppendWide(u"ё");
  EXPECT_EQ(back.View(), "\xB8");  // not 0x01
  back.AppendWide(u"Ё№€中");
  EXPECT_EQ(back.View(), "\xB8\xA8\xB9\x88?");
  back.AppendWide(static_cast<const char16_t*>(nullptr));
  EXPECT_EQ(DbString(u"Ёж").View(), "\xA8\xE6");
}

TEST(DbStringTest, Utf8Helpers) {
  const DbString s = FromUtf8("Категория: №1 «ёлка» – €");
  EXPECT_EQ(s.Length(), 24u);
  EXPECT_EQ(ToUtf8(s), "Категория: №1 «ёлка» – €");
  EXPECT_EQ(FromUtf8("a中\xFF\xC3").View(), "a???");
  EXPECT_EQ(FromUtf8("\xED\xA0\x80").View(), "???");  // an encoded surrogate is malformed
}

TEST(DbStringTest, CopiesAndMoves) {
  DbString a(0, 7);
  a.Append("hello");
  a.DropFront(1);
  DbString b = a;
  EXPECT_STREQ(b.CStr(), "ello");
  EXPECT_EQ(b.GrowthStep(), 200);
  b.RestoreFront();  // a copy has nothing dropped
  EXPECT_STREQ(b.CStr(), "ello");
  DbString c = std::move(a);
  EXPECT_STREQ(c.CStr(), "ello");
  EXPECT_EQ(a.Length(), 0u);  // NOLINT(bugprone-use-after-move): moved-from is empty
  c.RestoreFront();
  EXPECT_STREQ(c.CStr(), "hello");
  b = c;
  c = DbString("x");
  EXPECT_STREQ(b.CStr(), "hello");
  EXPECT_STREQ(c.CStr(), "x");
}

}  // namespace
}  // namespace ledgerix
