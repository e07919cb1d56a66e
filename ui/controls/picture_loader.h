#pragma once
// Renders the program's pictures (picture_table.h) from their drawings, compiled into the
// program, into pixmaps ready to draw: sharp at the device pixel ratio asked for.

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include "ui/controls/picture_table.h"

namespace ledgerix {

// Picture `id` of `kind` at its size in the table, rendered for `device_pixel_ratio` (its
// deviceIndependentSize() is the table's size). An empty pixmap when the program has no such
// picture or its drawing cannot be read.
QPixmap LoadPicture(PictureKind kind, int id, qreal device_pixel_ratio = 1.0);

// The same at `size` (logical pixels) instead of the table's; empty also for an empty size.
QPixmap LoadPicture(PictureKind kind, int id, QSize size, qreal device_pixel_ratio);

// Bitmap `id` at its size, as the picture buttons show it.
inline QPixmap LoadBitmap(int id, qreal device_pixel_ratio = 1.0) {
  return LoadPicture(PictureKind::kBitmap, id, device_pixel_ratio);
}

// Icon `id` for a window: its drawing at 16 x 16 and at its own size, for pixel ratios 1 and 2.
// A null icon when the program has no such icon.
QIcon LoadIcon(int id);

}  // namespace ledgerix
