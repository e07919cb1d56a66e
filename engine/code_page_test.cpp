#include "engine/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

TEST(CodePageTest, EveryByteSurvivesARoundTrip) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  std::u16string wide(bytes.size(), u'\0');
  ASSERT_EQ(NarrowToWide(bytes.data(), wide.data(), bytes.size()), bytes.size());
  std::string back(bytes.size(), '\0');
  ASSERT_EQ(WideToNarrow(wide.data(), back.data(), wide.size()), bytes.size());
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(wide[0x98], u'\u0098');  // the one byte the code page leaves undefined
}

TEST(CodePageTest, UpperHalfUsesTheRealTable) {
  // The arithmetic mapping would give ё 0x01 and Ё 0x11: text typed by the user would rot.
  struct Pair {
    unsigned char byte;
    char16_t unit;
  };
  for (const Pair& p : {Pair{0xB8, u'ё'}, Pair{0xA8, u'Ё'}, Pair{0xB9, u'№'}, Pair{0x88, u'€'},
                        Pair{0x96, u'–'}, Pair{0xAB, u'«'}, Pair{0xBB, u'»'}, Pair{0xC0, u'А'},
                        Pair{0xFF, u'я'}, Pair{0xA0, u'\u00A0'}}) {
    EXPECT_EQ(Cp1251ToUnicode(p.byte), p.unit) << int{p.byte};
    EXPECT_EQ(static_cast<unsigned char>(UnicodeToCp1251(p.unit)), p.byte) << int{p.byte};
  }
}

TEST(CodePageTest, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(UnicodeToCp1251(0x4E00), '?');
  EXPECT_EQ(UnicodeToCp1251(0x00E9), '?');  // é: its low byte would be the letter й
  EXPECT_EQ(UnicodeToCp1251(0x0080), '?');
  const std::u16string text = u"a\U0001F600b\xD800";  // an emoji, then a lone surrogate
  std::string out(text.size(), '\0');
  out.resize(WideToNarrow(text.data(), out.data(), text.size()));
  EXPECT_EQ(out, "a?b?");
}

TEST(CodePageTest, NullArgumentsDoNothing) {
  char16_t wide[2] = {u'x', u'x'};
  char narrow[2] = {'x', 'x'};
  EXPECT_EQ(NarrowToWide(nullptr, wide, 2), 0u);
  EXPECT_EQ(WideToNarrow(nullptr, narrow, 2), 0u);
  EXPECT_EQ(WideToNarrow(u"ab", nullptr, 2), 0u);
  EXPECT_EQ(wide[0], u'x');
  EXPECT_EQ(narrow[0], 'x');
}

}  // namespace
}  // namespace ledgerix
