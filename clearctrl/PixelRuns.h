// Scanning 24-bit rows for runs of opaque pixels: the shared inner loop of
// the face builder's masks, the base regions and the window composition.
#pragma once

#include <cstdint>

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
        blue_(static_cast<std::uint8_t>((color >> 16) & 0xFF)) {}
  [[nodiscard]] constexpr bool IsTransparent(const std::uint8_t* pixel) const {
    return matches_ && pixel[0] == blue_ && pixel[1] == green_ && pixel[2] == red_;
  }

 private:
  bool matches_;
  std::uint8_t red_, green_, blue_;
};

// Calls onRun(start, end) for each maximal run of opaque pixels among the
// columns x0 .. x1 (inclusive) of a 24-bit row; end is exclusive, so a run
// that reaches x1 ends at x1 + 1.
template <class OnRun>
void ForEachOpaqueRun(const std::uint8_t* row, int x0, int x1, TransparentKey key, OnRun&& onRun) {
  bool open = false;
  int start = 0;
  const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x0) * 3;
  for (int x = x0; x <= x1; ++x, p += 3) {
    const bool transparent = key.IsTransparent(p);
    if (transparent && open) {
      onRun(start, x);
      open = false;
    } else if (!transparent && !open) {
      open = true;
      start = x;
    }
  }
  if (open) onRun(start, x1 + 1);
}

}  // namespace bellcut::clear_detail
