#include "platform/wildcard.h"

namespace ledgerix::platform {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 0x20;
  // Latin-1 capitals À..Þ, except the multiplication sign.
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return c + 0x20;
  // Cyrillic: Ѐ..Џ and А..Я.
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  return c;
}

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*") return true;
  // Greedy match with one backtrack point: the last "*" seen and where its run ended.
  size_t p = 0;
  size_t n = 0;
  size_t star = std::u16string_view::npos;
  size_t star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == u'?' || (pattern[p] != u'*' && FoldCase(pattern[p]) == FoldCase(name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      star_name = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const char16_t fa = FoldCase(a[i]);
    const char16_t fb = FoldCase(b[i]);
    if (fa != fb) return fa < fb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace ledgerix::platform
