#pragma once
// ArchiveDialog: the archives screen ("Настройки", frame "Архивирование данных:") over
// ArchiveScreen.

#include "ui/archive_screen.h"
#include "ui/controls/device_dialog.h"

namespace ledgerix {

class EditList;

class ArchiveDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules and shows them.
  ArchiveDialog(ArchiveScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

 protected:
  // The one column fills the list once its size is known.
  void showEvent(QShowEvent* event) override;

 private:
  void ShowItems();
  // Runs a command of the rules on the item selected in the list, then shows the list anew.
  void Run(void (ArchiveScreen::*command)());

  ArchiveScreen& rules_;
  EditList* list_;
};

}  // namespace ledgerix
