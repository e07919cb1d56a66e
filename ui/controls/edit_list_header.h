#pragma once
// EditListHeader: the column header of an EditList; with the list's grid on it draws the two
// grid lines under the titles.

#include <QHeaderView>

namespace ledgerix {

// The colour of the list's grid lines (0x00BBGGRR).
inline constexpr uint32_t kGridLineColour = 0x00A0A0A0;

class EditListHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit EditListHeader(QWidget* parent = nullptr);
  void SetGrid(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool grid_ = false;
};

}  // namespace ledgerix
