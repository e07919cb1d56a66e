#include "ui/account_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/controls/image_button.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {

AccountSettingsDialog::AccountSettingsDialog(AccountSettingsScreen& rules, ScreenServices&,
                                             QWidget* parent)
    : DeviceDialog(parent),
      rules_(rules),
      choose_(new QRadioButton(QStringLiteral("Выбрать"))),
      create_(new QRadioButton(QStringLiteral("Создать"))),
      accounts_(new QComboBox),
      rename_(new QPushButton(QStringLiteral("..."))),
      new_name_(new QLineEdit),
      in_reports_(new QCheckBox(QStringLiteral("Показывать в отчетах"))),
      in_entries_(new QCheckBox(QStringLiteral("Показывать в приходе/расходе"))) {
  setWindowTitle(QStringLiteral("Настройки"));
  rules_.Start();
  rename_->setFixedWidth(28);
  auto* frame = new QGroupBox(QStringLiteral("Основной счет:"));
  auto* grid = new QGridLayout(frame);
  grid->addWidget(choose_, 0, 0, 1, 2);
  grid->addWidget(accounts_, 1, 0);
  grid->addWidget(rename_, 1, 1);
  grid->addWidget(create_, 2, 0, 1, 2);
  grid->addWidget(new_name_, 3, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  auto* accept = new QPushButton(QStringLiteral("Принять"));
  auto* cancel = new QPushButton(QStringLiteral("Отменить"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(accept);
  buttons->addWidget(cancel);
  ImageButton* close = NewCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(NewTitleLine(QStringLiteral("Настройки"), close));
  layout->addWidget(frame);
  layout->addWidget(in_reports_);
  layout->addWidget(in_entries_);
  layout->addStretch();
  layout->addLayout(buttons);

  ShowItems();
  connect(choose_, &QRadioButton::toggled, this, &AccountSettingsDialog::OnModeChanged);
  connect(rename_, &QPushButton::clicked, this, &AccountSettingsDialog::OnRename);
  connect(accept, &QPushButton::clicked, this, &AccountSettingsDialog::OnAccept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void AccountSettingsDialog::ShowItems() {
  accounts_->clear();
  for (const AccountSettingsScreen::Item& item : rules_.items()) {
    accounts_->addItem(ToQString(item.text), item.id);
  }
  accounts_->setCurrentIndex(rules_.selected);
  choose_->setChecked(!rules_.create_mode);
  create_->setChecked(rules_.create_mode);
  new_name_->setText(ToQString(rules_.new_name));
  in_reports_->setChecked(rules_.show_in_reports);
  in_entries_->setChecked(rules_.show_in_entries);
  OnModeChanged();
}

void AccountSettingsDialog::ReadControls() {
  rules_.create_mode = create_->isChecked();
  rules_.selected = accounts_->currentIndex();
  rules_.new_name = ToDbString(new_name_->text());
  rules_.show_in_reports = in_reports_->isChecked();
  rules_.show_in_entries = in_entries_->isChecked();
}

void AccountSettingsDialog::OnModeChanged() {
  const bool choosing = choose_->isChecked();
  accounts_->setEnabled(choosing);
  rename_->setEnabled(choosing);
  new_name_->setEnabled(!choosing);
}

void AccountSettingsDialog::OnRename() {
  ReadControls();
  rules_.OnRename();
  ShowItems();
}

void AccountSettingsDialog::OnAccept() {
  ReadControls();
  if (rules_.OnAccept()) accept();
}

}  // namespace ledgerix
