#include "screenshots/scene.h"

namespace ledgerix {

void AddListScenes(std::vector<Scene>& scenes) { (void)scenes; }

}  // namespace ledgerix
