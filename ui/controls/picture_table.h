#pragma once
// The program's pictures: every bitmap and icon id the screens name, with the drawing that shows
// it and the size it is drawn at. Bitmap and icon ids are counted apart (bitmap 150 is the edit
// button's pencil, icon 150 the income screens' icon). Plain C++: the loader renders from it.

#include <span>
#include <string_view>

namespace ledgerix {

enum class PictureKind { kBitmap, kIcon };

struct PictureEntry {
  PictureKind kind;
  int id;
  std::string_view file;  // the drawing's file name in the pictures folder
  int width;              // the size it is drawn at, in logical pixels
  int height;
  std::string_view shows;  // what the picture stands for, for whoever draws it anew
};

// Every picture, bitmaps first, each kind in increasing id.
std::span<const PictureEntry> PictureTable();

// The entry of `id` of `kind`; null when the program has no such picture.
const PictureEntry* FindPicture(PictureKind kind, int id);

}  // namespace ledgerix
