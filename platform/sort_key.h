#pragma once
// Where a record stands in its database's sort order, as bytes whose plain byte order (memcmp,
// the order in which SQLite compares blobs) is that sort order: so SQLite can seek to a key with
// one index range, and C++ compares keys exactly as SQLite does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/property.h"

namespace ledgerix::platform {

// A key is a rank byte, the sort value encoded so that bytes compare as values, and the object
// id big-endian, which breaks ties in the order ids were handed out. Ranks, in their order:
// a record lacking the sort property, a NaN, a number (16- and 32-bit integers, booleans and
// doubles compared by value), a text (by 16-bit code units), a byte block (byte by byte).
class SortKey {
 public:
  // The key of a record with these properties, sorted on `sort_property`.
  static SortKey Of(const std::vector<Property>& properties, uint16_t sort_property,
                    uint32_t object_id);
  // Keys before and after every record's key; only for starting a scan.
  static SortKey Lowest() { return SortKey(std::string()); }
  static SortKey Highest() { return SortKey(std::string(1, '\xFF')); }
  static SortKey FromBytes(std::string bytes) { return SortKey(std::move(bytes)); }

  SortKey() = default;

  const std::string& bytes() const { return bytes_; }
  // The object id at the key's end (0 for Lowest and Highest).
  uint32_t object_id() const { return ObjectIdOf(bytes_.data(), bytes_.size()); }
  // The object id at the end of a key's bytes.
  static uint32_t ObjectIdOf(const void* bytes, size_t size);
  // Whether both keys hold the same sort value, object ids aside.
  bool SameValue(const SortKey& other) const;

  // std::string compares its chars as unsigned bytes, as memcmp does.
  bool operator<(const SortKey& other) const { return bytes_ < other.bytes_; }
  bool operator==(const SortKey& other) const = default;

 private:
  explicit SortKey(std::string bytes) : bytes_(std::move(bytes)) {}

  std::string bytes_;
};

}  // namespace ledgerix::platform
