#include "ui/controls/image_button.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QVariant>
#include <vector>

#include "ui/controls/colour_ref.h"
#include "ui/controls/face_gradient.h"
#include "ui/controls/picture_loader.h"

namespace ledgerix {
namespace {

constexpr size_t kHotFace = 0;
constexpr size_t kNormalFace = 1;
constexpr size_t kPressedFace = 2;

constexpr size_t kNormalBitmap = 0;
constexpr size_t kHotBitmap = 1;
constexpr size_t kDisabledBitmap = 2;

constexpr int kPresetBands = 189;

// Adds `amount` to each of the three colour bytes, each wrapping round at 256.
uint32_t AddToEachByte(uint32_t colour, uint32_t amount) {
  uint32_t sum = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    sum |= (((colour >> shift) + amount) & 0xFF) << shift;
  }
  return sum;
}

Qt::Alignment TextAlignment(uint32_t format) {
  Qt::Alignment alignment = Qt::AlignLeft;
  if (format & ImageButton::kTextCentre) {
    alignment = Qt::AlignHCenter;
  } else if (format & ImageButton::kTextRight) {
    alignment = Qt::AlignRight;
  }
  if (format & ImageButton::kTextBottom) return alignment | Qt::AlignBottom;
  if (format & ImageButton::kTextVerticalCentre) return alignment | Qt::AlignVCenter;
  return alignment | Qt::AlignTop;
}

void FillPixel(QPainter& painter, int x, int y, const QColor& colour) {
  painter.fillRect(QRect(x, y, 1, 1), colour);
}

}  // namespace

ImageButton::ImageButton(QWidget* parent, const SystemColours* colours)
    : QAbstractButton(parent),
      own_colours_(colours == nullptr ? std::make_unique<SystemColours>() : nullptr),
      colours_(colours == nullptr ? own_colours_.get() : colours),
      menu_(std::make_unique<QMenu>()) {
  setMouseTracking(true);
  ConnectMenu();
  (void)ApplyPreset(8);
}

ImageButton::~ImageButton() = default;

void ImageButton::SetBitmaps(int normal, int hot, int disabled) {
  bitmaps_ = {Bitmap{normal, {}}, Bitmap{hot, {}}, Bitmap{disabled, {}}};
  update();
}

bool ImageButton::ApplyPreset(int preset) {
  if (preset != 3 && preset != 5 && preset != 7 && preset != 8 && preset != 9) return false;
  light_pen_.reset();
  dark_pen_.reset();
  text_format_ = {kTextVerticalCentre, kTextCentre};
  focus_rect_ = true;
  align_ = kAlignCentre;
  emboss_ = true;
  // The gradient the presets that have one share; the others keep the one the button had.
  const auto set_gradient = [this](std::array<uint32_t, 3> ends) {
    ends_ = ends;
    gradient_ = true;
    band_count_ = kPresetBands;
  };
  switch (preset) {
    case 3:
      light_pen_ = SystemColour(SystemColours::kButtonHighlight);
      dark_pen_ = SystemColour(SystemColours::kButtonShadow);
      starts_ = {0x6FD2D2, 0x6FD2D2, 0x6FC1C1};
      set_gradient({0xFFFFFF, 0xFFFFFF, 0xFFEEEE});
      text_colour_ = hot_text_colour_ = 0x5A3264;
      break;
    case 5: {
      light_pen_ = SystemColour(SystemColours::kButtonHighlight);
      dark_pen_ = SystemColour(SystemColours::kButtonShadow);
      const uint32_t face = SystemColour(SystemColours::kButtonFace);
      starts_ = {face, face, face};
      text_colour_ = hot_text_colour_ = 0;
      break;
    }
    case 7:
      light_pen_ = dark_pen_ = 0x92B36D;
      starts_ = {0x88A963, 0x88A963, 0x88A963};
      set_gradient({0xFFFFFF, 0xFFFFFF, 0xDCDCDC});
      text_colour_ = hot_text_colour_ = 0;
      focus_rect_ = false;
      break;
    case 8:
      light_pen_ = 0xB4B4B4;
      dark_pen_ = 0xA0A0A0;
      starts_ = {0xFFFFFF, 0xF5F5F5, 0xEBEBEB};
      set_gradient({0xD7D7D7, 0xC8C8C8, 0xB9B9B9});
      text_colour_ = 0x232323;
      hot_text_colour_ = 0x373737;
      focus_rect_ = false;
      break;
    case 9: {
      light_pen_ = SystemColour(SystemColours::kButtonHighlight);
      dark_pen_ = SystemColour(SystemColours::kButtonShadow);
      const uint32_t caption = SystemColour(SystemColours::kActiveCaption);
      starts_ = {AddToEachByte(caption, 50), 0xFFFFFF, caption};
      text_colour_ = 0;
      hot_text_colour_ = 0xFFFFFF;
      focus_rect_ = false;
      break;
    }
  }
  update();
  return true;
}

