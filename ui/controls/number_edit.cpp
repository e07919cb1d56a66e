#include "ui/controls/number_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "ui/controls/number_keys.h"

namespace ledgerix {
namespace {

// Texts the editor holds are Latin-1 one character to one byte, so positions carry over as they
// are; a character outside Latin-1 becomes "?", which no rule takes.
NumberKeyState StateOf(const QLineEdit& edit) {
  NumberKeyState state;
  state.text = edit.text().toLatin1().toStdString();
  if (edit.hasSelectedText()) {
    state.sel_begin = edit.selectionStart();
    state.sel_end = edit.selectionEnd();
  } else {
    state.sel_begin = edit.cursorPosition();
    state.sel_end = state.sel_begin;
  }
  return state;
}

void Show(QLineEdit& edit, const NumberKeyState& state) {
  edit.setText(QString::fromLatin1(state.text));
  edit.setCursorPosition(state.sel_end);
}

// Accepts only texts in the number form; QLineEdit then turns back any edit of its own that
// would leave another text.
class NumberFormValidator : public QValidator {
 public:
  explicit NumberFormValidator(int decimals) : keys_(decimals) {}

  State validate(QString& input, int& /*position*/) const override {
    return keys_.IsInForm(input.toLatin1().toStdString()) ? Acceptable : Invalid;
  }

 private:
  NumberKeys keys_;
};

}  // namespace

NumberEdit::NumberEdit(QWidget* parent)
    : QLineEdit(parent),
      digits_validator_(std::make_unique<QRegularExpressionValidator>(
          QRegularExpression(QStringLiteral("[0-9]*")))) {}

NumberEdit::~NumberEdit() = default;

void NumberEdit::SetDecimals(int decimals) {
  decimals_ = std::clamp(decimals, 0, 6);
  number_validator_.reset();
  if (decimals_ > 0) number_validator_ = std::make_unique<NumberFormValidator>(decimals_);
  UpdateValidator();
  setText(QString::fromLatin1(ZeroNumberText(decimals_)));
}

int NumberEdit::Decimals() const { return decimals_; }

void NumberEdit::SetDigitsOnly(bool digits_only) {
  digits_only_ = digits_only;
  UpdateValidator();
}

void NumberEdit::UpdateValidator() {
  if (decimals_ > 0) {
    setValidator(number_validator_.get());
  } else {
    setValidator(digits_only_ ? digits_validator_.get() : nullptr);
  }
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
  if (decimals_ == 0) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const NumberKeys keys(decimals_);
  NumberKeyState state = StateOf(*this);
  const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) == 0;
  const QString typed = event->text();
  if (event->matches(QKeySequence::Paste)) {
    const QString pasted = QGuiApplication::clipboard()->text();
    if (keys.Paste(state, pasted.toLatin1().toStdString())) {
      Show(*this, state);
    } else {
      QApplication::beep();  // not a number: the text stays as it was
    }
  } else if (event->matches(QKeySequence::Cut)) {
    if (!hasSelectedText()) return;
    copy();
    keys.DeleteKey(state);
    Show(*this, state);
  } else if (plain && event->key() == Qt::Key_Backspace) {
    keys.Backspace(state);
    Show(*this, state);
  } else if (plain && event->key() == Qt::Key_Delete) {
    keys.DeleteKey(state);
    Show(*this, state);
  } else if (plain && typed.size() == 1 && typed[0].isPrint()) {
    // Every printable character is the editor's: the rules take it or it is dropped.
    if (keys.TypeChar(state, typed[0].toLatin1())) Show(*this, state);
  } else {
    QLineEdit::keyPressEvent(event);  // moving, selecting, Tab, Enter, Escape...
  }
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A context menu of the editor's own takes the focus only for a moment; editing goes on.
  if (event->reason() != Qt::PopupFocusReason) emit LeftEditing();
}

}  // namespace ledgerix
