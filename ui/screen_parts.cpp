#include "ui/screen_parts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/controls/device_dialog.h"
#include "ui/controls/image_button.h"

namespace ledgerix {

ImageButton* NewCloseButton(QWidget* parent) {
  auto* button = new ImageButton(parent);
  button->SetBitmaps(141);
  button->SetTransparent(true);
  button->SetBitmapAlign(ImageButton::kAlignRight);
  button->setFixedSize(26, 22);
  return button;
}

ImageButton* NewPictureButton(int bitmap, QWidget* parent) {
  auto* button = new ImageButton(parent);
  button->SetBitmaps(bitmap);
  button->setFixedSize(28, 26);
  return button;
}

ImageButton* NewTextButton(const QString& text, QWidget* parent) {
  auto* button = new ImageButton(parent);
  button->setText(text);
  button->setMinimumHeight(24);
  return button;
}

QHBoxLayout* NewAcceptCancelLine(QDialog* dialog, QPushButton** accept) {
  *accept = new QPushButton(QStringLiteral("Принять"));
  auto* cancel = new QPushButton(QStringLiteral("Отменить"));
  auto* line = new QHBoxLayout;
  line->addWidget(*accept);
  line->addWidget(cancel);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return line;
}

QHBoxLayout* NewTitleLine(const QString& caption, ImageButton* close) {
  auto* line = new QHBoxLayout;
  auto* title = new QLabel(caption);
  title->setFont(DeviceFont(13, 700));
  line->addWidget(title, 1);
  line->addWidget(close);
  return line;
}

}  // namespace ledgerix
