#include "engine/db_value.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "engine/collate.h"

namespace ledgerix {

// The binary encoding is little-endian and is copied straight from the payload.
static_assert(std::endian::native == std::endian::little);

namespace {

// The two-decimal text of a floating-point value: the whole part, ".", and the hundredths cut
// (not rounded) as (value * 100 - whole * 100) in double precision, so 0.29 gives "0.28". The
// sign is written once in front, so that negative values read back as themselves.
DbString HundredthsText(double value) {
  if (std::isnan(value)) return DbString("0.00");
  const double magnitude = std::fabs(value);
  constexpr double kWholeLimit = 9.0e18;  // whole parts beyond this do not fit 64 bits
  if (magnitude >= kWholeLimit) {
    std::array<char, 400> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed, 2);
    return DbString(std::string_view(digits.data(), result.ptr - digits.data()));
  }
  const auto whole = static_cast<int64_t>(magnitude);
  const double scaled = magnitude * 100.0;
  const double whole_scaled = static_cast<double>(whole) * 100.0;
  auto hundredths = static_cast<int64_t>(scaled - whole_scaled);
  if (hundredths > 99) hundredths = 99;
  const bool negative = value < 0 && (whole != 0 || hundredths != 0);
  std::string text = negative ? "-" : "";
  text += std::to_string(whole);
  text += hundredths < 10 ? ".0" : ".";
  text += std::to_string(hundredths);
  return DbString(std::string_view(text));
}

}  // namespace

uint32_t FixedWidthOf(DbValueType type) {
  switch (type) {
    case DbValueType::Bool8:
      return 1;
    case DbValueType::Int16:
      return 2;
    case DbValueType::Int32:
    case DbValueType::Float32:
    case DbValueType::Bool32:
      return 4;
    case DbValueType::Float64:
    case DbValueType::Float64B:
      return 8;
    default:
      return 0;
  }
}

DbValue::DbValue(int32_t value) : type_(DbValueType::Int32) { SetInt32(value); }

DbValue::DbValue(const char* text) : type_(DbValueType::Text) { SetText(text); }

DbValue::DbValue(const DbString& text) : type_(DbValueType::Text) { SetText(text); }

DbValue::DbValue(const DbValue& other)
    : payload_(other.payload_), type_(other.type_), tag_(other.tag_) {
  if (other.text_ != nullptr) SetTextBytes(other.text_.get(), std::strlen(other.text_.get()));
}

DbValue& DbValue::operator=(const DbValue& other) {
  if (this != &other) *this = DbValue(other);
  return *this;
}

DbValue::DbValue(DbValue&& other) noexcept
    : payload_(other.payload_),
      text_(std::move(other.text_)),
      text_block_size_(std::exchange(other.text_block_size_, 0)),
      type_(other.type_),
      tag_(other.tag_) {}

DbValue& DbValue::operator=(DbValue&& other) noexcept {
  if (this != &other) {
    payload_ = other.payload_;
    text_ = std::move(other.text_);
    text_block_size_ = std::exchange(other.text_block_size_, 0);
    type_ = other.type_;
    tag_ = other.tag_;
  }
  return *this;
}

void DbValue::FreeText() {
  text_.reset();
  text_block_size_ = 0;
}

DbValueType DbValue::SetType(DbValueType new_type) {
  const DbValueType old_type = type_;
  if (old_type == DbValueType::Text && new_type != DbValueType::Text) FreeText();
  type_ = new_type;
  return old_type;
}

uint32_t DbValue::ByteSize() const {
  if (IsText()) return text_ != nullptr ? static_cast<uint32_t>(std::strlen(text_.get())) : 0;
  return FixedWidthOf(type_);
}

void DbValue::Reset() {
  if (IsText()) {
    if (text_ != nullptr) text_[0] = '\0';
  } else {
    std::memset(payload_.data(), 0, 4);
  }
}

const void* DbValue::RawData() const {
  if (IsText()) return text_.get();
  return FixedWidthOf(type_) != 0 ? payload_.data() : nullptr;
}

void DbValue::ReleaseFor(DbValueType new_type) {
  if (IsText() && new_type != DbValueType::Text) {
    FreeText();
  } else {
    Reset();
  }
}

void DbValue::StoreNumber(DbValueType own_type, const void* bytes, size_t width) {
  ReleaseFor(own_type);
  std::memcpy(payload_.data(), bytes, width);
  if (type_ == DbValueType::Untyped || type_ == DbValueType::Text) type_ = own_type;
}

void DbValue::SetBool8(uint8_t value) { StoreNumber(DbValueType::Bool8, &value, sizeof value); }
void DbValue::SetInt16(int16_t value) { StoreNumber(DbValueType::Int16, &value, sizeof value); }
void DbValue::SetInt32(int32_t value) { StoreNumber(DbValueType::Int32, &value, sizeof value); }
void DbValue::SetFloat32(float value) { StoreNumber(DbValueType::Float32, &value, sizeof value); }
void DbValue::SetFloat64(double value) { StoreNumber(DbValueType::Float64, &value, sizeof value); }
void DbValue::SetFloat64B(double value) {
  StoreNumber(DbValueType::Float64B, &value, sizeof value);
}
void DbValue::SetBool32(uint32_t value) { StoreNumber(DbValueType::Bool32, &value, sizeof value); }

