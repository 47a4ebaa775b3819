// Pens: lines with the end pixel excluded, rectangles, pixels and mix modes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/RegionApi.h"

namespace bellcut {
namespace {

struct Surface {
  Dib pixels;
  HDC dc;
  Surface(int w, int h) : pixels(w, h, 32), dc(CreateSurfaceDC(&pixels)) {}
  ~Surface() { DeleteDC(dc); }
  std::set<std::pair<int, int>> Painted() const {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < pixels.Height(); ++y)
      for (int x = 0; x < pixels.Width(); ++x)
        if (pixels.GetPixel(x, y) != 0) out.insert({x, y});
    return out;
  }
};

void UseWhitePen(HDC dc) { SelectObject(dc, GetStockObject(WHITE_PEN)); }

TEST(LinesTest, SmallSegmentsExcludeTheirEnd) {
  struct Case {
    TPoint from, to;
    std::set<std::pair<int, int>> pixels;
  };
  const Case cases[] = {
      {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {{4, 2}, {4, 0}, {{4, 2}, {4, 1}}},
      {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
      {{5, 0}, {2, 3}, {{5, 0}, {4, 1}, {3, 2}}},
      {{2, 2}, {2, 2}, {}},
      {{0, 0}, {1, 0}, {{0, 0}}},
  };
  for (const Case& c : cases) {
    Surface s(8, 8);
    UseWhitePen(s.dc);
    MoveToEx(s.dc, c.from.X, c.from.Y, nullptr);
    LineTo(s.dc, c.to.X, c.to.Y);
    EXPECT_EQ(s.Painted(), c.pixels) << c.from.X << "," << c.from.Y << " -> " << c.to.X << "," << c.to.Y;
    TPoint pos;
    MoveToEx(s.dc, 0, 0, &pos);
    EXPECT_EQ(pos, c.to);
  }
}

// Any segment: one pixel per step of the longer axis, the start drawn, the end
// not, every pixel within half a pixel of the ideal line on the shorter axis.
TEST(LinesTest, RandomSegmentsFollowTheIdealLine) {
  std::mt19937 gen(777);
  std::uniform_int_distribution<int> coord(0, 39);
  for (int i = 0; i < 300; ++i) {
    const int x0 = coord(gen), y0 = coord(gen), x1 = coord(gen), y1 = coord(gen);
    Surface s(40, 40);
    UseWhitePen(s.dc);
    MoveToEx(s.dc, x0, y0, nullptr);
    LineTo(s.dc, x1, y1);
    const auto painted = s.Painted();
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    ASSERT_EQ(static_cast<int>(painted.size()), steps) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    if (steps == 0) continue;
    EXPECT_TRUE(painted.count({x0, y0}));
    EXPECT_FALSE(painted.count({x1, y1}));
    for (auto [x, y] : painted) {
      // Distance from the ideal line along the shorter axis, times steps.
      const bool xMajor = std::abs(x1 - x0) >= std::abs(y1 - y0);
      const long t = xMajor ? std::abs(x - x0) : std::abs(y - y0);
      const long ideal2 = xMajor ? 2L * y0 * steps + 2L * t * (y1 - y0) : 2L * x0 * steps + 2L * t * (x1 - x0);
      const long actual2 = 2L * (xMajor ? y : x) * steps;
      EXPECT_LE(std::abs(actual2 - ideal2), steps) << x << "," << y;
    }
  }
}

TEST(LinesTest, HugeAndClippedLinesStayInsideAndFinish) {
  Surface s(10, 10);
  UseWhitePen(s.dc);
  MoveToEx(s.dc, INT_MIN / 4, 5, nullptr);
  LineTo(s.dc, INT_MAX / 4, 5);
  EXPECT_EQ(s.Painted().size(), 10u);
  s.pixels.Fill(0);
  MoveToEx(s.dc, -1000000000, -1000000000, nullptr);
  LineTo(s.dc, 1000000000, 1000000000);
  EXPECT_EQ(s.Painted().size(), 10u);
  s.pixels.Fill(0);
  IntersectClipRect(s.dc, 2, 0, 5, 10);
  MoveToEx(s.dc, 0, 3, nullptr);
  LineTo(s.dc, 10, 3);
  EXPECT_EQ(s.Painted(), (std::set<std::pair<int, int>>{{2, 3}, {3, 3}, {4, 3}}));
}

TEST(LinesTest, RectangleOutlinesWithPenAndFillsWithBrush) {
  Surface s(8, 8);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SelectObject(s.dc, brush);
  SelectObject(s.dc, pen);
  Rectangle(s.dc, 1, 1, 6, 5);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool in = x >= 1 && x < 6 && y >= 1 && y < 5;
      const bool edge = in && (x == 1 || x == 5 || y == 1 || y == 4);
      EXPECT_EQ(s.pixels.GetPixel(x, y), edge ? RGB(255, 0, 0) : in ? RGB(0, 0, 255) : 0u) << x << "," << y;
    }
  // A null pen fills one pixel less to the right and bottom; a null brush leaves the inside.
  s.pixels.Fill(0);
  SelectObject(s.dc, GetStockObject(NULL_PEN));
  Rectangle(s.dc, 0, 0, 3, 3);
  EXPECT_EQ(s.Painted().size(), 4u);
  s.pixels.Fill(0);
  SelectObject(s.dc, pen);
  SelectObject(s.dc, GetStockObject(NULL_BRUSH));
  Rectangle(s.dc, 0, 0, 4, 4);
  EXPECT_EQ(s.Painted().size(), 12u);
  EXPECT_EQ(s.pixels.GetPixel(1, 1), 0u);
  SelectObject(s.dc, GetStockObject(BLACK_PEN));
  SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(LinesTest, MixModesCombinePenAndDestination) {
  Surface s(4, 1);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xF0, 0x0F, 0x33));
  SelectObject(s.dc, pen);
  s.pixels.Fill(RGB(0x11, 0x22, 0x44));
  SetROP2(s.dc, R2_XORPEN);
  MoveToEx(s.dc, 0, 0, nullptr);
  LineTo(s.dc, 4, 0);
  EXPECT_EQ(s.pixels.GetPixel(2, 0), RGB(0xE1, 0x2D, 0x77));
  MoveToEx(s.dc, 0, 0, nullptr);
  LineTo(s.dc, 4, 0);  // xor twice restores
  EXPECT_EQ(s.pixels.GetPixel(2, 0), RGB(0x11, 0x22, 0x44));
  SetROP2(s.dc, R2_NOT);
  MoveToEx(s.dc, 0, 0, nullptr);
  LineTo(s.dc, 1, 0);
  EXPECT_EQ(s.pixels.GetPixel(0, 0), RGB(0xEE, 0xDD, 0xBB));
  SetROP2(s.dc, R2_NOP);
  LineTo(s.dc, 4, 0);
  EXPECT_EQ(s.pixels.GetPixel(3, 0), RGB(0x11, 0x22, 0x44));
  SelectObject(s.dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
}

TEST(LinesTest, PixelsHonourClipAndReportOutside) {
  Surface s(4, 4);
  HRGN rgn = CreateRectRgn(0, 0, 2, 2);
  SelectClipRgn(s.dc, rgn);
  DeleteObject(rgn);
  EXPECT_EQ(SetPixel(s.dc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(s.dc, 1, 1), RGB(1, 2, 3));
  EXPECT_EQ(SetPixel(s.dc, 3, 3, RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_EQ(s.pixels.GetPixel(3, 3), 0u);
  EXPECT_EQ(GetPixel(s.dc, 3, 3), CLR_INVALID);
  EXPECT_EQ(GetPixel(s.dc, INT_MAX, INT_MIN), CLR_INVALID);
  SelectClipRgn(s.dc, nullptr);
  EXPECT_EQ(GetPixel(s.dc, 3, 3), 0u);
}

}  // namespace
}  // namespace bellcut

namespace bellcut {
namespace {

// Endpoints at the ends of the int range, also seen through a far origin:
// the slope arithmetic of such a line needs more than 64 bits.
TEST(LinesTest, FullRangeLinesAndFarOriginsStayDefined) {
  struct Case {
    int x0, y0, x1, y1;
    int orgX, orgY;
  };
  const Case cases[] = {
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
      {INT_MAX, INT_MIN, INT_MIN, INT_MAX, 0, 0},
      {INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, INT_MAX},
      {0, 0, 9, 9, INT_MAX, INT_MIN},
      {-5, -5, 5, 5, INT_MIN, INT_MAX},
  };
  for (const Case& c : cases) {
    Surface s(10, 10);
    UseWhitePen(s.dc);
    SetViewportOrgEx(s.dc, c.orgX, c.orgY, nullptr);
    MoveToEx(s.dc, c.x0, c.y0, nullptr);
    LineTo(s.dc, c.x1, c.y1);
    Rectangle(s.dc, c.x0, c.y0, c.x1, c.y1);
    SetPixel(s.dc, c.x1, c.y1, RGB(255, 255, 255));
    (void)GetPixel(s.dc, c.x0, c.y0);
    IntersectClipRect(s.dc, c.x0, c.y0, c.x1, c.y1);
    ExcludeClipRect(s.dc, c.x1, c.y1, c.x0, c.y0);
  }
  // The diagonal through the whole range crosses a small surface at its own diagonal.
  Surface s(10, 10);
  UseWhitePen(s.dc);
  MoveToEx(s.dc, INT_MIN + 1, INT_MIN + 1, nullptr);
  LineTo(s.dc, INT_MAX, INT_MAX);
  std::set<std::pair<int, int>> diagonal;
  for (int i = 0; i < 10; ++i) diagonal.insert({i, i});
  EXPECT_EQ(s.Painted(), diagonal);
}

}  // namespace
}  // namespace bellcut
