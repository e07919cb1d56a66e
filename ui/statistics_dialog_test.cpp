// The statistics screen's wiring: the real widgets on the offscreen platform reach its rules,
// and the period, filter, accounts and export dialogs it opens are driven through their own
// widgets.
#include "ui/statistics_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "finance/date_key.h"
#include "finance/testing/finance_test_support.h"
#include "ui/account_settings_dialog.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/controls/qt_text.h"
#include "ui/export_dialog.h"
#include "ui/period_dialog.h"
#include "ui/report_filter_dialog.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

class StatisticsDialogTest : public FinanceDbTest {
 protected:
  StatisticsDialogTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_NE(state_.settings.Bind("tv_ledgrx"), 0);
    state_.finance = globals_;
    state_.current_account_name = FromUtf8("<<Любой>>");
    // 1 March 2024: the default period runs from 16 February.
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, BuildDateKey(20, 2, 2024), 50, 2, 2, 1)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(5, BuildDateKey(25, 2, 2024), 1000, 1, 1, 2)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(3, BuildDateKey(28, 2, 2024), 0.5, 1, 2, 2)), 1);
  }

  static QString Line(StatisticsDialog& dialog, const char* name) {
    auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label != nullptr ? label->text() : QString();
  }
  // The list's rows as their cells joined by "|".
  static std::vector<std::string> ListRows(EditList& list) {
    std::vector<std::string> rows;
    for (int row = 0; row < list.ItemCount(); ++row) {
      std::string text;
      for (int column = 0; column < list.ColumnCount(); ++column) {
        text += (column > 0 ? "|" : "") + ToUtf8(list.ItemText(row, column));
      }
      rows.push_back(text);
    }
    return rows;
  }

  AppState state_;
  ScriptedScreenServices services_;
};

TEST_P(StatisticsDialogTest, OpensWithTheMenuTheLinesAndTheTintedList) {
  StatisticsScreen rules(db_.get(), state_, clock_, root_.env(), services_);
  StatisticsDialog dialog(rules, services_);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ledgerix"));
  QMenu* menu = FindChild<QMenuBar>(dialog)->actions().at(0)->menu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title(), QStringLiteral("Статистика"));
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Экспорт в файл"));
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("Выход"));
  EXPECT_EQ(Line(dialog, "period_line"), QStringLiteral("Период с: 16.2.2024 по 1.3.2024"));
  EXPECT_EQ(Line(dialog, "report_line"), QStringLiteral("Вид: Баланс"));
  EXPECT_EQ(Line(dialog, "total_line"), QStringLiteral("Итого: 899.50"));
  EXPECT_EQ(Line(dialog, "spending_line"), QStringLiteral("Расход: -100.50"));
  EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("account_line"))->isVisible());
  EditList& list = *dialog.list();
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_TRUE(list.RowMatchesRule(0));
  EXPECT_FALSE(list.RowMatchesRule(1));
  EXPECT_TRUE(list.RowMatchesRule(2));  // -0.50
  // Closing remembers the widths the person left.
  list.setColumnWidth(1, 77);
  dialog.exit_action()->trigger();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_NE(ToUtf8(state_.report_column_widths).find(",77,"), std::string::npos);
}

