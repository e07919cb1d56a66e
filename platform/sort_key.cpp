#include "platform/sort_key.h"

#include <bit>
#include <cmath>

namespace ledgerix::platform {
namespace {

// The rank bytes are stored on disk: never renumber them.
enum Rank : char {
  kMissing = 0,
  kNotANumber = 1,
  kNumber = 2,
  kText = 3,
  kBlob = 4,
};

constexpr size_t kObjectIdSize = 4;

void AppendBigEndian(uint64_t value, int bytes, std::string* out) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
    out->push_back(static_cast<char>((value >> shift) & 0xFF));
  }
}

// IEEE bits with the sign flipped for positives and all bits flipped for negatives compare as
// unsigned integers in the order of the values.
void AppendNumber(double value, std::string* out) {
  if (std::isnan(value)) {
    out->push_back(kNotANumber);
    return;
  }
  out->push_back(kNumber);
  if (value == 0) value = 0;  // -0 and +0 are one value
  uint64_t bits = std::bit_cast<uint64_t>(value);
  bits = (bits >> 63) != 0 ? ~bits : bits | (uint64_t{1} << 63);
  AppendBigEndian(bits, 8, out);
}

// A zero byte becomes 00 FF and the value ends with 00 00: no code is a prefix of another and
// the end sorts before any further byte, so a shorter value sorts before its extensions and the
// object id after it cannot change the order of values.
void AppendEscapedByte(uint8_t byte, std::string* out) {
  out->push_back(static_cast<char>(byte));
  if (byte == 0) out->push_back('\xFF');
}

void AppendText(const std::u16string& text, std::string* out) {
  out->push_back(kText);
  for (char16_t unit : text) {
    // Units as big-endian pairs compare as the units do; a zero unit must not read as the end.
    if (unit == 0) {
      out->append("\0\0\xFF", 3);
    } else {
      out->push_back(static_cast<char>(unit >> 8));
      out->push_back(static_cast<char>(unit & 0xFF));
    }
  }
  out->append("\0\0\0", 3);
}

void AppendBlob(const std::vector<uint8_t>& blob, std::string* out) {
  out->push_back(kBlob);
  for (uint8_t byte : blob) AppendEscapedByte(byte, out);
  out->append("\0\0", 2);
}

}  // namespace

SortKey SortKey::Of(const std::vector<Property>& properties, uint16_t sort_property,
                    uint32_t object_id) {
  std::string bytes;
  const Property* property = FindProperty(properties, sort_property);
  if (property == nullptr) {
    bytes.push_back(kMissing);
  } else {
    switch (property->kind()) {
      case PropertyKind::kInt16:
        AppendNumber(std::get<int16_t>(property->value), &bytes);
        break;
      case PropertyKind::kInt32:
        AppendNumber(std::get<int32_t>(property->value), &bytes);
        break;
      case PropertyKind::kBool:
        AppendNumber(std::get<bool>(property->value) ? 1 : 0, &bytes);
        break;
      case PropertyKind::kDouble:
        AppendNumber(std::get<double>(property->value), &bytes);
        break;
      case PropertyKind::kText:
        AppendText(std::get<std::u16string>(property->value), &bytes);
        break;
      case PropertyKind::kBlob:
        AppendBlob(std::get<std::vector<uint8_t>>(property->value), &bytes);
        break;
    }
  }
  AppendBigEndian(object_id, kObjectIdSize, &bytes);
  return SortKey(std::move(bytes));
}

uint32_t SortKey::ObjectIdOf(const void* bytes, size_t size) {
  if (bytes == nullptr || size <= kObjectIdSize) return 0;
  const auto* end = static_cast<const uint8_t*>(bytes) + size;
  uint32_t id = 0;
  for (const uint8_t* p = end - kObjectIdSize; p < end; ++p) id = (id << 8) | *p;
  return id;
}

bool SortKey::SameValue(const SortKey& other) const {
  if (bytes_.size() != other.bytes_.size() || bytes_.size() < kObjectIdSize) return false;
  return bytes_.compare(0, bytes_.size() - kObjectIdSize, other.bytes_, 0,
                        other.bytes_.size() - kObjectIdSize) == 0;
}

}  // namespace ledgerix::platform
