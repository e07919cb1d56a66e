#include "platform/property_record.h"

#include <bit>
#include <cstring>
#include <limits>
#include <unordered_set>

namespace ledgerix::platform {
namespace {

class Writer {
 public:
  explicit Writer(std::string* out) : out_(out) {}

  void U8(uint8_t v) { out_->push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void U64(uint64_t v) {
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
  }
  void Bytes(const void* data, size_t n) { out_->append(static_cast<const char*>(data), n); }

 private:
  std::string* out_;
};

class Reader {
 public:
  Reader(const void* data, size_t size) : p_(static_cast<const uint8_t*>(data)), left_(size) {}

  bool U8(uint8_t* v) {
    if (left_ < 1) return false;
    *v = *p_++;
    --left_;
    return true;
  }
  bool U16(uint16_t* v) {
    uint8_t lo, hi;
    if (!U8(&lo) || !U8(&hi)) return false;
    *v = static_cast<uint16_t>(lo | (hi << 8));
    return true;
  }
  bool U32(uint32_t* v) {
    uint16_t lo, hi;
    if (!U16(&lo) || !U16(&hi)) return false;
    *v = lo | (static_cast<uint32_t>(hi) << 16);
    return true;
  }
  bool U64(uint64_t* v) {
    uint32_t lo, hi;
    if (!U32(&lo) || !U32(&hi)) return false;
    *v = lo | (static_cast<uint64_t>(hi) << 32);
    return true;
  }
  // Answers a view of the next n bytes, or null when fewer are left.
  const uint8_t* Take(size_t n) {
    if (left_ < n) return nullptr;
    const uint8_t* start = p_;
    p_ += n;
    left_ -= n;
    return start;
  }
  bool AtEnd() const { return left_ == 0; }

