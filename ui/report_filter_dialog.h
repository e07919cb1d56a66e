#pragma once
// ReportFilterDialog: "Настройки фильтров" over ReportFilterScreen: the report's direction, its
// grouping, the selection of a category and a kind, and the way to the accounts editor.

#include "ui/controls/device_dialog.h"
#include "ui/report_filter_screen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ledgerix {

class ReportFilterDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  ReportFilterDialog(ReportFilterScreen& rules, ScreenServices& services,
                     QWidget* parent = nullptr);

 private:
  void ShowCategories();
  void ShowKind();
  // The category box, the kind field, its "..." and their labels are enabled while the
  // selection switch is on.
  void ShowSwitch();
  void OnReportKindChanged(int index);
  void OnCategoryChanged(int index);
  void OnSwitch();
  void OnChooseKind();
  void OnAccounts();
  void OnAccept();

  ReportFilterScreen& rules_;
  QComboBox* report_kind_;
  QRadioButton* groupings_[3];
  QCheckBox* filter_on_;
  QLabel* category_label_;
  QComboBox* category_;
  QLabel* kind_label_;
  QLineEdit* kind_;
  QPushButton* choose_kind_;
  QLabel* account_;
};

}  // namespace ledgerix
