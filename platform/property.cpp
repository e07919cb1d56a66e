#include "platform/property.h"

namespace ledgerix::platform {

bool IsPropertyKind(int64_t code) { return code >= 0 && code < kPropertyKindCount; }

const Property* FindProperty(const std::vector<Property>& properties, uint16_t id) {
  for (const Property& property : properties) {
    if (property.id == id) return &property;
  }
  return nullptr;
}

}  // namespace ledgerix::platform
