// The picture table and the pictures rendered from it.
#include "ui/controls/picture_loader.h"

#include <gtest/gtest.h>

#include <QImage>
#include <set>
#include <utility>

namespace ledgerix {
namespace {

// True when some pixel of `picture` is not fully transparent: the drawing was rendered.
bool HasInk(const QPixmap& picture) {
  const QImage image = picture.toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y).alpha() > 0) return true;
    }
  }
  return false;
}

TEST(PictureTableTest, EveryPictureTheScreensNameAtItsSize) {
  struct Case {
    PictureKind kind;
    int id, width, height;
  } cases[] = {
      {PictureKind::kBitmap, 134, 66, 55}, {PictureKind::kBitmap, 136, 66, 55},
      {PictureKind::kBitmap, 137, 66, 55}, {PictureKind::kBitmap, 143, 66, 55},
      {PictureKind::kBitmap, 141, 22, 20}, {PictureKind::kIcon, 157, 12, 12},
  };
  for (const Case& c : cases) {
    const PictureEntry* entry = FindPicture(c.kind, c.id);
    ASSERT_NE(entry, nullptr) << c.id;
    EXPECT_EQ(std::make_pair(entry->width, entry->height), std::make_pair(c.width, c.height));
  }
  std::set<std::pair<PictureKind, int>> seen;
  for (const PictureEntry& entry : PictureTable()) {
    EXPECT_TRUE(seen.insert({entry.kind, entry.id}).second) << "twice: " << entry.id;
  }
  for (const int id : {142, 146, 149, 150, 151, 168, 171}) {
    EXPECT_NE(FindPicture(PictureKind::kBitmap, id), nullptr) << id;
  }
  for (const int id : {128, 150, 151}) EXPECT_NE(FindPicture(PictureKind::kIcon, id), nullptr);
}

TEST(PictureLoaderTest, EveryPictureRendersAtItsSizeForEachPixelRatio) {
  for (const PictureEntry& entry : PictureTable()) {
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap picture = LoadPicture(entry.kind, entry.id, ratio);
      ASSERT_FALSE(picture.isNull()) << entry.file.data() << " at " << ratio;
      EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(entry.width, entry.height));
      EXPECT_EQ(picture.size(), QSize(entry.width, entry.height) * ratio) << entry.id;
      EXPECT_TRUE(HasInk(picture)) << entry.id;
    }
  }
  const QPixmap large = LoadPicture(PictureKind::kBitmap, 141, QSize(44, 40), 1.0);
  EXPECT_EQ(large.size(), QSize(44, 40));
}

TEST(PictureLoaderTest, WhatTheProgramHasNoPictureForLoadsEmpty) {
  struct Case {
    PictureKind kind;
    int id;
  } cases[] = {{PictureKind::kBitmap, 0},
               {PictureKind::kBitmap, 999},
               {PictureKind::kBitmap, 128},  // an icon id only
               {PictureKind::kIcon, 134},    // a bitmap id only
               {PictureKind::kIcon, -1}};
  for (const Case& c : cases) {
    EXPECT_TRUE(LoadPicture(c.kind, c.id).isNull()) << c.id;
  }
  EXPECT_TRUE(LoadPicture(PictureKind::kBitmap, 141, QSize(0, 20), 1.0).isNull());
  EXPECT_TRUE(LoadIcon(999).isNull());
}

TEST(PictureLoaderTest, WindowIconsAtTheSmallAndTheirOwnSize) {
  for (const int id : {128, 150, 151}) {
    const QIcon icon = LoadIcon(id);
    ASSERT_FALSE(icon.isNull()) << id;
    EXPECT_EQ(icon.pixmap(QSize(16, 16)).size(), QSize(16, 16));
    EXPECT_EQ(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
  }
}

}  // namespace
}  // namespace ledgerix
