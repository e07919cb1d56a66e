// The kinds list's rules on both storage kinds, with the kind editor answered by the script.
#include "ui/kinds_list_screen.h"

#include <gtest/gtest.h>

#include "finance/testing/finance_test_support.h"
#include "ui/kind_editor_screen.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

class KindsListScreenTest : public FinanceDbTest {
 protected:
  void SetUp() override { ASSERT_EQ(OpenDatabase(), 1); }

  KindsListScreen& Open(int32_t direction, KindChoice* choose_into = nullptr) {
    screen_ =
        std::make_unique<KindsListScreen>(db_.get(), clock_, services_, direction, choose_into);
    screen_->Start(list_);
    return *screen_;
  }

  // The listed rows as "N.|name|price".
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (const MemoryList::Item& item : list_.items) {
      rows.push_back(item.texts.at(0) + "|" + item.texts.at(1) + "|" + item.texts.at(2));
    }
    return rows;
  }
  std::vector<std::string> Categories() const {
    std::vector<std::string> texts;
    for (const auto& category : screen_->categories()) texts.push_back(ToUtf8(category.text));
    return texts;
  }
  std::string MarkedName() const {
    return ToUtf8(screen_->rows().at(static_cast<size_t>(screen_->selection_mark())).name);
  }
  int CategoryIndex(const char* text) const {
    for (size_t i = 0; i < screen_->categories().size(); ++i) {
      if (ToUtf8(screen_->categories()[i].text) == text) return static_cast<int>(i);
    }
    return -1;
  }
  // The kind editor's next run: `fill` types into it, then "Принять".
  void EditorAccepts(std::function<void(KindEditorScreen&)> fill) {
    services_.OnNextScreenOf<KindEditorScreen>(
        "KindEditorDialog", [fill](KindEditorScreen& editor) {
          editor.Start();  // as its dialog does when it opens
          fill(editor);
          return editor.OnAccept() ? kScreenOk : kScreenCancel;
        });
  }

  ScriptedScreenServices services_;
  MemoryList list_;
  std::unique_ptr<KindsListScreen> screen_;
};

TEST_P(KindsListScreenTest, TheDefaultExpenseKindsSortedNumberedAndFilteredByCategory) {
  KindsListScreen& screen = Open(2);
  EXPECT_EQ(ToUtf8(screen.Caption()), "Виды расходов");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|Бензин|200.00", "2|Кино|350.00",
                                              "3|Маршрутное такси|15.00", "4|Такси|150.00"}));
  EXPECT_EQ(Categories(),
            (std::vector<std::string>{"<<Любая>>", "Машина", "Проезд", "Развлечения"}));
  EXPECT_EQ(screen.selected_category(), 0);
  EXPECT_EQ(screen.selection_mark(), 0);
  screen.OnCategoryChanged(CategoryIndex("Проезд"));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|Маршрутное такси|15.00", "2|Такси|150.00"}));
  EXPECT_EQ(list_.items[1].data, 2);  // the data value is the kind's id
  EXPECT_EQ(ToUtf8(Open(1).Caption()), "Виды доходов");
}

TEST_P(KindsListScreenTest, FindLooksFromTheMarkToTheEndWithoutWrapping) {
  KindsListScreen& screen = Open(2);
  struct Step {
    const char* text;
    int mark_before, mark_after;
  } steps[] = {{"такси", 0, 2}, {"такси", 2, 2}, {"Такси", 3, 3}, {"Бензин", 3, 3},
               {"", 1, 1},      {"", -1, 0},     {"нет", 1, 1}};
  for (const Step& step : steps) {
    screen.SetSelectionMark(step.mark_before);
    screen.OnFind(FromUtf8(step.text));
    EXPECT_EQ(screen.selection_mark(), step.mark_after)
        << step.text << " from " << step.mark_before;
  }
}

