#pragma once
// AboutDialog: the about box ("О программе ...") over AboutScreen.

#include "ui/about_screen.h"
#include "ui/controls/device_dialog.h"

namespace ledgerix {

class AboutDialog : public DeviceDialog {
  Q_OBJECT

 public:
  AboutDialog(AboutScreen& rules, ScreenServices& services, QWidget* parent = nullptr);
};

}  // namespace ledgerix
