#include "ui/controls/desktop_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <memory>

#include "ui/controls/device_screen.h"

namespace ledgerix {
namespace {

int FactorOf(const QGuiApplication& application) {
  const QScreen* screen = application.primaryScreen();
  if (screen == nullptr) return 1;
  const QRect area = screen->availableGeometry();
  return DeviceScaleFactor(area.width(), area.height());
}

}  // namespace

int DesktopScaleFactor(int argc, char** argv) {
  if (auto* running = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    return FactorOf(*running);
  }
  // Qt reads the scale factor once, when the application starts: so a first application looks
  // at the screen and goes before the program's own starts.
  int probe_argc = argc;
  auto probe = std::make_unique<QGuiApplication>(probe_argc, argv);
  return FactorOf(*probe);
}

int ApplyDesktopScale(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    return qEnvironmentVariableIntValue("QT_SCALE_FACTOR");
  }
  const int factor = DesktopScaleFactor(argc, argv);
  qputenv("QT_SCALE_FACTOR", QByteArray::number(factor));
  return factor;
}

}  // namespace ledgerix
