// The filter dialog's rules on both storage kinds: what it lists and selects, how the selection
// switch, the category and the kind follow each other, and what "Принять" writes.
#include "ui/report_filter_screen.h"

#include <gtest/gtest.h>

#include "finance/testing/finance_test_support.h"
#include "ui/kinds_list_screen.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

class ReportFilterScreenTest : public FinanceDbTest {
 protected:
  ReportFilterScreenTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    state_.finance = globals_;
  }

  ReportFilterScreen& Open(FinanceDb* db) {
    screen_ = std::make_unique<ReportFilterScreen>(db, state_, clock_, services_, params_);
    screen_->Start();
    return *screen_;
  }
  std::vector<std::string> Categories() const {
    std::vector<std::string> texts;
    for (const DbString& text : screen_->categories()) texts.push_back(ToUtf8(text));
    return texts;
  }
  std::string Selected() const {
    const int i = screen_->selected_category;
    return i < 0 ? "-" : ToUtf8(screen_->categories().at(static_cast<size_t>(i)));
  }

  AppState state_;
  ScriptedScreenServices services_;
  ReportParams params_;
  MemoryList kinds_list_;
  std::unique_ptr<ReportFilterScreen> screen_;
};

TEST_P(ReportFilterScreenTest, ListsEveryCategoryOnceWhateverItsCaseOrDirection) {
  ASSERT_EQ(db_->AddKind(MakeKind(77, "Хлеб", "Еда вне дома", 30, 2)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(78, "Обед", "Еда", 250, 2)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(79, "Ужин", "ЕДА", 400, 2)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(80, "Ёлка", "ёлки", 900, 2)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(81, "Гирлянда", "ЁЛКИ", 100, 1)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(82, "Лопата", "Дом", 500, 2)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(83, "Грабли", "Дом и сад", 300, 2)), 1);
  ReportFilterScreen& screen = Open(db_.get());
  EXPECT_EQ(Categories(),
            (std::vector<std::string>{"Машина", "Проезд", "Развлечения", "Основной доход",
                                      "Еда вне дома", "Еда", "ёлки", "Дом", "Дом и сад"}));
  EXPECT_EQ(Selected(), "-");
  EXPECT_FALSE(screen.filter_on);
  EXPECT_EQ(ReportFilterScreen::ReportKinds().size(), 3u);
  EXPECT_EQ(ToUtf8(ReportFilterScreen::Groupings()[0]), "По видам расходов/доходов");
}

TEST_P(ReportFilterScreenTest, OpensOnTheParametersAndTheSelectionFollowsTheCategory) {
  params_.report_type = kReportSpending;
  params_.group_type = kGroupByAccounts;
  params_.category_filter = FromUtf8("Проезд");
  params_.kind_filter_id = 3;
  ReportFilterScreen& screen = Open(db_.get());
  EXPECT_EQ(screen.report_kind, kReportSpending);
  EXPECT_EQ(screen.grouping, kGroupByAccounts);
  EXPECT_TRUE(screen.filter_on);
  EXPECT_EQ(Selected(), "Проезд");
  EXPECT_EQ(ToUtf8(screen.kind_text()), "Маршрутное такси");
  // Another direction keeps the category; another category drops the kind.
  screen.OnReportKindChanged(kReportIncome);
  EXPECT_EQ(Selected(), "Проезд");
  EXPECT_EQ(screen.kind_id(), 3);
  screen.OnCategoryChanged(0);
  EXPECT_EQ(screen.kind_id(), 0);
  EXPECT_EQ(ToUtf8(screen.kind_text()), "");
  // A kind filter alone also turns the switch on.
  params_.category_filter = DbString();
  params_.kind_filter_id = 5;
  EXPECT_TRUE(Open(db_.get()).filter_on);
  EXPECT_EQ(Selected(), "-");
  // With nothing selected a new direction selects the first category.
  screen_->OnReportKindChanged(kReportBalance);
  EXPECT_EQ(Selected(), "Машина");
}

TEST_P(ReportFilterScreenTest, TheKindIsChosenInTheKindsListOfTheDirectionAndCategory) {
  struct Case {
    int report_kind;
    const char* find;
    const char* kind_text;  // after the kinds list closed
    int32_t kind_id;
  } cases[] = {
      {kReportSpending, "Такси", "Такси", 2},
      {kReportBalance, "Такси", "", 0},  // direction 0: the list offers no kind
  };
  for (const Case& c : cases) {
    ReportFilterScreen& screen = Open(db_.get());
    screen.filter_on = true;
    screen.report_kind = c.report_kind;
    screen.selected_category = 1;  // Проезд
    services_.OnNextScreenOf<KindsListScreen>("KindsListDialog", [&](KindsListScreen& kinds) {
      EXPECT_TRUE(kinds.ChooseMode());
      EXPECT_EQ(kinds.direction(), c.report_kind);
      kinds.Start(kinds_list_);
      kinds.OnFind(FromUtf8(c.find));
      return kinds.OnChoose() ? kScreenOk : kScreenCancel;
    });
    screen.OnChooseKind();
    EXPECT_EQ(ToUtf8(screen.kind_text()), c.kind_text) << c.report_kind;
    EXPECT_EQ(screen.kind_id(), c.kind_id);
  }
  // With the switch off "..." opens nothing.
  Open(db_.get()).OnChooseKind();
  EXPECT_TRUE(services_.screens_run().size() == 2u);
}

TEST_P(ReportFilterScreenTest, AcceptWritesTheChoicesAndTheSelectionOnlyWhileSwitchedOn) {
  struct Case {
    bool filter_on;
    int category;
    const char* category_filter;
    int32_t kind_filter;
  } cases[] = {{true, 2, "Развлечения", 4}, {true, -1, "", 4}, {false, 2, "", 0}};
  for (const Case& c : cases) {
    params_ = ReportParams();
    params_.kind_filter_id = 4;
    ReportFilterScreen& screen = Open(db_.get());
    screen.filter_on = c.filter_on;
    screen.selected_category = c.category;
    screen.grouping = kGroupByCategories;
    screen.report_kind = kReportIncome;
    ASSERT_TRUE(screen.OnAccept());
    EXPECT_EQ(ToUtf8(params_.category_filter), c.category_filter);
    EXPECT_EQ(params_.kind_filter_id, c.kind_filter);
    EXPECT_EQ(params_.group_type, kGroupByCategories);
    EXPECT_EQ(params_.report_type, kReportIncome);
  }
}

TEST_P(ReportFilterScreenTest, WithoutADatabaseTheListsStayEmptyAndAcceptChangesNothing) {
  params_.group_type = kGroupByAccounts;
  ReportFilterScreen& screen = Open(nullptr);
  EXPECT_TRUE(screen.categories().empty());
  screen.grouping = kGroupByKinds;
  screen.filter_on = true;
  EXPECT_TRUE(screen.OnAccept());
  EXPECT_EQ(params_.group_type, kGroupByAccounts);
  EXPECT_TRUE(services_.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, ReportFilterScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
