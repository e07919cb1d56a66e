#include "ui/controls/edit_list_delegate.h"

#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "ui/controls/colour_ref.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/edit_list_model.h"

namespace ledgerix {
namespace {

constexpr int kTextLeftInset = 3;
constexpr int kTextRightInset = 2;

}  // namespace

QFont CellEditorFont() { return DeviceFont(13, 200); }

EditListDelegate::EditListDelegate(const ColumnEditors& editors, const QList<QPixmap>& images,
                                   QObject* parent)
    : QStyledItemDelegate(parent), editors_(editors), images_(images) {}

void EditListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const QColor background = selected ? FromColourRef(kSelectedRowBackground)
                                     : index.data(Qt::BackgroundRole).value<QColor>();
  const QColor text =
      selected ? FromColourRef(kSelectedRowText) : index.data(Qt::ForegroundRole).value<QColor>();
  painter->save();
  painter->setClipRect(option.rect);
  painter->fillRect(option.rect, background);
  QRect text_rect = option.rect;
  if (index.column() == 0)
    text_rect.setLeft(text_rect.left() + PaintImage(painter, option.rect, index));
  text_rect.adjust(kTextLeftInset, 0, -kTextRightInset, 0);
  const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
  painter->setPen(text);
  painter->setFont(option.font);
  painter->drawText(text_rect, static_cast<int>(alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}

int EditListDelegate::PaintImage(QPainter* painter, const QRect& cell,
                                 const QModelIndex& index) const {
  const int image = index.data(EditListModel::kImageRole).toInt();
  if (image < 0 || image >= images_.size() || images_[image].isNull()) return 0;
  const QPixmap& pixmap = images_[image];
  const QSize size = pixmap.deviceIndependentSize().toSize();
  painter->drawPixmap(cell.left(), cell.top() + (cell.height() - size.height()) / 2, pixmap);
  return size.width();
}

QWidget* EditListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);  // owned by the view, which deletes it when done
  editor->setFont(CellEditorFont());
  const ColumnEditor* descriptor = editors_.Find(index.column());
  if (descriptor != nullptr && descriptor->kind == kEditorDigits) {
    editor->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), editor));
  }
  return editor;
}

}  // namespace ledgerix
