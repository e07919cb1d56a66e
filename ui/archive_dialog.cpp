#include "ui/archive_dialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/screen_parts.h"

namespace ledgerix {

ArchiveDialog::ArchiveDialog(ArchiveScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent), rules_(rules), list_(new EditList) {
  setWindowTitle(QStringLiteral("Настройки"));
  rules_.Start();
  list_->InsertColumn(0, FromUtf8("Описание"), 200);
  auto* save = new QPushButton(QStringLiteral("Сохранить данные в архив"));
  auto* restore = new QPushButton(QStringLiteral("Восстановить архив"));
  auto* remove = new QPushButton(QStringLiteral("Удалить"));
  auto* send = new QPushButton(QStringLiteral("Передать данные на ПК"));
  auto* frame = new QGroupBox(QStringLiteral("Архивирование данных:"));
  auto* inside = new QVBoxLayout(frame);
  inside->addWidget(save);
  inside->addWidget(list_, 1);
  inside->addWidget(restore);
  inside->addWidget(remove);
  ImageButton* close = NewCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(NewTitleLine(QStringLiteral("Настройки"), close));
  layout->addWidget(frame, 1);
  layout->addWidget(send);

  ShowItems();
  connect(save, &QPushButton::clicked, this, [this] { Run(&ArchiveScreen::OnSave); });
  connect(restore, &QPushButton::clicked, this, [this] { Run(&ArchiveScreen::OnRestore); });
  connect(remove, &QPushButton::clicked, this, [this] { Run(&ArchiveScreen::OnDelete); });
  connect(send, &QPushButton::clicked, this, [this] { Run(&ArchiveScreen::OnSendToPc); });
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void ArchiveDialog::showEvent(QShowEvent* event) {
  DeviceDialog::showEvent(event);
  // As wide as the list's client area, less one pixel.
  list_->setColumnWidth(0, list_->viewport()->width() - 1);
}

void ArchiveDialog::ShowItems() {
  list_->DeleteAllItems();
  for (const ArchiveItem& item : rules_.items()) {
    static_cast<void>(list_->InsertItem(item.text, -1, item.value));
  }
  list_->SetSelectionMark(rules_.selected);
}

void ArchiveDialog::Run(void (ArchiveScreen::*command)()) {
  rules_.selected = list_->SelectionMark();
  (rules_.*command)();
  ShowItems();
}

}  // namespace ledgerix
