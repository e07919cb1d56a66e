#pragma once
// KindEditorDialog: the kind editor over KindEditorScreen: name, category chosen or created,
// default price.

#include "ui/controls/device_dialog.h"
#include "ui/kind_editor_screen.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace ledgerix {

class NumberEdit;

class KindEditorDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  KindEditorDialog(KindEditorScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

 private:
  void ReadControls();
  void OnModeChanged();
  void OnAccept();

  KindEditorScreen& rules_;
  QLineEdit* name_;
  QRadioButton* choose_;
  QRadioButton* create_;
  QComboBox* categories_;
  QLineEdit* new_category_;
  NumberEdit* price_;
};

}  // namespace ledgerix
