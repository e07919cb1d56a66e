#include "ui/controls/picture_loader.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cmath>

// The drawings are compiled into this static library; naming their resource makes the linker
// keep it, and registers it before the first load.
static void RegisterPictures() { Q_INIT_RESOURCE(pictures); }

namespace ledgerix {
namespace {

void EnsurePicturesRegistered() {
  static const bool registered = [] {
    RegisterPictures();
    return true;
  }();
  (void)registered;
}

QString PicturePath(const PictureEntry& entry) {
  return QStringLiteral(":/pictures/") +
         QString::fromLatin1(entry.file.data(), static_cast<qsizetype>(entry.file.size()));
}

}  // namespace

QPixmap LoadPicture(PictureKind kind, int id, qreal device_pixel_ratio) {
  const PictureEntry* entry = FindPicture(kind, id);
  if (entry == nullptr) return QPixmap();
  return LoadPicture(kind, id, QSize(entry->width, entry->height), device_pixel_ratio);
}

QPixmap LoadPicture(PictureKind kind, int id, QSize size, qreal device_pixel_ratio) {
  const PictureEntry* entry = FindPicture(kind, id);
  if (entry == nullptr || size.isEmpty() || !(device_pixel_ratio > 0)) return QPixmap();
  EnsurePicturesRegistered();
  QSvgRenderer renderer(PicturePath(*entry));
  if (!renderer.isValid()) return QPixmap();
  const QSize pixels(static_cast<int>(std::lround(size.width() * device_pixel_ratio)),
                     static_cast<int>(std::lround(size.height() * device_pixel_ratio)));
  QPixmap picture(pixels);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
  }
  picture.setDevicePixelRatio(device_pixel_ratio);
  return picture;
}

QIcon LoadIcon(int id) {
  const PictureEntry* entry = FindPicture(PictureKind::kIcon, id);
  if (entry == nullptr) return QIcon();
  QIcon icon;
  for (const QSize size : {QSize(16, 16), QSize(entry->width, entry->height)}) {
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap picture = LoadPicture(PictureKind::kIcon, id, size, ratio);
      if (!picture.isNull()) icon.addPixmap(picture);
    }
  }
  return icon;
}

}  // namespace ledgerix
