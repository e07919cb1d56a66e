#pragma once
// ImageButton: the program's picture button. It paints itself: a face in start-to-end colour
// bands that change with the pointer and the pen, a picture, a 3-D border, a dotted focus
// rectangle and one line of text; styles come from numbered presets. It can drop down a menu
// whose items hand their command ids to the screen through the Command signal.

#include <QAbstractButton>
#include <QMenu>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "ui/controls/system_colours.h"

namespace ledgerix {

class ImageButton : public QAbstractButton {
  Q_OBJECT

 public:
  // Where the picture stands across the button (it is always centred vertically).
  static constexpr int kAlignRight = 0;
  static constexpr int kAlignLeft = 1;
  static constexpr int kAlignCentre = 2;

  // Text format flags, or-ed; with none the text stands at the top left.
  static constexpr uint32_t kTextCentre = 1;
  static constexpr uint32_t kTextRight = 2;
  static constexpr uint32_t kTextVerticalCentre = 4;
  static constexpr uint32_t kTextBottom = 8;

  // Opens the drop-down menu with its top left corner at `position` (global). The default shows
  // it with QMenu::popup and returns at once; the menu reports its closing by hiding.
  using MenuOpener = std::function<void(QMenu& menu, const QPoint& position)>;

  // A button with no pictures, not hot, not pressed, not transparent, an empty menu of its own
  // that opens above it, in preset 8. `colours` stays the caller's and must outlive the button;
  // with none the button reads the application palette's.
  explicit ImageButton(QWidget* parent = nullptr, const SystemColours* colours = nullptr);
  ~ImageButton() override;

  // Shows bitmaps `normal`, `hot` (while the pointer is over the button) and `disabled` (while
  // the button is disabled) of the picture table; 0 leaves a slot empty, and so does an id the
  // program has no picture for (the face is painted all the same). The pictures are rendered at
  // the pixel ratio of the screen the button is painted on.
  void SetBitmaps(int normal, int hot = 0, int disabled = 0);

  // Applies style preset 3, 5, 7, 8 or 9: colours, pens, text format, picture alignment (centre),
  // focus rectangle and embossed disabled text. Presets 5 and 9 keep the end colours, band count
  // and gradient flag the button had. Answers false, changing nothing, for any other number.
  [[nodiscard]] bool ApplyPreset(int preset);

  // Transparent: no face fill; switching it on also removes the border, puts the text at the
  // bottom centre and switches the focus rectangle off.
  void SetTransparent(bool transparent);
  void SetBitmapAlign(int align);  // kAlignRight, kAlignLeft or kAlignCentre
  void SetFocusRect(bool on);

  // Attaches `menu` as the drop-down menu. With `replace` the menu attached before is destroyed
  // first; otherwise a button that has a menu keeps it and `menu` is destroyed. Answers whether
  // the button has a menu afterwards (a null `menu` with `replace` leaves it without one).
  bool AttachMenu(std::unique_ptr<QMenu> menu, bool replace);
  // True: the menu hangs from the button's bottom edge; false: it stands on its top edge.
  void SetMenuBelow(bool below);
  // The drop-down menu (the button owns it); null when it has none.
  QMenu* Menu() const { return menu_.get(); }
  // Replaces the way the menu is opened (tests open it without showing it).
  void SetMenuOpener(MenuOpener opener);

  // Adds an item to `menu` that, chosen from a button's drop-down, sends `command_id` through the
  // button's Command signal. The menu owns the item it answers.
  static QAction* AddCommand(QMenu& menu, const QString& text, int command_id);

  bool IsHot() const { return hot_; }
  bool IsPressed() const { return pressed_; }
  bool IsTransparent() const { return transparent_; }

  QSize sizeHint() const override;

 signals:
  // An item of the drop-down menu was chosen; its command id (the data AddCommand gave it).
  void Command(int command_id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  struct Bitmap {
    int id = 0;
    QPixmap picture;  // rendered on first paint at the painter's pixel ratio
  };

  void ConnectMenu();
  void OpenMenu();
  void OnMenuClosed();
  void OnMenuTriggered(QAction* action);
  uint32_t SystemColour(int index) const { return colours_->Colour(index); }
  const QPixmap& PictureToShow(qreal device_pixel_ratio);
  void PaintFace(QPainter& painter) const;
  void PaintPicture(QPainter& painter, const QPixmap& picture) const;
  void PaintBorder(QPainter& painter) const;
  void PaintFocus(QPainter& painter) const;
  void PaintText(QPainter& painter) const;

  std::unique_ptr<SystemColours> own_colours_;
  const SystemColours* colours_;
  std::array<Bitmap, 3> bitmaps_;  // normal, hot, disabled
  // Face colours (0x00BBGGRR) by state: hot, not hot, hot and pressed.
  std::array<uint32_t, 3> starts_ = {0, 0, 0};
  std::array<uint32_t, 3> ends_ = {0, 0, 0};
  bool gradient_ = false;
  int band_count_ = 0;
  std::array<uint32_t, 2> text_format_ = {0, 0};
  int align_ = kAlignCentre;
  std::optional<uint32_t> light_pen_;
  std::optional<uint32_t> dark_pen_;
  uint32_t text_colour_ = 0;
  uint32_t hot_text_colour_ = 0;
  bool transparent_ = false;
  bool focus_rect_ = true;
  bool emboss_ = true;
  bool hot_ = false;
  bool pressed_ = false;
  bool tracking_ = false;  // following the pointer since it came over the button
  bool press_opened_menu_ = false;
  bool menu_below_ = false;
  std::unique_ptr<QMenu> menu_;
  MenuOpener opener_;
};

}  // namespace ledgerix
