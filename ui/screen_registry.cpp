#include "ui/screen_registry.h"

#include "ui/about_dialog.h"
#include "ui/account_settings_dialog.h"
#include "ui/archive_dialog.h"
#include "ui/controls/qt_screen_services.h"
#include "ui/edit_value_dialog.h"
#include "ui/entry_list_dialog.h"
#include "ui/export_dialog.h"
#include "ui/kind_editor_dialog.h"
#include "ui/kinds_list_dialog.h"
#include "ui/main_dialog.h"
#include "ui/period_dialog.h"
#include "ui/report_filter_dialog.h"
#include "ui/statistics_dialog.h"
#include "ui/transfer_dialog.h"
#include "ui/updates_dialog.h"

namespace ledgerix {

void RegisterScreens(QtScreenServices& services) {
  services.RegisterDialog<EntryListScreen, EntryListDialog>("EntryListDialog");
  services.RegisterDialog<KindsListScreen, KindsListDialog>("KindsListDialog");
  services.RegisterDialog<KindEditorScreen, KindEditorDialog>("KindEditorDialog");
  services.RegisterDialog<AccountSettingsScreen, AccountSettingsDialog>("AccountSettingsDialog");
  services.RegisterDialog<EditValueScreen, EditValueDialog>("EditValueDialog");
  services.RegisterDialog<StatisticsScreen, StatisticsDialog>("StatisticsDialog");
  services.RegisterDialog<PeriodScreen, PeriodDialog>("PeriodDialog");
  services.RegisterDialog<ReportFilterScreen, ReportFilterDialog>("ReportFilterDialog");
  services.RegisterDialog<ExportScreen, ExportDialog>("ExportDialog");
  services.RegisterDialog<TransferScreen, TransferDialog>("TransferDialog");
  services.RegisterDialog<ArchiveScreen, ArchiveDialog>("ArchiveDialog");
  services.RegisterDialog<MainScreen, MainDialog>("MainDialog");
  services.RegisterDialog<UpdatesScreen, UpdatesDialog>("UpdatesDialog");
  services.RegisterDialog<AboutScreen, AboutDialog>("AboutDialog");
}

}  // namespace ledgerix
