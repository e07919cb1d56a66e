// The kind editor's wiring: the real widgets reach its rules and its checks keep it open.
#include "ui/kind_editor_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "finance/money.h"
#include "finance/testing/finance_test_support.h"
#include "ui/controls/number_edit.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

using KindEditorDialogTest = FinanceDbTest;

TEST_P(KindEditorDialogTest, TypedInputReachesTheKindAndAMissingCategoryKeepsItOpen) {
  ASSERT_EQ(OpenDatabase(), 1);
  ScriptedScreenServices services;
  KindChoice choice{MakeKind(3, "Маршрутное такси", "Проезд", 1234.5, 2), false};
  KindEditorScreen rules(db_.get(), services, choice);
  KindEditorDialog dialog(rules, services);
  dialog.show();
  auto* price = FindChild<NumberEdit>(dialog);
  EXPECT_EQ(price->text(), QStringLiteral("1234.50"));
  EXPECT_EQ(FindChild<QComboBox>(dialog)->currentText(), QStringLiteral("Проезд"));

  FindButton<QRadioButton>(dialog, "Создать")->click();
  services.AnswerNextMessage(MessageAnswer::kOk);
  FindButton<QPushButton>(dialog, "Принять")->click();
  EXPECT_EQ(services.MessageTexts(), std::vector<std::string>{"Не введено значение категории!!!"});
  EXPECT_TRUE(dialog.isVisible());

  FindChild<QLineEdit>(dialog, 1)->setText(QStringLiteral("Город"));  // the new category
  price->setFocus();
  price->setCursorPosition(0);
  QTest::keyClick(price, Qt::Key_7);
  FindButton<QPushButton>(dialog, "Принять")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(choice.accepted);
  EXPECT_EQ(ToUtf8(choice.kind.category), "Город");
  EXPECT_EQ(HundredthsOf(choice.kind.price), 7123450);
}

INSTANTIATE_TEST_SUITE_P(Drivers, KindEditorDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