void ImageButton::SetTransparent(bool transparent) {
  transparent_ = transparent;
  if (transparent) {
    light_pen_.reset();
    dark_pen_.reset();
    text_format_ = {kTextBottom, kTextCentre};
    focus_rect_ = false;
  }
  update();
}

void ImageButton::SetBitmapAlign(int align) {
  align_ = align;
  update();
}

void ImageButton::SetFocusRect(bool on) {
  focus_rect_ = on;
  update();
}

bool ImageButton::AttachMenu(std::unique_ptr<QMenu> menu, bool replace) {
  if (replace && menu_ != nullptr) {
    menu_->disconnect(this);
    menu_.reset();
  }
  if (menu_ == nullptr && menu != nullptr) {
    menu_ = std::move(menu);
    ConnectMenu();
  }
  return menu_ != nullptr;
}

void ImageButton::ConnectMenu() {
  connect(menu_.get(), &QMenu::triggered, this, &ImageButton::OnMenuTriggered);
  connect(menu_.get(), &QMenu::aboutToHide, this, &ImageButton::OnMenuClosed);
}

void ImageButton::SetMenuBelow(bool below) { menu_below_ = below; }

void ImageButton::SetMenuOpener(MenuOpener opener) { opener_ = std::move(opener); }

QAction* ImageButton::AddCommand(QMenu& menu, const QString& text, int command_id) {
  QAction* action = menu.addAction(text);
  action->setData(command_id);
  return action;
}

QSize ImageButton::sizeHint() const {
  QSize size(16, 16);
  if (const PictureEntry* entry = FindPicture(PictureKind::kBitmap, bitmaps_[kNormalBitmap].id)) {
    size = QSize(entry->width + 4, entry->height + 4);
  }
  if (!text().isEmpty()) {
    const QFontMetrics metrics(font());
    size = size.expandedTo(QSize(metrics.horizontalAdvance(text()) + 8, metrics.height() + 8));
  }
  return size;
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
  QAbstractButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  hot_ = false;
  tracking_ = true;
  press_opened_menu_ = menu_ != nullptr && !menu_->actions().isEmpty();
  update();
  if (press_opened_menu_) {
    OpenMenu();
    return;
  }
  hot_ = true;
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
  QAbstractButton::mouseMoveEvent(event);
  if ((event->buttons() & Qt::LeftButton) && !hot_) return;
  const bool inside = rect().contains(event->position().toPoint());
  if (!tracking_) {
    if (inside && QApplication::activeWindow() != nullptr) {
      hot_ = true;
      tracking_ = true;
      update();
    }
  } else if (hot_ && !inside) {
    hot_ = false;
    pressed_ = false;
    tracking_ = false;
    update();
  }
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractButton::mouseReleaseEvent(event);
    return;
  }
  hot_ = false;
  pressed_ = false;
  update();
  // The press that opened the menu is not a click of the button.
  if (press_opened_menu_) setDown(false);
  press_opened_menu_ = false;
  QAbstractButton::mouseReleaseEvent(event);
  tracking_ = false;
}

void ImageButton::leaveEvent(QEvent* event) {
  // The pointer left without the pen down: nothing follows it any more.
  if (tracking_ && !isDown()) {
    hot_ = false;
    pressed_ = false;
    tracking_ = false;
    update();
  }
  QAbstractButton::leaveEvent(event);
}

void ImageButton::OpenMenu() {
  const QPoint position = menu_below_
                              ? mapToGlobal(QPoint(0, height()))
                              : mapToGlobal(QPoint(0, 0)) - QPoint(0, menu_->sizeHint().height());
  if (opener_) {
    opener_(*menu_, position);
  } else {
    menu_->popup(position);
  }
}

void ImageButton::OnMenuClosed() {
  pressed_ = false;
  hot_ = false;
  tracking_ = false;
  setDown(false);
  update();
}

void ImageButton::OnMenuTriggered(QAction* action) {
  bool is_number = false;
  const int command_id = action->data().toInt(&is_number);
  if (is_number) emit Command(command_id);
}

