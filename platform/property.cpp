#include "platform/property.h"

namespace ledgerix::platform {

const Property* FindProperty(const std::vector<Property>& properties, uint16_t id) {
  for (const Property& property : properties) {
    if (property.id == id) return &property;
  }
  return nullptr;
}

}  // namespace ledgerix::platform
