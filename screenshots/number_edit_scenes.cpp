#include "screenshots/scene.h"

namespace ledgerix {

void AddNumberEditScenes(std::vector<Scene>& scenes) { (void)scenes; }

}  // namespace ledgerix
