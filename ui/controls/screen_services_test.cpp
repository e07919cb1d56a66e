// The scripted services that every screen test relies on, and the Qt message box answered
// without blocking.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ui/controls/qt_screen_services.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix {
namespace {

struct ChooserRules : ScreenRules {
  std::string_view ScreenName() const override { return "ChooserDialog"; }
  int chosen = 0;
};

int AskTwice(ScreenServices& services) {
  WaitCursor wait(services);
  const MessageAnswer first = services.ShowMessage(
      FromUtf8("Удалить?"), "TOLVENA Info", MessageButtons::kOkCancel, MessageIcon::kQuestion);
  if (first != MessageAnswer::kOk) return -1;
  ChooserRules rules;
  if (services.RunScreen(rules) != kScreenOk) return -2;
  return rules.chosen;
}

TEST(ScriptedScreenServicesTest, AnswersFromTheScriptAndRecordsWhatWasShown) {
  ScriptedScreenServices services;
  services.AnswerNextMessage(MessageAnswer::kOk);
  services.OnNextScreenOf<ChooserRules>("ChooserDialog", [](ChooserRules& rules) {
    rules.chosen = 42;
    return kScreenOk;
  });
  EXPECT_EQ(AskTwice(services), 42);
  ASSERT_EQ(services.messages().size(), 1u);
  EXPECT_EQ(services.messages()[0].text, "Удалить?");
  EXPECT_EQ(services.messages()[0].caption, "TOLVENA Info");
  EXPECT_EQ(services.screens_run(), std::vector<std::string>{"ChooserDialog"});
  EXPECT_EQ(services.wait_cursor_uses(), 1);
  EXPECT_EQ(services.wait_cursor_depth(), 0);
}

TEST(ScriptedScreenServicesTest, WhatTheScriptDidNotExpectFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedScreenServices services;
        EXPECT_EQ(AskTwice(services), -1);  // the box is closed: Cancel
      },
      "unexpected message box \"Удалить?\"");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedScreenServices services;
        services.AnswerNextMessage(MessageAnswer::kOk);
        services.OnNextScreen("KindsListDialog", [](ScreenRules&) { return kScreenOk; });
        EXPECT_EQ(AskTwice(services), -2);
      },
      "unexpected screen ChooserDialog, expected KindsListDialog");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedScreenServices services;
        services.AnswerNextMessage(MessageAnswer::kYes);
      },
      "never used");
}

// Presses the button with `text` of the message box that the event loop shows next.
void PressWhenShown(const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == text) button->click();
    }
  });
}

TEST(QtScreenServicesTest, MessageBoxesAnswerTheButtonPressedInRussian) {
  QtScreenServices services;
  PressWhenShown(QStringLiteral("Нет"));
  EXPECT_EQ(services.ShowMessage("x", "TOLVENA Info", MessageButtons::kYesNoCancel,
                                 MessageIcon::kWarning),
            MessageAnswer::kNo);
  PressWhenShown(QStringLiteral("Отмена"));
  EXPECT_EQ(
      services.ShowMessage("x", "TOLVENA Info", MessageButtons::kOkCancel, MessageIcon::kNone),
      MessageAnswer::kCancel);
}

TEST(QtScreenServicesTest, RunsTheDialogRegisteredForTheRulesAndCancelsAnUnknownOne) {
  QtScreenServices services;
  services.RegisterScreen("ChooserDialog", [](ScreenRules& rules, QWidget*) {
    static_cast<ChooserRules&>(rules).chosen = 7;
    return kScreenOk;
  });
  ChooserRules rules;
  EXPECT_EQ(services.RunScreen(rules), kScreenOk);
  EXPECT_EQ(rules.chosen, 7);
  struct Unknown : ScreenRules {
    std::string_view ScreenName() const override { return "NoSuchDialog"; }
  } unknown;
  EXPECT_EQ(services.RunScreen(unknown), kScreenCancel);
}

// A request to end the program closes a screen and the message box open over it; nothing is
// shown after that.
TEST(QtScreenServicesTest, ClosingAllScreensUnwindsNestedLoopsAndShowsNothingMore) {
  QtScreenServices services;
  MessageAnswer inner = MessageAnswer::kYes;
  services.RegisterScreen("ChooserDialog", [&services, &inner](ScreenRules&, QWidget* parent) {
    QDialog dialog(parent);
    QTimer::singleShot(0, [&services, &inner] {
      // The request arrives while the box waits over the screen.
      QTimer::singleShot(0, [&services] { services.CloseAllScreens(); });
      inner =
          services.ShowMessage("x", "TOLVENA Info", MessageButtons::kYesNo, MessageIcon::kQuestion);
    });
    return dialog.exec();
  });
  ChooserRules rules;
  EXPECT_EQ(services.RunScreen(rules), QDialog::Rejected);
  EXPECT_TRUE(services.closing());
  EXPECT_EQ(inner, MessageAnswer::kNo);
  EXPECT_EQ(services.RunScreen(rules), kScreenCancel);
  EXPECT_EQ(services.ShowMessage("x", "y", MessageButtons::kOkCancel, MessageIcon::kNone),
            MessageAnswer::kCancel);
}

}  // namespace
}  // namespace ledgerix
