#include "platform/gdi/RegionApi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gdi/region_oracle.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Handles.h"

namespace bellcut {
namespace {

using test::MaskOf;
using test::PixelMask;

int ClassOf(const PixelMask& m) {
  static constexpr int classes[] = {NULLREGION, SIMPLEREGION, COMPLEXREGION};
  return classes[m.Shape()];
}

// Every test must release what it creates.
class RegionApi : public ::testing::Test {
 protected:
  void SetUp() override { live_ = LiveHandleCount(HandleKind::Region); }
  void TearDown() override { EXPECT_EQ(LiveHandleCount(HandleKind::Region), live_) << "region handles leaked"; }

 private:
  std::size_t live_ = 0;
};

TEST_F(RegionApi, RectangleRegionsAndTheirBoxes) {
  struct Case {
    TRect args;
    TRect box;
    int cls;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, {}, NULLREGION},
      {{1, 2, 5, 7}, {1, 2, 5, 7}, SIMPLEREGION},
      {{5, 7, 1, 2}, {1, 2, 5, 7}, SIMPLEREGION},  // corners put in order
      {{5, 2, 1, 7}, {1, 2, 5, 7}, SIMPLEREGION},
      {{3, 3, 3, 9}, {}, NULLREGION},
      {{-3000, -3000, -2999, -2999}, {-3000, -3000, -2999, -2999}, SIMPLEREGION},
  };
  for (const Case& c : cases) {
    const HRGN rgn = CreateRectRgnIndirect(c.args);
    ASSERT_NE(rgn, nullptr);
    TRect box{9, 9, 9, 9};
    EXPECT_EQ(GetRgnBox(rgn, &box), c.cls);
    EXPECT_EQ(box, c.box);
    EXPECT_EQ(ClassOfRegion(*RegionFromHandle(rgn)), c.cls);
    EXPECT_TRUE(DeleteObject(rgn));
  }

  const HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_TRUE(SetRectRgn(rgn, 10, 20, 4, 2));
  TRect box;
  EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{4, 2, 10, 20}));
  EXPECT_TRUE(PtInRegion(rgn, 4, 2));
  EXPECT_FALSE(PtInRegion(rgn, 10, 2));
  EXPECT_FALSE(PtInRegion(rgn, 4, 20));
  const TRect edge{10, 2, 12, 20};
  const TRect inside{9, 19, 12, 25};
  EXPECT_FALSE(RectInRegion(rgn, &edge));
  EXPECT_TRUE(RectInRegion(rgn, &inside));
  EXPECT_TRUE(SetRectRgn(rgn, 0, 0, 0, 0));
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  EXPECT_EQ(box, TRect{});
  EXPECT_TRUE(DeleteRgn(rgn));
}

struct ModeCase {
  const char* name;
  int mode;
  bool (*pixel)(bool, bool);
};

constexpr ModeCase kModes[] = {
    {"RGN_AND", RGN_AND, [](bool a, bool b) { return a && b; }},
    {"RGN_OR", RGN_OR, [](bool a, bool b) { return a || b; }},
    {"RGN_XOR", RGN_XOR, [](bool a, bool b) { return a != b; }},
    {"RGN_DIFF", RGN_DIFF, [](bool a, bool b) { return a && !b; }},
    {"RGN_COPY", RGN_COPY, [](bool a, bool) { return a; }},
};

// Where the result goes: a third region, or over one of the sources.
enum class Target { Separate, First, Second };

TEST_F(RegionApi, CombineModesMatchPixelOracleWhereverTheResultGoes) {
  const TRect window{-4, -4, 20, 18};
  std::mt19937 gen(31337u);
  std::uniform_int_distribution<int> count(0, 8);
  for (int round = 0; round < 60; ++round) {
    const auto rectsA = test::RandomRects(gen, window, count(gen));
    const auto rectsB = test::RandomRects(gen, window, count(gen));
    PixelMask ma(window), mb(window);
    for (const TRect& r : rectsA) ma.Fill(r);
    for (const TRect& r : rectsB) mb.Fill(r);
    for (const ModeCase& m : kModes) {
      for (Target target : {Target::Separate, Target::First, Target::Second}) {
        SCOPED_TRACE(std::string(m.name) + " round " + std::to_string(round) + " target " +
                     std::to_string(static_cast<int>(target)));
        const HRGN a = CreateRegionFromRects(rectsA);
        const HRGN b = CreateRegionFromRects(rectsB);
        const HRGN dst = target == Target::Separate ? CreateRectRgn(1, 1, 3, 3)
                         : target == Target::First  ? a
                                                    : b;
        const int cls = CombineRgn(dst, a, b, m.mode);
        const PixelMask expected = ma.Combine(mb, m.pixel);
        EXPECT_EQ(cls, ClassOf(expected));
        EXPECT_EQ(MaskOf(*RegionFromHandle(dst), window).Bits, expected.Bits);
        // The source that is not the target is left alone.
        if (target != Target::First) {
          EXPECT_EQ(MaskOf(*RegionFromHandle(a), window).Bits, ma.Bits);
        }
        if (target != Target::Second) {
          EXPECT_EQ(MaskOf(*RegionFromHandle(b), window).Bits, mb.Bits);
        }
        if (target == Target::Separate) DeleteObject(dst);
        DeleteObject(a);
        DeleteObject(b);
      }
    }
  }
}

