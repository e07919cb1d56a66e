// The picture button, read back from the pixels it paints and driven by real pointer events.
#include "ui/controls/image_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "ui/controls/colour_ref.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/device_screen.h"
#include "ui/controls/picture_loader.h"

namespace ledgerix {
namespace {

constexpr uint32_t kCaption = 0xC08040;
constexpr uint32_t kHighlightedText = 0xFFFFFE;
constexpr uint32_t kFace = 0xD0D0D0;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kGreyText = 0x404040;
constexpr uint32_t kHighlight = 0xF0F0F0;

// System colours fixed apart from whatever palette the machine has.
SystemColours FixedColours(uint32_t caption = kCaption) {
  SystemColours colours{QPalette()};
  colours.Set(SystemColours::kActiveCaption, caption);
  colours.Set(SystemColours::kHighlightedText, kHighlightedText);
  colours.Set(SystemColours::kButtonFace, kFace);
  colours.Set(SystemColours::kButtonShadow, kShadow);
  colours.Set(SystemColours::kGreyText, kGreyText);
  colours.Set(SystemColours::kButtonHighlight, kHighlight);
  return colours;
}

// Each colour byte less 1, never below 0: the first band of a face.
uint32_t LessOne(uint32_t colour) {
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t byte = (colour >> shift) & 0xFF;
    result |= (byte == 0 ? 0 : byte - 1) << shift;
  }
  return result;
}

uint32_t PixelAt(QWidget& widget, int x, int y) {
  return ToColourRef(widget.grab().toImage().pixelColor(x, y));
}

bool PaintsColour(QWidget& widget, uint32_t colour) {
  const QImage image = widget.grab().toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (ToColourRef(image.pixelColor(x, y)) == colour) return true;
    }
  }
  return false;
}

// The pointer moves over `widget` to `position` with no pen down.
void MovePointer(QWidget& widget, QPoint position) {
  QMouseEvent move(QEvent::MouseMove, position, widget.mapToGlobal(position), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

enum class State { kNormal, kHot, kPressed };

// Shows `button` as a window of its own, active, and brings it into `state`.
void ShowIn(ImageButton& button, State state) {
  button.show();
  QApplication::setActiveWindow(&button);
  QApplication::processEvents();
  const QPoint middle = button.rect().center();
  if (state == State::kHot) MovePointer(button, middle);
  if (state == State::kPressed) QTest::mousePress(&button, Qt::LeftButton, {}, middle);
}

TEST(ImageButtonTest, PresetFacesFromTheirTopBandToTheEndColourBelowTheBands) {
  struct Case {
    int preset;
    uint32_t caption;
    State state;
    uint32_t start, end;
  } cases[] = {
      {3, kCaption, State::kNormal, 0x6FD2D2, 0xFFFFFF},
      {3, kCaption, State::kHot, 0x6FD2D2, 0xFFFFFF},
      {3, kCaption, State::kPressed, 0x6FC1C1, 0xFFEEEE},
      // Presets 5 and 9 keep the end colours the constructor's preset 8 gave.
      {5, kCaption, State::kNormal, kFace, 0xC8C8C8},
      {5, kCaption, State::kHot, kFace, 0xD7D7D7},
      {5, kCaption, State::kPressed, kFace, 0xB9B9B9},
      {7, kCaption, State::kNormal, 0x88A963, 0xFFFFFF},
      {7, kCaption, State::kHot, 0x88A963, 0xFFFFFF},
      {7, kCaption, State::kPressed, 0x88A963, 0xDCDCDC},
      {8, kCaption, State::kNormal, 0xF5F5F5, 0xC8C8C8},
      {8, kCaption, State::kHot, 0xFFFFFF, 0xD7D7D7},
      {8, kCaption, State::kPressed, 0xEBEBEB, 0xB9B9B9},
      {9, kCaption, State::kNormal, 0xFFFFFF, 0xC8C8C8},
      {9, kCaption, State::kHot, 0xF2B272, 0xD7D7D7},  // the caption colour + 50 in each byte
      {9, kCaption, State::kPressed, kCaption, 0xB9B9B9},
      // A caption byte above 205 wraps: 230 + 50 is 24.
      {9, 0x64C8E6, State::kHot, 0x96FA18, 0xD7D7D7},
      {9, 0x64C8E6, State::kPressed, 0x64C8E6, 0xB9B9B9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "preset " << c.preset << " state " << static_cast<int>(c.state) << " caption "
                 << std::hex << c.caption);
    const SystemColours colours = FixedColours(c.caption);
    ImageButton button(nullptr, &colours);
    ASSERT_TRUE(button.ApplyPreset(c.preset));
    // 400 rows: 189 bands of 2 rows, then 22 rows in the end colour.
    button.resize(60, 400);
    ShowIn(button, c.state);
    EXPECT_EQ(PixelAt(button, 30, 1), LessOne(c.start));
    EXPECT_EQ(PixelAt(button, 30, 390), c.end);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, button.rect().center());
  }
}

TEST(ImageButtonTest, UnknownPresetChangesNothing) {
  const SystemColours colours = FixedColours();
  ImageButton button(nullptr, &colours);
  button.resize(60, 400);
  ASSERT_TRUE(button.ApplyPreset(7));
  for (const int preset : {0, 1, 4, 6, 10, 15, -1}) EXPECT_FALSE(button.ApplyPreset(preset));
  ShowIn(button, State::kNormal);
  EXPECT_EQ(PixelAt(button, 30, 1), LessOne(0x88A963));
  EXPECT_EQ(PixelAt(button, 0, 200), 0x92B36Du);
}

TEST(ImageButtonTest, BorderIsRaisedAndTheTwoPensSwapWhilePressed) {
  struct Case {
    int preset;
    uint32_t light, dark;
  } cases[] = {
      {3, kHighlight, kShadow}, {5, kHighlight, kShadow}, {7, 0x92B36D, 0x92B36D},
      {8, 0xB4B4B4, 0xA0A0A0},  {9, kHighlight, kShadow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "preset " << c.preset);
    const SystemColours colours = FixedColours();
    ImageButton button(nullptr, &colours);
    ASSERT_TRUE(button.ApplyPreset(c.preset));
    button.resize(60, 30);
    ShowIn(button, State::kNormal);
    EXPECT_EQ(PixelAt(button, 0, 15), c.light);  // left
    EXPECT_EQ(PixelAt(button, 30, 0), c.light);  // top
    EXPECT_EQ(PixelAt(button, 30, 29), c.dark);  // bottom
    EXPECT_EQ(PixelAt(button, 59, 15), c.dark);  // right
    EXPECT_EQ(PixelAt(button, 0, 28), c.light);  // the left edge runs from bottom - 2
    EXPECT_EQ(PixelAt(button, 58, 0), c.light);  // the top edge runs to right - 2
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
    EXPECT_EQ(PixelAt(button, 0, 15), c.dark);
    EXPECT_EQ(PixelAt(button, 30, 0), c.dark);
    EXPECT_EQ(PixelAt(button, 30, 29), c.light);
    EXPECT_EQ(PixelAt(button, 59, 15), c.light);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 15));
    EXPECT_EQ(PixelAt(button, 0, 15), c.light);
  }
}

