#pragma once
// StatisticsDialog: the statistics screen over StatisticsScreen: the menu "Статистика", the
// period, report and category lines, the report in an EditList with its tinted rows, the
// totals, the account line and the buttons to the filter, the accounts editor and out.

#include <memory>

#include "ui/controls/device_dialog.h"
#include "ui/statistics_screen.h"

class QAction;
class QLabel;

namespace ledgerix {

class EditList;
class ImageButton;

class StatisticsDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules on the dialog's list (which builds the first report).
  StatisticsDialog(StatisticsScreen& rules, ScreenServices& services, QWidget* parent = nullptr);
  ~StatisticsDialog() override;

  EditList* list() const { return list_; }
  QAction* export_action() const { return export_; }
  QAction* exit_action() const { return exit_; }
  // Closing remembers the column widths first.
  void done(int result) override;

 private:
  class ListView;

  void ShowCaptions();
  void OnPeriod();
  void OnFilter();
  void OnAccounts();
  void OnExport();

  StatisticsScreen& rules_;
  EditList* list_;
  std::unique_ptr<ListView> view_;
  QLabel* period_;
  QLabel* report_;
  QLabel* category_;
  QLabel* incoming_;
  QLabel* total_;
  QLabel* income_;
  QLabel* spending_;
  QLabel* account_;
  QAction* export_;
  QAction* exit_;
};

}  // namespace ledgerix