void DbValue::SetText(const char* text) {
  if (text != nullptr) SetTextBytes(text, std::strlen(text));
}

void DbValue::SetTextBytes(const char* bytes, size_t n) {
  if (IsText() && text_ != nullptr && std::strlen(text_.get()) >= n) {
    std::memmove(text_.get(), bytes, n);  // the bytes may be this very text
    text_[n] = '\0';
  } else {
    auto block = std::make_unique<char[]>(n + 1);
    std::memcpy(block.get(), bytes, n);
    text_ = std::move(block);
    text_block_size_ = static_cast<uint32_t>(n + 1);
  }
  type_ = DbValueType::Text;
}

void DbValue::CopyFrom(const DbValue& other) {
  if (this == &other) return;  // releasing first would lose the content to copy
  ReleaseFor(other.type_);
  if (other.IsText()) {
    SetText(other.CStr());
    return;
  }
  payload_ = other.payload_;
  if (type_ == DbValueType::Untyped || type_ == DbValueType::Text) type_ = other.type_;
}

DbString DbValue::ToText() const {
  DbString text;
  switch (type_) {
    case DbValueType::Bool8:
    case DbValueType::Bool32:
      text.Append(AsBool() ? "true" : "false");
      break;
    case DbValueType::Int16:
      text.Format("%d", AsInt16());
      break;
    case DbValueType::Int32:
      text.Format("%d", AsInt32());
      break;
    case DbValueType::Float32:
      text = HundredthsText(AsFloat32());
      break;
    case DbValueType::Float64:
    case DbValueType::Float64B:
      text = HundredthsText(AsFloat64());
      break;
    case DbValueType::Text:
      text.Append(CStr());
      break;
    default:
      break;
  }
  return text;
}

bool DbValue::Encode(DbString* out, DbValueType type) const {
  if (out == nullptr) return false;
  if (type == DbValueType::Text) {
    const DbString text = ToText();
    out->AppendBytes(text.CStr(), text.Length());
    out->AppendBytes("", 1);  // the terminator, which also stands for a null text
    return true;
  }
  const uint32_t width = FixedWidthOf(type);
  if (width == 0) return false;
  out->AppendBytes(reinterpret_cast<const char*>(payload_.data()), width);
  return true;
}

uint32_t DbValue::Decode(std::string_view in, DbValueType type) {
  if (type == DbValueType::Text) {
    const size_t end = in.find('\0');
    if (end == std::string_view::npos) return 0;
    SetTextBytes(in.data(), end);
    return static_cast<uint32_t>(end + 1);
  }
  const uint32_t width = FixedWidthOf(type);
  if (width == 0 || in.size() < width) return 0;
  std::array<unsigned char, 8> bytes{};
  std::memcpy(bytes.data(), in.data(), width);
  StoreNumber(type, bytes.data(), width);
  return width;
}

uint32_t DbValue::Decode(DbString* in, DbValueType type) {
  if (in == nullptr) return 0;
  // Erase counts from the block start, so dropped front bytes must go first.
  in->Compact();
  const uint32_t used = Decode(in->View(), type);
  if (used > 0) in->Erase(0, used);
  return used;
}

bool DbValue::Equals(const DbValue& other) const {
  if (IsText() && other.IsText()) return std::strcmp(CStr(), other.CStr()) == 0;
  if (IsText() || other.IsText()) return ToText() == other.ToText();
  switch (other.type_) {
    case DbValueType::Float32:
      return AsFloat32() == other.AsFloat32();
    case DbValueType::Float64:
    case DbValueType::Float64B:
      return AsFloat64() == other.AsFloat64();
    default:
      return LowWord() == other.LowWord();
  }
}

bool DbValue::Greater(const DbValue& other) const {
  if (IsText() && other.IsText()) return CollateCompare(CStr(), other.CStr()) > 0;
  if (IsText() || other.IsText()) {
    return CollateCompare(ToText().CStr(), other.ToText().CStr()) > 0;
  }
  switch (other.type_) {
    case DbValueType::Float32:
      return AsFloat32() > other.AsFloat32();
    case DbValueType::Float64:
    case DbValueType::Float64B:
      return AsFloat64() > other.AsFloat64();
    default:
      return LowWord() > other.LowWord();
  }
}

float DbValue::AsFloat32() const {
  float value;
  std::memcpy(&value, payload_.data(), sizeof value);
  return value;
}

double DbValue::AsFloat64() const {
  double value;
  std::memcpy(&value, payload_.data(), sizeof value);
  return value;
}

}  // namespace ledgerix
