#include "ui/controls/edit_list.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "ui/controls/cell_combo_box.h"
#include "ui/controls/cell_export.h"
#include "ui/controls/cell_number.h"
#include "ui/controls/colour_ref.h"
#include "ui/controls/edit_list_delegate.h"
#include "ui/controls/edit_list_header.h"
#include "ui/controls/edit_list_model.h"
#include "ui/controls/number_edit.h"
#include "ui/controls/qt_text.h"

namespace ledgerix {
namespace {

// Pixels a row is higher than the font's line.
constexpr int kRowPadding = 4;

DbString& LastReplaced() {
  static DbString text;
  return text;
}

// A drop-down entry: a text value as it is, any other value as a decimal integer.
DbString ChoiceText(const DbValue& value) {
  if (value.Type() == DbValueType::Text) return DbString(value.CStr());
  DbString text;
  text.FormatEx("%L", value.AsInt32());
  return text;
}

ListRow RowOf(const ReportTableRow& report_row) {
  ListRow row;
  row.image = -1;
  row.data = report_row.value;
  size_t bytes = 0;
  for (std::string_view cell : report_row.cells) bytes += cell.size() + 1;
  row.Reserve(bytes);
  for (std::string_view cell : report_row.cells) row.AppendCell(cell);
  return row;
}

// Rows whose cell in `column` is below 0, dark red on light pink.
RowColourRule ReportColourRule(int column) {
  RowColourRule rule;
  rule.column = column;
  rule.value = DbString("0");
  rule.compare = RowCompare::kLess;
  rule.match_text = kTintedRowText;
  rule.match_background = kTintedRowBackground;
  return rule;
}

}  // namespace

EditList::EditList(QWidget* parent)
    : QTableView(parent), model_(new EditListModel(this)), header_(new EditListHeader(this)) {
  delegate_ = new EditListDelegate(editors_, images_, this);
  setHorizontalHeader(header_);
  setModel(model_);
  setItemDelegate(delegate_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
  header_->setMinimumSectionSize(0);
  header_->setHighlightSections(false);
  header_->setStretchLastSection(false);
  header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

EditList::~EditList() {
  // The editors are destroyed with the viewport after this object is gone; their last focus
  // change must not reach it.
  if (number_editor_ != nullptr) number_editor_->disconnect(this);
  if (drop_down_ != nullptr) drop_down_->disconnect(this);
}

const DbString& EditList::LastReplacedCellText() { return LastReplaced(); }

void EditList::DeleteAllItems() {
  CommitEditor();
  model_->ClearRows();
}

int EditList::InsertItem(const DbString& text, int image, int64_t data) {
  return model_->AppendRow(text.View(), image, data);
}

void EditList::SetItemText(int item, int sub_item, const DbString& text) {
  model_->SetCell(item, sub_item, text.View());
}

int EditList::ItemCount() const { return model_->RowCount(); }

void EditList::InsertColumn(int column, const DbString& title, int width, Qt::Alignment alignment) {
  CommitEditor();
  column = std::clamp(column, 0, ColumnCount());
  model_->InsertColumn(column, ListColumn{ToQString(title), alignment});
  editors_.InsertColumn(column);
  setColumnWidth(column, width);
}

bool EditList::DeleteColumn(int column) {
  CommitEditor();
  if (!model_->RemoveColumn(column)) return false;
  editors_.DeleteColumn(column);
  return true;
}

int EditList::ColumnCount() const { return model_->ColumnCount(); }

std::vector<int> EditList::ColumnWidths() const {
  std::vector<int> widths;
  for (int column = 0; column < ColumnCount(); ++column) widths.push_back(columnWidth(column));
  return widths;
}

bool EditList::DeleteRow(int row) {
  if (row < 0 || row >= ItemCount()) return false;
  if (IsEditing()) EndEditing();
  const int next = row == ItemCount() - 1 ? row - 1 : row;
  model_->RemoveRow(row);
  setFocus();
  if (select_next_after_delete_) SetSelectionMark(next);
  return true;
}

int EditList::SelectionMark() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void EditList::SetSelectionMark(int row) {
  model_->TellViews();
  if (row < 0 || row >= model_->rowCount() || ColumnCount() == 0) {
    selectionModel()->clearSelection();
    return;
  }
  selectionModel()->setCurrentIndex(
      model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int64_t EditList::ItemData(int row) const {
  const ListRow* found = model_->Row(row);
  return found != nullptr ? found->data : 0;
}

int EditList::ItemImage(int row) const {
  const ListRow* found = model_->Row(row);
  return found != nullptr ? found->image : -1;
}

void EditList::SetItemImage(int row, int image) { model_->SetImage(row, image); }

DbString EditList::ItemText(int row, int column) const {
  const ListRow* found = model_->Row(row);
  if (found == nullptr || column < 0) return DbString();
  return DbString(found->Cell(static_cast<size_t>(column)));
}

void EditList::SetSmallImages(const QList<QPixmap>& images) {
  images_ = images;
  viewport()->update();
}

void EditList::SetGrid(bool on) {
  grid_ = on;
  header_->SetGrid(on);
  viewport()->update();
}

void EditList::SetRowColourRule(const RowColourRule& rule) { model_->SetRowColourRule(rule); }

const RowColourRule& EditList::rowColourRule() const { return model_->rowColourRule(); }

bool EditList::RowMatchesRule(int row) const { return model_->RowMatchesRule(row); }

bool EditList::AddColumnEditor(int column, int kind, int spare, int decimals) {
  return editors_.Add(column, kind, spare, decimals);
}

void EditList::AddColumnEditor(int column, int kind, int spare, int decimals,
                               std::vector<DbValue> choices, bool drop_down) {
  ColumnEditor editor;
  editor.column = column;
  editor.kind = kind;
  editor.spare = spare;
  editor.decimals = decimals;
  editor.choices = std::move(choices);
  editor.drop_down = drop_down;
  editors_.AddOrUpdate(std::move(editor));
}

const ColumnEditor* EditList::FindColumnEditor(int column) const { return editors_.Find(column); }

DbString EditList::CellExportText(int row, int column) const {
  const ListRow* found = model_->Row(row);
  if (found == nullptr || column < 0) return DbString();
  return ledgerix::CellExportText(found->Cell(static_cast<size_t>(column)), editors_.Find(column));
}

void EditList::ShowReport(const ReportTable& table) {
  CommitEditor();
  editors_.Clear();
  std::vector<ListColumn> columns;
  columns.reserve(table.columns.size());
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const ReportColumn& column = table.columns[i];
    const Qt::Alignment alignment =
        column.align == ColumnAlign::kRight ? Qt::AlignRight : Qt::AlignLeft;
    columns.push_back(ListColumn{ToQString(column.title), alignment});
    if (column.decimal_number) editors_.Add(static_cast<int>(i), kEditorDecimal, 0, 2);
  }
  std::vector<ListRow> rows;
  rows.reserve(table.rows.size());
  for (const ReportTableRow& row : table.rows) rows.push_back(RowOf(row));
  model_->Reset(std::move(columns), std::move(rows), ReportColourRule(table.colour_column));
  for (size_t i = 0; i < table.columns.size(); ++i) {
    setColumnWidth(static_cast<int>(i), table.columns[i].width);
  }
}

void EditList::EndEditing() {
  setFocus();      // an open editor loses the focus and commits ...
  CommitEditor();  // ... and commits here when the window was not active to move the focus
}

void EditList::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  QTableView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) HandleDoubleTap(index);
}

void EditList::HandleDoubleTap(const QModelIndex& index) {
  if (!index.isValid()) return;
  const ColumnEditor* editor = editors_.Find(index.column());
  if (editor == nullptr || (!editor->edit_enabled && !editor->drop_down)) {
    emit DoubleTapNotTaken(index.row(), index.column());
    return;
  }
  if (index.column() == 0 && editor->edit_enabled) {
    // Column 0 is edited as the row's label, by the view's own editor.
    CommitEditor();
    edit(index);
    emit DoubleTapNotTaken(index.row(), index.column());
    return;
  }
  CommitEditor();
  if (editor->edit_enabled) {
    OpenNumberEditor(index, *editor);
  } else {
    OpenDropDown(index, *editor);
  }
}

void EditList::OpenNumberEditor(const QModelIndex& index, const ColumnEditor& editor) {
  if (number_editor_ == nullptr) {
    number_editor_ = new NumberEdit(viewport());
    number_editor_->setFont(CellEditorFont());
    number_editor_->setFocusPolicy(Qt::StrongFocus);
    connect(number_editor_, &NumberEdit::LeftEditing, this, &EditList::OnEditorLeft);
    // Enter in the editor finishes the edit, as leaving it does.
    connect(number_editor_, &QLineEdit::returnPressed, this, &EditList::EndEditing);
  }
  const bool number = editor.kind == kEditorDigits || editor.kind == kEditorDecimal;
  const std::string_view cell = model_->Row(index.row())->Cell(static_cast<size_t>(index.column()));
  number_editor_->SetDigitsOnly(editor.kind == kEditorDigits);
  number_editor_->SetDecimals(number ? editor.decimals : 0);
  number_editor_->setText(number ? ToQString(NumberEditorText(cell, editor.decimals))
                                 : BytesToQString(cell));
  PlaceEditor(number_editor_, index, editor);
  number_editor_->selectAll();
  number_editor_->setFocus();
}

void EditList::OpenDropDown(const QModelIndex& index, const ColumnEditor& editor) {
  if (drop_down_ == nullptr) {
    drop_down_ = new CellComboBox(viewport());
    drop_down_->setFont(CellEditorFont());
    connect(drop_down_, &CellComboBox::LeftEditing, this, &EditList::OnEditorLeft);
  }
  drop_down_->clear();
  for (const DbValue& choice : editor.choices) drop_down_->addItem(ToQString(ChoiceText(choice)));
  const std::string_view cell = model_->Row(index.row())->Cell(static_cast<size_t>(index.column()));
  drop_down_->setCurrentIndex(drop_down_->findText(BytesToQString(cell)));
  PlaceEditor(drop_down_, index, editor);
  drop_down_->setFocus();
}

void EditList::PlaceEditor(QWidget* editor, const QModelIndex& index,
                           const ColumnEditor& descriptor) {
  edited_ = EditedCell{index.row(), index.column(), descriptor.kind, descriptor.decimals};
  editor->setGeometry(visualRect(index));
  editor->show();
  editor->raise();
}

void EditList::OnEditorLeft() {
  if (isVisible()) CommitEditor();
}

bool EditList::EditorValue(DbString* value) const {
  if (number_editor_ != nullptr && number_editor_->isVisibleTo(viewport())) {
    const DbString text = ToDbString(number_editor_->text());
    *value = edited_.kind == kEditorDecimal ? DecimalCellText(text.CStr(), edited_.decimals) : text;
    return true;
  }
  if (drop_down_ != nullptr && drop_down_->isVisibleTo(viewport()) &&
      drop_down_->currentIndex() >= 0) {
    *value = ToDbString(drop_down_->currentText());
    return true;
  }
  return false;
}

void EditList::CommitEditor() {
  if (!IsEditing()) return;
  DbString value;
  const bool has_value = EditorValue(&value);
  const EditedCell cell = std::exchange(edited_, EditedCell());
  // Keep the focus in the list rather than let it wander when the focused editor hides.
  const bool editor_focused = (number_editor_ != nullptr && number_editor_->hasFocus()) ||
                              (drop_down_ != nullptr && drop_down_->hasFocus());
  if (editor_focused) setFocus();
  if (number_editor_ != nullptr) number_editor_->hide();
  if (drop_down_ != nullptr) drop_down_->hide();
  ReplaceCell(cell.row, cell.column, has_value ? &value : nullptr);
  if (!isVisible()) return;
  if (!selecting_) SetSelectionMark(cell.row);
  emit CellEdited(cell.row, cell.column);
}

void EditList::ReplaceCell(int row, int column, const DbString* value) {
  DbString previous = ItemText(row, column);
  if (value != nullptr && !value->Equals(previous)) model_->SetCell(row, column, value->View());
  LastReplaced() = std::move(previous);
}

void EditList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  if (!IsEditing() || selected.isEmpty()) return;
  if (selected.first().top() == edited_.row) return;
  selecting_ = true;
  EndEditing();
  selecting_ = false;
}

void EditList::commitData(QWidget* editor) {
  // Only column 0's label editor commits through the view.
  const QModelIndex index = currentIndex().siblingAtColumn(0);
  DbString previous = ItemText(index.row(), 0);
  QTableView::commitData(editor);
  LastReplaced() = std::move(previous);
  if (isVisible() && index.isValid()) emit CellEdited(index.row(), 0);
}

void EditList::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (grid_) PaintGrid();
}

void EditList::PaintGrid() {
  QPainter painter(viewport());
  painter.setPen(FromColourRef(kGridLineColour));
  const int right = viewport()->width() - 1;
  const int bottom = viewport()->height() - 1;
  for (int column = 0; column < ColumnCount(); ++column) {
    if (columnWidth(column) <= 0) continue;
    const int x = columnViewportPosition(column) + columnWidth(column) - 1;
    if (x >= 0 && x <= right) painter.drawLine(x, 0, x, bottom);
  }
  const int first = rowAt(0);
  if (first < 0) return;
  int last = rowAt(bottom);
  if (last < 0) last = model_->rowCount() - 1;
  for (int row = first; row <= last; ++row) {
    const int y = rowViewportPosition(row) + rowHeight(row) - 1;
    painter.drawLine(0, y, right, y);
  }
}

void EditList::contextMenuEvent(QContextMenuEvent* event) {
  if (context_menu_ == nullptr) {
    QTableView::contextMenuEvent(event);
    return;
  }
  context_menu_->exec(event->globalPos());
}

}  // namespace ledgerix
