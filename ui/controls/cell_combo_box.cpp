#include "ui/controls/cell_combo_box.h"

#include <QAbstractItemView>
#include <QFocusEvent>

namespace ledgerix {

CellComboBox::CellComboBox(QWidget* parent) : QComboBox(parent) {}

void CellComboBox::hidePopup() {
  QComboBox::hidePopup();
  emit LeftEditing();
}

void CellComboBox::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (event->reason() != Qt::PopupFocusReason && !view()->isVisible()) emit LeftEditing();
}

}  // namespace ledgerix
