#include "platform/utf8.h"

#include <cstdint>

namespace ledgerix::platform {
namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(char32_t c, std::u16string* out) {
  if (c < 0x10000) {
    out->push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence starting at text[*pos]; advances *pos past it.
bool DecodeUtf8(std::string_view text, size_t* pos, char32_t* c) {
  const auto lead = static_cast<uint8_t>(text[*pos]);
  int extra = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    *c = lead;
    ++*pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    min = 0x80;
    *c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    min = 0x800;
    *c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    min = 0x10000;
    *c = lead & 0x07;
  } else {
    return false;
  }
  if (*pos + extra >= text.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<uint8_t>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) return false;
    *c = (*c << 6) | (next & 0x3F);
  }
  if (*c < min || *c > 0x10FFFF || IsHighSurrogate(*c) || IsLowSurrogate(*c)) return false;
  *pos += extra + 1;
  return true;
}

}  // namespace

bool Utf16ToUtf8(std::u16string_view text, std::string* out) {
  out->clear();
  out->reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c)) {
      if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsLowSurrogate(c)) {
      return false;
    }
    AppendUtf8(c, out);
  }
  return true;
}

bool Utf8ToUtf16(std::string_view text, std::u16string* out) {
  out->clear();
  out->reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    if (!DecodeUtf8(text, &pos, &c)) return false;
    AppendUtf16(c, out);
  }
  return true;
}

}  // namespace ledgerix::platform
