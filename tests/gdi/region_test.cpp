#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "gdi/region_oracle.h"
#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

using test::MaskOf;
using test::PixelMask;

// 0 empty, 1 one rectangle, 2 complex: read without settling first.
int ShapeOf(const Region& r) { return r.IsEmpty() ? 0 : r.IsRect() ? 1 : 2; }

TRect BoxOf(const PixelMask& m) {
  TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  bool any = false;
  for (int y = m.Window.Top; y < m.Window.Bottom; ++y)
    for (int x = m.Window.Left; x < m.Window.Right; ++x)
      if (m.Get(x, y)) {
        any = true;
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
      }
  return any ? box : TRect{};
}

struct UnionCase {
  const char* name;
  std::vector<TRect> added;
  std::vector<TRect> expected;  // banded rectangles
};

TEST(Region, UnionsOfFewRectanglesGiveExactBands) {
  const std::vector<UnionCase> cases = {
      {"side by side, same rows", {{0, 0, 2, 2}, {2, 0, 4, 2}}, {{0, 0, 4, 2}}},
      {"stacked, same columns", {{0, 0, 2, 2}, {0, 2, 2, 4}}, {{0, 0, 2, 4}}},
      {"overlapping, same columns", {{0, 0, 2, 3}, {0, 1, 2, 5}}, {{0, 0, 2, 5}}},
      {"inner first", {{1, 1, 2, 2}, {0, 0, 4, 4}}, {{0, 0, 4, 4}}},
      {"inner second", {{0, 0, 4, 4}, {1, 1, 2, 2}}, {{0, 0, 4, 4}}},
      {"diagonal overlap", {{0, 0, 2, 2}, {1, 1, 3, 3}}, {{0, 0, 2, 1}, {0, 1, 3, 2}, {1, 2, 3, 3}}},
      {"gap in a row", {{0, 0, 1, 1}, {2, 0, 3, 1}}, {{0, 0, 1, 1}, {2, 0, 3, 1}}},
      {"same columns, rows apart", {{0, 0, 2, 2}, {0, 3, 2, 4}}, {{0, 0, 2, 2}, {0, 3, 2, 4}}},
      {"corner contact only", {{0, 0, 2, 2}, {2, 2, 4, 4}}, {{0, 0, 2, 2}, {2, 2, 4, 4}}},
      {"empty ones ignored", {{0, 0, 2, 2}, {3, 3, 3, 5}, {5, 1, 4, 2}}, {{0, 0, 2, 2}}},
      {"hole filled last", {{0, 0, 3, 1}, {0, 2, 3, 3}, {0, 1, 3, 2}}, {{0, 0, 3, 3}}},
      {"column gap filled last", {{0, 0, 1, 3}, {2, 0, 3, 3}, {1, 0, 2, 3}}, {{0, 0, 3, 3}}},
      {"hole filled in two parts", {{0, 0, 4, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}, {1, 1, 2, 2}, {2, 1, 3, 2}},
       {{0, 0, 4, 2}}},
      {"ring", {{0, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 2, 3, 3}},
       {{0, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 2, 3, 3}}},
      {"negative coordinates", {{-5, -5, -3, -4}, {-3, -5, -1, -4}}, {{-5, -5, -1, -4}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Region r;
    for (const TRect& rect : c.added) r.AddRect(rect);
    const Region fromRects = Region::FromRects(c.added);
    // Class and box first, before anything settles the pending rectangles.
    EXPECT_EQ(r.IsEmpty(), c.expected.empty());
    EXPECT_EQ(r.IsRect(), c.expected.size() == 1);
    TRect box = c.expected.empty() ? TRect{} : c.expected.front();
    for (const TRect& e : c.expected)
      box = {std::min(box.Left, e.Left), std::min(box.Top, e.Top), std::max(box.Right, e.Right),
             std::max(box.Bottom, e.Bottom)};
    EXPECT_EQ(r.Bounds(), box);
    EXPECT_EQ(r.Rects(), c.expected);
    EXPECT_EQ(r.RectCount(), static_cast<int>(c.expected.size()));
    EXPECT_EQ(fromRects.Rects(), c.expected);
    EXPECT_TRUE(r == fromRects);
  }
}

TEST(Region, RectanglesAreEndExclusive) {
  const Region r(TRect{2, 3, 5, 7});
  struct P { int x, y; bool in; };
  for (const P p : {P{2, 3, true}, P{4, 6, true}, P{5, 3, false}, P{2, 7, false}, P{1, 3, false},
                    P{2, 2, false}, P{5, 7, false}}) {
    EXPECT_EQ(r.Contains(p.x, p.y), p.in) << p.x << "," << p.y;
  }
  struct R { TRect rect; bool hits; };
  for (const R c : {R{{5, 3, 6, 7}, false}, R{{0, 0, 2, 3}, false}, R{{4, 6, 5, 7}, true},
                    R{{0, 0, 100, 100}, true}, R{{3, 4, 3, 5}, false}, R{{2, 7, 5, 9}, false}}) {
    EXPECT_EQ(r.Intersects(c.rect), c.hits) << c.rect.Left << "," << c.rect.Top;
  }
  EXPECT_EQ(r.Bounds(), (TRect{2, 3, 5, 7}));
  EXPECT_TRUE(Region(TRect{4, 4, 4, 9}).IsEmpty());
  EXPECT_EQ(Region().Bounds(), TRect{});
}

struct NamedOp {
  const char* name;
  std::function<void(Region&, const Region&)> apply;
  std::function<bool(bool, bool)> pixel;
};

const std::vector<NamedOp>& Ops() {
  static const std::vector<NamedOp> ops = {
      {"union", [](Region& a, const Region& b) { a.Union(b); }, [](bool x, bool y) { return x || y; }},
      {"intersect", [](Region& a, const Region& b) { a.Intersect(b); }, [](bool x, bool y) { return x && y; }},
      {"subtract", [](Region& a, const Region& b) { a.Subtract(b); }, [](bool x, bool y) { return x && !y; }},
      {"xor", [](Region& a, const Region& b) { a.Xor(b); }, [](bool x, bool y) { return x != y; }},
  };
  return ops;
}

TEST(Region, CombinationsMatchPixelOracle) {
  const TRect window{-3, -2, 21, 19};
  std::mt19937 gen(20240611u);
  std::uniform_int_distribution<int> count(0, 12);
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const auto rectsA = test::RandomRects(gen, window, count(gen));
    const auto rectsB = test::RandomRects(gen, window, round % 7 == 0 ? 1 : count(gen));
    Region a;  // built rectangle by rectangle, so it may hold pending rectangles
    PixelMask ma(window);
    for (const TRect& r : rectsA) {
      a.AddRect(r);
      ma.Fill(r);
    }
    const Region b = Region::FromRects(rectsB);
    PixelMask mb(window);
    for (const TRect& r : rectsB) mb.Fill(r);

    for (const NamedOp& op : Ops()) {
      SCOPED_TRACE(op.name);
      Region result(a);
      op.apply(result, b);
      const PixelMask expected = ma.Combine(mb, op.pixel);
      EXPECT_EQ(ShapeOf(result), expected.Shape());
      EXPECT_EQ(result.Bounds(), BoxOf(expected));
      EXPECT_EQ(MaskOf(result, window).Bits, expected.Bits);
      EXPECT_TRUE(result == Region::FromRects(expected.Runs()));
    }
    // Round trips through the inverse operations.
    Region u(a);
    u.Union(b);
    u.Subtract(b);
    Region aMinusB(a);
    aMinusB.Subtract(b);
    EXPECT_TRUE(u == aMinusB);
    Region x(a);
    x.Xor(b);
    x.Xor(b);
    EXPECT_TRUE(x == a);
    // A rectangle clip equals the intersection with that rectangle's region.
    const TRect clip = rectsB.empty() ? TRect{} : rectsB.front();
    Region clipped(a);
    clipped.Intersect(clip);
    Region viaRegion(a);
    viaRegion.Intersect(Region(clip));
    EXPECT_TRUE(clipped == viaRegion);
  }
}

TEST(Region, OperationsWithItself) {
  const Region ring = Region::FromRects(std::vector<TRect>{{0, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 2, 3, 3}});
  Region r = ring;
  r.Union(r);
  EXPECT_TRUE(r == ring);
  r.Intersect(r);
  EXPECT_TRUE(r == ring);
  r.Xor(r);
  EXPECT_TRUE(r.IsEmpty());
  r = ring;
  r.Subtract(r);
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_TRUE(r == Region());
}

// A few masks whose rows exercise the tracer: noise, alternating pixels, and
// shapes whose rows grow and shrink so the bounding box keeps moving.
std::vector<std::pair<std::string, PixelMask>> TraceMasks(TRect window) {
  std::vector<std::pair<std::string, PixelMask>> masks;
  std::mt19937 gen(777u);
  for (int density : {10, 50, 90}) masks.emplace_back("noise " + std::to_string(density), test::RandomMask(gen, window, density));
  PixelMask checker(window), widening(window), narrowing(window), solid(window), hollow(window);
  for (int y = window.Top; y < window.Bottom; ++y)
    for (int x = window.Left; x < window.Right; ++x) {
      const int i = x - window.Left, j = y - window.Top;
      checker.At(x, y) = (i + j) % 2 == 0;
      widening.At(x, y) = i <= j;
      narrowing.At(x, y) = i >= j / 2 && i < window.Width() - j / 3;
      solid.At(x, y) = 1;
      hollow.At(x, y) = i == 0 || j == 0 || i == window.Width() - 1 || j == window.Height() - 1;
    }
  masks.emplace_back("checkerboard", checker);
  masks.emplace_back("widening", widening);
  masks.emplace_back("narrowing", narrowing);
  masks.emplace_back("solid", solid);
  masks.emplace_back("hollow", hollow);
  return masks;
}

TEST(Region, TracedRunsGiveTheMaskWithExactClassAfterEveryRun) {
  const TRect window{3, -4, 43, 30};
  std::mt19937 shuffler(99u);
  for (auto& [name, mask] : TraceMasks(window)) {
    for (bool shuffled : {false, true}) {
      SCOPED_TRACE(name + (shuffled ? " (runs shuffled)" : " (scan order)"));
      std::vector<TRect> runs = mask.Runs();
      if (shuffled) std::shuffle(runs.begin(), runs.end(), shuffler);
      Region r;
      PixelMask sofar(window);
      for (std::size_t i = 0; i < runs.size(); ++i) {
        r.AddRect(runs[i]);
        sofar.Fill(runs[i]);
        ASSERT_EQ(ShapeOf(r), sofar.Shape()) << "after run " << i;
        ASSERT_EQ(r.Bounds(), BoxOf(sofar)) << "after run " << i;
      }
      EXPECT_EQ(MaskOf(r, window).Bits, mask.Bits);
      EXPECT_TRUE(r == Region::FromRects(runs));
    }
  }
}

TEST(Region, OverlappingRectanglesInAnyOrderKeepExactClass) {
  const TRect window{0, 0, 16, 16};
  std::mt19937 gen(4242u);
  for (int round = 0; round < 60; ++round) {
    const auto rects = test::RandomRects(gen, window, 25);
    Region r;
    PixelMask sofar(window);
    for (std::size_t i = 0; i < rects.size(); ++i) {
      r.AddRect(rects[i]);
      sofar.Fill(rects[i]);
      ASSERT_EQ(ShapeOf(r), sofar.Shape()) << "round " << round << " rect " << i;
    }
    EXPECT_EQ(MaskOf(r, window).Bits, sofar.Bits) << "round " << round;
  }
}

TEST(Region, LongTraceSettlesOnItsOwnAndStaysExact) {
  // More runs than the pending list holds before it merges by itself.
  const TRect window{0, 0, 240, 200};
  PixelMask checker(window);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 240; ++x) checker.At(x, y) = (x + y) % 2;
  const auto runs = checker.Runs();
  ASSERT_GT(runs.size(), 20000u);
  Region r;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    r.AddRect(runs[i]);
    ASSERT_EQ(r.IsRect(), i == 0) << "after run " << i;
  }
  EXPECT_EQ(r.Bounds(), window);
  EXPECT_EQ(r.RectCount(), static_cast<int>(runs.size()));
  EXPECT_TRUE(r == Region::FromRects(runs));
  EXPECT_EQ(MaskOf(r, window).Bits, checker.Bits);
}