const QPixmap& ImageButton::PictureToShow(qreal device_pixel_ratio) {
  size_t slot = kNormalBitmap;
  if (!isEnabled() && bitmaps_[kDisabledBitmap].id != 0) {
    slot = kDisabledBitmap;
  } else if (hot_ && bitmaps_[kHotBitmap].id != 0) {
    slot = kHotBitmap;
  }
  Bitmap& bitmap = bitmaps_[slot];
  if (bitmap.id != 0 &&
      (bitmap.picture.isNull() || bitmap.picture.devicePixelRatio() != device_pixel_ratio)) {
    bitmap.picture = LoadBitmap(bitmap.id, device_pixel_ratio);
  }
  return bitmap.picture;
}

void ImageButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (!transparent_) PaintFace(painter);
  const QPixmap& picture = PictureToShow(devicePixelRatioF());
  if (!picture.isNull()) PaintPicture(painter, picture);
  PaintBorder(painter);
  if (hasFocus() && focus_rect_) PaintFocus(painter);
  if (!text().isEmpty()) PaintText(painter);
}

void ImageButton::PaintFace(QPainter& painter) const {
  size_t state = kNormalFace;
  if (hot_) state = (isDown() || pressed_) ? kPressedFace : kHotFace;
  for (const FaceBand& band :
       FaceBands(starts_[state], ends_[state], gradient_, band_count_, height())) {
    painter.fillRect(QRect(0, band.top, width(), band.rows), FromColourRef(band.colour));
  }
}

void ImageButton::PaintPicture(QPainter& painter, const QPixmap& picture) const {
  const QSize size = picture.deviceIndependentSize().toSize();
  int x = (width() - size.width()) / 2;
  if (align_ == kAlignLeft) {
    x = 0;
  } else if (align_ == kAlignRight) {
    x = width() - size.width();
  }
  QPoint at(x, (height() - size.height()) / 2);
  if (isDown()) at += QPoint(1, 1);
  painter.drawPixmap(at, picture);
}

void ImageButton::PaintBorder(QPainter& painter) const {
  // Raised: light at the left and top, dark at the bottom and right; pushed, the two swap.
  const bool sunken = isDown() || pressed_;
  const std::optional<uint32_t>& first = sunken ? dark_pen_ : light_pen_;
  const std::optional<uint32_t>& second = sunken ? light_pen_ : dark_pen_;
  const int w = width();
  const int h = height();
  if (first) {
    painter.fillRect(QRect(0, 0, 1, h - 1), FromColourRef(*first));  // left, bottom - 2 to top
    painter.fillRect(QRect(0, 0, w - 1, 1), FromColourRef(*first));  // top, to right - 2
  }
  if (second) {
    painter.fillRect(QRect(1, h - 1, w - 1, 1), FromColourRef(*second));  // bottom
    painter.fillRect(QRect(w - 1, 1, 1, h - 1), FromColourRef(*second));  // right, up to top + 1
  }
}

void ImageButton::PaintFocus(QPainter& painter) const {
  const int left = 3;
  const int top = 2;
  const int right = width() - 4;
  const int bottom = height() - 3;
  if (right < left || bottom < top) return;
  // Round the rectangle clockwise from its top left corner, a dot on every second pixel.
  std::vector<QPoint> round;
  for (int x = left; x <= right; ++x) round.emplace_back(x, top);
  for (int y = top + 1; y <= bottom; ++y) round.emplace_back(right, y);
  for (int x = right - 1; x >= left && bottom > top; --x) round.emplace_back(x, bottom);
  for (int y = bottom - 1; y > top && right > left; --y) round.emplace_back(left, y);
  const QColor colour = FromColourRef(SystemColour(SystemColours::kGreyText));
  for (size_t i = 0; i < round.size(); i += 2)
    FillPixel(painter, round[i].x(), round[i].y(), colour);
}

void ImageButton::PaintText(QPainter& painter) const {
  const uint32_t format = text_format_[0] | text_format_[1];
  const int flags = static_cast<int>(TextAlignment(format)) | Qt::TextSingleLine;
  QRect area = rect();
  if (format & kTextBottom) area.setBottom(area.bottom() - 2);
  painter.setFont(font());
  if (!isEnabled() && emboss_) {
    painter.setPen(FromColourRef(SystemColour(SystemColours::kHighlightedText)));
    painter.drawText(area.translated(1, 1), flags, text());
    painter.setPen(FromColourRef(SystemColour(SystemColours::kButtonShadow)));
    painter.drawText(area, flags, text());
    return;
  }
  painter.setPen(FromColourRef(hot_ ? hot_text_colour_ : text_colour_));
  painter.drawText(area.adjusted(2, 2, -2, -2), flags, text());
}

}  // namespace ledgerix
