#pragma once
// The face of a picture button painted top to bottom from a start to an end colour in horizontal
// bands (0x00BBGGRR). Plain C++: the button paints what FaceBands answers.

#include <cstdint>
#include <vector>

namespace ledgerix {

// One band of the face: `rows` rows from row `top`, filled with `colour`.
struct FaceBand {
  int top = 0;
  int rows = 0;
  uint32_t colour = 0;
  bool operator==(const FaceBand&) const = default;
};

// The colour of band `band` of `band_count`: per colour byte
// start + band * (end - start) / band_count (rounded down), less 1, kept within 0 to 255.
uint32_t FaceBandColour(uint32_t start, uint32_t end, int band, int band_count);

// The bands that fill a face `height` rows high, top to bottom, covering every row once. With the
// gradient on and at least 2 bands asked: n bands (the count asked, no more than the height,
// at least 2), each height / n rows, then the rows left over in the end colour. Otherwise one
// band of the start colour. A height of 0 or less answers no bands.
std::vector<FaceBand> FaceBands(uint32_t start, uint32_t end, bool gradient, int band_count,
                                int height);

}  // namespace ledgerix
