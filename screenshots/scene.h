#pragma once
// A scene: one state of a screen or control that ledgerix-screens renders to a PNG file. Each
// group of scenes is added by its own function; Scenes() gathers them in the order rendered.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ledgerix {

struct Scene {
  std::string name;  // the file name without ".png"
  // Builds the widget in the state to show, at the device's size; it is shown before the grab.
  std::function<std::unique_ptr<QWidget>()> build;
};

void AddButtonScenes(std::vector<Scene>& scenes);
void AddListScenes(std::vector<Scene>& scenes);
void AddNumberEditScenes(std::vector<Scene>& scenes);
void AddEntryScreenScenes(std::vector<Scene>& scenes);
void AddStatisticsScenes(std::vector<Scene>& scenes);
void AddMoneyScreenScenes(std::vector<Scene>& scenes);
void AddMainScreenScenes(std::vector<Scene>& scenes);

// Every scene, in order.
std::vector<Scene> Scenes();

// Renders `scene` into `path` as PNG; false when the file cannot be written.
bool RenderScene(const Scene& scene, const std::string& path);

}  // namespace ledgerix
