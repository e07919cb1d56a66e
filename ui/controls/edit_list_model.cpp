#include "ui/controls/edit_list_model.h"

#include <QColor>
#include <algorithm>
#include <utility>

#include "ui/controls/colour_ref.h"
#include "ui/controls/qt_text.h"

namespace ledgerix {
namespace {

// The cell text of a typical row (the entry list's seven cells, a report's row).
constexpr size_t kAppendedRowBytes = 64;

}  // namespace

EditListModel::EditListModel(QObject* parent) : QAbstractTableModel(parent) {}

int EditListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : told_rows_;
}

int EditListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount();
}

bool EditListModel::HasCell(int row, int column) const {
  return row >= 0 && row < RowCount() && column >= 0 && column < ColumnCount();
}

QVariant EditListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  const int column = index.column();
  if (!HasCell(row, column)) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return BytesToQString(rows_[static_cast<size_t>(row)].Cell(static_cast<size_t>(column)));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(columns_[static_cast<size_t>(column)].alignment |
                                 Qt::AlignVCenter);
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
      return RowColour(row, role);
    case kImageRole:
      return rows_[static_cast<size_t>(row)].image;
    default:
      return {};
  }
}

QVariant EditListModel::RowColour(int row, int role) const {
  const bool match = RowMatchesRule(row);
  if (role == Qt::BackgroundRole) {
    return FromColourRef(match ? rule_.match_background : rule_.other_background);
  }
  return FromColourRef(match ? rule_.match_text : rule_.other_text);
}

bool EditListModel::RowMatchesRule(int row) const {
  if (row < 0 || row >= RowCount() || rule_.column < 0) return false;
  return rule_.Matches(rows_[static_cast<size_t>(row)].CStr(static_cast<size_t>(rule_.column)));
}

QVariant EditListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount()) return {};
  const ListColumn& column = columns_[static_cast<size_t>(section)];
  if (role == Qt::DisplayRole) return column.title;
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
  }
  return {};
}

Qt::ItemFlags EditListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool EditListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !HasCell(index.row(), index.column())) return false;
  SetCell(index.row(), index.column(), ToDbString(value.toString()).View());
  return true;
}

void EditListModel::InsertColumn(int column, const ListColumn& title) {
  column = std::clamp(column, 0, ColumnCount());
  beginInsertColumns(QModelIndex(), column, column);
  columns_.insert(columns_.begin() + column, title);
  for (ListRow& row : rows_) row.InsertCell(static_cast<size_t>(column));
  if (rule_.column >= column) ++rule_.column;
  endInsertColumns();
}

bool EditListModel::RemoveColumn(int column) {
  if (column < 0 || column >= ColumnCount()) return false;
  beginRemoveColumns(QModelIndex(), column, column);
  columns_.erase(columns_.begin() + column);
  for (ListRow& row : rows_) row.RemoveCell(static_cast<size_t>(column));
  if (rule_.column == column) {
    rule_.column = -1;
  } else if (rule_.column > column) {
    --rule_.column;
  }
  endRemoveColumns();
  return true;
}

int EditListModel::AppendRow(std::string_view first_cell, int image, int64_t data) {
  ListRow& row = rows_.emplace_back();
  row.image = image;
  row.data = data;
  row.Reserve(kAppendedRowBytes);  // room for the cells set next, one allocation
  row.AppendCell(first_cell);
  if (!notice_posted_) {
    notice_posted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          notice_posted_ = false;
          TellViews();
        },
        Qt::QueuedConnection);
  }
  return RowCount() - 1;
}

void EditListModel::TellViews() {
  if (told_rows_ >= RowCount()) return;
  beginInsertRows(QModelIndex(), told_rows_, RowCount() - 1);
  told_rows_ = RowCount();
  endInsertRows();
}

const ListRow* EditListModel::Row(int row) const {
  return row >= 0 && row < RowCount() ? &rows_[static_cast<size_t>(row)] : nullptr;
}

void EditListModel::SetCell(int row, int column, std::string_view text) {
  if (!HasCell(row, column)) return;
  rows_[static_cast<size_t>(row)].SetCell(static_cast<size_t>(column), text);
  if (row >= told_rows_) return;
  if (column == rule_.column) {
    emit dataChanged(index(row, 0), index(row, ColumnCount() - 1));
  } else {
    emit dataChanged(index(row, column), index(row, column));
  }
}

void EditListModel::SetImage(int row, int image) {
  if (row < 0 || row >= RowCount()) return;
  rows_[static_cast<size_t>(row)].image = image;
  if (row < told_rows_) emit dataChanged(index(row, 0), index(row, 0), {kImageRole});
}

bool EditListModel::RemoveRow(int row) {
  if (row < 0 || row >= RowCount()) return false;
  TellViews();
  beginRemoveRows(QModelIndex(), row, row);
  rows_.erase(rows_.begin() + row);
  told_rows_ = RowCount();
  endRemoveRows();
  return true;
}

void EditListModel::ClearRows() {
  beginResetModel();
  rows_.clear();
  told_rows_ = 0;
  endResetModel();
}

void EditListModel::Reset(std::vector<ListColumn> columns, std::vector<ListRow> rows,
                          RowColourRule rule) {
  beginResetModel();
  columns_ = std::move(columns);
  rows_ = std::move(rows);
  rule_ = std::move(rule);
  told_rows_ = RowCount();
  endResetModel();
}

void EditListModel::SetRowColourRule(RowColourRule rule) {
  rule_ = std::move(rule);
  if (told_rows_ > 0 && ColumnCount() > 0) {
    emit dataChanged(index(0, 0), index(told_rows_ - 1, ColumnCount() - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
  }
}

}  // namespace ledgerix
