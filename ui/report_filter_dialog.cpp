#include "ui/report_filter_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/controls/image_button.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {

ReportFilterDialog::ReportFilterDialog(ReportFilterScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent),
      rules_(rules),
      report_kind_(new QComboBox),
      groupings_{},
      filter_on_(new QCheckBox(QStringLiteral("Установить отбор"))),
      category_label_(new QLabel(QStringLiteral("Категория:"))),
      category_(new QComboBox),
      kind_label_(new QLabel(QStringLiteral("Вид:"))),
      kind_(new QLineEdit),
      choose_kind_(new QPushButton(QStringLiteral("..."))),
      account_(new QLabel) {
  setWindowTitle(QStringLiteral("Настройки фильтров"));
  rules_.Start();
  for (const DbString& text : ReportFilterScreen::ReportKinds()) {
    report_kind_->addItem(ToQString(text));
  }
  report_kind_->setCurrentIndex(rules_.report_kind);
  auto* report_line = new QHBoxLayout;
  report_line->addWidget(new QLabel(QStringLiteral("Вид отчета:")));
  report_line->addWidget(report_kind_, 1);

  auto* grouping_frame = new QGroupBox(QStringLiteral("Вид группировки:"));
  auto* grouping_lines = new QVBoxLayout(grouping_frame);
  const std::vector<DbString> groupings = ReportFilterScreen::Groupings();
  for (int i = 0; i < 3; ++i) {
    groupings_[i] = new QRadioButton(ToQString(groupings[static_cast<size_t>(i)]));
    groupings_[i]->setChecked(rules_.grouping == i);
    grouping_lines->addWidget(groupings_[i]);
  }

  kind_->setReadOnly(true);
  choose_kind_->setFixedWidth(28);
  auto* selection = new QGridLayout;
  selection->addWidget(filter_on_, 0, 0, 1, 3);
  selection->addWidget(category_label_, 1, 0);
  selection->addWidget(category_, 1, 1, 1, 2);
  selection->addWidget(kind_label_, 2, 0);
  selection->addWidget(kind_, 2, 1);
  selection->addWidget(choose_kind_, 2, 2);
  selection->setColumnStretch(1, 1);

  ImageButton* accounts = NewCloseButton(this);  // a transparent right-aligned picture button
  accounts->SetBitmaps(168);
  auto* account_line = new QHBoxLayout;
  account_line->addWidget(account_, 1);
  account_line->addWidget(accounts);

  auto* accept = new QPushButton(QStringLiteral("Принять"));
  auto* cancel = new QPushButton(QStringLiteral("Отменить"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(accept);
  buttons->addWidget(cancel);
  ImageButton* close = NewCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(NewTitleLine(QStringLiteral("Настройки фильтров"), close));
  layout->addLayout(report_line);
  layout->addWidget(grouping_frame);
  layout->addLayout(selection);
  layout->addStretch();
  layout->addLayout(account_line);
  layout->addLayout(buttons);

  filter_on_->setChecked(rules_.filter_on);
  ShowCategories();
  ShowKind();
  ShowSwitch();
  account_->setText(ToQString(rules_.AccountText()));
  connect(report_kind_, &QComboBox::currentIndexChanged, this,
          &ReportFilterDialog::OnReportKindChanged);
  connect(category_, &QComboBox::currentIndexChanged, this, &ReportFilterDialog::OnCategoryChanged);
  connect(filter_on_, &QCheckBox::toggled, this, &ReportFilterDialog::OnSwitch);
  connect(choose_kind_, &QPushButton::clicked, this, &ReportFilterDialog::OnChooseKind);
  connect(accounts, &ImageButton::clicked, this, &ReportFilterDialog::OnAccounts);
  connect(accept, &QPushButton::clicked, this, &ReportFilterDialog::OnAccept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void ReportFilterDialog::ShowCategories() {
  const QSignalBlocker quiet(category_);
  category_->clear();
  for (const DbString& text : rules_.categories()) category_->addItem(ToQString(text));
  category_->setCurrentIndex(rules_.selected_category);
}

void ReportFilterDialog::ShowKind() { kind_->setText(ToQString(rules_.kind_text())); }

void ReportFilterDialog::ShowSwitch() {
  const bool on = filter_on_->isChecked();
  for (QWidget* widget : {static_cast<QWidget*>(category_label_), static_cast<QWidget*>(category_),
                          static_cast<QWidget*>(kind_label_), static_cast<QWidget*>(kind_),
                          static_cast<QWidget*>(choose_kind_)}) {
    widget->setEnabled(on);
  }
}

void ReportFilterDialog::OnReportKindChanged(int index) {
  rules_.selected_category = category_->currentIndex();
  rules_.OnReportKindChanged(index);
  ShowCategories();
}

void ReportFilterDialog::OnCategoryChanged(int index) {
  rules_.OnCategoryChanged(index);
  ShowKind();
}

void ReportFilterDialog::OnSwitch() {
  rules_.filter_on = filter_on_->isChecked();
  ShowSwitch();
}

void ReportFilterDialog::OnChooseKind() {
  rules_.report_kind = report_kind_->currentIndex();
  rules_.selected_category = category_->currentIndex();
  rules_.OnChooseKind();
  ShowKind();
}

void ReportFilterDialog::OnAccounts() {
  rules_.OnAccounts();
  account_->setText(ToQString(rules_.AccountText()));
}

void ReportFilterDialog::OnAccept() {
  rules_.report_kind = report_kind_->currentIndex();
  for (int i = 0; i < 3; ++i) {
    if (groupings_[i]->isChecked()) rules_.grouping = i;
  }
  rules_.filter_on = filter_on_->isChecked();
  rules_.selected_category = category_->currentIndex();
  if (rules_.OnAccept()) accept();
}

}  // namespace ledgerix
