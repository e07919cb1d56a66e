#include "ui/controls/picture_table.h"

#include <array>

namespace ledgerix {
namespace {

constexpr PictureKind kBitmap = PictureKind::kBitmap;
constexpr PictureKind kIcon = PictureKind::kIcon;

constexpr std::array kPictures = {
    PictureEntry{kBitmap, 134, "bitmap_134.svg", 66, 55, "main screen: income (money coming in)"},
    PictureEntry{kBitmap, 136, "bitmap_136.svg", 66, 55, "main screen: expense (money going out)"},
    PictureEntry{kBitmap, 137, "bitmap_137.svg", 66, 55, "main screen: management (statistics)"},
    PictureEntry{kBitmap, 141, "bitmap_141.svg", 22, 20, "close"},
    PictureEntry{kBitmap, 142, "bitmap_142.svg", 20, 20, "kinds list: find the next kind"},
    PictureEntry{kBitmap, 143, "bitmap_143.svg", 66, 55, "main screen: kinds (a tagged list)"},
    PictureEntry{kBitmap, 146, "bitmap_146.svg", 20, 20, "entry list: save the rows"},
    PictureEntry{kBitmap, 149, "bitmap_149.svg", 20, 20, "kinds list: add a kind"},
    PictureEntry{kBitmap, 150, "bitmap_150.svg", 20, 20, "kinds list: edit the kind"},
    PictureEntry{kBitmap, 151, "bitmap_151.svg", 20, 20, "kinds list: delete the kind"},
    PictureEntry{kBitmap, 157, "icon_157.svg", 12, 12, "entry list: a marked row"},
    PictureEntry{kBitmap, 168, "bitmap_168.svg", 22, 20, "entry list: the accounts"},
    PictureEntry{kBitmap, 171, "bitmap_171.svg", 20, 20, "statistics: the report filter"},
    PictureEntry{kIcon, 128, "icon_128.svg", 32, 32, "the program"},
    PictureEntry{kIcon, 150, "icon_150.svg", 32, 32, "income screens"},
    PictureEntry{kIcon, 151, "icon_151.svg", 32, 32, "expense screens"},
    PictureEntry{kIcon, 157, "icon_157.svg", 12, 12, "entry list: a marked row"},
};

}  // namespace

std::span<const PictureEntry> PictureTable() { return kPictures; }

const PictureEntry* FindPicture(PictureKind kind, int id) {
  for (const PictureEntry& entry : kPictures) {
    if (entry.kind == kind && entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace ledgerix
