#pragma once
// CellComboBox: the in-place drop-down of an EditList. It says when the person is done with it:
// when its list closes or when it loses the focus (but not to its own open list).

#include <QComboBox>

namespace ledgerix {

class CellComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit CellComboBox(QWidget* parent = nullptr);
  void hidePopup() override;

 signals:
  void LeftEditing();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace ledgerix
