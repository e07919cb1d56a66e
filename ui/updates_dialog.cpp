#include "ui/updates_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/controls/image_button.h"
#include "ui/screen_parts.h"

namespace ledgerix {

UpdatesDialog::UpdatesDialog(UpdatesScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent) {
  setWindowTitle(QStringLiteral("Обновления"));
  rules.Start();
  ImageButton* close = NewCloseButton(this);
  auto* text = new QLabel(QString::fromStdString(UpdatesScreen::PageText(rules.page())));
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* page =
      new QLabel(QStringLiteral("Страница %1 из %2").arg(rules.page() + 1).arg(kUpdatesPageCount));
  auto* ok = new QPushButton(QStringLiteral("OK"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(
      NewTitleLine(QString::fromStdString(UpdatesScreen::PageTitle(rules.page())), close));
  layout->addWidget(text, 1);
  layout->addWidget(page);
  layout->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(close, &ImageButton::clicked, this, &QDialog::accept);
}

}  // namespace ledgerix
