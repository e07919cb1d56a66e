// The bands of a picture button's face.
#include "ui/controls/face_gradient.h"

#include <gtest/gtest.h>

namespace ledgerix {
namespace {

TEST(FaceGradientTest, BandColourPerByteRoundedDownLessOneAndKeptInRange) {
  struct Case {
    uint32_t start, end;
    int band, count;
    uint32_t colour;
  } cases[] = {
      {0xFFFFFF, 0xD7D7D7, 0, 189, 0xFEFEFE},    // the first band is the start less 1
      {0x000000, 0xFFFFFF, 0, 2, 0x000000},      // 0 less 1 stays 0, it does not wrap to 255
      {0x000000, 0xFFFFFF, 1, 2, 0x7E7E7E},      // 255 / 2 = 127, less 1
      {0x0000FF, 0x000000, 1, 3, 0x0000A9},      // 255 - 85 - 1
      {0x00000A, 0x000000, 1, 3, 0x000005},      // -10 / 3 rounds down to -4: 10 - 4 - 1
      {0x0000FF, 0xFF0000, 1, 2, 0x7E007E},      // each byte on its own: 255 - 128 - 1, 0, 126
      {0x6FD2D2, 0xFFFFFF, 188, 189, 0xFDFDFD},  // 210 + 44 - 1 and 111 + 143 - 1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FaceBandColour(c.start, c.end, c.band, c.count), c.colour)
        << std::hex << c.start << " " << c.end << std::dec << " band " << c.band << "/" << c.count;
  }
}

TEST(FaceGradientTest, BandsOfTheCountAskedLimitedToTheHeightThenTheEndColour) {
  const uint32_t start = 0x202020;
  const uint32_t end = 0xA0A0A0;
  struct Case {
    bool gradient;
    int count, height;
    int bands;     // bands of the gradient before any rows left over
    int rows;      // rows of each of them
    int end_rows;  // rows left over, in the end colour
  } cases[] = {
      {true, 189, 23, 23, 1, 0},  // a usual button: a band a row
      {true, 189, 400, 189, 2, 22}, {true, 5, 12, 5, 2, 2},
      {true, 189, 1, 0, 0, 1},  // at least 2 bands: of 0 rows each, the row takes the end
      {true, 2, 3, 2, 1, 1},
  };
  for (const Case& c : cases) {
    const std::vector<FaceBand> bands = FaceBands(start, end, c.gradient, c.count, c.height);
    ASSERT_EQ(bands.size(), static_cast<size_t>(c.bands + (c.end_rows > 0 ? 1 : 0))) << c.height;
    for (int i = 0; i < c.bands; ++i) {
      const int count = std::max(2, std::min(c.count, c.height));
      EXPECT_EQ(bands[i], (FaceBand{i * c.rows, c.rows, FaceBandColour(start, end, i, count)}));
    }
    if (c.end_rows > 0) {
      EXPECT_EQ(bands.back(), (FaceBand{c.bands * c.rows, c.end_rows, end}));
    }
  }
}

TEST(FaceGradientTest, WithoutTheGradientOrTwoBandsTheFaceIsTheStartColour) {
  const FaceBand whole{0, 30, 0x123456};
  EXPECT_EQ(FaceBands(0x123456, 0xFFFFFF, false, 189, 30), std::vector<FaceBand>{whole});
  EXPECT_EQ(FaceBands(0x123456, 0xFFFFFF, true, 1, 30), std::vector<FaceBand>{whole});
  EXPECT_EQ(FaceBands(0x123456, 0xFFFFFF, true, 0, 30), std::vector<FaceBand>{whole});
  EXPECT_TRUE(FaceBands(0x123456, 0xFFFFFF, true, 189, 0).empty());
}

TEST(FaceGradientTest, EveryRowIsFilledExactlyOnce) {
  for (const int count : {0, 1, 2, 3, 7, 189, 500}) {
    for (int height = 0; height <= 420; ++height) {
      int next = 0;
      for (const FaceBand& band : FaceBands(0, 0xFFFFFF, true, count, height)) {
        ASSERT_EQ(band.top, next) << count << " bands, height " << height;
        ASSERT_GT(band.rows, 0);
        next += band.rows;
      }
      ASSERT_EQ(next, height) << count << " bands";
    }
  }
}

}  // namespace
}  // namespace ledgerix
