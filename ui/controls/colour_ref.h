#pragma once
// Colours as the screens give them, 0x00BBGGRR (blue in the high byte), and their Qt form.

#include <QColor>
#include <cstdint>

namespace ledgerix {

inline QColor FromColourRef(uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

inline uint32_t ToColourRef(const QColor& colour) {
  return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
         (static_cast<uint32_t>(colour.blue()) << 16);
}

}  // namespace ledgerix
