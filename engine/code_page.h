#pragma once
// Conversion between the program's 8-bit Windows-1251 text and the platform's 16-bit text.
// Both directions use the whole Windows-1251 table, so Ё, ё, №, «» and the dashes survive.

#include <cstddef>

namespace ledgerix {

// The replacement byte for a character that Windows-1251 cannot hold.
inline constexpr char kUnmappableByte = '?';

// The 16-bit unit of one Windows-1251 byte. The byte 0x98, which the code page leaves
// undefined, becomes U+0098 so that it comes back unchanged.
char16_t Cp1251ToUnicode(unsigned char byte);

// The Windows-1251 byte of a code point, or kUnmappableByte when the code page lacks it.
char UnicodeToCp1251(char32_t code_point);

// Converts exactly n bytes into n 16-bit units (0 bytes included). Nothing happens for a
// null argument. Answers the number of units written (n, or 0 for a null argument).
size_t NarrowToWide(const char* bytes, char16_t* out16, size_t n);

// Converts exactly n 16-bit units into at most n bytes (0 units included). A character the
// code page lacks becomes "?"; a surrogate pair is one character and so one "?". Nothing
// happens for a null argument. Answers the number of bytes written.
size_t WideToNarrow(const char16_t* text16, char* out_bytes, size_t n);

}  // namespace ledgerix
