#include "companion/journal_file.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

KindRecord Kind(int32_t id, const char* name, const char* category, int32_t type) {
  KindRecord kind;
  kind.id = id;
  kind.name = FromUtf8(name);
  kind.category = FromUtf8(category);
  kind.type = type;
  return kind;
}

StoredEntryRow Entry(int32_t kind_id, int32_t date, int32_t price, int32_t type, int32_t account_id,
                     const char* note = "") {
  StoredEntryRow entry;
  entry.kind_id = kind_id;
  entry.date = date;
  entry.price = price;
  entry.count = 256;  // 1.00
  entry.type = type;
  entry.account_id = account_id;
  entry.note = FromUtf8(note);
  return entry;
}

// The transaction lines of the journal, without its opening comment.
std::string Transactions(const DatabaseRows& rows) {
  const std::string text = JournalText(rows);
  return text.substr(text.find("\n\n") + 2);
}

// Each entry becomes one transaction whose accounts tell apart what the statistics tell apart.
TEST(JournalFileTest, EachEntryPostsToItsKindAndAccount) {
  DatabaseRows rows;
  rows.kinds = {Kind(1, "Хлеб", "Еда", 2),
                Kind(2, "Оклад", "Работа", 1),
                Kind(3, "Бензин", "Авто:Топливо", 2),
                Kind(4, "Газ", "Авто.Топливо", 2),
                Kind(5, "Хлеб", "Еда", 2),
                Kind(6, "  Два   пробела ", "", 2)};
  AccountRecord cash;
  cash.id = 1;
  cash.name = FromUtf8("Наличные");
  rows.accounts = {cash};
  struct Case {
    StoredEntryRow entry;
    const char* transaction;
  };
  const Case cases[] = {
      {Entry(1, 150308, 2560, 2, 1, "к чаю: ржаной"),
       "2008-03-05 Расход: Хлеб  ; к чаю. ржаной\n    Расходы:Еда:Хлеб    10.00\n"
       "    Счета:Наличные    -10.00\n\n"},
      {Entry(2, 150308, 256000, 101, 9),
       "2008-03-05 Приход: Оклад\n    Доходы:Работа:Оклад    -1000.00\n"
       "    Счета:(без счета)    1000.00\n\n"},
      // ":" would start a sub-account; a name that then meets another gets a number.
      {Entry(3, 150308, 256, 2, 1),
       "2008-03-05 Расход: Бензин\n    Расходы:Авто.Топливо:Бензин    1.00\n"
       "    Счета:Наличные    -1.00\n\n"},
      {Entry(4, 150308, 256, 2, 1),
       "2008-03-05 Расход: Газ\n    Расходы:Авто.Топливо #4:Газ    1.00\n"
       "    Счета:Наличные    -1.00\n\n"},
      // Two kinds of one name in one category stay two accounts.
      {Entry(5, 150308, 256, 2, 1),
       "2008-03-05 Расход: Хлеб\n    Расходы:Еда:Хлеб #5    1.00\n"
       "    Счета:Наличные    -1.00\n\n"},
      {Entry(6, 150308, 256, 2, 1),
       "2008-03-05 Расход: Два пробела\n    Расходы:(без категории):Два пробела    1.00\n"
       "    Счета:Наличные    -1.00\n\n"},
      // What the statistics leave out still moves the account.
      {Entry(1, 150308, 256, 12, 1),
       "2008-03-05 Расход: Хлеб\n    Вне статистики:[P]:Еда:Хлеб    1.00\n"
       "    Счета:Наличные    -1.00\n\n"},
      {Entry(77, 150308, 256, 2, 1),
       "2008-03-05 Расход: (нет вида)\n    Вне статистики:(нет вида) #77    1.00\n"
       "    Счета:Наличные    -1.00\n\n"},
  };
  std::string expected;
  for (const Case& c : cases) {
    rows.entries.push_back(c.entry);
    expected += c.transaction;
  }
  EXPECT_EQ(Transactions(rows), expected);
}

TEST(JournalFileTest, TransactionsGoInCalendarOrder) {
  DatabaseRows rows;
  rows.kinds = {Kind(1, "Хлеб", "Еда", 2)};
  // 1 January 2010, 31 December 2009, 5 March 2008: DateKeys do not sort by date.
  for (int32_t date : {110110, 411209, 150308}) rows.entries.push_back(Entry(1, date, 256, 2, 0));
  const std::string text = Transactions(rows);
  EXPECT_LT(text.find("2008-03-05"), text.find("2009-12-31"));
  EXPECT_LT(text.find("2009-12-31"), text.find("2010-01-01"));
}

}  // namespace
}  // namespace ledgerix
