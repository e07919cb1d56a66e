#pragma once
// The byte form in which the object store keeps the properties of one record: a count, then
// each property as id, kind and value, all numbers little-endian, so that a store file reads the
// same on any host.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/property.h"

namespace ledgerix::platform {

// Answers the byte form of the properties, in their order. False (and `out` untouched) when the
// list cannot be kept: more than 65,535 properties, two properties with the same id, or a text
// or byte block longer than 4 GiB.
[[nodiscard]] bool EncodePropertyRecord(const std::vector<Property>& properties, std::string* out);

// Reads a byte form written by EncodePropertyRecord into `out` (replacing its contents). False
// when the bytes are not such a form (a damaged record); `out` is then unspecified.
[[nodiscard]] bool DecodePropertyRecord(const void* data, size_t size, std::vector<Property>* out);

// Reads a byte form written by EncodePropertyRecord one property at a time without copying it:
// each property's value comes as its bytes as stored (a number's little-endian bytes, a text's
// UTF-16LE code units, a byte block's bytes). The bytes must outlive the reader.
class PropertyRecordReader {
 public:
  explicit PropertyRecordReader(std::string_view bytes) : bytes_(bytes) {}
  // The number of properties; false when the bytes are too short to hold it.
  [[nodiscard]] bool Start(uint16_t* count);
  // The next property; false when the bytes do not hold it whole.
  [[nodiscard]] bool Next(uint16_t* id, PropertyKind* kind, std::string_view* payload);
  // True once every byte has been read, as after the last property of a whole record.
  bool AtEnd() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

}  // namespace ledgerix::platform
