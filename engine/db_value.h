#pragma once
// DbValue: one typed field value (a row's field, a settings entry, a catalog item): an 8-byte
// payload or an owned NUL-terminated text, with its text form and its binary row encoding.

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

// The type codes stored in catalogs and table files.
enum class DbValueType : uint32_t {
  Untyped = 0,
  Bool8 = 1,     // one byte
  Int16 = 2,     // signed 16-bit
  Int32 = 3,     // signed 32-bit
  Float32 = 4,   // single precision
  Float64 = 5,   // double precision
  Float64B = 6,  // double precision
  Bool32 = 7,    // 32-bit
  Text = 8,      // NUL-terminated 8-bit text
};

// The bytes a type takes in the binary encoding: 1, 2, 4 or 8; 0 for Text (whose width is
// its length + 1), for Untyped and for codes outside 0 to 8.
uint32_t FixedWidthOf(DbValueType type);

class DbValue {
 public:
  // An untyped value, or one of the given type, with a zero payload and tag 0.
  explicit DbValue(DbValueType type = DbValueType::Untyped) : type_(type) {}
  explicit DbValue(int32_t value);
  // Text values; a null text gives a Text value without text (its text form is empty).
  explicit DbValue(const char* text);
  explicit DbValue(const DbString& text);
  // A copy takes the other's type, content and tag.
  DbValue(const DbValue& other);
  DbValue& operator=(const DbValue& other);
  DbValue(DbValue&& other) noexcept;
  DbValue& operator=(DbValue&& other) noexcept;
  virtual ~DbValue() = default;

  // Frees the owned text, if any; the value then holds no text.
  virtual void FreeText();
  // Changes the type without converting the payload; leaving Text frees the text. Answers the
  // old type.
  virtual DbValueType SetType(DbValueType new_type);
  virtual DbValueType Type() const { return type_; }
  // 1, 2, 4 or 8 by type; the text length without terminator for Text (0 without text); 0 for
  // untyped.
  virtual uint32_t ByteSize() const;
  // Text: empties the text, keeping its block. Other types: zeroes the payload's low word.
  virtual void Reset();
  // Text: the text, or null. Types 1 to 7: the 8 payload bytes, little-endian. Untyped: null.
  virtual const void* RawData() const;
  // A number free for the owner (a record set keeps each column's size in it).
  virtual void SetTag(uint32_t tag) { tag_ = tag; }
  virtual uint32_t Tag() const { return tag_; }

  // Each setter releases the content (a Text value frees its text, any other value zeroes the
  // payload's low word), stores its own width of bytes and takes its type only when untyped:
  // SetInt32 on a Bool8 value stores 32 bits and the value stays Bool8. A Text value, whose
  // number would otherwise be lost, takes the setter's type.
  void SetBool8(uint8_t value);
  void SetInt16(int16_t value);
  void SetInt32(int32_t value);
  void SetFloat32(float value);
  void SetFloat64(double value);
  void SetFloat64B(double value);
  void SetBool32(uint32_t value);
  // Makes the value Text holding a copy of the text (up to its first 0 byte); nothing for
  // null. The block is reused when the current text is at least as long as the new one.
  void SetText(const char* text);
  void SetText(const DbString& text) { SetText(text.CStr()); }

  // Copies other's content: a text as text; otherwise both payload words, taking other's type
  // when this value is untyped (or Text). The tag is kept.
  void CopyFrom(const DbValue& other);

  // "true"/"false" for Bool8 and Bool32; decimal for Int16 and Int32; the number truncated to
  // two decimals for Float32, Float64 and Float64B (12.5 gives "12.50", 0.29 gives "0.28",
  // -12.5 gives "-12.50"); the text for Text; empty for untyped.
  DbString ToText() const;

  // Appends the binary form for the column type `type`: its width of payload bytes,
  // little-endian, for types 1 to 7; the text and one 0 byte for Text (the text form of a
  // non-text value). Answers false, appending nothing, for a type outside 1 to 8.
  bool Encode(DbString* out, DbValueType type) const;
  // Reads a value of column type `type` from the front of `in` with the typed setter (or
  // SetText). Answers the bytes used (the width, or text length + 1); 0 when `in` is shorter
  // than the width, holds no 0 byte for Text, or the type is outside 1 to 8.
  uint32_t Decode(std::string_view in, DbValueType type);
  // The same, removing the bytes used from the front of *in (after compacting away any bytes
  // dropped with DropFront, so that the removal starts at the text that was decoded).
  uint32_t Decode(DbString* in, DbValueType type);

  // Texts compare byte for byte; otherwise by other's type: floating-point types as numbers,
  // the rest by the payload's low word. A text and a non-text compare by their text forms.
  bool Equals(const DbValue& other) const;
  // Texts by CollateCompare; floating-point types as numbers; the rest by the low words as
  // unsigned numbers, so a negative Int32 is greater than every non-negative one.
  bool Greater(const DbValue& other) const;

  // The payload read as each type (the low word, its low half, ...).
  uint32_t LowWord() const {
    uint32_t word;
    std::memcpy(&word, payload_.data(), sizeof word);
    return word;
  }
  bool AsBool() const { return LowWord() != 0; }
  int16_t AsInt16() const { return static_cast<int16_t>(LowWord()); }
  int32_t AsInt32() const { return static_cast<int32_t>(LowWord()); }
  float AsFloat32() const;
  double AsFloat64() const;
  // The text; never null (empty without text).
  const char* CStr() const { return text_ != nullptr ? text_.get() : ""; }
  // Bytes of the owned text block (0 without one): shows when SetText reuses the block.
  uint32_t TextBlockSize() const { return text_block_size_; }

 private:
  void StoreNumber(DbValueType own_type, const void* bytes, size_t width);
  // Frees the text when moving away from Text, else Reset.
  void ReleaseFor(DbValueType new_type);
  void SetTextBytes(const char* bytes, size_t n);
  bool IsText() const { return type_ == DbValueType::Text; }

  std::array<unsigned char, 8> payload_{};  // the low word in bytes 0 to 3
  std::unique_ptr<char[]> text_;
  uint32_t text_block_size_ = 0;
  DbValueType type_;
  uint32_t tag_ = 0;
};

}  // namespace ledgerix
