// A per-pixel oracle for region tests: a boolean bitmap over a fixed window,
// with the operations a region offers computed pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/gdi/Types.h"

namespace bellcut::test {

// Pixels of the window [Left, Right) x [Top, Bottom).
struct PixelMask {
  TRect Window;
  std::vector<std::uint8_t> Bits;

  explicit PixelMask(TRect window)
      : Window(window), Bits(static_cast<std::size_t>(window.Width() * window.Height()), 0) {}

  [[nodiscard]] std::uint8_t& At(int x, int y) {
    return Bits[static_cast<std::size_t>((y - Window.Top) * Window.Width() + (x - Window.Left))];
  }
  [[nodiscard]] bool Get(int x, int y) const {
    return Window.Contains(x, y) &&
           Bits[static_cast<std::size_t>((y - Window.Top) * Window.Width() + (x - Window.Left))] != 0;
  }
  void Fill(const TRect& r) {
    const TRect c = r.Intersect(Window);
    for (int y = c.Top; y < c.Bottom; ++y)
      for (int x = c.Left; x < c.Right; ++x) At(x, y) = 1;
  }
  template <class F>
  [[nodiscard]] PixelMask Combine(const PixelMask& o, F op) const {
    PixelMask out(Window);
    for (std::size_t i = 0; i < Bits.size(); ++i) out.Bits[i] = op(Bits[i] != 0, o.Bits[i] != 0) ? 1 : 0;
    return out;
  }
  // The maximal horizontal runs, row by row: what a shape tracer adds.
  [[nodiscard]] std::vector<TRect> Runs() const {
    std::vector<TRect> runs;
    for (int y = Window.Top; y < Window.Bottom; ++y) {
      int start = 0;
      bool open = false;
      for (int x = Window.Left; x < Window.Right; ++x) {
        if (Get(x, y) && !open) {
          open = true;
          start = x;
        } else if (!Get(x, y) && open) {
          open = false;
          runs.push_back({start, y, x, y + 1});
        }
      }
      if (open) runs.push_back({start, y, Window.Right, y + 1});
    }
    return runs;
  }
  // 0 empty, 1 one rectangle, 2 anything else.
  [[nodiscard]] int Shape() const {
    TRect box{Window.Right, Window.Bottom, Window.Left, Window.Top};
    std::size_t count = 0;
    for (int y = Window.Top; y < Window.Bottom; ++y)
      for (int x = Window.Left; x < Window.Right; ++x)
        if (Get(x, y)) {
          ++count;
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
        }
    if (count == 0) return 0;
    return count == static_cast<std::size_t>(box.Width()) * static_cast<std::size_t>(box.Height()) ? 1 : 2;
  }
};

// The region's pixels inside window, read both by point tests and from its
// rectangle list (which must stay inside the window and not overlap).
inline PixelMask MaskOf(const Region& region, TRect window) {
  PixelMask byPoint(window);
  for (int y = window.Top; y < window.Bottom; ++y)
    for (int x = window.Left; x < window.Right; ++x) byPoint.At(x, y) = region.Contains(x, y) ? 1 : 0;
  PixelMask byRects(window);
  for (const TRect& r : region.Rects()) {
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.Intersect(window), r) << "rectangle outside the oracle window";
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        EXPECT_EQ(byRects.At(x, y), 0) << "overlapping rectangles at " << x << "," << y;
        byRects.At(x, y) = 1;
      }
  }
  EXPECT_EQ(byPoint.Bits, byRects.Bits) << "point tests disagree with the rectangle list";
  return byPoint;
}

// Random rectangles with corners anywhere in the window, some empty.
inline std::vector<TRect> RandomRects(std::mt19937& gen, TRect window, int count) {
  std::uniform_int_distribution<int> xs(window.Left, window.Right);
  std::uniform_int_distribution<int> ys(window.Top, window.Bottom);
  std::vector<TRect> rects;
  for (int i = 0; i < count; ++i) {
    int l = xs(gen), r = xs(gen), t = ys(gen), b = ys(gen);
    if (i % 5 != 4) {  // most in order, every fifth left as drawn (often empty)
      if (l > r) std::swap(l, r);
      if (t > b) std::swap(t, b);
    }
    rects.push_back({l, t, r, b});
  }
  return rects;
}

// A random mask of the given density (percent).
inline PixelMask RandomMask(std::mt19937& gen, TRect window, int density) {
  PixelMask mask(window);
  std::uniform_int_distribution<int> pct(0, 99);
  for (auto& bit : mask.Bits) bit = pct(gen) < density ? 1 : 0;
  return mask;
}

}  // namespace bellcut::test
