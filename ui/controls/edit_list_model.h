#pragma once
// EditListModel: the rows and columns behind an EditList. Cells are kept as the program's 8-bit
// text in one block per row (ListRow) and become QString only when a view asks for them, so
// filling 50,000 rows costs no conversion and no allocation per cell.
//
// Appending is cheap one row at a time too: AppendRow only stores the row; the views are told
// of every row appended since the last notice at once, by one beginInsertRows/endInsertRows,
// either from the event loop (a notice is posted with the first append) or earlier when
// TellViews is called (the list does before it selects, deletes or edits). Until then
// rowCount() answers the rows the views know of, RowCount() every row.

#include <QAbstractTableModel>
#include <QString>
#include <string_view>
#include <vector>

#include "ui/controls/list_row.h"
#include "ui/controls/row_colour_rule.h"

namespace ledgerix {

struct ListColumn {
  QString title;
  Qt::Alignment alignment = Qt::AlignLeft;
};

class EditListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The row's image index (an int), asked of any cell.
  static constexpr int kImageRole = Qt::UserRole + 1;

  explicit EditListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  // Display and edit: the cell's text; alignment: the column's, centred vertically; background
  // and foreground: the row-colour rule's colours for the row; kImageRole: the row's image.
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Every cell is enabled, selectable and editable; the list decides when editing starts.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Sets a cell's text (edit role); false for a cell out of range.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Inserts a column before `column` (clamped to 0 .. ColumnCount()); rows with a cell there get
  // an empty cell; the colour rule's column moves along.
  void InsertColumn(int column, const ListColumn& title);
  // Removes a column and its cells; a colour rule on it is dropped, one after it moves back.
  // False for a column out of range.
  bool RemoveColumn(int column);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }

  // Every row, including those the views are not told of yet.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Appends a row (the views are told later, see above); answers its index.
  int AppendRow(std::string_view first_cell, int image, int64_t data);
  // The row, or null for one out of range.
  const ListRow* Row(int row) const;
  // Set a cell's text or a row's image; nothing for a row or column out of range.
  void SetCell(int row, int column, std::string_view text);
  void SetImage(int row, int image);
  // Removes a row; false for one out of range.
  bool RemoveRow(int row);
  // Removes every row; the columns stay.
  void ClearRows();
  // Replaces columns, rows and colour rule at once (one reset of the views).
  void Reset(std::vector<ListColumn> columns, std::vector<ListRow> rows, RowColourRule rule);

  void SetRowColourRule(RowColourRule rule);
  const RowColourRule& rowColourRule() const { return rule_; }
  bool RowMatchesRule(int row) const;

  // Tells the views of the rows appended since the last notice.
  void TellViews();

 private:
  bool HasCell(int row, int column) const;
  QVariant RowColour(int row, int role) const;

  std::vector<ListColumn> columns_;
  std::vector<ListRow> rows_;
  RowColourRule rule_;
  int told_rows_ = 0;           // the rows the views know of
  bool notice_posted_ = false;  // a TellViews is queued on the event loop
};

}  // namespace ledgerix
