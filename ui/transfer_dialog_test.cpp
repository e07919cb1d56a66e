// The transfer screen's wiring: the real widgets on the offscreen platform reach its rules.
#include "ui/transfer_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

#include "finance/testing/finance_test_support.h"
#include "ui/controls/image_button.h"
#include "ui/controls/number_edit.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

class TransferDialogTest : public FinanceDbTest {
 protected:
  TransferDialogTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    globals_.current_account_id = 2;
    state_.finance = globals_;
  }

  AppState state_;
  ScriptedScreenServices services_;
};

TEST_P(TransferDialogTest, TheWidgetsStartAsTheRulesSayAndATransferIsWritten) {
  TransferScreen rules(db_.get(), state_, clock_, services_);
  TransferDialog dialog(rules, services_);
  dialog.show();
  EXPECT_EQ(FindChild<QDateEdit>(dialog)->date(), QDate(2024, 3, 1));
  auto* payer = FindChild<QComboBox>(dialog, 0);
  auto* receiver = FindChild<QComboBox>(dialog, 1);
  ASSERT_EQ(payer->count(), 2);
  EXPECT_EQ(payer->currentText(), QStringLiteral("Кредитная карта"));
  EXPECT_EQ(receiver->currentIndex(), -1);
  auto* amount = FindChild<NumberEdit>(dialog, 0);
  auto* commission = FindChild<NumberEdit>(dialog, 1);
  EXPECT_EQ(amount->text(), QStringLiteral("0.00"));
  EXPECT_EQ(commission->text(), QStringLiteral("0.00"));

  // Without a receiver: refused, the dialog stays open with its input.
  amount->setText(QStringLiteral("250.00"));
  services_.AnswerNextMessage(MessageAnswer::kOk);
  FindButton<QPushButton>(dialog, "Принять")->click();
  EXPECT_EQ(services_.MessageTexts().back(), "Не введено значение счета получателя!!!");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(amount->text(), QStringLiteral("250.00"));

  receiver->setCurrentIndex(0);
  FindChild<QDateEdit>(dialog)->setDate(QDate(2024, 2, 20));
  services_.AnswerNextMessage(MessageAnswer::kOk);
  FindButton<QPushButton>(dialog, "Принять")->click();
  EXPECT_EQ(services_.MessageTexts().back(), "Перевод осуществлен");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const std::vector<std::string> entries = TableLines(*db_, kEntriesTable);
  ASSERT_EQ(entries.size(), 2u);
  for (const std::string& entry : entries) {
    EXPECT_NE(entry.find(";300224;64000;256;"), std::string::npos) << entry;
  }
}

TEST_P(TransferDialogTest, CancelAndCloseWriteNothing) {
  for (const char* button : {"Отменить", ""}) {
    TransferScreen rules(db_.get(), state_, clock_, services_);
    TransferDialog dialog(rules, services_);
    dialog.show();
    FindChild<QComboBox>(dialog, 1)->setCurrentIndex(0);
    FindChild<NumberEdit>(dialog, 0)->setText(QStringLiteral("1.00"));
    if (*button != '\0') {
      FindButton<QPushButton>(dialog, button)->click();
    } else {
      FindChild<ImageButton>(dialog)->click();
    }
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, TransferDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
