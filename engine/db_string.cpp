#include "engine/db_string.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

#include "engine/code_page.h"

namespace ledgerix {
namespace {

constexpr char kEmptyText[] = "";
constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace

DbString::DbString(uint32_t initial_capacity, int32_t growth_step) {
  SetGrowthStep(growth_step);
  if (initial_capacity > 0) block_.assign(initial_capacity, '\0');
}

DbString::DbString(const char* text) { Append(text); }

DbString::DbString(std::string_view bytes) {
  AppendBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

DbString::DbString(const char16_t* text16) { AppendWide(text16); }

DbString::DbString(std::u16string_view text16) { AppendWide(text16); }

DbString::DbString(const DbString& other) { AppendBytes(other.Data(), other.length_); }

DbString& DbString::operator=(const DbString& other) {
  if (this != &other) *this = DbString(other);
  return *this;
}

DbString::DbString(DbString&& other) noexcept
    : block_(std::exchange(other.block_, {})),
      front_(std::exchange(other.front_, 0)),
      length_(std::exchange(other.length_, 0)),
      growth_step_(other.growth_step_),
      wide_(std::move(other.wide_)) {}

DbString& DbString::operator=(DbString&& other) noexcept {
  if (this != &other) {
    block_ = std::exchange(other.block_, {});
    front_ = std::exchange(other.front_, 0);
    length_ = std::exchange(other.length_, 0);
    growth_step_ = other.growth_step_;
    wide_ = std::move(other.wide_);
  }
  return *this;
}

const char* DbString::Data() const { return HasBlock() ? block_.data() + front_ : kEmptyText; }

char* DbString::Data() { return HasBlock() ? block_.data() + front_ : nullptr; }

const char* DbString::CStr() const { return length_ > 0 ? Data() : kEmptyText; }

const char* DbString::DataOrNull() const { return length_ > 0 ? Data() : nullptr; }

char* DbString::MutableData() { return Data(); }

void DbString::Clear() {
  std::fill(block_.begin(), block_.end(), '\0');
  front_ = 0;
  length_ = 0;
}

void DbString::Append(const char* text) {
  if (text != nullptr) AppendBytes(text, static_cast<uint32_t>(std::strlen(text)));
}

void DbString::AppendBytes(const char* bytes, uint32_t n) {
  if (bytes == nullptr || n == 0) return;
  const std::less<const char*> before;
  if (HasBlock() && !before(bytes, block_.data()) && before(bytes, block_.data() + block_.size())) {
    // The bytes lie in this very block, which growing may free: append a copy.
    const std::string copy(bytes, n);
    AppendBytes(copy.data(), n);
    return;
  }
  GrowFor(n);
  char* data = Data();
  std::memcpy(data + length_, bytes, n);
  length_ += n;
  data[length_] = '\0';
}

void DbString::AppendPrefix(const DbString& other, uint32_t n) {
  AppendBytes(other.CStr(), std::min(n, other.length_));
}

void DbString::AppendWide(const char16_t* text16) {
  if (text16 != nullptr) AppendWide(std::u16string_view(text16));
}

void DbString::AppendWide(std::u16string_view text16) {
  std::string narrow(text16.size(), '\0');
  narrow.resize(WideToNarrow(text16.data(), narrow.data(), text16.size()));
  AppendBytes(narrow.data(), static_cast<uint32_t>(narrow.size()));
}

void DbString::Insert(uint32_t pos, const char* text) {
  if (text == nullptr || *text == '\0' || pos > length_) return;
  const std::string inserted(text);  // the text may lie in this block, which is rebuilt
  const auto n = static_cast<uint32_t>(inserted.size());
  Reallocate(StepsFor(uint64_t{length_} + n + 1));
  char* data = Data();
  std::memmove(data + pos + n, data + pos, length_ - pos);
  std::memcpy(data + pos, inserted.data(), n);
  length_ += n;
  data[length_] = '\0';
}

void DbString::Erase(uint32_t pos, uint32_t count) {
  RestoreFront();
  if (pos >= length_ || uint64_t{pos} + count > length_) return;
  char* data = Data();
  std::memmove(data + pos, data + pos + count, length_ - pos - count);
  std::memset(data + length_ - count, '\0', count);
  length_ -= count;
}

void DbString::SetLength(uint32_t n) {
  if (!HasBlock() || n >= Capacity()) Reallocate(StepsFor(uint64_t{n} + 1));
  length_ = n;
  Data()[n] = '\0';
}

void DbString::Reserve(uint32_t n) {
  if (n == 0) return;
  if (!HasBlock()) {
    block_.assign(n, '\0');
  } else if (Capacity() < n) {
    Reallocate(n);
  }
}

void DbString::SetGrowthStep(int32_t n) {
  if (n > 0) growth_step_ = n;
}

void DbString::DropFront(uint32_t n) {
  if (!HasBlock() || n > length_) return;
  front_ += n;
  length_ -= n;
}

void DbString::RestoreFront() {
  length_ += front_;
  front_ = 0;
}

void DbString::Compact() {
  if (front_ == 0) return;
  const uint32_t dropped = front_;
  RestoreFront();
  Erase(0, dropped);
}

std::unique_ptr<char[]> DbString::Duplicate(uint32_t n) const {
  if (!HasBlock() || n == 0) return nullptr;
  auto copy = std::make_unique<char[]>(uint64_t{n} + 1);
  std::memcpy(copy.get(), Data(), std::min(n, length_));
  return copy;
}

const char16_t* DbString::Wide() const {
  if (wide_ == nullptr) wide_ = std::make_unique<std::u16string>();
  wide_->assign(length_, u'\0');
  NarrowToWide(Data(), wide_->data(), length_);
  return wide_->c_str();
}

int32_t DbString::ByteSum() const {
  int32_t sum = 0;
  for (char c : View()) sum += static_cast<int8_t>(c);
  return sum;
}

int DbString::FormatPacked(const char* fmt, std::span<const FormatArg> args, bool extended) {
  // Format first: an argument may be this very string, which Clear would wipe.
  std::string text;
  const bool ok = extended ? FormatTextEx(fmt, args, &text) : FormatText(fmt, args, &text);
  Clear();
  if (!ok) return 0;
  AppendBytes(text.data(), static_cast<uint32_t>(text.size()));
  return 1;
}

uint64_t DbString::StepsFor(uint64_t needed) const {
  const auto step = static_cast<uint64_t>(growth_step_);
  return step * (needed / step + 1);
}

void DbString::GrowFor(uint64_t extra) {
  const uint64_t needed = length_ + extra + 1;
  if (!HasBlock() || needed > Capacity()) Reallocate(StepsFor(needed));
}

void DbString::Reallocate(uint64_t capacity) {
  std::vector<char> block(front_ + capacity, '\0');
  if (HasBlock()) std::memcpy(block.data(), block_.data(), front_ + length_);
  block_.swap(block);
}

namespace {

// One character at the front of non-empty UTF-8 text: its code point and byte count, or
// U+FFFD and 1 for a malformed sequence.
std::pair<char32_t, size_t> DecodeUtf8(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead, 1};
  size_t length = 0;
  char32_t code_point = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code_point = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code_point = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code_point = lead & 0x07, smallest = 0x10000;
  } else {
    return {kReplacementCharacter, 1};
  }
  if (text.size() < length) return {kReplacementCharacter, 1};
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return {kReplacementCharacter, 1};
    code_point = (code_point << 6) | (next & 0x3F);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < smallest || code_point > 0x10FFFF || surrogate) {
    return {kReplacementCharacter, 1};
  }
  return {code_point, length};
}

void AppendUtf8(char16_t unit, std::string* out) {
  if (unit < 0x80) {
    out->push_back(static_cast<char>(unit));
  } else if (unit < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (unit >> 6)));
    out->push_back(static_cast<char>(0x80 | (unit & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (unit >> 12)));
    out->push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (unit & 0x3F)));
  }
}

}  // namespace

DbString FromUtf8(std::string_view utf8) {
  std::string narrow;
  narrow.reserve(utf8.size());
  while (!utf8.empty()) {
    const auto [code_point, length] = DecodeUtf8(utf8);
    narrow.push_back(UnicodeToCp1251(code_point));
    utf8.remove_prefix(length);
  }
  return DbString(std::string_view(narrow));
}

std::string ToUtf8(const DbString& text) {
  std::string utf8;
  utf8.reserve(text.Length());
  for (char byte : text.View())
    AppendUtf8(Cp1251ToUnicode(static_cast<unsigned char>(byte)), &utf8);
  return utf8;
}

}  // namespace ledgerix
