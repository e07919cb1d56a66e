// The accounts editor's wiring: the real widgets on the offscreen platform reach its rules.
#include "ui/account_settings_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "finance/testing/finance_test_support.h"
#include "ui/edit_value_dialog.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

class AccountSettingsDialogTest : public FinanceDbTest {
 protected:
  AccountSettingsDialogTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    state_.finance = globals_;
  }

  AppState state_;
  ScriptedScreenServices services_;
};

TEST_P(AccountSettingsDialogTest, CreatingAnAccountThroughTheWidgets) {
  AccountSettingsScreen rules(db_.get(), state_, services_);
  AccountSettingsDialog dialog(rules, services_);
  dialog.show();
  EXPECT_EQ(FindChild<QComboBox>(dialog)->count(), 3);
  FindButton<QRadioButton>(dialog, "Создать")->click();
  EXPECT_FALSE(FindChild<QComboBox>(dialog)->isEnabled());
  FindChild<QLineEdit>(dialog)->insert(QStringLiteral("Вклад"));  // QTest types ASCII only
  FindButton<QPushButton>(dialog, "Принять")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ToUtf8(state_.current_account_name), "Вклад");
  EXPECT_EQ(TableLines(*db_, kAccountsTable).back(), "4;Вклад;;0;");
}

TEST_P(AccountSettingsDialogTest, RenameGoesThroughTheValueEditorAndIsStoredOnAccept) {
  AccountSettingsScreen rules(db_.get(), state_, services_);
  AccountSettingsDialog dialog(rules, services_);
  dialog.show();
  auto* accounts = FindChild<QComboBox>(dialog);
  accounts->setCurrentIndex(1);
  services_.OnNextScreenOf<EditValueScreen>("EditValueDialog", [this](EditValueScreen& edit) {
    EditValueDialog editor(edit, services_);
    editor.show();
    auto* text = FindChild<QLineEdit>(editor);
    EXPECT_EQ(text->text(), QStringLiteral("Наличные"));
    text->setText(QStringLiteral("Кошелек"));
    FindButton<QPushButton>(editor, "OK")->click();
    return editor.result();
  });
  FindButton<QPushButton>(dialog, "...")->click();
  EXPECT_EQ(accounts->currentText(), QStringLiteral("Кошелек"));
  EXPECT_EQ(TableLines(*db_, kAccountsTable)[0], "1;Наличные;;0;");
  FindButton<QPushButton>(dialog, "Принять")->click();
  EXPECT_EQ(TableLines(*db_, kAccountsTable)[0], "1;Кошелек;;0;");
  EXPECT_EQ(state_.finance.current_account_id, 1);
}

INSTANTIATE_TEST_SUITE_P(Drivers, AccountSettingsDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
