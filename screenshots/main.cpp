// ledgerix-screens: renders the program's screens and controls to PNG files without a display.
//   ledgerix-screens [--scale N] [--list] FOLDER [SCENE...]
// Every scene is rendered unless some are named; --scale enlarges them by a whole factor as the
// desktop does.
#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "screenshots/scene.h"
#include "ui/controls/device_dialog.h"

namespace {

int Usage() {
  std::cerr << "usage: ledgerix-screens [--scale N] [--list] FOLDER [SCENE...]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int scale = 1;
  bool list = false;
  std::vector<std::string> names;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scale" && i + 1 < argc) {
      scale = std::atoi(argv[++i]);
      if (scale < 1 || scale > 8) return Usage();
    } else if (arg == "--list") {
      list = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (folder.empty() && !list) {
      folder = arg;
    } else {
      names.push_back(arg);
    }
  }
  if (folder.empty() && !list) return Usage();

  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
  QApplication application(argc, argv);
  QApplication::setFont(ledgerix::DeviceFont(12));

  int failed = 0;
  for (const ledgerix::Scene& scene : ledgerix::Scenes()) {
    if (list) {
      std::cout << scene.name << "\n";
      continue;
    }
    if (!names.empty() && std::find(names.begin(), names.end(), scene.name) == names.end()) {
      continue;
    }
    const std::string path = folder + "/" + scene.name + ".png";
    if (ledgerix::RenderScene(scene, path)) {
      std::cout << path << "\n";
    } else {
      std::cerr << "cannot write " << path << "\n";
      failed = 1;
    }
  }
  return failed;
}
