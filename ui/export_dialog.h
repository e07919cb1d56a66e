#pragma once
// ExportDialog: "Введите имя файла" over ExportScreen: the file name, folder, file type and
// header switch of an export of the statistics list; "OK" writes the file.

#include "ui/controls/device_dialog.h"
#include "ui/export_screen.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace ledgerix {

class ExportDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  ExportDialog(ExportScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

 private:
  void OnAccept();

  ExportScreen& rules_;
  QLineEdit* file_name_;
  QComboBox* folder_;
  QComboBox* file_type_;
  QCheckBox* with_header_;
};

}  // namespace ledgerix