TEST_F(RegionApi, CopyIgnoresTheSecondSource) {
  const HRGN src = CreateRectRgn(0, 0, 4, 4);
  const HRGN dst = CreateRectRgn(10, 10, 20, 20);
  EXPECT_EQ(CombineRgn(dst, src, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(dst, src));
  EXPECT_EQ(CombineRgn(dst, dst, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(dst, src, nullptr, RGN_OR), ERROR);
  DeleteObject(src);
  DeleteObject(dst);
}

// The way a shaped control traces a mask: one scratch region set to each run
// and united into the accumulator, reading the class after every call.
TEST_F(RegionApi, RunByRunTraceMatchesMaskAndRectListBuild) {
  const TRect window{0, 0, 53, 37};
  std::mt19937 gen(2024u);
  for (int density : {3, 50, 97}) {
    for (bool accFirst : {true, false}) {
      SCOPED_TRACE("density " + std::to_string(density) + (accFirst ? " acc,acc,scratch" : " acc,scratch,acc"));
      const PixelMask mask = test::RandomMask(gen, window, density);
      const auto runs = mask.Runs();
      const HRGN acc = CreateRectRgn(0, 0, 0, 0);
      const HRGN scratch = CreateRectRgn(0, 0, 0, 0);
      PixelMask sofar(window);
      for (std::size_t i = 0; i < runs.size(); ++i) {
        const TRect& run = runs[i];
        ASSERT_TRUE(SetRectRgn(scratch, run.Left, run.Top, run.Right, run.Bottom));
        const int cls = accFirst ? CombineRgn(acc, acc, scratch, RGN_OR) : CombineRgn(acc, scratch, acc, RGN_OR);
        sofar.Fill(run);
        ASSERT_EQ(cls, ClassOf(sofar)) << "after run " << i;
      }
      const HRGN built = CreateRegionFromRects(runs);
      EXPECT_TRUE(EqualRgn(acc, built));
      EXPECT_EQ(MaskOf(*RegionFromHandle(acc), window).Bits, mask.Bits);
      TRect box;
      GetRgnBox(acc, &box);
      TRect expectedBox;
      GetRgnBox(built, &expectedBox);
      EXPECT_EQ(box, expectedBox);
      for (HRGN h : {acc, scratch, built}) EXPECT_TRUE(DeleteObject(h));
    }
  }
}

TEST_F(RegionApi, OffsetAndEquality) {
  const std::vector<TRect> ring = {{0, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 2, 3, 3}};
  const HRGN a = CreateRegionFromRects(ring);
  const HRGN b = CreateRegionFromRects(ring);
  EXPECT_TRUE(EqualRgn(a, b));
  EXPECT_EQ(OffsetRgn(a, 5, -2), COMPLEXREGION);
  EXPECT_FALSE(EqualRgn(a, b));
  EXPECT_TRUE(PtInRegion(a, 5, -2));
  EXPECT_FALSE(PtInRegion(a, 6, -1));  // the hole moved along
  TRect box;
  EXPECT_EQ(GetRgnBox(a, &box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{5, -2, 8, 1}));
  EXPECT_EQ(OffsetRgn(a, 2147483647, 0), ERROR);  // beyond the coordinate range: unchanged
  EXPECT_EQ(GetRgnBox(a, &box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{5, -2, 8, 1}));
  EXPECT_EQ(OffsetRgn(a, -5, 2), COMPLEXREGION);
  EXPECT_TRUE(EqualRgn(a, b));
  const HRGN empty1 = CreateRectRgn(0, 0, 0, 0);
  const HRGN empty2 = CreateRectRgn(7, 7, 7, 9);
  EXPECT_TRUE(EqualRgn(empty1, empty2));
  EXPECT_EQ(OffsetRgn(empty1, 4, 4), NULLREGION);
  for (HRGN h : {a, b, empty1, empty2}) DeleteObject(h);
}

TEST_F(RegionApi, HandlesAreCountedAndReleasedOnce) {
  const std::size_t before = LiveHandleCount(HandleKind::Region);
  const HRGN a = CreateRectRgn(0, 0, 1, 1);
  const HRGN b = CreateRgnFromRegion(Region(TRect{0, 0, 2, 2}));
  EXPECT_EQ(LiveHandleCount(HandleKind::Region), before + 2);
  EXPECT_NE(a, b);
  EXPECT_EQ(GdiObjectKind(a), HandleKind::Region);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_FALSE(DeleteObject(a));  // already released
  EXPECT_FALSE(DeleteRgn(a));
  std::optional<Region> taken = TakeRegionFromHandle(b);
  ASSERT_TRUE(taken.has_value());
  EXPECT_EQ(taken->Bounds(), (TRect{0, 0, 2, 2}));
  EXPECT_FALSE(TakeRegionFromHandle(b).has_value());
  EXPECT_FALSE(DeleteObject(b));
  EXPECT_EQ(LiveHandleCount(HandleKind::Region), before);
}

TEST_F(RegionApi, BadHandlesFailWithoutHarm) {
  const HRGN live = CreateRectRgn(0, 0, 4, 4);
  const HRGN deleted = CreateRectRgn(0, 0, 4, 4);
  DeleteObject(deleted);
  // Values that are no live region: null, released, a handle value of another
  // kind, a value no table ever gave out, and an odd pointer value.
  const HRGN bad[] = {nullptr, deleted, reinterpret_cast<HRGN>((std::uintptr_t{1} << 4) | 2),
                      reinterpret_cast<HRGN>(std::uintptr_t{0x7fff0} | 0), reinterpret_cast<HRGN>(std::uintptr_t{0xF}),
                      reinterpret_cast<HRGN>(std::uintptr_t{0x123457})};
  TRect box{1, 2, 3, 4};
  const TRect probe{0, 0, 1, 1};
  for (HRGN h : bad) {
    SCOPED_TRACE(reinterpret_cast<std::uintptr_t>(h));
    EXPECT_FALSE(SetRectRgn(h, 0, 0, 1, 1));
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
      EXPECT_EQ(CombineRgn(h, live, live, mode), ERROR);
      EXPECT_EQ(CombineRgn(live, h, live, mode), ERROR);
    }
    EXPECT_EQ(CombineRgn(live, live, h, RGN_OR), ERROR);
    EXPECT_EQ(OffsetRgn(h, 1, 1), ERROR);
    EXPECT_EQ(GetRgnBox(h, &box), ERROR);
    EXPECT_EQ(box, (TRect{1, 2, 3, 4}));
    EXPECT_FALSE(PtInRegion(h, 0, 0));
    EXPECT_FALSE(RectInRegion(h, &probe));
    EXPECT_FALSE(EqualRgn(h, live));
    EXPECT_FALSE(EqualRgn(live, h));
    EXPECT_EQ(RegionFromHandle(h), nullptr);
    EXPECT_FALSE(DeleteObject(h));
  }
  for (int mode : {0, 6, -1}) EXPECT_EQ(CombineRgn(live, live, live, mode), ERROR);
  EXPECT_EQ(GetRgnBox(live, nullptr), ERROR);
  EXPECT_FALSE(RectInRegion(live, nullptr));
  // None of the failures touched the live region.
  EXPECT_EQ(GetRgnBox(live, &box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{0, 0, 4, 4}));
  DeleteObject(live);
}

bool CountingDeleter(HGDIOBJ object) { return object != nullptr; }

TEST_F(RegionApi, DeleteObjectDispatchesByKind) {
  // A kind that registers its deleter receives its handles; others are refused.
  const GdiObjectDeleter previous = RegisterGdiObjectKind(HandleKind::Pen, &CountingDeleter);
  const auto penValue = reinterpret_cast<HGDIOBJ>((std::uintptr_t{7} << 4) | static_cast<std::uintptr_t>(HandleKind::Pen));
  EXPECT_TRUE(DeleteObject(penValue));
  EXPECT_EQ(RegisterGdiObjectKind(HandleKind::Pen, nullptr), &CountingDeleter);
  EXPECT_FALSE(DeleteObject(penValue));
  RegisterGdiObjectKind(HandleKind::Pen, previous);
  const auto windowValue =
      reinterpret_cast<HGDIOBJ>((std::uintptr_t{7} << 4) | static_cast<std::uintptr_t>(HandleKind::Window));
  EXPECT_FALSE(DeleteObject(windowValue));
  EXPECT_EQ(GdiObjectKind(nullptr), HandleKind::Count);
}

}  // namespace
}  // namespace bellcut
