#pragma once
// EditValueDialog: "Изменить значение", one text field with OK and Cancel.

#include "ui/controls/device_dialog.h"
#include "ui/edit_value_screen.h"

class QLineEdit;

namespace ledgerix {

class EditValueDialog : public DeviceDialog {
  Q_OBJECT

 public:
  EditValueDialog(EditValueScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

 private:
  void OnAccept();

  EditValueScreen& rules_;
  QLineEdit* text_;
};

}  // namespace ledgerix
