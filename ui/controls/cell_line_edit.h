#pragma once
// CellLineEdit: the in-place number editor of an EditList until the fixed-point NumberEdit is
// in the toolkit: a line edit with the same operations (decimals, digits only) that says when
// it loses the focus. Typing follows the line edit's own rules.

#include <QLineEdit>

namespace ledgerix {

class CellLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CellLineEdit(QWidget* parent = nullptr);

  // Decimals after the "."; setting them puts "0." and that many zeros ("" for 0).
  void SetDecimals(int decimals);
  int Decimals() const { return decimals_; }
  // Only digits can be typed.
  void SetDigitsOnly(bool on);

 signals:
  void LeftEditing();

 protected:
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int decimals_ = 0;
  QValidator* digits_ = nullptr;  // a child of this editor, made on first use
};

}  // namespace ledgerix
