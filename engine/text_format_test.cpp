#include "engine/text_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/db_string.h"

namespace ledgerix {
namespace {

template <typename... Args>
std::string Basic(const char* fmt, const Args&... args) {
  DbString s;
  EXPECT_EQ(s.Format(fmt, args...), 1);
  return std::string(s.View());
}

template <typename... Args>
std::string Extended(const char* fmt, const Args&... args) {
  DbString s;
  EXPECT_NE(s.FormatEx(fmt, args...), 0);
  return std::string(s.View());
}

TEST(FormatTest, TheProgramsFormats) {
  EXPECT_EQ(Basic("%d", 42), "42");
  EXPECT_EQ(Basic("%d", -42), "-42");
  EXPECT_EQ(Basic("%s", "text"), "text");
  EXPECT_EQ(Basic("type = %d", 12), "type = 12");
  EXPECT_EQ(Basic("consumer_id = %d", 1700000000), "consumer_id = 1700000000");
  EXPECT_EQ(Basic("%d.", 7), "7.");
  EXPECT_EQ(Basic("0%d.", 7), "07.");
  const DbString kind = FromUtf8("Еда");
  EXPECT_EQ(ToUtf8(DbString(Basic(FromUtf8("Вид: %s").CStr(), kind))), "Вид: Еда");
}

TEST(FormatTest, FlagsAndWidths) {
  EXPECT_EQ(Basic("%+d", 5), "+5");
  EXPECT_EQ(Basic("% d", 5), " 5");
  EXPECT_EQ(Basic("%+d", -5), "-5");
  EXPECT_EQ(Basic("%5d", 5), "5");  // widths are ignored
  EXPECT_EQ(Basic("%-05d|", 5), "5|");
  EXPECT_EQ(Basic("%*d|%s", 9, 3, "x"), "3|x");  // "*" consumes an argument
  EXPECT_EQ(Basic("%.*s|%d", 2, "abc", 1), "abc|1");
  EXPECT_EQ(Basic("%d", INT32_MIN), "-2147483648");
}

TEST(FormatTest, LengthsAndOtherLetters) {
  EXPECT_EQ(Basic("%hd", -1), "65535");  // h reads unsigned 16-bit
  EXPECT_EQ(Basic("%ld %Li", 3, 4), "3 4");
  EXPECT_EQ(Basic("%u", 7), "7");
  EXPECT_EQ(Basic("%+u", 7), "+7");
  EXPECT_EQ(Basic("%u", -1), "4294967295");
  EXPECT_EQ(Basic("%d", uint32_t{0xFFFFFFFF}), "-1");  // 32-bit, as on disk
  EXPECT_EQ(Basic("%x %X", 255, 255), "ff FF");
  EXPECT_EQ(Basic("%c%c", 'o', 'k'), "ok");
  EXPECT_EQ(Basic("100%%"), "100%");
  EXPECT_EQ(Basic("%q and %"), "%q and %");
}

TEST(FormatTest, MismatchedOrMissingArgumentsWriteNothing) {
  EXPECT_EQ(Basic("[%d][%s]", "text", 5), "[][]");
  EXPECT_EQ(Basic("[%d][%s]"), "[][]");
  EXPECT_EQ(Basic("[%s]", static_cast<const char*>(nullptr)), "[]");
  EXPECT_EQ(Basic("[%s]", u"ё"), "[\xB8]");  // 16-bit text is converted
}

TEST(FormatTest, NullFormatFailsAndEmptiesTheString) {
  DbString s("old");
  EXPECT_EQ(s.Format(nullptr), 0);
  EXPECT_EQ(s.Length(), 0u);
  s.Append("old");
  EXPECT_EQ(s.FormatEx(nullptr), 0);
  EXPECT_EQ(s.Length(), 0u);
}

TEST(FormatTest, ReplacesTheContentAndMayReadItself) {
  DbString s("abc");
  s.Format("<%s>", s);
  EXPECT_STREQ(s.CStr(), "<abc>");
}

TEST(FormatExTest, TheProgramsFormats) {
  EXPECT_EQ(Extended("%L", 1234), "1234");
  EXPECT_EQ(Extended("0%L", 7), "07");
  EXPECT_EQ(Extended("%C", 'A'), "A");
  EXPECT_EQ(Extended("%L.0%L", 12, 5), "12.05");
}

TEST(FormatExTest, OtherConversions) {
  EXPECT_EQ(Extended("%L", -12), "-12");
  EXPECT_EQ(Extended("%+L", -12), "-12");
  EXPECT_EQ(Extended("%I", -1), "65535");
  EXPECT_EQ(Extended("%+I", -1), "-1");
  EXPECT_EQ(Extended("%s|%S", "ab", u"Ёж"), "ab|\xA8\xE6");
  EXPECT_EQ(Extended("%.2s", "abcdef"), "ab");
  EXPECT_EQ(Extended("%5L|%05L|%04L", 42, 42, -7), "   42|00042|-007");
  EXPECT_EQ(Extended("%XL %xL %BL %OL", 255, 255, 5, 8), "FF ff 101 10");
  EXPECT_EQ(Extended("%F %.1f", 2.5, 3), "2.50 3.0");
  EXPECT_EQ(Extended("%C|%%|%Z", 0), "|%|%Z");
  EXPECT_EQ(Extended("[%L]", "text"), "[]");
}

}  // namespace
}  // namespace ledgerix
