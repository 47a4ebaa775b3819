// The fly-in: which screen edge the window enters from, where it is parked
// beyond that edge, how the client area is fitted to the picture, and the
// 32-pixel steps toward the centre.
//
// Every halving is C++'s integer division, which truncates toward zero as
// the window placement needs (-101 / 2 == -50).
#pragma once

#include <cstdint>

#include "platform/gdi/Types.h"

namespace bellcut {

// The edge the window enters from.
enum class TEntryDirection : std::int32_t { FromLeft = 0, FromRight = 1, FromTop = 2, FromBottom = 3 };

inline constexpr int kDesignedSide = 600;  // the designed client size
inline constexpr int kParkGap = 20;        // gap between a parked window and the edge
inline constexpr int kStep = 32;           // pixels per tick

// The entry direction for a minute of the hour (0..59); minutes outside that
// range match no test and keep the starting value, from the left.
[[nodiscard]] TEntryDirection DirectionForMinute(int Minute);

// The parking place chosen in the constructor, before the window's real size
// is known (the designed 600 stands in for it): Left and Top.
[[nodiscard]] TPoint InitialPlacement(TEntryDirection Direction, int ScreenW, int ScreenH);

// The parking place of the first tick, with the window's real outer size.
[[nodiscard]] TPoint FirstTickPlacement(TEntryDirection Direction, int ScreenW, int ScreenH, int W, int H);

// The square client side for a picture of w x h: the shorter side when it is
// below 600, else 600. WidthFirst says which client dimension is set first
// (the width when w <= h).
struct TClientFit {
  bool Resize = false;  // false: the client area stays 600 x 600
  int Side = kDesignedSide;
  bool WidthFirst = true;
};
[[nodiscard]] TClientFit FitClient(int PictureW, int PictureH);

// One tick of the flight: either a 32-pixel move toward the centre (CX, CY
// being the centred Left and Top) or the arrival, never both.
struct TFlightStep {
  bool Arrived = false;
  int Left = 0;
  int Top = 0;
};
[[nodiscard]] TFlightStep FlightStep(TEntryDirection Direction, int Left, int Top, int CX, int CY);

}  // namespace bellcut
