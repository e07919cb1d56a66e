// The kind editor's checks and what it hands back; it never writes to the database.
#include "ui/kind_editor_screen.h"

#include <gtest/gtest.h>

#include "finance/money.h"
#include "finance/testing/finance_test_support.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

class KindEditorScreenTest : public FinanceDbTest {
 protected:
  void SetUp() override { ASSERT_EQ(OpenDatabase(), 1); }
};

TEST_P(KindEditorScreenTest, ShowsTheKindAndTheCategoriesOfItsDirection) {
  ScriptedScreenServices services;
  KindChoice choice{MakeKind(3, "Маршрутное такси", "Проезд", 15, 2), false};
  KindEditorScreen editor(db_.get(), services, choice);
  editor.Start();
  std::vector<std::string> categories;
  for (const DbString& c : editor.categories()) categories.push_back(ToUtf8(c));
  EXPECT_EQ(categories, (std::vector<std::string>{"Машина", "Проезд", "Развлечения"}));
  EXPECT_EQ(editor.selected_category, 1);
  EXPECT_EQ(ToUtf8(editor.name), "Маршрутное такси");
  EXPECT_EQ(ToUtf8(editor.price_text), "15.00");
  EXPECT_FALSE(editor.create_category);
}

TEST_P(KindEditorScreenTest, RefusesWhatCannotBeStoredAndKeepsTheInput) {
  struct Case {
    const char* name;
    bool create;
    int selected;
    const char* new_category;
    const char* price;
    const char* message;  // "" when accepted
  } cases[] = {
      {"Такси", true, 0, "", "1.00", "Не введено значение категории!!!"},
      {"Такси", false, -1, "", "1.00", "Не выбрано значение категории!!!"},
      {"Так;си", false, 0, "", "1.00",
       "Наименование и категория не могут содержать символы \";\", \"[\", \"]\" и перевод "
       "строки!!!"},
      {"Такси", true, 0, "[Новая]", "1.00",
       "Наименование и категория не могут содержать символы \";\", \"[\", \"]\" и перевод "
       "строки!!!"},
      {"Такси\nночью", false, 0, "", "1.00",
       "Наименование и категория не могут содержать символы \";\", \"[\", \"]\" и перевод "
       "строки!!!"},
      {"Очень длинное наименование вида расхода, которое никак не помещается", true, 0,
       "В очень длинную категорию", "1.00",
       "Наименование и категория вместе не могут быть длиннее 90 знаков!!!"},
      {"Такси", false, 0, "", "16,777,216.00",
       "Стоимость по умолчанию не может быть больше 16,777,215.99!!!"},
      {"Такси", false, 0, "", "16,777,215.99", ""},
      {"", false, 0, "", "0.00", ""},  // an empty name passes here; adding refuses it
  };
  for (const Case& c : cases) {
    ScriptedScreenServices services;
    if (*c.message != '\0') services.AnswerNextMessage(MessageAnswer::kOk);
    KindChoice choice{MakeKind(7, "Старое", "Машина", 1, 2), false};
    KindEditorScreen editor(db_.get(), services, choice);
    editor.Start();
    editor.name = FromUtf8(c.name);
    editor.create_category = c.create;
    editor.selected_category = c.selected;
    editor.new_category = FromUtf8(c.new_category);
    editor.price_text = c.price;
    EXPECT_EQ(editor.OnAccept(), *c.message == '\0') << c.name << " " << c.price;
    EXPECT_EQ(choice.accepted, *c.message == '\0') << c.name;
    if (*c.message != '\0') {
      EXPECT_EQ(services.MessageTexts(), std::vector<std::string>{c.message}) << c.name;
      EXPECT_EQ(ToUtf8(choice.kind.name), "Старое");
      EXPECT_EQ(ToUtf8(editor.name), c.name);  // the input stays for the person to mend
    }
  }
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
}

TEST_P(KindEditorScreenTest, AcceptedInputReachesTheCallersRecordToTheCent) {
  ScriptedScreenServices services;
  KindChoice choice{MakeKind(7, "", "", 0, 1), false};
  KindEditorScreen editor(db_.get(), services, choice);
  editor.Start();
  EXPECT_EQ(editor.selected_category, -1);
  editor.name = FromUtf8("Проценты");
  editor.create_category = true;
  editor.new_category = FromUtf8("Банк");
  editor.price_text = "1,234.56";
  ASSERT_TRUE(editor.OnAccept());
  EXPECT_TRUE(choice.accepted);
  EXPECT_EQ(ToUtf8(choice.kind.category), "Банк");
  EXPECT_EQ(HundredthsOf(choice.kind.price), 123456);
  EXPECT_EQ(choice.kind.id, 7);
  EXPECT_EQ(choice.kind.type, 1);
}

INSTANTIATE_TEST_SUITE_P(Drivers, KindEditorScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