TEST(ImageButtonTest, TransparentButtonLeavesTheScreenBehindItUnpainted) {
  DeviceDialog screen;
  ImageButton transparent(&screen);
  transparent.setGeometry(10, 10, 40, 30);
  transparent.SetTransparent(true);
  ImageButton opaque(&screen);
  opaque.setGeometry(100, 10, 40, 30);
  screen.show();
  QApplication::processEvents();
  for (const QPoint at : {QPoint(30, 25), QPoint(10, 20), QPoint(30, 10), QPoint(49, 39)}) {
    EXPECT_EQ(PixelAt(screen, at.x(), at.y()), kScreenBackground) << at.x() << "," << at.y();
  }
  EXPECT_NE(PixelAt(screen, 120, 25), kScreenBackground);
  EXPECT_NE(PixelAt(screen, 100, 25), kScreenBackground);
}

TEST(ImageButtonTest, PictureAlignedAcrossCentredDownAndShiftedWhilePressed) {
  const QImage picture = LoadBitmap(141).toImage();
  // A pixel the drawing covers completely, so the screen shows exactly its colour.
  QPoint solid(-1, -1);
  for (int y = 0; y < picture.height() && solid.x() < 0; ++y) {
    for (int x = 0; x < picture.width() && solid.x() < 0; ++x) {
      if (picture.pixelColor(x, y).alpha() == 255) solid = QPoint(x, y);
    }
  }
  ASSERT_GE(solid.x(), 0);
  const uint32_t ink = ToColourRef(picture.pixelColor(solid));
  struct Case {
    int align;
    bool pressed;
    QPoint origin;  // where the picture's top left corner goes on a 100 x 60 button
  } cases[] = {
      {ImageButton::kAlignRight, false, {78, 20}},  {ImageButton::kAlignLeft, false, {0, 20}},
      {ImageButton::kAlignCentre, false, {39, 20}}, {ImageButton::kAlignRight, true, {79, 21}},
      {ImageButton::kAlignCentre, true, {40, 21}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "align " << c.align << " pressed " << c.pressed);
    DeviceDialog screen;
    ImageButton button(&screen);
    button.setGeometry(0, 0, 100, 60);
    button.SetBitmaps(141);
    button.SetTransparent(true);
    button.SetBitmapAlign(c.align);
    screen.show();
    QApplication::processEvents();
    if (c.pressed) QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(PixelAt(button, c.origin.x() + solid.x(), c.origin.y() + solid.y()), ink);
    if (c.pressed) QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
  }
}

