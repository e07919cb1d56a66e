// The main of every screen test program: the application runs on the offscreen platform at the
// device's own size (factor 1), so tests see exactly the pixels a person would at that size.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/controls/device_dialog.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qunsetenv("QT_SCALE_FACTOR");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QApplication application(argc, argv);
  QApplication::setFont(ledgerix::DeviceFont(12));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
