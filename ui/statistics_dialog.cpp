#include "ui/statistics_dialog.h"

#include <QAction>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/controls/device_screen.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {
namespace {

// The list inside the screen's margins and frame.
constexpr int kListWidth = kDeviceWidth - 8 - 4;

// A line of text named for what it shows ("period_line").
QLabel* NewLine(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

// The dialog's EditList as the rules see it.
class StatisticsDialog::ListView : public ReportView {
 public:
  explicit ListView(EditList& list) : list_(list) {}
  // The list's width less a vertical scroll bar's, so that a long report's columns still fit.
  int ClientWidth() const override {
    return kListWidth - list_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list_);
  }
  std::vector<int> ColumnWidths() const override { return list_.ColumnWidths(); }
  void ShowReport(const ReportTable& table) override { list_.ShowReport(table); }
  DbString CellText(int row, int column) const override { return list_.ItemText(row, column); }
  int RowCount() const override { return list_.ItemCount(); }

 private:
  EditList& list_;
};

StatisticsDialog::StatisticsDialog(StatisticsScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent),
      rules_(rules),
      list_(new EditList),
      view_(std::make_unique<ListView>(*list_)),
      period_(NewLine("period_line")),
      report_(NewLine("report_line")),
      category_(NewLine("category_line")),
      incoming_(NewLine("incoming_line")),
      total_(NewLine("total_line")),
      income_(NewLine("income_line")),
      spending_(NewLine("spending_line")),
      account_(NewLine("account_line")),
      export_(nullptr),
      exit_(nullptr) {
  setWindowTitle(QStringLiteral("Ledgerix"));
  auto* menu_bar = new QMenuBar(this);
  QMenu* menu = menu_bar->addMenu(QStringLiteral("Статистика"));
  export_ = menu->addAction(QStringLiteral("Экспорт в файл"));
  menu->addSeparator();
  exit_ = menu->addAction(QStringLiteral("Выход"));

  QFont narrow = DeviceFont(11);
  narrow.setStretch(QFont::Condensed);  // "20.02.24" fits the date column
  list_->setFont(narrow);
  auto* period_button = new QPushButton(QStringLiteral("..."));
  period_button->setFixedWidth(28);
  auto* period_line = new QHBoxLayout;
  period_line->addWidget(period_button);
  period_line->addWidget(period_, 1);

  auto* totals = new QFrame;
  totals->setFrameShape(QFrame::Box);
  auto* totals_grid = new QGridLayout(totals);
  totals_grid->setContentsMargins(3, 1, 3, 1);
  totals_grid->setVerticalSpacing(0);
  totals_grid->addWidget(incoming_, 0, 0);
  totals_grid->addWidget(total_, 1, 0);
  totals_grid->addWidget(income_, 0, 1);
  totals_grid->addWidget(spending_, 1, 1);

  ImageButton* filter = NewPictureButton(171, this);
  ImageButton* accounts = NewTextButton(QStringLiteral("..."), this);
  accounts->setFixedSize(28, 26);
  ImageButton* close = NewCloseButton(this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(filter);
  buttons->addWidget(accounts);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->setSpacing(2);
  layout->setMenuBar(menu_bar);
  layout->addLayout(period_line);
  layout->addWidget(report_);
  layout->addWidget(category_);
  layout->addWidget(list_, 1);
  layout->addWidget(totals);
  layout->addWidget(account_);
  layout->addLayout(buttons);

  rules_.Start(*view_);
  ShowCaptions();
  connect(period_button, &QPushButton::clicked, this, &StatisticsDialog::OnPeriod);
  connect(filter, &ImageButton::clicked, this, &StatisticsDialog::OnFilter);
  connect(accounts, &ImageButton::clicked, this, &StatisticsDialog::OnAccounts);
  connect(export_, &QAction::triggered, this, &StatisticsDialog::OnExport);
  connect(exit_, &QAction::triggered, this, &QDialog::reject);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

StatisticsDialog::~StatisticsDialog() = default;

void StatisticsDialog::ShowCaptions() {
  const StatisticsCaptions& captions = rules_.captions();
  period_->setText(ToQString(captions.period));
  report_->setText(ToQString(captions.report));
  category_->setText(ToQString(captions.category));
  incoming_->setText(ToQString(captions.incoming));
  total_->setText(ToQString(captions.total));
  income_->setText(ToQString(captions.income));
  spending_->setText(ToQString(captions.spending));
  account_->setText(ToQString(captions.account));
  account_->setVisible(captions.account_visible);
}

void StatisticsDialog::OnPeriod() {
  list_->EndEditing();
  rules_.OnPeriod();
  ShowCaptions();
}

void StatisticsDialog::OnFilter() {
  list_->EndEditing();
  rules_.OnFilter();
  ShowCaptions();
}

void StatisticsDialog::OnAccounts() {
  list_->EndEditing();
  rules_.OnAccounts();
  ShowCaptions();
}

void StatisticsDialog::OnExport() {
  list_->EndEditing();
  rules_.OnExport();
}

void StatisticsDialog::done(int result) {
  list_->EndEditing();
  rules_.OnClose();
  DeviceDialog::done(result);
}

}  // namespace ledgerix
