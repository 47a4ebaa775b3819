// Colour arithmetic of the shaped controls' face builder. Every argument is
// resolved to RGB first (system colours become their current value); the
// results are plain RGB colours.
#pragma once

#include <cstdint>

#include "platform/gdi/Types.h"

namespace bellcut {

// The colour value of one 24-bit pixel stored blue, green, red: the TColor
// layout red + green * 256 + blue * 65536.
[[nodiscard]] constexpr TColor TripleToColor(const std::uint8_t* Pixel) {
  return static_cast<TColor>(Pixel[2] | (Pixel[1] << 8) | (Pixel[0] << 16));
}

// Each channel lowered by Depth, stopping at 0.
[[nodiscard]] TColor DarkenColor(TColor Color, int Depth);
// Each channel raised by Depth, stopping at 255.
[[nodiscard]] TColor LightenColor(TColor Color, int Depth);
// The disabled grey: the channel average, kept within 128 .. 192.
[[nodiscard]] TColor GrayColor(TColor Color);

}  // namespace bellcut
