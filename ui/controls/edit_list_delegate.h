#pragma once
// EditListDelegate: paints the rows of an EditList and makes its column-0 label editor. A
// selected row is drawn in the selection colours, any other in the colours the model gives
// (the row-colour rule's); column 0 starts with the row's small image; text is single-line,
// vertically centred, 3 pixels in from the cell's left and 2 from its right.

#include <QList>
#include <QPixmap>
#include <QStyledItemDelegate>

#include "ui/controls/column_editor.h"

namespace ledgerix {

// The colours of a selected row (0x00BBGGRR).
inline constexpr uint32_t kSelectedRowBackground = 0x00927B96;
inline constexpr uint32_t kSelectedRowText = 0x0019FFFF;

class EditListDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // `editors` and `images` belong to the list and outlive the delegate.
  EditListDelegate(const ColumnEditors& editors, const QList<QPixmap>& images,
                   QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  // The label editor of column 0: a line edit in the editor font, digits only for a digits
  // column.
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

 private:
  // Draws the row's image at the cell's left; answers the pixels it took.
  int PaintImage(QPainter* painter, const QRect& cell, const QModelIndex& index) const;

  const ColumnEditors& editors_;
  const QList<QPixmap>& images_;
};

// The font of the in-place editors: DejaVu Sans 13 pixels, weight 200.
QFont CellEditorFont();

}  // namespace ledgerix
