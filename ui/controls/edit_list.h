#pragma once
// EditList: the program's report-view list (a header, whole-row single selection) whose cells
// can be edited in place. A double tap on a cell of a column with an editor opens a number
// editor or a drop-down of choices over the cell; when it closes, the cell takes the value and
// the list emits CellEdited. A double tap the list does not take is passed on (DoubleTapNotTaken)
// for the screen to use. Rows may be drawn in colours of their own by a row-colour rule, with
// optional grid lines. The finance operations fill it as a ListControl; the statistics screen
// shows a ReportTable in it with ShowReport.

#include <QList>
#include <QPixmap>
#include <QTableView>
#include <vector>

#include "engine/db_string.h"
#include "engine/db_value.h"
#include "finance/list_control.h"
#include "reports/report_table.h"
#include "ui/controls/column_editor.h"
#include "ui/controls/row_colour_rule.h"

class QMenu;

namespace ledgerix {

class CellComboBox;
class NumberEdit;
class EditListDelegate;
class EditListHeader;
class EditListModel;

class EditList : public QTableView, public ListControl {
  Q_OBJECT

 public:
  explicit EditList(QWidget* parent = nullptr);
  ~EditList() override;

  // ListControl. An open editor commits before the rows go. InsertItem appends a row with
  // `text` in column 0 and answers its index; SetItemText ignores a row or column out of range.
  void DeleteAllItems() override;
  [[nodiscard]] int InsertItem(const DbString& text, int image, int64_t data) override;
  void SetItemText(int item, int sub_item, const DbString& text) override;
  int ItemCount() const override;

  // Inserts a column before `column` (clamped to 0 .. ColumnCount()) with its title, width in
  // pixels and alignment; the editors and colour rule of the columns after it move along.
  void InsertColumn(int column, const DbString& title, int width,
                    Qt::Alignment alignment = Qt::AlignLeft);
  // Deletes a column with its editor; those of the columns after it move along (they stay on
  // the same cells). False for a column out of range.
  bool DeleteColumn(int column);
  int ColumnCount() const;
  // Every column's width in pixels, in column order.
  std::vector<int> ColumnWidths() const;

  // Deletes a row: an open editor first commits into its own cell; with select-next-after-
  // delete on, the row at the same index (the one before when the last row went) is selected
  // afterwards, and nothing when the list is empty; the list takes the focus. False for a row
  // out of range.
  bool DeleteRow(int row);
  // The selected row, -1 for none.
  int SelectionMark() const;
  // Selects a row and makes it the current one; -1 (or a row out of range) clears the selection.
  void SetSelectionMark(int row);
  // A row's data value, image and cell text: 0, -1 and empty for a cell out of range.
  int64_t ItemData(int row) const;
  int ItemImage(int row) const;
  void SetItemImage(int row, int image);
  DbString ItemText(int row, int column) const;

  // The small images rows show at the start of column 0, by image index (copied).
  void SetSmallImages(const QList<QPixmap>& images);
  // Grid lines in 0xA0A0A0: two under the header, one at every column's right edge and one
  // under every row. Off by default.
  void SetGrid(bool on);
  bool Grid() const { return grid_; }
  // On by default (see DeleteRow).
  void SetSelectNextAfterDelete(bool on) { select_next_after_delete_ = on; }
  void SetRowColourRule(const RowColourRule& rule);
  const RowColourRule& rowColourRule() const;
  // Whether a row is drawn in the rule's match colours (when not selected).
  bool RowMatchesRule(int row) const;

  // Gives a column a number editor of `kind` (kEditorPlainText, kEditorDigits, kEditorDecimal)
  // with `decimals`. False, changing nothing, when the column already has an editor.
  bool AddColumnEditor(int column, int kind, int spare, int decimals);
  // Adds or replaces a column's editor with edit-enabled off: with `drop_down` a double tap
  // opens a drop-down of `choices` (texts as they are, numbers in decimal).
  void AddColumnEditor(int column, int kind, int spare, int decimals, std::vector<DbValue> choices,
                       bool drop_down);
  // The column's editor, null for none.
  const ColumnEditor* FindColumnEditor(int column) const;
  // A cell's text as an export writes it (CellExportText by the column's editor).
  DbString CellExportText(int row, int column) const;

  // Shows a statistics table in one pass: its columns (title, width, alignment; a decimal-number
  // column gets a decimal editor with 2 decimals, the other editors go), its rows (their sort
  // value as data, no image) and its colouring: rows whose cell in table.colour_column is below
  // 0 drawn dark red on light pink. An open editor commits first.
  void ShowReport(const ReportTable& table);

  // The screen asks the list to take the focus, which ends an open editor: its value goes into
  // its cell as when it loses the focus.
  void EndEditing();
  // Whether an in-place editor is open.
  bool IsEditing() const { return edited_.row >= 0; }
  // The number editor and the drop-down (null before their first use), for tests and pictures.
  NumberEdit* NumberEditor() const { return number_editor_; }
  CellComboBox* DropDown() const { return drop_down_; }

  // A menu opened at the tap point by a tap-and-hold (right click); null for none. Not owned.
  void SetContextMenu(QMenu* menu) { context_menu_ = menu; }

  // The text a cell held before the last in-place edit committed into it (process-wide).
  static const DbString& LastReplacedCellText();

 signals:
  // A double tap on a cell whose column has no editor that opens (or column 0's label editing)
  // was not taken by the list; the screen may use it.
  void DoubleTapNotTaken(int row, int column);
  // An in-place editor committed into this cell while the list was shown.
  void CellEdited(int row, int column);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  void commitData(QWidget* editor) override;

 private:
  struct EditedCell {
    int row = -1;  // -1: no editor open
    int column = -1;
    int kind = kEditorPlainText;
    int decimals = 0;
  };

  void HandleDoubleTap(const QModelIndex& index);
  void OpenNumberEditor(const QModelIndex& index, const ColumnEditor& editor);
  void OpenDropDown(const QModelIndex& index, const ColumnEditor& editor);
  void PlaceEditor(QWidget* editor, const QModelIndex& index, const ColumnEditor& descriptor);
  // Commits the open editor's value into its cell and hides the editors (the editors' "done").
  void CommitEditor();
  // The text the open editor gives its cell; false when it gives none.
  bool EditorValue(DbString* value) const;
  // Puts `value` (when not null and different) into the cell; the old text becomes the last
  // replaced cell text.
  void ReplaceCell(int row, int column, const DbString* value);
  void OnEditorLeft();
  void PaintGrid();

  EditListModel* model_;    // owned as a child
  EditListHeader* header_;  // owned as a child
  EditListDelegate* delegate_;
  ColumnEditors editors_;
  QList<QPixmap> images_;
  NumberEdit* number_editor_ = nullptr;  // children of the viewport, made on first use
  CellComboBox* drop_down_ = nullptr;
  EditedCell edited_;
  QMenu* context_menu_ = nullptr;
  bool grid_ = false;
  bool select_next_after_delete_ = true;
  bool selecting_ = false;  // a change of selection is ending the editor
};

}  // namespace ledgerix
