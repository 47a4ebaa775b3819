#include "clearctrl/ClearColors.h"

#include <algorithm>

namespace bellcut {
namespace {

TColor ShiftChannels(TColor Color, int Delta) {
  const COLORREF c = ColorToRGB(Color);
  const auto channel = [Delta](int v) { return std::clamp(v + Delta, 0, 255); };
  return static_cast<TColor>(RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c))));
}

}  // namespace

TColor DarkenColor(TColor Color, int Depth) { return ShiftChannels(Color, -Depth); }

TColor LightenColor(TColor Color, int Depth) { return ShiftChannels(Color, Depth); }

TColor GrayColor(TColor Color) {
  const COLORREF c = ColorToRGB(Color);
  const int v = std::clamp((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3, 128, 192);
  return static_cast<TColor>(RGB(v, v, v));
}

}  // namespace bellcut
