#include "ui/transfer_dialog.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "ui/controls/image_button.h"
#include "ui/controls/number_edit.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {
namespace {

QComboBox* NewAccountBox(const std::vector<TransferAccount>& accounts, int selected) {
  auto* box = new QComboBox;
  for (const TransferAccount& account : accounts) box->addItem(ToQString(account.name), account.id);
  box->setCurrentIndex(selected);
  return box;
}

NumberEdit* NewAmountEdit(const DbString& text) {
  auto* edit = new NumberEdit;
  edit->SetDecimals(2);
  edit->setText(ToQString(text));
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

}  // namespace

TransferDialog::TransferDialog(TransferScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent), rules_(rules) {
  setWindowTitle(QStringLiteral("Перевод между счетами"));
  rules_.Start();
  date_ = new QDateEdit(QDate(rules_.year, rules_.month, rules_.day));
  date_->setCalendarPopup(true);
  date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  payer_ = NewAccountBox(rules_.accounts(), rules_.payer);
  receiver_ = NewAccountBox(rules_.accounts(), rules_.receiver);
  amount_ = NewAmountEdit(rules_.amount_text);
  commission_ = NewAmountEdit(rules_.commission_text);

  auto* grid = new QGridLayout;
  const std::pair<const char*, QWidget*> lines[] = {
      {"Дата перевода:", date_},    {"Плательщик:", payer_},    {"Получатель:", receiver_},
      {"Сумма перевода:", amount_}, {"Комиссия:", commission_},
  };
  int row = 0;
  for (const auto& [caption, field] : lines) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption)), row++, 0);
    grid->addWidget(field, row++, 0);
  }
  QPushButton* accept = nullptr;
  QHBoxLayout* buttons = NewAcceptCancelLine(this, &accept);
  ImageButton* close = NewCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(NewTitleLine(QStringLiteral("Перевод между счетами"), close));
  layout->addLayout(grid);
  layout->addStretch();
  layout->addLayout(buttons);

  connect(accept, &QPushButton::clicked, this, &TransferDialog::OnAccept);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void TransferDialog::ReadControls() {
  const QDate date = date_->date();
  rules_.day = date.day();
  rules_.month = date.month();
  rules_.year = date.year();
  rules_.payer = payer_->currentIndex();
  rules_.receiver = receiver_->currentIndex();
  rules_.amount_text = ToDbString(amount_->text());
  rules_.commission_text = ToDbString(commission_->text());
}

void TransferDialog::OnAccept() {
  ReadControls();
  if (rules_.OnAccept()) accept();
}

}  // namespace ledgerix
