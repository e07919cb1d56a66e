#include <QApplication>
#include <QPixmap>
#include <QString>

#include "screenshots/scene.h"

namespace ledgerix {

std::vector<Scene> Scenes() {
  std::vector<Scene> scenes;
  AddMainScreenScenes(scenes);
  AddButtonScenes(scenes);
  AddNumberEditScenes(scenes);
  AddListScenes(scenes);
  AddEntryScreenScenes(scenes);
  AddStatisticsScenes(scenes);
  AddMoneyScreenScenes(scenes);
  return scenes;
}

bool RenderScene(const Scene& scene, const std::string& path) {
  std::unique_ptr<QWidget> widget = scene.build();
  widget->show();
  // Two rounds: the first lays the widget out, the second paints what layout moved.
  QApplication::processEvents();
  QApplication::processEvents();
  return widget->grab().save(QString::fromStdString(path), "PNG");
}

}  // namespace ledgerix
