#include "engine/code_page.h"

#include <array>

namespace ledgerix {
namespace {

// Windows-1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are the letters А to я in order.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

constexpr char32_t kCyrillicCapitalA = 0x0410;
constexpr char32_t kCyrillicSmallYa = 0x044F;
constexpr unsigned char kFirstLetterByte = 0xC0;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

char16_t Cp1251ToUnicode(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= kFirstLetterByte) {
    return static_cast<char16_t>(kCyrillicCapitalA + (byte - kFirstLetterByte));
  }
  return kUpperHalf[byte - 0x80];
}

char UnicodeToCp1251(char32_t code_point) {
  if (code_point < 0x80) return static_cast<char>(code_point);
  if (code_point >= kCyrillicCapitalA && code_point <= kCyrillicSmallYa) {
    return static_cast<char>(kFirstLetterByte + (code_point - kCyrillicCapitalA));
  }
  for (size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == code_point) return static_cast<char>(0x80 + i);
  }
  return kUnmappableByte;
}

size_t NarrowToWide(const char* bytes, char16_t* out16, size_t n) {
  if (bytes == nullptr || out16 == nullptr) return 0;
  for (size_t i = 0; i < n; ++i) {
    out16[i] = Cp1251ToUnicode(static_cast<unsigned char>(bytes[i]));
  }
  return n;
}

size_t WideToNarrow(const char16_t* text16, char* out_bytes, size_t n) {
  if (text16 == nullptr || out_bytes == nullptr) return 0;
  size_t written = 0;
  for (size_t i = 0; i < n; ++i) {
    if (IsHighSurrogate(text16[i]) && i + 1 < n && IsLowSurrogate(text16[i + 1])) {
      ++i;  // Every character beyond 16 bits is missing from the code page.
      out_bytes[written++] = kUnmappableByte;
      continue;
    }
    out_bytes[written++] = UnicodeToCp1251(text16[i]);
  }
  return written;
}

}  // namespace ledgerix
