// Every screen another screen opens reaches its dialog through the program's services.
#include "ui/screen_registry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"
#include "ui/account_settings_screen.h"
#include "ui/archive_screen.h"
#include "ui/controls/qt_screen_services.h"
#include "ui/edit_value_screen.h"
#include "ui/entry_list_screen.h"
#include "ui/export_screen.h"
#include "ui/kind_editor_screen.h"
#include "ui/kinds_list_screen.h"
#include "ui/period_screen.h"
#include "ui/report_filter_screen.h"
#include "ui/statistics_screen.h"
#include "ui/transfer_screen.h"

namespace ledgerix::testing {
namespace {

TEST(ScreenRegistryTest, EveryNestedScreenOpensItsDialog) {
  TempDeviceRoot root;
  FakeClock clock;
  AppState state(root.env());
  QtScreenServices services;
  RegisterScreens(services);
  KindChoice choice;
  EditValueScreen value(DbString("x"));
  KindEditorScreen editor(nullptr, services, choice);
  KindsListScreen kinds(nullptr, clock, services, 2, &choice);
  AccountSettingsScreen accounts(nullptr, state, services);
  EntryListScreen entries(nullptr, state, clock, services, 1);
  TransferScreen transfer(nullptr, state, clock, services);
  ArchiveScreen archives(nullptr, state, root.env(), clock, services);
  for (ScreenRules* rules : std::initializer_list<ScreenRules*>{&value, &editor, &kinds, &accounts,
                                                                &entries, &transfer, &archives}) {
    std::string shown;
    QTimer::singleShot(0, [&shown] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      shown = dialog->metaObject()->className();
      static_cast<QDialog*>(dialog)->reject();
    });
    // An unregistered screen would answer kScreenCancel without showing anything.
    EXPECT_EQ(services.RunScreen(*rules), QDialog::Rejected) << rules->ScreenName();
    EXPECT_EQ(shown, "ledgerix::" + std::string(rules->ScreenName()));
  }
}

// The statistics screen and the three it opens; none needs a database to show.
TEST(ScreenRegistryTest, TheStatisticsScreensOpenTheirDialogs) {
  TempDeviceRoot root;
  FakeClock clock;
  AppState state(root.env());
  QtScreenServices services;
  RegisterScreens(services);
  ReportParams params;
  ReportTable table;
  StatisticsScreen statistics(nullptr, state, clock, root.env(), services);
  PeriodScreen period(params, clock);
  ReportFilterScreen filter(nullptr, state, clock, services, params);
  ExportScreen exporter(table, root.env(), clock, services);
  for (ScreenRules* rules :
       std::initializer_list<ScreenRules*>{&statistics, &period, &filter, &exporter}) {
    std::string shown;
    QTimer::singleShot(0, [&shown] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      shown = dialog->metaObject()->className();
      static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_EQ(services.RunScreen(*rules), QDialog::Rejected) << rules->ScreenName();
    EXPECT_EQ(shown, "ledgerix::" + std::string(rules->ScreenName()));
  }
}

}  // namespace
}  // namespace ledgerix::testing
