#include "ui/entry_list_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/controls/column_editor.h"
#include "ui/controls/device_screen.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/controls/picture_loader.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {
namespace {

// The list inside the screen's margins and frame.
constexpr int kListWidth = kDeviceWidth - 8 - 4;

}  // namespace

EntryListDialog::EntryListDialog(EntryListScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent),
      rules_(rules),
      date_(new QDateEdit),
      marked_only_(new QCheckBox(QStringLiteral("Пересчет только по отметкам"))),
      list_(new EditList),
      total_(new QLabel),
      account_(new QLabel) {
  setWindowIcon(LoadIcon(rules_.mode() == 1 ? 150 : 151));
  ImageButton* close = NewCloseButton(this);
  ImageButton* add = NewTextButton(QStringLiteral("Добавить"), this);
  ImageButton* remove = NewTextButton(QStringLiteral("Удалить"), this);
  ImageButton* accounts = NewCloseButton(this);  // a transparent right-aligned picture button
  accounts->SetBitmaps(168);
  date_->setCalendarPopup(true);
  date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));

  auto* date_line = new QHBoxLayout;
  date_line->addWidget(new QLabel(QStringLiteral("Дата:")));
  date_line->addWidget(date_, 1);
  auto* commands = new QHBoxLayout;
  commands->addWidget(add);
  commands->addWidget(remove);
  auto* account_line = new QHBoxLayout;
  account_line->addWidget(account_, 1);
  account_line->addWidget(accounts);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(NewTitleLine(ToQString(rules_.Caption()), close));
  layout->addLayout(date_line);
  layout->addWidget(marked_only_);
  layout->addLayout(commands);
  layout->addWidget(list_, 1);
  layout->addWidget(total_);
  layout->addLayout(account_line);

  list_->SetSmallImages({LoadIcon(157).pixmap(12, 12), QPixmap()});
  BuildColumns();
  rules_.Start(*list_);
  marked_only_->setChecked(rules_.marked_only());
  ShowDay();
  ShowTotals();
  connect(date_, &QDateEdit::dateChanged, this, &EntryListDialog::OnDayChanged);
  connect(marked_only_, &QCheckBox::clicked, this, &EntryListDialog::OnMarkedOnly);
  connect(add, &ImageButton::clicked, this, &EntryListDialog::OnAddRow);
  connect(remove, &ImageButton::clicked, this, &EntryListDialog::OnDeleteRow);
  connect(accounts, &ImageButton::clicked, this, &EntryListDialog::OnAccounts);
  connect(list_, &EditList::DoubleTapNotTaken, this, &EntryListDialog::OnToggleMark);
  connect(list_, &EditList::CellEdited, this, &EntryListDialog::OnCellEdited);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void EntryListDialog::BuildColumns() {
  while (list_->ColumnCount() > 0) (void)list_->DeleteColumn(0);
  const std::vector<EntryListScreen::Column> columns = rules_.Columns(kListWidth);
  for (size_t i = 0; i < columns.size(); ++i) {
    list_->InsertColumn(static_cast<int>(i), columns[i].title, columns[i].width,
                        columns[i].right_aligned ? Qt::AlignRight : Qt::AlignLeft);
  }
  (void)list_->AddColumnEditor(rules_.QuantityColumn(), kEditorDecimal, 0, 2);
  (void)list_->AddColumnEditor(rules_.PriceColumn(), kEditorDecimal, 0, 2);
  list_->SetGrid(true);
}

void EntryListDialog::ShowDay() {
  const platform::LocalTime day = rules_.DayShown();
  const QSignalBlocker quiet(date_);
  date_->setDate(QDate(day.year, day.month, day.day));
}

void EntryListDialog::ShowTotals() {
  total_->setText(ToQString(rules_.TotalText()));
  account_->setText(ToQString(rules_.AccountText()));
}

void EntryListDialog::ShowMark() { list_->SetSelectionMark(rules_.selection_mark()); }

void EntryListDialog::OnDayChanged() {
  list_->EndEditing();
  const QDate day = date_->date();
  if (!rules_.OnDayChanged(day.day(), day.month(), day.year())) ShowDay();
  ShowTotals();
}

void EntryListDialog::OnAddRow() {
  list_->EndEditing();
  rules_.OnAddRow();
  ShowMark();
  list_->setFocus();
  ShowTotals();
}

void EntryListDialog::OnDeleteRow() {
  list_->EndEditing();
  rules_.OnDeleteRow(list_->SelectionMark());
  ShowMark();
  list_->setFocus();
  ShowTotals();
}

void EntryListDialog::OnToggleMark(int row) {
  rules_.OnToggleMark(row);
  list_->SetSelectionMark(row);
  ShowTotals();
}

void EntryListDialog::OnMarkedOnly() {
  rules_.OnMarkedOnlyToggled();
  ShowTotals();
}

void EntryListDialog::OnCellEdited(int row, int column) {
  rules_.OnCellEdited(row, column, list_->ItemText(row, column));
  ShowTotals();
}

void EntryListDialog::OnAccounts() {
  list_->EndEditing();
  const bool shown_before = rules_.AccountColumnShown();
  const int mark = list_->SelectionMark();
  if (!rules_.OnAccountsEditor()) return;
  if (rules_.AccountColumnShown() != shown_before) {
    const std::vector<EntryListScreen::Column> columns = rules_.Columns(kListWidth);
    if (rules_.AccountColumnShown()) {
      list_->InsertColumn(2, columns[2].title, columns[2].width);
    } else {
      (void)list_->DeleteColumn(2);
    }
    rules_.Redraw();
  }
  rules_.SetSelectionMark(mark);
  ShowMark();
  ShowTotals();
}

void EntryListDialog::done(int result) {
  list_->EndEditing();
  if (!rules_.OnSave()) return;
  DeviceDialog::done(result);
}

void EntryListDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      event->accept();  // the screen closes only through its close button
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      list_->EndEditing();
      event->accept();
      return;
    default:
      DeviceDialog::keyPressEvent(event);
  }
}

}  // namespace ledgerix
