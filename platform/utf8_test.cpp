#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace ledgerix::platform {
namespace {

TEST(Utf8Test, RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00E9\u0401\u044F\u20AC\U0001F600z";
  std::string utf8;
  ASSERT_TRUE(Utf16ToUtf8(text, &utf8));
  EXPECT_EQ(utf8, "a\xC3\xA9\xD0\x81\xD1\x8F\xE2\x82\xAC\xF0\x9F\x98\x80z");
  std::u16string back;
  ASSERT_TRUE(Utf8ToUtf16(utf8, &back));
  EXPECT_EQ(back, text);
}

TEST(Utf8Test, RefusesUnpairedSurrogates) {
  std::string utf8;
  EXPECT_FALSE(Utf16ToUtf8(std::u16string(1, char16_t{0xD83D}), &utf8));
  EXPECT_FALSE(Utf16ToUtf8(std::u16string{u'x', char16_t{0xDE00}, u'y'}, &utf8));
}

TEST(Utf8Test, RefusesMalformedUtf8) {
  std::u16string text;
  EXPECT_FALSE(Utf8ToUtf16("\xC3", &text));              // cut short
  EXPECT_FALSE(Utf8ToUtf16("\xC0\xAF", &text));          // overlong "/"
  EXPECT_FALSE(Utf8ToUtf16("\xED\xA0\x80", &text));      // a surrogate
  EXPECT_FALSE(Utf8ToUtf16("\xF4\x90\x80\x80", &text));  // past U+10FFFF
  EXPECT_FALSE(Utf8ToUtf16("\x80", &text));              // a lone continuation byte
  EXPECT_FALSE(Utf8ToUtf16("\xE2\x28\xA1", &text));      // a bad continuation byte
}

}  // namespace
}  // namespace ledgerix::platform