TEST(ImageButtonTest, BitmapTheProgramHasNoPictureForStillPaintsTheFace) {
  const SystemColours colours = FixedColours();
  ImageButton button(nullptr, &colours);
  button.SetBitmaps(999);
  button.resize(60, 400);
  ShowIn(button, State::kNormal);
  EXPECT_EQ(PixelAt(button, 30, 1), LessOne(0xF5F5F5));
}

TEST(ImageButtonTest, FocusRectangleDottedInGreyTextWhereThePresetWantsIt) {
  struct Case {
    int preset;
    bool focus_rect;
  } cases[] = {{3, true}, {5, true}, {7, false}, {8, false}, {9, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "preset " << c.preset);
    const SystemColours colours = FixedColours();
    ImageButton button(nullptr, &colours);
    ASSERT_TRUE(button.ApplyPreset(c.preset));
    button.resize(40, 20);
    ShowIn(button, State::kNormal);
    button.setFocus();
    ASSERT_TRUE(button.hasFocus());
    const QImage image = button.grab().toImage();
    const auto grey = [&](int x, int y) {
      return ToColourRef(image.pixelColor(x, y)) == kGreyText;
    };
    // 3 in from left and right, 2 from top and bottom, every second pixel.
    EXPECT_EQ(grey(3, 2), c.focus_rect);
    EXPECT_EQ(grey(5, 2), c.focus_rect);
    EXPECT_FALSE(grey(4, 2));
    EXPECT_EQ(grey(36, 17), c.focus_rect);
    EXPECT_FALSE(grey(2, 2));
    EXPECT_FALSE(grey(3, 1));
  }
}

TEST(ImageButtonTest, TextInItsColourAndEmbossedWhenDisabled) {
  // Colours that no mixing of the grey text with the grey face can give.
  constexpr uint32_t kRed = 0x0000C0;
  constexpr uint32_t kGreen = 0x00C000;
  SystemColours colours = FixedColours();
  colours.Set(SystemColours::kButtonShadow, kRed);
  colours.Set(SystemColours::kHighlightedText, kGreen);
  ImageButton button(nullptr, &colours);
  button.setText(QStringLiteral("ШШШ"));
  button.resize(80, 30);
  ShowIn(button, State::kNormal);
  EXPECT_TRUE(PaintsColour(button, 0x232323));
  EXPECT_FALSE(PaintsColour(button, kRed));
  button.setEnabled(false);
  EXPECT_TRUE(PaintsColour(button, kRed));
  EXPECT_TRUE(PaintsColour(button, kGreen));
  EXPECT_FALSE(PaintsColour(button, 0x232323));
}

TEST(ImageButtonTest, PointerOverMakesItHotLeavingOrLiftingThePenEndsIt) {
  ImageButton button;
  button.resize(60, 30);
  ShowIn(button, State::kNormal);
  EXPECT_FALSE(button.IsHot());
  MovePointer(button, QPoint(10, 10));
  EXPECT_TRUE(button.IsHot());
  MovePointer(button, QPoint(70, 10));  // outside, still followed
  EXPECT_FALSE(button.IsHot());
  MovePointer(button, QPoint(10, 10));
  EXPECT_TRUE(button.IsHot());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button, &leave);
  EXPECT_FALSE(button.IsHot());

  QSignalSpy clicked(&button, &QAbstractButton::clicked);
  QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(button.IsHot());
  EXPECT_TRUE(button.IsPressed());
  QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(button.IsHot());
  EXPECT_FALSE(button.IsPressed());
  EXPECT_EQ(clicked.count(), 1);
}

TEST(ImageButtonTest, AttachMenuKeepsTheMenuItHasUnlessToldToReplaceIt) {
  ImageButton button;
  QPointer<QMenu> own = button.Menu();
  ASSERT_FALSE(own.isNull());
  EXPECT_TRUE(own->actions().isEmpty());

  auto refused = std::make_unique<QMenu>();
  QPointer<QMenu> refused_guard = refused.get();
  EXPECT_TRUE(button.AttachMenu(std::move(refused), false));
  EXPECT_EQ(button.Menu(), own.data());
  EXPECT_TRUE(refused_guard.isNull());

  auto taken = std::make_unique<QMenu>();
  QMenu* taken_menu = taken.get();
  EXPECT_TRUE(button.AttachMenu(std::move(taken), true));
  EXPECT_EQ(button.Menu(), taken_menu);
  EXPECT_TRUE(own.isNull());

  EXPECT_FALSE(button.AttachMenu(nullptr, true));
  EXPECT_EQ(button.Menu(), nullptr);
  // Without a menu the pen works as with an empty one.
  button.resize(60, 30);
  ShowIn(button, State::kPressed);
  EXPECT_TRUE(button.IsHot());
  EXPECT_TRUE(button.IsPressed());
}

