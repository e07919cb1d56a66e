#pragma once
// UpdatesDialog: the updates notice over UpdatesScreen: one page of three, and OK.

#include "ui/controls/device_dialog.h"
#include "ui/updates_screen.h"

namespace ledgerix {

class UpdatesDialog : public DeviceDialog {
  Q_OBJECT

 public:
  // Starts the rules (which advances the page for next time) and shows this time's page.
  UpdatesDialog(UpdatesScreen& rules, ScreenServices& services, QWidget* parent = nullptr);
};

}  // namespace ledgerix
