#include "ui/controls/face_gradient.h"

#include <algorithm>

namespace ledgerix {
namespace {

// Integer division rounded towards minus infinity (the face may run from light to dark).
int FloorDivide(int numerator, int denominator) {
  const int quotient = numerator / denominator;
  return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1
                                                                                : quotient;
}

}  // namespace

uint32_t FaceBandColour(uint32_t start, uint32_t end, int band, int band_count) {
  uint32_t colour = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int from = static_cast<int>((start >> shift) & 0xFF);
    const int to = static_cast<int>((end >> shift) & 0xFF);
    const int value = from + FloorDivide(band * (to - from), band_count) - 1;
    colour |= static_cast<uint32_t>(std::clamp(value, 0, 255)) << shift;
  }
  return colour;
}

std::vector<FaceBand> FaceBands(uint32_t start, uint32_t end, bool gradient, int band_count,
                                int height) {
  std::vector<FaceBand> bands;
  if (height <= 0) return bands;
  if (!gradient || band_count < 2) {
    bands.push_back({0, height, start & 0x00FFFFFF});
    return bands;
  }
  const int count = std::max(2, std::min(band_count, height));
  const int rows = height / count;
  if (rows > 0) {
    for (int band = 0; band < count; ++band) {
      bands.push_back({band * rows, rows, FaceBandColour(start, end, band, count)});
    }
  }
  const int covered = rows * count;
  if (covered < height) bands.push_back({covered, height - covered, end & 0x00FFFFFF});
  return bands;
}

}  // namespace ledgerix
