// A region: a set of pixels held as a union of end-exclusive rectangles,
// stored by pixman in y-x banded form. This is the value type our own code
// uses; the handle API of the platform (HRGN, CreateRectRgn, CombineRgn...)
// in RegionApi.h is a thin layer over it.
#pragma once

#include <pixman.h>

#include <span>
#include <vector>

#include "platform/gdi/Types.h"

namespace bellcut {

class Region {
 public:
  Region();
  explicit Region(const TRect& rect);
  Region(const Region& other);
  Region(Region&& other) noexcept;
  Region& operator=(const Region& other);
  Region& operator=(Region&& other) noexcept;
  ~Region();

  [[nodiscard]] static Region FromRects(std::span<const TRect> rects);

  [[nodiscard]] bool IsEmpty() const;
  [[nodiscard]] TRect Bounds() const;  // the empty rectangle for an empty region
  [[nodiscard]] bool Contains(int x, int y) const;
  [[nodiscard]] bool Intersects(const TRect& rect) const;
  // The rectangles in banded order (top to bottom, left to right).
  [[nodiscard]] std::vector<TRect> Rects() const;
  [[nodiscard]] int RectCount() const;
  // True when the region is exactly one rectangle.
  [[nodiscard]] bool IsRect() const;

  void SetEmpty();
  void SetRect(const TRect& rect);
  // Adds one rectangle. Cheap when rectangles arrive in scan order, as when a
  // region is traced from pixel runs: see Region.cpp.
  void AddRect(const TRect& rect);
  void Union(const Region& other);
  void Intersect(const Region& other);
  void Intersect(const TRect& rect);
  void Subtract(const Region& other);
  void Xor(const Region& other);
  void Offset(int dx, int dy);

  bool operator==(const Region& other) const;

  // The settled pixman region (for drawing code that clips with pixman).
  [[nodiscard]] const pixman_region32_t* Native() const;

  void Swap(Region& other) noexcept;

 private:
  // Merges the pending rectangles into the settled region.
  void Settle() const;
  // Recomputes simple_ and witness_ from the settled region (nothing pending).
  void Refresh() const;
  // Finishes an operation on the settled region; ok is pixman's result.
  void Apply(pixman_bool_t ok);
  // See Region.cpp for how pending rectangles are kept.
  mutable pixman_region32_t region_;
  mutable std::vector<pixman_box32_t> pending_;
  mutable TRect pendingBounds_{};  // bounds of the whole region while rectangles are pending
  mutable bool simple_ = true;   // the whole region (settled + pending) is one rectangle or empty
  mutable TPoint witness_{};     // a pixel inside the bounds that is not in the region, when !simple_
};

}  // namespace bellcut
