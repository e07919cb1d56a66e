#include "ui/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/controls/image_button.h"
#include "ui/controls/picture_loader.h"
#include "ui/screen_parts.h"

namespace ledgerix {

AboutDialog::AboutDialog(AboutScreen&, ScreenServices&, QWidget* parent) : DeviceDialog(parent) {
  setWindowTitle(QStringLiteral("О программе ..."));
  auto* icon = new QLabel;
  icon->setPixmap(LoadPicture(PictureKind::kIcon, 128, QSize(32, 32), devicePixelRatioF()));
  auto* name = new QLabel(QString::fromUtf8(AboutScreen::kProductName));
  name->setFont(DeviceFont(13, 700));
  auto* version = new QLabel(QString::fromUtf8(AboutScreen::kVersionLine));
  auto* notice = new QLabel(QString::fromUtf8(AboutScreen::kNotice));
  notice->setWordWrap(true);
  notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* close = new ImageButton(this);
  close->setText(QStringLiteral("Закрыть"));
  (void)close->ApplyPreset(8);
  close->setMinimumHeight(26);
  connect(close, &ImageButton::clicked, this, &QDialog::accept);

  auto* head = new QHBoxLayout;
  head->addWidget(icon);
  auto* lines = new QVBoxLayout;
  lines->addWidget(name);
  lines->addWidget(version);
  head->addLayout(lines, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("О программе ...")));
  layout->addLayout(head);
  layout->addWidget(notice, 1);
  layout->addWidget(close);
}

}  // namespace ledgerix
