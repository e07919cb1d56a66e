#pragma once
// The byte form in which the object store keeps the properties of one record: a count, then
// each property as id, kind and value, all numbers little-endian, so that a store file reads the
// same on any host.

#include <cstddef>
#include <cstdint>
#include <string>
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

}  // namespace ledgerix::platform
