#pragma once
// PeriodDialog: "Выбор периода" over PeriodScreen: two date pickers and the row granularity.

#include "ui/controls/device_dialog.h"
#include "ui/period_screen.h"

class QDateEdit;
class QRadioButton;

namespace ledgerix {

class PeriodDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  PeriodDialog(PeriodScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

 private:
  void OnAccept();

  PeriodScreen& rules_;
  QDateEdit* from_;
  QDateEdit* till_;
  QRadioButton* types_[3];
};

}  // namespace ledgerix
