#include "ui/controls/device_dialog.h"

#include <QFont>
#include <QPalette>

#include "ui/controls/colour_ref.h"
#include "ui/controls/device_screen.h"

namespace ledgerix {

DeviceDialog::DeviceDialog(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setFixedSize(kDeviceWidth, kDeviceHeight);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, FromColourRef(kScreenBackground));
  setPalette(palette);
  setAutoFillBackground(true);
}

void DeviceDialog::showEvent(QShowEvent* event) {
  // A dialog with a parent would be centred over it; on the device each screen replaced the one
  // before, so it takes that screen's place.
  if (parentWidget() != nullptr) move(parentWidget()->window()->pos());
  QDialog::showEvent(event);
}

QFont DeviceFont(int pixel_height, int weight) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixel_height);
  font.setWeight(static_cast<QFont::Weight>(weight));
  return font;
}

}  // namespace ledgerix