 private:
  const uint8_t* p_;
  size_t left_;
};

constexpr size_t kMaxLength = std::numeric_limits<uint32_t>::max();

bool FitsLength(const Property& property) {
  if (const auto* text = std::get_if<std::u16string>(&property.value)) {
    return text->size() <= kMaxLength;
  }
  if (const auto* blob = std::get_if<std::vector<uint8_t>>(&property.value)) {
    return blob->size() <= kMaxLength;
  }
  return true;
}

void WriteValue(const PropertyValue& value, Writer* w) {
  switch (static_cast<PropertyKind>(value.index())) {
    case PropertyKind::kInt16:
      w->U16(static_cast<uint16_t>(std::get<int16_t>(value)));
      break;
    case PropertyKind::kInt32:
      w->U32(static_cast<uint32_t>(std::get<int32_t>(value)));
      break;
    case PropertyKind::kText: {
      const std::u16string& text = std::get<std::u16string>(value);
      w->U32(static_cast<uint32_t>(text.size()));
      for (char16_t c : text) w->U16(c);
      break;
    }
    case PropertyKind::kBool:
      w->U8(std::get<bool>(value) ? 1 : 0);
      break;
    case PropertyKind::kDouble:
      w->U64(std::bit_cast<uint64_t>(std::get<double>(value)));
      break;
    case PropertyKind::kBlob: {
      const std::vector<uint8_t>& blob = std::get<std::vector<uint8_t>>(value);
      w->U32(static_cast<uint32_t>(blob.size()));
      w->Bytes(blob.data(), blob.size());
      break;
    }
  }
}

// The value's own storage when it already holds a T: reading a walk's records into one vector
// then allocates nothing once the first record has been read.
template <typename T>
T& Reuse(PropertyValue* value) {
  if (T* held = std::get_if<T>(value)) return *held;
  return value->emplace<T>();
}

bool ReadValue(PropertyKind kind, Reader* r, PropertyValue* value) {
  switch (kind) {
    case PropertyKind::kInt16: {
      uint16_t v;
      if (!r->U16(&v)) return false;
      value->emplace<0>(static_cast<int16_t>(v));
      return true;
    }
    case PropertyKind::kInt32: {
      uint32_t v;
      if (!r->U32(&v)) return false;
      value->emplace<1>(static_cast<int32_t>(v));
      return true;
    }
    case PropertyKind::kText: {
      uint32_t length;
      if (!r->U32(&length)) return false;
      const uint8_t* bytes = r->Take(size_t{length} * 2);
      if (bytes == nullptr) return false;
      std::u16string& text = Reuse<std::u16string>(value);
      text.resize(length);
      for (uint32_t i = 0; i < length; ++i) {
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
      }
      return true;
    }
    case PropertyKind::kBool: {
      uint8_t v;
      if (!r->U8(&v) || v > 1) return false;
      value->emplace<3>(v == 1);
      return true;
    }
    case PropertyKind::kDouble: {
      uint64_t v;
      if (!r->U64(&v)) return false;
      value->emplace<4>(std::bit_cast<double>(v));
      return true;
    }
    case PropertyKind::kBlob: {
      uint32_t length;
      if (!r->U32(&length)) return false;
      const uint8_t* bytes = r->Take(length);
      if (bytes == nullptr) return false;
      Reuse<std::vector<uint8_t>>(value).assign(bytes, bytes + length);
      return true;
    }
  }
  return false;
}

}  // namespace

bool EncodePropertyRecord(const std::vector<Property>& properties, std::string* out) {
  if (properties.size() > std::numeric_limits<uint16_t>::max()) return false;
  std::unordered_set<uint16_t> ids;
  for (const Property& property : properties) {
    // A record with two values for one id would sort and read ambiguously.
    if (!ids.insert(property.id).second || !FitsLength(property)) return false;
  }
  std::string bytes;
  Writer w(&bytes);
  w.U16(static_cast<uint16_t>(properties.size()));
  for (const Property& property : properties) {
    w.U16(property.id);
    w.U8(static_cast<uint8_t>(property.kind()));
    WriteValue(property.value, &w);
  }
  *out = std::move(bytes);
  return true;
}

bool DecodePropertyRecord(const void* data, size_t size, std::vector<Property>* out) {
  Reader r(data, size);
  uint16_t count;
  if (!r.U16(&count)) return false;
  out->resize(count);
  for (Property& property : *out) {
    uint8_t kind;
    if (!r.U16(&property.id) || !r.U8(&kind) || !IsPropertyKind(kind)) return false;
    if (!ReadValue(static_cast<PropertyKind>(kind), &r, &property.value)) return false;
  }
  return r.AtEnd();
}

bool PropertyRecordReader::Start(uint16_t* count) {
  Reader r(bytes_.data(), bytes_.size());
  if (!r.U16(count)) return false;
  bytes_.remove_prefix(2);
  return true;
}

bool PropertyRecordReader::Next(uint16_t* id, PropertyKind* kind, std::string_view* payload) {
  // Read straight from the bytes rather than through Reader: a walk of a table calls this for
  // every field of every row.
  const auto byte = [this](size_t i) { return static_cast<uint8_t>(bytes_[i]); };
  constexpr size_t kHead = 3;  // id (2 bytes) and kind (1 byte)
  if (bytes_.size() < kHead || !IsPropertyKind(byte(2))) return false;
  *id = static_cast<uint16_t>(byte(0) | (byte(1) << 8));
  *kind = static_cast<PropertyKind>(byte(2));
  size_t head = kHead;
  size_t length = 0;
  switch (*kind) {
    case PropertyKind::kInt16:
      length = 2;
      break;
    case PropertyKind::kInt32:
      length = 4;
      break;
    case PropertyKind::kBool:
      length = 1;
      break;
    case PropertyKind::kDouble:
      length = 8;
      break;
    case PropertyKind::kText:
    case PropertyKind::kBlob: {
      head += 4;
      if (bytes_.size() < head) return false;
      const uint32_t units =
          byte(3) | (byte(4) << 8) | (byte(5) << 16) | (static_cast<uint32_t>(byte(6)) << 24);
      length = *kind == PropertyKind::kText ? size_t{units} * 2 : units;
      break;
    }
  }
  if (bytes_.size() - head < length) return false;
  *payload = bytes_.substr(head, length);
  bytes_.remove_prefix(head + length);
  return true;
}

}  // namespace ledgerix::platform
