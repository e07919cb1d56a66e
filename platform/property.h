#pragma once
// One numbered, typed value of an object-store record. A record is a list of properties; the
// store keeps them in the order given and answers them in that order.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace ledgerix::platform {

// The value kinds a property can hold. The numbers are stored on disk: never renumber them.
enum class PropertyKind : uint8_t {
  kInt16 = 0,
  kInt32 = 1,
  kText = 2,
  kBool = 3,
  kDouble = 4,
  kBlob = 5,
};
inline constexpr int kPropertyKindCount = 6;

// Answers whether a stored number names a property kind.
inline constexpr bool IsPropertyKind(int64_t code) {
  return code >= 0 && code < kPropertyKindCount;
}

// The alternatives are in the order of PropertyKind, so that value.index() is the kind.
using PropertyValue =
    std::variant<int16_t, int32_t, std::u16string, bool, double, std::vector<uint8_t>>;

struct Property {
  uint16_t id = 0;
  PropertyValue value;

  PropertyKind kind() const { return static_cast<PropertyKind>(value.index()); }
  bool operator==(const Property& other) const = default;

  // Named makers, because a bare literal would pick a variant alternative by the usual
  // conversion rules (true and 5 are both integers to the compiler).
  static Property Int16(uint16_t id, int16_t v) {
    return {id, PropertyValue(std::in_place_index<0>, v)};
  }
  static Property Int32(uint16_t id, int32_t v) {
    return {id, PropertyValue(std::in_place_index<1>, v)};
  }
  static Property Text(uint16_t id, std::u16string v) {
    return {id, PropertyValue(std::in_place_index<2>, std::move(v))};
  }
  static Property Bool(uint16_t id, bool v) {
    return {id, PropertyValue(std::in_place_index<3>, v)};
  }
  static Property Double(uint16_t id, double v) {
    return {id, PropertyValue(std::in_place_index<4>, v)};
  }
  static Property Blob(uint16_t id, std::vector<uint8_t> v) {
    return {id, PropertyValue(std::in_place_index<5>, std::move(v))};
  }
};

// Answers the property with the given id, or null when the list has none.
const Property* FindProperty(const std::vector<Property>& properties, uint16_t id);

}  // namespace ledgerix::platform
