#pragma once
// The device's screen that every screen of the program covers: its size in logical pixels, its
// background, and the whole factor by which the desktop enlarges it. Plain C++.

#include <cstdint>

namespace ledgerix {

inline constexpr int kDeviceWidth = 240;
inline constexpr int kDeviceHeight = 320;
// The background of every screen, 0x00BBGGRR: red, green and blue 254.
inline constexpr uint32_t kScreenBackground = 0x00FEFEFE;

// The largest whole factor by which the device screen fits a desktop area of the given size,
// at least 1 (an area smaller than the device still shows it at its own size).
int DeviceScaleFactor(int available_width, int available_height);

}  // namespace ledgerix
