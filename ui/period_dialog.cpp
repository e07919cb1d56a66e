#include "ui/period_dialog.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/controls/image_button.h"
#include "ui/screen_parts.h"

namespace ledgerix {
namespace {

// The days a period bound can hold: two-digit years from 2000, and seconds since 1970 that fit
// the 4-byte settings the period is kept in.
const QDate kFirstDay(2000, 1, 1);
const QDate kLastDay(2037, 12, 31);

QDateEdit* NewDatePicker(const PeriodScreen::Day& day) {
  auto* picker = new QDateEdit;
  picker->setCalendarPopup(true);
  picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  picker->setDateRange(kFirstDay, kLastDay);
  picker->setDate(QDate(day.year, day.month, day.day));
  return picker;
}

PeriodScreen::Day DayOf(const QDate& date) { return {date.year(), date.month(), date.day()}; }

}  // namespace

PeriodDialog::PeriodDialog(PeriodScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent), rules_(rules), from_(nullptr), till_(nullptr), types_{} {
  setWindowTitle(QStringLiteral("Выбор периода"));
  rules_.Start();
  from_ = NewDatePicker(rules_.from);
  till_ = NewDatePicker(rules_.till);
  auto* dates = new QGridLayout;
  dates->addWidget(new QLabel(QStringLiteral("Период с:")), 0, 0);
  dates->addWidget(from_, 0, 1);
  dates->addWidget(new QLabel(QStringLiteral("по:")), 1, 0);
  dates->addWidget(till_, 1, 1);
  dates->setColumnStretch(1, 1);

  auto* frame = new QGroupBox;
  auto* radios = new QHBoxLayout(frame);
  const QString names[] = {QStringLiteral("День"), QStringLiteral("Месяц"), QStringLiteral("Год")};
  for (int i = 0; i < 3; ++i) {
    types_[i] = new QRadioButton(names[i]);
    types_[i]->setChecked(rules_.period_type == i);
    radios->addWidget(types_[i]);
  }
  auto* choose = new QPushButton(QStringLiteral("Выбрать"));
  ImageButton* close = NewCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(NewTitleLine(QStringLiteral("Выбор периода"), close));
  layout->addLayout(dates);
  layout->addWidget(frame);
  layout->addWidget(choose);
  layout->addStretch();
  connect(choose, &QPushButton::clicked, this, &PeriodDialog::OnAccept);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void PeriodDialog::OnAccept() {
  rules_.from = DayOf(from_->date());
  rules_.till = DayOf(till_->date());
  rules_.period_type = -1;
  for (int i = 0; i < 3; ++i) {
    if (types_[i]->isChecked()) rules_.period_type = i;
  }
  rules_.OnAccept();
  accept();
}

}  // namespace ledgerix
