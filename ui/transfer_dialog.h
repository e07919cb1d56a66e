#pragma once
// TransferDialog: the transfer screen ("Перевод между счетами") over TransferScreen.

#include "ui/controls/device_dialog.h"
#include "ui/transfer_screen.h"

class QComboBox;
class QDateEdit;

namespace ledgerix {

class NumberEdit;

class TransferDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  TransferDialog(TransferScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

 private:
  void ReadControls();
  void OnAccept();

  TransferScreen& rules_;
  QDateEdit* date_;
  QComboBox* payer_;
  QComboBox* receiver_;
  NumberEdit* amount_;
  NumberEdit* commission_;
};

}  // namespace ledgerix
