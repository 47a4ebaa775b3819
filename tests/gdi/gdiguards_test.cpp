// Scope guards for DCs and GDI objects: everything taken inside a scope is
// given back when the scope is left by an exception, in the order that lets
// it go (an object is deselected before it is deleted).
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "platform/gdi/GdiGuards.h"
#include "platform/gdi/Handles.h"

namespace bellcut::test {
namespace {

std::array<std::size_t, static_cast<std::size_t>(HandleKind::Count)> LiveCounts() {
  std::array<std::size_t, static_cast<std::size_t>(HandleKind::Count)> counts{};
  for (std::size_t k = 0; k < counts.size(); ++k) counts[k] = LiveHandleCount(static_cast<HandleKind>(k));
  return counts;
}

TEST(GdiGuards, ThrowingDrawingCodeGivesBackTheDcAndItsObjects) {
  const auto before = LiveCounts();
  HPEN selectedAtThrow = nullptr;
  EXPECT_THROW(
      {
        const ScopedDC dc(CreateCompatibleDC(nullptr));
        EXPECT_TRUE(dc);
        const ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(4, 5, 6)));
        const ScopedSelectObject selectPen(dc.get(), pen.get());
        const ScopedSelectObject selectBrush(dc.get(), brush.get());
        selectedAtThrow = static_cast<HPEN>(GetCurrentObject(dc.get(), OBJ_PEN));
        throw std::runtime_error("text layout failed");
      },
      std::runtime_error);
  EXPECT_NE(selectedAtThrow, nullptr);
  // The pen and brush were deselected first, or deleting them would have failed.
  EXPECT_EQ(LiveCounts(), before);
}

TEST(GdiGuards, SelectionAndSavedStateComeBackOnAnExceptionPath) {
  const ScopedDC dc(CreateCompatibleDC(nullptr));
  const ScopedGdiObject<HPEN> own(CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
  const HGDIOBJ original = SelectObject(dc.get(), own.get());
  SetTextColor(dc.get(), RGB(10, 20, 30));
  SetBkMode(dc.get(), OPAQUE);
  try {
    const ScopedSaveDC state(dc.get());
    const ScopedGdiObject<HPEN> other(CreatePen(PS_SOLID, 3, RGB(7, 7, 7)));
    const ScopedSelectObject select(dc.get(), other.get());
    SetTextColor(dc.get(), RGB(255, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    throw std::runtime_error("paint failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), own.get());
  EXPECT_EQ(GetTextColor(dc.get()), RGB(10, 20, 30));
  EXPECT_EQ(SetBkMode(dc.get(), OPAQUE), OPAQUE);
  SelectObject(dc.get(), original);
}

TEST(GdiGuards, ReleaserRunsOnceAndOwnershipMoves) {
  int released = 0;
  HDC seen = nullptr;
  const HDC raw = CreateCompatibleDC(nullptr);
  {
    ScopedDC first(raw, [&](HDC d) {
      ++released;
      seen = d;
      DeleteDC(d);
    });
    ScopedDC second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
  }
  EXPECT_EQ(released, 1);
  EXPECT_EQ(seen, raw);

  // Handed over: the guard no longer releases it.
  const auto before = LiveCounts();
  HDC kept = nullptr;
  {
    ScopedDC dc(CreateCompatibleDC(nullptr));
    kept = dc.release();
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::DC), before[static_cast<std::size_t>(HandleKind::DC)] + 1);
  EXPECT_TRUE(DeleteDC(kept));
  // A null handle is no failure: nothing to give back.
  { const ScopedGdiObject<HBRUSH> none; }
  { const ScopedSelectObject none(nullptr, nullptr); }
}

}  // namespace
}  // namespace bellcut::test