TEST_P(StatisticsDialogTest, ThePeriodDialogsWidgetsChooseTheNextReport) {
  StatisticsScreen rules(db_.get(), state_, clock_, root_.env(), services_);
  StatisticsDialog dialog(rules, services_);
  dialog.show();
  services_.OnNextScreenOf<PeriodScreen>("PeriodDialog", [this](PeriodScreen& period) {
    PeriodDialog shown(period, services_);
    shown.show();
    EXPECT_EQ(FindChild<QDateEdit>(shown, 0)->date(), QDate(2024, 2, 16));
    FindChild<QDateEdit>(shown, 0)->setDate(QDate(2024, 2, 1));
    FindButton<QRadioButton>(shown, "Месяц")->click();
    FindButton<QPushButton>(shown, "Выбрать")->click();
    return shown.result();
  });
  FindButton<QPushButton>(dialog, "...")->click();
  EXPECT_EQ(Line(dialog, "period_line"), QStringLiteral("Период с: 1.2.2024 по 1.3.2024"));
  EXPECT_EQ(dialog.list()->ItemCount(), 3);
  EXPECT_EQ(ToUtf8(dialog.list()->ItemText(0, 0)).substr(0, 7), "фев.");
  SettingsStore file(root_.env());
  ASSERT_NE(file.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(file.ReadInt32("PERIOD_TYPE", -1), kPeriodMonth);
}

TEST_P(StatisticsDialogTest, TheFilterDialogSetsAndClearsTheCategory) {
  StatisticsScreen rules(db_.get(), state_, clock_, root_.env(), services_);
  StatisticsDialog dialog(rules, services_);
  dialog.show();
  for (const bool on : {true, false}) {
    services_.OnNextScreenOf<ReportFilterScreen>("ReportFilterDialog", [&](ReportFilterScreen& f) {
      ReportFilterDialog shown(f, services_);
      shown.show();
      auto* category = FindChild<QComboBox>(shown, 1);
      EXPECT_EQ(category->isEnabled(), !on);  // enabled exactly while the switch is on
      FindButton<QCheckBox>(shown, "Установить отбор")->setChecked(on);
      EXPECT_EQ(category->isEnabled(), on);
      category->setCurrentIndex(category->findText(QStringLiteral("Проезд")));
      FindButton<QPushButton>(shown, "Принять")->click();
      return shown.result();
    });
    FindChild<ImageButton>(dialog, 0)->click();  // the filter button
    EXPECT_EQ(Line(dialog, "category_line"), on ? QStringLiteral("Категория: Проезд") : QString());
    EXPECT_EQ(dialog.list()->ItemCount(), on ? 1 : 3);
  }
}

TEST_P(StatisticsDialogTest, AnAccountChosenFromACancelledFilterDialogRebuildsTheReport) {
  StatisticsScreen rules(db_.get(), state_, clock_, root_.env(), services_);
  StatisticsDialog dialog(rules, services_);
  dialog.show();
  services_.OnNextScreenOf<ReportFilterScreen>("ReportFilterDialog", [&](ReportFilterScreen& f) {
    ReportFilterDialog shown(f, services_);
    shown.show();
    services_.OnNextScreenOf<AccountSettingsScreen>(
        "AccountSettingsDialog", [&](AccountSettingsScreen& a) {
          AccountSettingsDialog accounts(a, services_);
          accounts.show();
          FindChild<QComboBox>(accounts)->setCurrentIndex(1);  // Наличные
          FindButton<QPushButton>(accounts, "Принять")->click();
          return accounts.result();
        });
    FindChild<ImageButton>(shown, 0)->click();  // the accounts button
    FindButton<QPushButton>(shown, "Отменить")->click();
    return shown.result();
  });
  FindChild<ImageButton>(dialog, 0)->click();
  EXPECT_EQ(state_.finance.current_account_id, 1);
  EXPECT_EQ(ListRows(*dialog.list()),
            std::vector<std::string>{"20.02.24|Бензин|Машина|2.00|-50.00|-100.00"});
}

TEST_P(StatisticsDialogTest, TheAccountSwitchHidesTheLineAndTheColumn) {
  state_.show_account_in_report = 1;
  StatisticsScreen rules(db_.get(), state_, clock_, root_.env(), services_);
  StatisticsDialog dialog(rules, services_);
  dialog.show();
  auto* account = dialog.findChild<QLabel*>(QStringLiteral("account_line"));
  EXPECT_TRUE(account->isVisible());
  EXPECT_EQ(account->text(), QStringLiteral("Счет: <<Любой>>"));
  EXPECT_EQ(dialog.list()->ColumnCount(), 7);
  services_.OnNextScreenOf<AccountSettingsScreen>(
      "AccountSettingsDialog", [&](AccountSettingsScreen& a) {
        AccountSettingsDialog accounts(a, services_);
        accounts.show();
        FindButton<QCheckBox>(accounts, "Показывать в отчетах")->setChecked(false);
        FindButton<QPushButton>(accounts, "Принять")->click();
        return accounts.result();
      });
  FindButton<ImageButton>(dialog, "...")->click();
  EXPECT_FALSE(account->isVisible());
  EXPECT_EQ(dialog.list()->ColumnCount(), 6);
  EXPECT_EQ(ToUtf8(dialog.list()->ItemText(0, 1)), "Бензин");
}

TEST_P(StatisticsDialogTest, ExportFromTheMenuWritesTheListAsShown) {
  StatisticsScreen rules(db_.get(), state_, clock_, root_.env(), services_);
  StatisticsDialog dialog(rules, services_);
  dialog.show();
  services_.OnNextScreenOf<ExportScreen>("ExportDialog", [&](ExportScreen& e) {
    ExportDialog shown(e, services_);
    shown.show();
    EXPECT_EQ(FindChild<QLineEdit>(shown)->text(), QStringLiteral("Export 01_03_24 12_00"));
    FindChild<QLineEdit>(shown)->setText(QStringLiteral("отчет"));
    FindChild<QComboBox>(shown, 1)->setCurrentIndex(kExportSemicolonText);
    FindButton<QCheckBox>(shown, "Выгружать имена колонок")->setChecked(true);
    FindButton<QPushButton>(shown, "OK")->click();
    return shown.result();
  });
  services_.AnswerNextMessage(MessageAnswer::kOk);
  dialog.export_action()->trigger();
  // The header and every row with the list's own cells.
  std::string expected;
  EditList& list = *dialog.list();
  for (int column = 0; column < list.ColumnCount(); ++column) {
    expected += (column > 0 ? ";" : "") +
                list.model()->headerData(column, Qt::Horizontal).toString().toUtf8().toStdString();
  }
  expected += "\r\n";
  expected +=
      "20.02.24;Бензин;Машина;2.00;-50.00;-100.00\r\n"
      "25.02.24;Премия;Основной доход;1.00;1000.00;1000.00\r\n"
      "28.02.24;Маршрутное такси;Проезд;1.00;-0.50;-0.50\r\n";
  EXPECT_EQ(FileText(u"\\My Documents\\отчет.txt"), expected);
  EXPECT_EQ(services_.MessageTexts(), std::vector<std::string>{"Экспорт данных завершен"});
}

INSTANTIATE_TEST_SUITE_P(Drivers, StatisticsDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