TEST(Region, CopyMoveAndOffsetKeepPendingRectangles) {
  const TRect window{0, 0, 20, 12};
  std::mt19937 gen(5u);
  const PixelMask mask = test::RandomMask(gen, window, 50);
  const auto runs = mask.Runs();
  Region r;
  for (const TRect& run : runs) r.AddRect(run);

  Region copy(r);  // copied while rectangles are still pending
  EXPECT_EQ(ShapeOf(copy), 2);
  EXPECT_EQ(MaskOf(copy, window).Bits, mask.Bits);

  Region assigned;
  assigned = r;
  Region moved(std::move(r));
  EXPECT_TRUE(r.IsEmpty());  // NOLINT(bugprone-use-after-move): a moved-from region is empty and usable
  r.AddRect({1, 1, 2, 2});
  EXPECT_EQ(r.Rects(), (std::vector<TRect>{{1, 1, 2, 2}}));
  EXPECT_TRUE(moved == assigned);

  moved.Offset(-7, 5);
  const TRect shiftedWindow = window.Offset(-7, 5);
  PixelMask shifted(shiftedWindow);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) shifted.At(x - 7, y + 5) = mask.Get(x, y);
  EXPECT_EQ(MaskOf(moved, shiftedWindow).Bits, shifted.Bits);
  EXPECT_EQ(ShapeOf(moved), 2);
  // The witness moved with the region: adding the original runs, shifted, changes nothing.
  for (const TRect& run : runs) moved.AddRect(run.Offset(-7, 5));
  EXPECT_EQ(MaskOf(moved, shiftedWindow).Bits, shifted.Bits);

  Region edge(TRect{INT_MAX - 10, 0, INT_MAX - 5, 1});
  EXPECT_THROW(edge.Offset(6, 0), EInvalidOperation);
  EXPECT_EQ(edge.Bounds(), (TRect{INT_MAX - 10, 0, INT_MAX - 5, 1}));
  edge.Offset(5, 0);
  EXPECT_EQ(edge.Bounds(), (TRect{INT_MAX - 5, 0, INT_MAX, 1}));
  Region low(TRect{INT_MIN, INT_MIN, INT_MIN + 2, INT_MIN + 2});
  EXPECT_THROW(low.Offset(0, -1), EInvalidOperation);
}

TEST(Region, SetRectAndSetEmptyReplaceEverything) {
  Region r = Region::FromRects(std::vector<TRect>{{0, 0, 1, 1}, {2, 2, 3, 3}});
  r.AddRect({5, 5, 6, 6});
  r.SetRect({10, 10, 12, 11});
  EXPECT_TRUE(r.IsRect());
  EXPECT_EQ(r.Rects(), (std::vector<TRect>{{10, 10, 12, 11}}));
  r.AddRect({0, 0, 1, 1});
  r.SetEmpty();
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.Bounds(), TRect{});
  r.SetRect({3, 3, 1, 5});  // no area
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_TRUE(r == Region());
}

}  // namespace
}  // namespace bellcut
