#pragma once
// SystemColours: the configured colours the controls draw with, by the numbered index the
// screens use (0x00BBGGRR). Taken from a palette, each index can be set apart from it, so a test
// or a theme can fix one colour without touching the others.

#include <QPalette>
#include <cstdint>
#include <map>

namespace ledgerix {

class SystemColours {
 public:
  static constexpr int kActiveCaption = 2;
  static constexpr int kHighlightedText = 14;
  static constexpr int kButtonFace = 15;
  static constexpr int kButtonShadow = 16;
  static constexpr int kGreyText = 17;
  static constexpr int kButtonHighlight = 20;

  // The colours of the application's palette.
  SystemColours();
  // The colours of `palette` (active caption: Highlight; highlighted text: HighlightedText;
  // button face: Button; button shadow: Dark; grey text: disabled Text; button highlight: Light).
  explicit SystemColours(const QPalette& palette);

  // The colour of `index`: the one set for it, else the palette's; black for an index that
  // names no colour.
  uint32_t Colour(int index) const;

  // From now on `index` answers `colour` whatever the palette says.
  void Set(int index, uint32_t colour);

 private:
  QPalette palette_;
  std::map<int, uint32_t> set_;
};

}  // namespace ledgerix
