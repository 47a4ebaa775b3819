// Entry direction, parking places, client fitting and the flight's steps.
#include "app/FlyIn.h"

#include <gtest/gtest.h>

#include <ctime>
#include <cstdlib>
#include <utility>

#include "app/MinuteClock.h"

namespace bellcut {
namespace {

using enum TEntryDirection;

TEST(FlyIn, DirectionByMinute) {
  const std::pair<int, TEntryDirection> cases[] = {
      {0, FromTop},    {7, FromTop},     {8, FromRight}, {22, FromRight}, {23, FromBottom},
      {37, FromBottom}, {38, FromLeft},  {52, FromLeft}, {53, FromTop},   {59, FromTop},
      {-1, FromLeft},  {60, FromLeft},  // no test holds: the starting value
  };
  for (const auto& [minute, direction] : cases) EXPECT_EQ(DirectionForMinute(minute), direction) << minute;
}

TEST(FlyIn, MinuteComesFromTheLocalTime) {
  const char* tz = std::getenv("TZ");
  const std::string saved = tz != nullptr ? tz : "";
  setenv("TZ", "UTC0", 1);
  const TimeSource before = SetTimeSource([] { return std::time_t{3600 * 5 + 60 * 47 + 12}; });
  EXPECT_EQ(CurrentMinute(), 47);
  // A zone half an hour off moves the minute; the zone is read at every call.
  setenv("TZ", "XYZ-5:30", 1);
  EXPECT_EQ(CurrentMinute(), 17);
  SetTimeSource(before);
  if (tz != nullptr) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST(FlyIn, Placements) {
  // Initial: the designed 600 stands in for the window; from the right and
  // the bottom the screen's size is the base.
  EXPECT_EQ(InitialPlacement(FromLeft, 1024, 768), (TPoint{-620, 84}));
  EXPECT_EQ(InitialPlacement(FromRight, 1024, 768), (TPoint{1644, 84}));
  EXPECT_EQ(InitialPlacement(FromTop, 1024, 768), (TPoint{212, -620}));
  EXPECT_EQ(InitialPlacement(FromBottom, 1024, 768), (TPoint{212, 1388}));
  // First tick: the window's own size, also as the base for right and bottom.
  EXPECT_EQ(FirstTickPlacement(FromLeft, 1024, 768, 406, 427), (TPoint{-426, 170}));
  EXPECT_EQ(FirstTickPlacement(FromRight, 1024, 768, 406, 427), (TPoint{1026, 170}));
  EXPECT_EQ(FirstTickPlacement(FromTop, 1024, 768, 406, 427), (TPoint{309, -447}));
  EXPECT_EQ(FirstTickPlacement(FromBottom, 1024, 768, 406, 427), (TPoint{309, 1047}));
  // Halving truncates toward zero on a screen smaller than the window.
  EXPECT_EQ(FirstTickPlacement(FromTop, 500, 300, 601, 401), (TPoint{-50, -421}));
}

TEST(FlyIn, ClientFitting) {
  struct Case {
    int W, H;
    TClientFit Fit;
  };
  const Case cases[] = {
      {800, 400, {true, 400, false}}, {500, 700, {true, 500, true}},  {1000, 800, {false, 600, true}},
      {600, 600, {false, 600, true}}, {650, 580, {true, 580, false}}, {301, 200, {true, 200, false}},
      {100, 100, {true, 100, true}},  {599, 2000, {true, 599, true}}, {2000, 600, {false, 600, true}},
  };
  for (const auto& c : cases) {
    const TClientFit fit = FitClient(c.W, c.H);
    EXPECT_EQ(fit.Resize, c.Fit.Resize) << c.W << "x" << c.H;
    EXPECT_EQ(fit.Side, c.Fit.Side) << c.W << "x" << c.H;
    if (fit.Resize) {
      EXPECT_EQ(fit.WidthFirst, c.Fit.WidthFirst) << c.W << "x" << c.H;
    }
  }
}

// Runs the flight from a start until arrival; returns the moves made and the
// final place.
struct Flight {
  int Moves = 0;
  int Left = 0, Top = 0;
};
Flight Fly(TEntryDirection d, int left, int top, int cx, int cy) {
  Flight f{0, left, top};
  for (int tick = 0; tick < 10000; ++tick) {
    const TFlightStep s = FlightStep(d, f.Left, f.Top, cx, cy);
    if (s.Arrived) return f;
    // A tick moves by exactly one step along its axis.
    EXPECT_EQ(std::abs(s.Left - f.Left) + std::abs(s.Top - f.Top), kStep);
    f.Left = s.Left;
    f.Top = s.Top;
    ++f.Moves;
  }
  ADD_FAILURE() << "never arrived";
  return f;
}

TEST(FlyIn, FlightStopsOnTheFirstPlaceAtOrPastTheCentre) {
  // 606 wide on a 1024 screen from the left: parked at -626, centre 209,
  // 27 moves end at 238 and the 28th tick arrives.
  const TPoint park = FirstTickPlacement(FromLeft, 1024, 768, 606, 627);
  EXPECT_EQ(park.X, -626);
  Flight f = Fly(FromLeft, park.X, park.Y, (1024 - 606) / 2, 0);
  EXPECT_EQ(f.Moves, 27);
  EXPECT_EQ(f.Left, 238);

  // From the right on a screen of at least 3W + 1240: already past the centre,
  // so the first tick arrives without a move.
  const TPoint right = FirstTickPlacement(FromRight, 3 * 606 + 1240, 768, 606, 627);
  EXPECT_EQ(Fly(FromRight, right.X, right.Y, (3 * 606 + 1240 - 606) / 2, 0).Moves, 0);
  // From the bottom, one pixel narrower: one move is needed.
  const TPoint bottom = FirstTickPlacement(FromBottom, 800, 3 * 300 + 1239, 300, 300);
  f = Fly(FromBottom, bottom.X, bottom.Y, 0, (3 * 300 + 1239 - 300) / 2);
  EXPECT_EQ(f.Moves, 1);
  EXPECT_EQ(f.Top, 920 - 32);

  // A screen smaller than the window: a negative centre, the same rules.
  // Landing exactly on the centre is an arrival too.
  f = Fly(FromTop, 0, -447, 0, (300 - 427) / 2);
  EXPECT_EQ(f.Moves, 12);
  EXPECT_EQ(f.Top, -63);
  f = Fly(FromTop, 0, -448, 0, (300 - 427) / 2);
  EXPECT_EQ(f.Moves, 13);
  EXPECT_EQ(f.Top, -32);
}

}  // namespace
}  // namespace bellcut
