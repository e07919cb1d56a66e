#pragma once
// DbString: the program's one text type, 8-bit Windows-1251 bytes in an owned block that grows
// in steps (200 bytes by default), with a cached 16-bit copy for the platform and two formatters.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_format.h"

namespace ledgerix {

class DbString {
 public:
  static constexpr int32_t kDefaultGrowthStep = 200;

  // An empty string without a block. A positive initial capacity allocates a zero-filled block
  // of exactly that many bytes; a growth step of 0 means 200.
  DbString() = default;
  explicit DbString(uint32_t initial_capacity, int32_t growth_step = 0);
  // Copies of a NUL-terminated text (null gives the empty string), of bytes that may hold 0
  // bytes, and of a 16-bit text converted with WideToNarrow.
  DbString(const char* text);
  DbString(std::string_view bytes);
  explicit DbString(const char16_t* text16);
  explicit DbString(std::u16string_view text16);

  // A copy holds the same bytes in its own block grown from step 200; the 16-bit cache and any
  // dropped front bytes are not copied. A moved-from string is empty.
  DbString(const DbString& other);
  DbString& operator=(const DbString& other);
  DbString(DbString&& other) noexcept;
  DbString& operator=(DbString&& other) noexcept;
  ~DbString() = default;

  // The text; never null: an empty text when there is no block or the length is 0.
  const char* CStr() const;
  // The text, or null when there is no block or the length is 0.
  const char* DataOrNull() const;
  // The block as seen from the text's start, for filling in place: write at most
  // Capacity() - 1 bytes (room stays for the terminator), then SetLength. Null without a block.
  char* MutableData();
  std::string_view View() const { return std::string_view(Data(), length_); }
  uint32_t Length() const { return length_; }
  // Bytes of the block from the text's start (dropped front bytes not counted).
  uint32_t Capacity() const { return static_cast<uint32_t>(block_.size()) - front_; }
  int32_t GrowthStep() const { return growth_step_; }

  // Zero-fills the whole block and empties the text; the block stays allocated. Dropped
  // front bytes are forgotten, so RestoreFront cannot bring them back.
  void Clear();
  // Appends a NUL-terminated text; a null pointer appends nothing.
  void Append(const char* text);
  // Appends exactly n bytes, 0 bytes included; nothing for null or n = 0.
  void AppendBytes(const char* bytes, uint32_t n);
  void AppendString(const DbString& other) { AppendBytes(other.CStr(), other.length_); }
  // Appends the first min(n, other.Length()) bytes of other.
  void AppendPrefix(const DbString& other, uint32_t n);
  // Appends a NUL-terminated 16-bit text converted to Windows-1251 (characters the code page
  // lacks become "?"). It does not clear first.
  void AppendWide(const char16_t* text16);
  void AppendWide(std::u16string_view text16);
  // Inserts a NUL-terminated text at byte pos; nothing for a null or empty text or pos > length.
  void Insert(uint32_t pos, const char* text);
  // Puts dropped front bytes back (as RestoreFront), then removes count bytes at pos, only
  // when pos < length and pos + count <= length. Freed tail bytes are zero-filled.
  void Erase(uint32_t pos, uint32_t count);
  // Below the capacity: the length becomes n and byte n becomes 0 (bytes after it stay, so a
  // later extension shows them again). Otherwise the block grows to hold n bytes and a
  // terminator, and the length becomes n.
  void SetLength(uint32_t n);
  // Allocates exactly n zero-filled bytes when there is no block, or grows the block to exactly
  // n bytes when the capacity is below n, keeping the text.
  void Reserve(uint32_t n);
  // A step of 0 or below is ignored.
  void SetGrowthStep(int32_t n);
  // Byte i, or 0 when i >= length.
  char CharAt(uint32_t i) const { return i < length_ ? Data()[i] : '\0'; }
  // Same length and same bytes: exact and case-sensitive.
  bool Equals(const DbString& other) const { return View() == other.View(); }
  bool operator==(const DbString& other) const { return Equals(other); }

  // Consumes n bytes from the front without moving memory; nothing when there is no block
  // or n > length. The consumed bytes stay in the block until Compact, Clear or Erase.
  void DropFront(uint32_t n);
  // Makes every byte dropped since the last Compact part of the text again.
  void RestoreFront();
  // Moves the text after dropped bytes to the block start, forgetting the dropped bytes.
  void Compact();

  // A new zero-filled block of n + 1 bytes holding the first min(n, length) bytes, owned by
  // the caller; null when there is no block or n is 0.
  std::unique_ptr<char[]> Duplicate(uint32_t n) const;
  // The text as NUL-terminated 16-bit text; valid until the next Wide() or destruction.
  const char16_t* Wide() const;

  // Replaces the text with a format of the first formatter (see FormatText): the arguments
  // may be integers, 8-bit texts (const char*, DbString, std::string_view) and 16-bit texts.
  // Answers 1, or 0 (leaving the string empty) when fmt is null.
  template <typename... Args>
  int Format(const char* fmt, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> packed{FormatArg(args)...};
    return FormatPacked(fmt, packed, false);
  }
  // As Format, with the second formatter (see FormatTextEx): "%L", "0%L", "%C", "%S" ...
  template <typename... Args>
  int FormatEx(const char* fmt, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> packed{FormatArg(args)...};
    return FormatPacked(fmt, packed, true);
  }

  // The sum of the bytes, each taken as a signed 8-bit number; 0 for an empty string.
  int32_t ByteSum() const;

 private:
  const char* Data() const;
  char* Data();
  bool HasBlock() const { return !block_.empty(); }
  // Makes room for `extra` more bytes plus the terminator by the growth rule.
  void GrowFor(uint64_t extra);
  // Moves the block into one whose capacity from the text's start is `capacity` bytes; dropped
  // front bytes move along, so RestoreFront still works.
  void Reallocate(uint64_t capacity);
  uint64_t StepsFor(uint64_t needed) const;
  int FormatPacked(const char* fmt, std::span<const FormatArg> args, bool extended);

  std::vector<char> block_;  // empty while no block is allocated
  uint32_t front_ = 0;       // bytes dropped from the block start by DropFront
  uint32_t length_ = 0;
  int32_t growth_step_ = kDefaultGrowthStep;
  // Made on the first Wide() only: most strings never cross to 16-bit text, and a report of
  // many cells should not carry an empty cache in each.
  mutable std::unique_ptr<std::u16string> wide_;
};

// The UTF-8 text of the program's source converted once to Windows-1251 ("?" for what the code
// page lacks and for malformed UTF-8), and back to UTF-8 for printing.
DbString FromUtf8(std::string_view utf8);
std::string ToUtf8(const DbString& text);

}  // namespace ledgerix
