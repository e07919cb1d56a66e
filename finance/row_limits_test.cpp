// What the texts of a finance row may hold, and that the add operations keep to it.
#include "finance/row_limits.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

TEST(RowLimitsTest, TextsShareTheSlotOfTheirRow) {
  KindRecord kind;
  kind.name = DbString(std::string(60, 'a'));
  kind.category = DbString(std::string(30, 'b'));
  EXPECT_TRUE(KindFits(kind));
  kind.category.Append("b");
  EXPECT_FALSE(KindFits(kind));

  EntryRecord entry;
  entry.note = DbString(std::string(115, 'n'));
  EXPECT_TRUE(EntryFits(entry));
  entry.note.Append("n");
  EXPECT_FALSE(EntryFits(entry));

  AccountRecord account;
  account.name = DbString(std::string(62, 'x'));
  EXPECT_TRUE(AccountFits(account));
  account.note = DbString("y");
  EXPECT_FALSE(AccountFits(account));
}

TEST(RowLimitsTest, CharactersTheArchiveCannotReadBackAreRefused) {
  for (const char* bad : {"Еда; напитки", "[sec_data]", "a]", "two\r\nlines", "new\nline"}) {
    KindRecord kind;
    kind.name = FromUtf8(bad);
    EXPECT_FALSE(KindFits(kind)) << bad;
    kind.name = FromUtf8("Еда");
    kind.category = FromUtf8(bad);
    EXPECT_FALSE(KindFits(kind)) << bad;
    EntryRecord entry;
    entry.note = FromUtf8(bad);
    EXPECT_FALSE(EntryFits(entry)) << bad;
    AccountRecord account;
    account.note = FromUtf8(bad);
    EXPECT_FALSE(AccountFits(account)) << bad;
  }
  EXPECT_TRUE(TextFitsExchange(FromUtf8("Ёлка, №5 (т.е. «подарок») - 100%")));
}

}  // namespace
}  // namespace ledgerix
