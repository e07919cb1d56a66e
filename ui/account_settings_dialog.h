#pragma once
// AccountSettingsDialog: the accounts editor ("Настройки") over AccountSettingsScreen.

#include "ui/account_settings_screen.h"
#include "ui/controls/device_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ledgerix {

class AccountSettingsDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  AccountSettingsDialog(AccountSettingsScreen& rules, ScreenServices& services,
                        QWidget* parent = nullptr);

 private:
  void ShowItems();
  void ReadControls();
  void OnModeChanged();
  void OnRename();
  void OnAccept();

  AccountSettingsScreen& rules_;
  QRadioButton* choose_;
  QRadioButton* create_;
  QComboBox* accounts_;
  QPushButton* rename_;
  QLineEdit* new_name_;
  QCheckBox* in_reports_;
  QCheckBox* in_entries_;
};

}  // namespace ledgerix