TEST_P(KindsListScreenTest, AddingSwitchesTheFilterToTheNewKindsCategoryAndSelectsIt) {
  KindsListScreen& screen = Open(2);
  screen.OnCategoryChanged(CategoryIndex("Проезд"));
  // A kind already holds the id the clock proposes: the new one must not take it.
  const int32_t now = static_cast<int32_t>(clock_.Now());
  ASSERT_EQ(db_->AddKind(MakeKind(now, "Шины", "Машина", 0, 2)), 1);
  EditorAccepts([](KindEditorScreen& editor) {
    editor.name = FromUtf8("Мойка");
    editor.selected_category = 0;  // "Машина", the first category of the expense kinds
    editor.price_text = "300.00";
  });
  screen.OnAdd();
  EXPECT_EQ(Categories()[static_cast<size_t>(screen.selected_category())], "Машина");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|Бензин|200.00", "2|Мойка|300.00", "3|Шины|0.00"}));
  EXPECT_EQ(MarkedName(), "Мойка");
  KindRecord kind;
  EXPECT_EQ(db_->FindKind(&kind, now, 2, DbString()), 1);
  EXPECT_EQ(ToUtf8(kind.name), "Шины");
  EXPECT_NE(screen.rows()[1].id, now);
}

TEST_P(KindsListScreenTest, AKindWithoutNameOrACancelledEditorAddsNothing) {
  KindsListScreen& screen = Open(1);
  const std::vector<std::string> before = Rows();
  EditorAccepts([](KindEditorScreen& editor) {
    editor.create_category = true;
    editor.new_category = FromUtf8("Прочее");
  });
  screen.OnAdd();
  services_.OnNextScreen("KindEditorDialog", [](ScreenRules&) { return kScreenCancel; });
  screen.OnAdd();
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
}

TEST_P(KindsListScreenTest, EditingStoresTheKindAndKeepsItSelected) {
  KindsListScreen& screen = Open(2);
  screen.SetSelectionMark(1);  // "Кино"
  EditorAccepts([](KindEditorScreen& editor) {
    EXPECT_EQ(ToUtf8(editor.name), "Кино");
    EXPECT_EQ(ToUtf8(editor.price_text), "350.00");
    EXPECT_EQ(ToUtf8(editor.categories().at(static_cast<size_t>(editor.selected_category))),
              "Развлечения");
    editor.name = FromUtf8("Театр");
    editor.price_text = "1,250.5";
  });
  EXPECT_FALSE(screen.OnChoose());  // not choose mode: "Выбрать" edits
  EXPECT_EQ(Rows()[3], "4|Театр|1,250.50");
  EXPECT_EQ(MarkedName(), "Театр");
}

TEST_P(KindsListScreenTest, DeleteAsksFirstAndTakesTheKindsEntriesAlong) {
  ASSERT_EQ(db_->AddEntry(MakeEntry(2, 1240301, 150, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(4, 1240301, 25, 2, 2, 1)), 1);
  KindsListScreen& screen = Open(2);
  screen.SetSelectionMark(3);  // "Такси", id 2
  services_.AnswerNextMessage(MessageAnswer::kCancel);
  screen.OnDelete();
  EXPECT_EQ(Rows().size(), 4u);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnDelete();
  EXPECT_EQ(services_.MessageTexts(), (std::vector<std::string>{"Удалить?", "Удалить?"}));
  EXPECT_EQ(services_.messages()[0].caption, "TOLVENA Info");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|Бензин|200.00", "2|Кино|350.00",
                                              "3|Маршрутное такси|15.00"}));
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 1u);
}

TEST_P(KindsListScreenTest, ChooseModeHandsTheMarkedKindToTheCaller) {
  KindChoice choice;
  choice.kind.category = FromUtf8("Проезд");
  KindsListScreen& screen = Open(2, &choice);
  EXPECT_EQ(Categories(), std::vector<std::string>{"Проезд"});
  EXPECT_EQ(Rows().size(), 2u);
  screen.SetSelectionMark(1);
  EXPECT_TRUE(screen.OnChoose());
  EXPECT_TRUE(choice.accepted);
  EXPECT_EQ(ToUtf8(choice.kind.name), "Такси");
  EXPECT_DOUBLE_EQ(choice.kind.price, 150);

  KindChoice any;
  KindsListScreen& all = Open(2, &any);
  EXPECT_EQ(all.categories().size(), 4u);
  all.SetSelectionMark(-1);
  EXPECT_FALSE(all.OnChoose());
  EXPECT_FALSE(any.accepted);
}

TEST_P(KindsListScreenTest, WithoutADatabaseTheListIsEmptyAndCommandsDoNothing) {
  KindsListScreen screen(nullptr, clock_, services_, 2, nullptr);
  screen.Start(list_);
  screen.OnAdd();
  screen.OnDelete();
  screen.OnFind(FromUtf8("x"));
  EXPECT_FALSE(screen.OnChoose());
  EXPECT_TRUE(list_.items.empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, KindsListScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
