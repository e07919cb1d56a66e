#pragma once
// NumberEdit: the fixed-point number editor, a text box whose text is always integer digits, "."
// and N decimals while N > 0 (the rules are NumberKeys'); with N = 0 it is a plain text box. The
// editable list uses it as its in-place cell editor.

#include <QLineEdit>
#include <memory>

class QValidator;

namespace ledgerix {

class NumberEdit : public QLineEdit {
  Q_OBJECT

 public:
  // Starts as a plain text box (N = 0), empty.
  explicit NumberEdit(QWidget* parent = nullptr);
  ~NumberEdit() override;

  // Sets N (taken into 0..6) and the text: "0." and N zeros ("0.00" for 2), empty for 0.
  void SetDecimals(int decimals);
  int Decimals() const;

  // Digits only: as a plain text box (N = 0) it then takes nothing but digits, typed or pasted.
  // While N > 0 the number rules govern and this waits until N is 0 again.
  void SetDigitsOnly(bool digits_only);

 signals:
  // The editor lost the focus (not to a popup menu of its own): the list commits the cell.
  void LeftEditing();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void UpdateValidator();

  int decimals_ = 0;
  bool digits_only_ = false;
  // Guard the editing QLineEdit does by itself (context menu, drops, middle-click paste, undo):
  // an edit whose text breaks the rule is turned back.
  std::unique_ptr<QValidator> number_validator_;
  std::unique_ptr<QValidator> digits_validator_;
};

}  // namespace ledgerix
