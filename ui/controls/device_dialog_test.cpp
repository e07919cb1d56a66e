// The device window and the text crossing into Qt.
#include "ui/controls/device_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include "ui/controls/colour_ref.h"
#include "ui/controls/desktop_scale.h"
#include "ui/controls/device_screen.h"
#include "ui/controls/qt_text.h"

namespace ledgerix {
namespace {

TEST(DeviceScreenTest, TheLargestWholeFactorThatFitsAndNeverBelowOne) {
  struct Case {
    int width, height, factor;
  } cases[] = {{1920, 1080, 3}, {1366, 768, 2}, {800, 600, 1}, {239, 319, 1},
               {3840, 2160, 6}, {480, 640, 2},  {479, 640, 1}, {0, 0, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(DeviceScaleFactor(c.width, c.height), c.factor) << c.width << "x" << c.height;
  }
}

TEST(DeviceScreenTest, TheDesktopFactorComesFromThePrimaryScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(DesktopScaleFactor(0, nullptr), DeviceScaleFactor(area.width(), area.height()));
  EXPECT_GE(DesktopScaleFactor(0, nullptr), 1);
}

TEST(DeviceDialogTest, CoversTheDeviceAndTheScreenItWasOpenedFrom) {
  DeviceDialog first;
  first.move(37, 51);
  first.show();
  DeviceDialog second(&first);
  second.show();
  QApplication::processEvents();
  EXPECT_EQ(second.size(), QSize(kDeviceWidth, kDeviceHeight));
  EXPECT_EQ(second.pos(), first.pos());
  const QImage pixels = second.grab().toImage();
  EXPECT_EQ(ToColourRef(pixels.pixelColor(120, 160)), kScreenBackground);
}

TEST(QtTextTest, EveryWindows1251CharacterCrossesBothWays) {
  std::string bytes;
  for (int c = 1; c < 256; ++c) {
    if (c != 0x98) bytes.push_back(static_cast<char>(c));  // 0x98 is unassigned
  }
  const DbString text{std::string_view(bytes)};
  const QString wide = ToQString(text);
  for (const char* letter : {"Ё", "ё", "№", "Я", "а"}) {
    EXPECT_TRUE(wide.contains(QString::fromUtf8(letter))) << letter;
  }
  EXPECT_EQ(std::string(ToDbString(wide).View()), bytes);
  EXPECT_EQ(ToUtf8(ToDbString(QStringLiteral("Сумма €"))), "Сумма €");
  EXPECT_EQ(ToUtf8(ToDbString(QStringLiteral("日"))), "?");
}

}  // namespace
}  // namespace ledgerix
