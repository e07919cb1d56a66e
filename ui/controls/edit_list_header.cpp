#include "ui/controls/edit_list_header.h"

#include <QPainter>

#include "ui/controls/colour_ref.h"

namespace ledgerix {

EditListHeader::EditListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void EditListHeader::SetGrid(bool on) {
  grid_ = on;
  viewport()->update();
}

void EditListHeader::paintEvent(QPaintEvent* event) {
  QHeaderView::paintEvent(event);
  if (!grid_) return;
  QPainter painter(viewport());
  painter.setPen(FromColourRef(kGridLineColour));
  const int bottom = viewport()->height() - 1;
  painter.drawLine(0, bottom - 1, viewport()->width() - 1, bottom - 1);
  painter.drawLine(0, bottom, viewport()->width() - 1, bottom);
}

}  // namespace ledgerix
