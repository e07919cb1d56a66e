#pragma once
// KindsListDialog: the kinds of one direction, to maintain them or to choose one, over
// KindsListScreen.

#include "ui/controls/device_dialog.h"
#include "ui/kinds_list_screen.h"

class QComboBox;
class QLineEdit;

namespace ledgerix {

class EditList;
class ImageButton;

class KindsListDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules on the dialog's list.
  KindsListDialog(KindsListScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

  EditList* list() const { return list_; }

 private:
  void BuildColumns();
  void ShowCategories();
  // Selects the rules' selection mark in the list and gives the list the focus.
  void ShowMark();
  void TakeMark();
  void OnCategoryChanged(int index);
  void OnFind();
  void OnAdd();
  void OnEdit();
  void OnDelete();
  void OnChoose();

  KindsListScreen& rules_;
  QComboBox* categories_;
  QLineEdit* search_;
  EditList* list_;
};

}  // namespace ledgerix