TEST(ImageButtonTest, PenDownOpensAMenuWithItemsAtTheLeftEdgeBelowOrAbove) {
  struct Case {
    bool below;
    bool items;
  } cases[] = {{true, true}, {false, true}, {true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "below " << c.below << " items " << c.items);
    ImageButton button;
    button.setGeometry(40, 50, 66, 55);
    if (c.items) ImageButton::AddCommand(*button.Menu(), QStringLiteral("Статистика"), 32795);
    button.SetMenuBelow(c.below);
    std::vector<QPoint> opened;
    button.SetMenuOpener([&](QMenu&, const QPoint& at) { opened.push_back(at); });
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    ShowIn(button, State::kPressed);
    EXPECT_TRUE(button.IsPressed());
    if (!c.items) {
      EXPECT_TRUE(opened.empty());
      EXPECT_TRUE(button.IsHot());
      continue;
    }
    ASSERT_EQ(opened.size(), 1u);
    const QPoint expected =
        c.below ? button.mapToGlobal(QPoint(0, 55))
                : button.mapToGlobal(QPoint(0, 0)) - QPoint(0, button.Menu()->sizeHint().height());
    EXPECT_EQ(opened[0], expected);
    EXPECT_FALSE(button.IsHot());
    EXPECT_TRUE(button.isDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 0);  // the press opened the menu: it is no click
  }
}

TEST(ImageButtonTest, ChoosingAMenuItemSendsItsCommandIdAndReleasesTheButton) {
  DeviceDialog screen;
  ImageButton button(&screen);
  button.setGeometry(20, 20, 66, 55);
  auto menu = std::make_unique<QMenu>();
  ImageButton::AddCommand(*menu, QStringLiteral("Статистика"), 32795);
  menu->addSeparator();
  QAction* transfer = ImageButton::AddCommand(*menu, QStringLiteral("Перевод"), 32796);
  menu->addAction(QStringLiteral("Без команды"));
  ASSERT_TRUE(button.AttachMenu(std::move(menu), true));
  button.SetMenuBelow(true);
  QSignalSpy commands(&button, &ImageButton::Command);
  screen.show();
  QApplication::setActiveWindow(&screen);
  QApplication::processEvents();

  QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
  QMenu* open = button.Menu();
  ASSERT_TRUE(open->isVisible());
  QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(transfer).center());
  EXPECT_FALSE(open->isVisible());
  ASSERT_EQ(commands.count(), 1);
  EXPECT_EQ(commands.at(0).at(0).toInt(), 32796);
  EXPECT_FALSE(button.isDown());
  EXPECT_FALSE(button.IsPressed());
  EXPECT_FALSE(button.IsHot());
}

TEST(SystemColoursTest, FromThePaletteUnlessSetApart) {
  QPalette palette;
  struct Case {
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    uint32_t colour;
  } cases[] = {
      {SystemColours::kActiveCaption, QPalette::Active, QPalette::Highlight, 0x112233},
      {SystemColours::kHighlightedText, QPalette::Active, QPalette::HighlightedText, 0x223344},
      {SystemColours::kButtonFace, QPalette::Active, QPalette::Button, 0x334455},
      {SystemColours::kButtonShadow, QPalette::Active, QPalette::Dark, 0x445566},
      {SystemColours::kGreyText, QPalette::Disabled, QPalette::Text, 0x556677},
      {SystemColours::kButtonHighlight, QPalette::Active, QPalette::Light, 0x667788},
  };
  for (const Case& c : cases) palette.setColor(c.group, c.role, FromColourRef(c.colour));
  SystemColours colours(palette);
  for (const Case& c : cases) EXPECT_EQ(colours.Colour(c.index), c.colour) << c.index;
  EXPECT_EQ(colours.Colour(99), 0u);
  colours.Set(SystemColours::kActiveCaption, 0xFF64C8E6);  // the unused high byte is dropped
  EXPECT_EQ(colours.Colour(SystemColours::kActiveCaption), 0x64C8E6u);
  EXPECT_EQ(colours.Colour(SystemColours::kButtonFace), 0x334455u);
}

}  // namespace
}  // namespace ledgerix
