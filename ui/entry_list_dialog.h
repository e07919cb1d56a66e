#pragma once
// EntryListDialog: the list of one day's income or expenses over EntryListScreen. Every way of
// leaving it stores the day; Escape does not close it and Enter ends an open cell editor.

#include "ui/controls/device_dialog.h"
#include "ui/entry_list_screen.h"

class QCheckBox;
class QDateEdit;
class QLabel;

namespace ledgerix {

class EditList;
class ImageButton;

class EntryListDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules on the dialog's list.
  EntryListDialog(EntryListScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

  EditList* list() const { return list_; }
  // Closing stores the day first; a day that cannot be stored keeps the screen open.
  void done(int result) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildColumns();
  void ShowDay();
  void ShowTotals();
  void ShowMark();
  void OnDayChanged();
  void OnAddRow();
  void OnDeleteRow();
  void OnToggleMark(int row);
  void OnMarkedOnly();
  void OnCellEdited(int row, int column);
  void OnAccounts();

  EntryListScreen& rules_;
  QDateEdit* date_;
  QCheckBox* marked_only_;
  EditList* list_;
  QLabel* total_;
  QLabel* account_;
};

}  // namespace ledgerix
