#include "ui/kind_categories.h"

#include <algorithm>

namespace ledgerix {
namespace {

// The small letter of a Windows-1251 capital; any other byte as it is.
unsigned char SmallLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x80:
      return 0x90;  // Ђ
    case 0x81:
      return 0x83;  // Ѓ
    case 0x8A:
      return 0x9A;  // Љ
    case 0x8C:
      return 0x9C;  // Њ
    case 0x8D:
      return 0x9D;  // Ќ
    case 0x8E:
      return 0x9E;  // Ћ
    case 0x8F:
      return 0x9F;  // Џ
    case 0xA1:
      return 0xA2;  // Ў
    case 0xA3:
      return 0xBC;  // Ј
    case 0xA5:
      return 0xB4;  // Ґ
    case 0xA8:
      return 0xB8;  // Ё
    case 0xAA:
      return 0xBA;  // Є
    case 0xAF:
      return 0xBF;  // Ї
    case 0xB2:
      return 0xB3;  // І
    case 0xBD:
      return 0xBE;  // Ѕ
    default:
      return c;
  }
}

}  // namespace

std::vector<DbString> CategoriesOf(const std::vector<KindRecord>& kinds, int32_t direction) {
  std::vector<DbString> categories;
  for (const KindRecord& kind : kinds) {
    if (kind.type != direction) continue;
    const bool listed = std::any_of(categories.begin(), categories.end(),
                                    [&](const DbString& c) { return c.Equals(kind.category); });
    if (!listed) categories.push_back(kind.category);
  }
  return categories;
}

}  // namespace ledgerix

namespace ledgerix {

std::vector<DbString> CategoriesIgnoringCase(const std::vector<KindRecord>& kinds) {
  std::vector<DbString> categories;
  for (const KindRecord& kind : kinds) {
    const bool listed = std::any_of(categories.begin(), categories.end(), [&](const DbString& c) {
      return SameTextIgnoringCase(c, kind.category);
    });
    if (!listed) categories.push_back(kind.category);
  }
  return categories;
}

bool SameTextIgnoringCase(const DbString& a, const DbString& b) {
  const std::string_view x = a.View();
  const std::string_view y = b.View();
  return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
    return SmallLetter(static_cast<unsigned char>(p)) == SmallLetter(static_cast<unsigned char>(q));
  });
}

}  // namespace ledgerix
