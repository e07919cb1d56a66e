// The main screen's wiring: the real widgets on the offscreen platform reach its rules.
#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "finance/testing/finance_test_support.h"
#include "ui/about_dialog.h"
#include "ui/controls/image_button.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"
#include "ui/updates_dialog.h"

namespace ledgerix::testing {
namespace {

// The action of `menu` (searched through its sub-menus) whose text is `text_utf8`.
QAction* FindAction(QMenu& menu, const char* text_utf8) {
  for (QAction* action : menu.actions()) {
    if (action->text() == QString::fromUtf8(text_utf8)) return action;
    if (QMenu* sub = action->menu()) {
      if (QAction* found = FindAction(*sub, text_utf8)) return found;
    }
  }
  return nullptr;
}

QAction* FindBarAction(QMenuBar& bar, const char* text_utf8) {
  for (QAction* top : bar.actions()) {
    if (QAction* found = FindAction(*top->menu(), text_utf8)) return found;
  }
  return nullptr;
}

class MainDialogTest : public ::testing::Test {
 protected:
  MainDialogTest()
      : state_(root_.env()),
        rules_(nullptr, state_, root_.env(), clock_, services_),
        dialog_(rules_, services_) {
    dialog_.show();
  }

  TempDeviceRoot root_;
  FakeClock clock_;
  AppState state_;
  ScriptedScreenServices services_;
  MainScreen rules_;
  MainDialog dialog_;
};

// A drop-down item and the same item of the menu bar run the same screen; the two plain
// picture buttons run theirs.
TEST_F(MainDialogTest, MenuBarDropDownsAndButtonsReachTheSameScreens) {
  struct Case {
    ImageButton* button;
    const char* item;
    const char* screen;
  };
  const Case cases[] = {
      {dialog_.kinds_button(), "Виды доходов", "KindsListDialog"},
      {dialog_.kinds_button(), "Виды расходов", "KindsListDialog"},
      {dialog_.management_button(), "Статистика", "StatisticsDialog"},
      {dialog_.management_button(), "Перевод между счетами", "TransferDialog"},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.button->Menu(), nullptr);
    QAction* in_drop_down = FindAction(*c.button->Menu(), c.item);
    QAction* in_bar = FindBarAction(*dialog_.menu_bar(), c.item);
    ASSERT_NE(in_drop_down, nullptr) << c.item;
    ASSERT_NE(in_bar, nullptr) << c.item;
    services_.OnNextScreen(c.screen, [](ScreenRules&) { return kScreenCancel; });
    services_.OnNextScreen(c.screen, [](ScreenRules&) { return kScreenCancel; });
    in_drop_down->trigger();
    in_bar->trigger();
  }
  EXPECT_EQ(dialog_.management_button()->Menu()->actions().size(), 3);
  services_.OnNextScreen("EntryListDialog", [](ScreenRules&) { return kScreenCancel; });
  services_.OnNextScreen("EntryListDialog", [](ScreenRules&) { return kScreenCancel; });
  dialog_.expenses_button()->click();
  dialog_.income_button()->click();
  EXPECT_EQ(services_.screens_run().size(), 10u);
  EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(MainDialogTest, TheCloseButtonAndExitEndTheScreen) {
  FindBarAction(*dialog_.menu_bar(), "Выход")->trigger();
  EXPECT_EQ(dialog_.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog_.isVisible());
  dialog_.show();
  dialog_.close_button()->click();
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_TRUE(services_.screens_run().empty());
}

TEST(UpdatesDialogTest, ShowsThisTimesPageAndAdvancesIt) {
  TempDeviceRoot root;
  AppState state(root.env());
  state.current_info_page = 2;
  ScriptedScreenServices services;
  UpdatesScreen rules(state);
  UpdatesDialog dialog(rules, services);
  bool shown = false;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    shown |= label->text() == QString::fromStdString(UpdatesScreen::PageText(2));
  }
  EXPECT_TRUE(shown);
  EXPECT_EQ(state.current_info_page, 0);
  dialog.show();
  FindButton<QPushButton>(dialog, "OK")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(AboutDialogTest, ShowsTheVersionLineAndClosesWithItsButton) {
  ScriptedScreenServices services;
  AboutScreen rules;
  AboutDialog dialog(rules, services);
  dialog.show();
  bool version = false;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    version |= label->text() == QStringLiteral("Версия: 2.3, Дата: 09.01.08");
  }
  EXPECT_TRUE(version);
  FindButton<ImageButton>(dialog, "Закрыть")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace ledgerix::testing
