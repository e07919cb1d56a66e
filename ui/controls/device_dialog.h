#pragma once
// DeviceDialog: the window of one screen. Every screen is a modal dialog of the device's size,
// painted in the screen background, that covers the screen it was opened from exactly.

#include <QDialog>

namespace ledgerix {

class DeviceDialog : public QDialog {
  Q_OBJECT

 public:
  // `parent` is the screen this one covers (null for the first screen).
  explicit DeviceDialog(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
};

// The font the screens use where the handheld named its own: DejaVu Sans at a pixel height and
// a weight on the 100 to 900 scale (400 normal, 700 bold).
QFont DeviceFont(int pixel_height, int weight = 400);

}  // namespace ledgerix
