#include "screenshots/scene.h"

namespace ledgerix {

void AddButtonScenes(std::vector<Scene>& scenes) { (void)scenes; }

}  // namespace ledgerix
