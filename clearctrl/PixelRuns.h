// Scanning 24-bit rows for runs of opaque pixels: the shared inner loop of
// the face builder's masks, the base regions and the window composition.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "clearctrl/ClearColors.h"
#include "platform/gdi/Types.h"

namespace bellcut::clear_detail {

// A transparent-colour test on raw pixels. A pixel is transparent when its
// colour value equals the stored colour as a whole 32-bit value, so a system
// colour (top byte set) never matches and every pixel counts as opaque.
class TransparentKey {
 public:
  explicit constexpr TransparentKey(TColor color)
      : matches_((static_cast<std::uint32_t>(color) & 0xFF000000u) == 0),
        red_(static_cast<std::uint8_t>(color & 0xFF)),
        green_(static_cast<std::uint8_t>((color >> 8) & 0xFF)),
        blue_(static_cast<std::uint8_t>((color >> 16) & 0xFF)),
        blueGreen_(static_cast<std::uint16_t>(NativeOrder16(blue_, green_))) {}
  [[nodiscard]] bool IsTransparent(const std::uint8_t* pixel) const {
    // Blue and green as one 16-bit load: the scans run over every pixel.
    std::uint16_t blueGreen;
    std::memcpy(&blueGreen, pixel, 2);
    return matches_ && blueGreen == blueGreen_ && pixel[2] == red_;
  }
  // False for a system colour: then no pixel is ever transparent.
  [[nodiscard]] constexpr bool CanMatch() const { return matches_; }

 private:
  // The 16-bit value of the bytes (first, second) as loaded from memory.
  static constexpr std::uint16_t NativeOrder16(std::uint8_t first, std::uint8_t second) {
    return std::endian::native == std::endian::little ? static_cast<std::uint16_t>(first | (second << 8))
                                                      : static_cast<std::uint16_t>((first << 8) | second);
  }

  bool matches_;
  std::uint8_t red_, green_, blue_;
  std::uint16_t blueGreen_;
};

// Calls onRun(start, end) for each maximal run of opaque pixels among the
// columns x0 .. x1 (inclusive) of a 24-bit row; end is exclusive, so a run
// that reaches x1 ends at x1 + 1.
template <class OnRun>
void ForEachOpaqueRun(const std::uint8_t* row, int x0, int x1, TransparentKey key, OnRun&& onRun) {
  if (x0 > x1) return;
  if (!key.CanMatch()) {
    onRun(x0, x1 + 1);
    return;
  }
  // Two tight loops, one over a transparent stretch and one over an opaque
  // one, instead of a state test per pixel.
  const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x0) * 3;
  int x = x0;
  while (x <= x1) {
    while (x <= x1 && key.IsTransparent(p)) {
      ++x;
      p += 3;
    }
    if (x > x1) break;
    const int start = x;
    while (x <= x1 && !key.IsTransparent(p)) {
      ++x;
      p += 3;
    }
    onRun(start, x);
  }
}

}  // namespace bellcut::clear_detail
