#include "app/FlyIn.h"

namespace bellcut {

TEntryDirection DirectionForMinute(int Minute) {
  // Each test that holds sets the direction; the ranges do not overlap.
  TEntryDirection d = TEntryDirection::FromLeft;
  if ((Minute >= 53 && Minute <= 59) || (Minute >= 0 && Minute <= 7)) d = TEntryDirection::FromTop;
  if (Minute >= 8 && Minute <= 22) d = TEntryDirection::FromRight;
  if (Minute >= 23 && Minute <= 37) d = TEntryDirection::FromBottom;
  if (Minute >= 38 && Minute <= 52) d = TEntryDirection::FromLeft;
  return d;
}

TPoint InitialPlacement(TEntryDirection Direction, int ScreenW, int ScreenH) {
  constexpr int far = kDesignedSide + kParkGap;
  switch (Direction) {
    case TEntryDirection::FromLeft: return {-far, (ScreenH - kDesignedSide) / 2};
    case TEntryDirection::FromRight: return {ScreenW + far, (ScreenH - kDesignedSide) / 2};
    case TEntryDirection::FromTop: return {(ScreenW - kDesignedSide) / 2, -far};
    case TEntryDirection::FromBottom: return {(ScreenW - kDesignedSide) / 2, ScreenH + far};
  }
  return {};
}

TPoint FirstTickPlacement(TEntryDirection Direction, int ScreenW, int ScreenH, int W, int H) {
  // From the right and from the bottom the 620 is added to the window's own
  // size, not to the screen's: on a wide screen the window starts on it.
  constexpr int far = kDesignedSide + kParkGap;
  switch (Direction) {
    case TEntryDirection::FromLeft: return {-W - kParkGap, (ScreenH - H) / 2};
    case TEntryDirection::FromRight: return {W + far, (ScreenH - H) / 2};
    case TEntryDirection::FromTop: return {(ScreenW - W) / 2, -H - kParkGap};
    case TEntryDirection::FromBottom: return {(ScreenW - W) / 2, H + far};
  }
  return {};
}

TClientFit FitClient(int PictureW, int PictureH) {
  if (PictureW <= PictureH && PictureW < kDesignedSide) return {true, PictureW, true};
  if (PictureW > PictureH && PictureH < kDesignedSide) return {true, PictureH, false};
  return {};
}

TFlightStep FlightStep(TEntryDirection Direction, int Left, int Top, int CX, int CY) {
  TFlightStep s{false, Left, Top};
  switch (Direction) {
    case TEntryDirection::FromLeft:
      if (Left < CX) s.Left += kStep; else s.Arrived = true;
      break;
    case TEntryDirection::FromRight:
      if (Left > CX) s.Left -= kStep; else s.Arrived = true;
      break;
    case TEntryDirection::FromTop:
      if (Top < CY) s.Top += kStep; else s.Arrived = true;
      break;
    case TEntryDirection::FromBottom:
      if (Top > CY) s.Top -= kStep; else s.Arrived = true;
      break;
  }
  return s;
}

}  // namespace bellcut
