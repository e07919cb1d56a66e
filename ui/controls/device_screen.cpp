#include "ui/controls/device_screen.h"

#include <algorithm>

namespace ledgerix {

int DeviceScaleFactor(int available_width, int available_height) {
  return std::max(1, std::min(available_width / kDeviceWidth, available_height / kDeviceHeight));
}

}  // namespace ledgerix
