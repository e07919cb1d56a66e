#include "ui/controls/cell_line_edit.h"

#include <QFocusEvent>
#include <QRegularExpressionValidator>

namespace ledgerix {

CellLineEdit::CellLineEdit(QWidget* parent) : QLineEdit(parent) {}

void CellLineEdit::SetDecimals(int decimals) {
  decimals_ = decimals < 0 ? 0 : decimals;
  setText(decimals_ == 0 ? QString() : QStringLiteral("0.") + QString(decimals_, u'0'));
}

void CellLineEdit::SetDigitsOnly(bool on) {
  if (on && digits_ == nullptr) {
    digits_ = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
  }
  setValidator(on ? digits_ : nullptr);
}

void CellLineEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit LeftEditing();
}

}  // namespace ledgerix
