#include "engine/collate.h"

#include <array>
#include <cstdint>

namespace ledgerix {
namespace {

// The weight of every byte: a permutation of 0 to 255. The space comes first, then control
// characters, apostrophe, hyphens and dashes, other punctuation, digits, then the Latin and
// Cyrillic letters.
constexpr std::array<uint8_t, 256> kWeights = {
    0,   2,   3,   4,   5,   6,   7,   8,   9,   36,  37,  38,  39,  40,  10,  11,   // 0x00
    12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,   // 0x10
    1,   41,  42,  43,  44,  45,  46,  30,  47,  48,  49,  76,  50,  31,  51,  52,   // 0x20
    98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 53,  54,  77,  78,  79,  55,   // 0x30
    56,  108, 110, 113, 115, 117, 119, 120, 122, 124, 126, 129, 130, 133, 134, 137,  // 0x40
    139, 141, 144, 146, 147, 151, 152, 154, 157, 159, 161, 57,  58,  59,  60,  61,   // 0x50
    62,  109, 111, 112, 114, 116, 118, 121, 123, 125, 127, 128, 131, 132, 135, 138,  // 0x60
    140, 142, 143, 145, 148, 150, 153, 155, 156, 158, 160, 63,  64,  65,  66,  28,   // 0x70
    177, 173, 70,  172, 73,  95,  92,  93,  97,  96,  207, 74,  212, 203, 224, 239,  // 0x80
    176, 68,  69,  71,  72,  94,  33,  34,  29,  149, 206, 75,  213, 202, 225, 238,  // 0x90
    35,  228, 229, 199, 83,  171, 67,  84,  180, 85,  183, 81,  86,  32,  87,  194,  // 0xA0
    88,  80,  192, 193, 170, 89,  90,  91,  181, 136, 182, 82,  198, 188, 189, 195,  // 0xB0
    163, 164, 167, 169, 175, 178, 185, 186, 191, 196, 201, 205, 209, 211, 215, 216,  // 0xC0
    218, 220, 223, 226, 231, 233, 234, 237, 241, 242, 244, 247, 249, 251, 252, 254,  // 0xD0
    162, 165, 166, 168, 174, 179, 184, 187, 190, 197, 200, 204, 208, 210, 214, 217,  // 0xE0
    219, 221, 222, 227, 230, 232, 235, 236, 240, 243, 245, 246, 248, 250, 253, 255,  // 0xF0
};

// The weight of the hyphen "-", which the comparison skips.
constexpr uint8_t kHyphenWeight = 31;

uint8_t WeightOf(const char* p) { return kWeights[static_cast<unsigned char>(*p)]; }

}  // namespace

int CollateCompare(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  while (*a != '\0' && *b != '\0') {
    const uint8_t left = WeightOf(a);
    const uint8_t right = WeightOf(b);
    if (left == right) {
      ++a;
      ++b;
    } else if (left == kHyphenWeight) {
      ++a;
    } else if (right == kHyphenWeight) {
      ++b;
    } else {
      return left > right ? 1 : -1;
    }
  }
  if (*a == '\0' && *b == '\0') return 0;
  return *b == '\0' ? 1 : -1;
}

}  // namespace ledgerix
