// Regions.
//
// Representation. A region is a set of pixels stored by pixman as y-x banded
// rectangles: the region is cut horizontally into bands, every rectangle of a
// band has the band's top and bottom, the rectangles of a band are sorted by x
// and never touch, and two vertically adjacent bands with the same x spans are
// merged into one. That form is canonical, so two equal pixel sets have equal
// rectangle lists, and a region of more than one rectangle is never a single
// rectangle. Every operation on the banded form walks both operands band by
// band, which makes it linear in their sizes.
//
// Pending rectangles. Tracing a shape adds one rectangle per pixel run, and
// each union into a banded region rewrites the whole region: building a shape
// of n runs that way costs O(n^2). So a region keeps, beside its settled
// pixman region, a list of pending rectangles that belong to it but have not
// been merged yet. Settling builds the pending rectangles into one banded
// region in a single pass (pixman_region32_init_rects sorts and merges them)
// and unions that into the settled part. Queries that need the exact pixels
// (rectangle lists, point tests, comparisons, every other operation) settle
// first; adding a rectangle, reading the bounding box and telling whether the
// region is empty, one rectangle or more do not.
//
// The witness. Callers ask after each union whether the result is empty, one
// rectangle or complex, and the answer must be exact without settling. While
// the region is one rectangle (or empty), the union with another rectangle is
// computed exactly: it is a rectangle when one contains the other or when
// both share their x span and meet or overlap in y, or share their y span and
// meet or overlap in x; otherwise it is complex. Once complex, the region
// remembers a witness: one pixel inside its bounding box that is not in it. A
// new rectangle that does not cover the witness leaves the witness inside the
// grown bounding box and still uncovered, so the region stays complex and the
// rectangle can wait in the pending list at O(1) cost. Only a rectangle that
// covers the witness forces a settle, after which a new witness is taken from
// the bands: the topmost, then leftmost missing pixel. Runs added in scan
// order lie after that pixel (a maximal run never starts at the pixel that
// ends the previous one), so a traced shape settles a bounded number of times
// and costs time linear in its runs.
//
// The pending list also settles by itself once it is as long as the settled
// region (and at least a few thousand rectangles), which bounds its memory
// and keeps the amortised cost per rectangle constant.
#include "platform/gdi/Region.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

constexpr std::size_t kMinPendingBeforeSettle = 8192;

[[nodiscard]] pixman_box32_t ToBox(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }
[[nodiscard]] TRect ToRect(const pixman_box32_t& b) { return {b.x1, b.y1, b.x2, b.y2}; }

[[nodiscard]] bool NotEmpty(const pixman_region32_t* region) {
  return pixman_region32_not_empty(region) != 0;
}

void Check(pixman_bool_t ok) {
  if (!ok) throw EOutOfResources("Out of memory for a region");
}

[[nodiscard]] TRect Enclose(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

// The union of two non-empty rectangles when it is itself a rectangle.
[[nodiscard]] std::optional<TRect> MergeRects(const TRect& a, const TRect& b) {
  auto contains = [](const TRect& outer, const TRect& inner) {
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
           outer.Bottom >= inner.Bottom;
  };
  if (contains(a, b)) return a;
  if (contains(b, a)) return b;
  if (a.Left == b.Left && a.Right == b.Right && a.Top <= b.Bottom && b.Top <= a.Bottom)
    return Enclose(a, b);
  if (a.Top == b.Top && a.Bottom == b.Bottom && a.Left <= b.Right && b.Left <= a.Right)
    return Enclose(a, b);
  return std::nullopt;
}

// The topmost, then leftmost pixel of the bounding box that the banded region
// lacks; none when the region fills its bounding box.
[[nodiscard]] std::optional<TPoint> FirstMissingPixel(const pixman_region32_t* region) {
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(region, &n);
  const pixman_box32_t& ext = region->extents;
  int expectTop = ext.y1;
  for (int i = 0; i < n;) {
    const int top = boxes[i].y1;
    if (top > expectTop) return TPoint{ext.x1, expectTop};  // rows between two bands
    int x = ext.x1;
    for (; i < n && boxes[i].y1 == top; ++i) {
      if (boxes[i].x1 > x) return TPoint{x, top};
      x = boxes[i].x2;
      expectTop = boxes[i].y2;
    }
    if (x < ext.x2) return TPoint{x, top};
  }
  return std::nullopt;
}

}  // namespace

Region::Region() { pixman_region32_init(&region_); }

Region::Region(const TRect& rect) : Region() { SetRect(rect); }

Region::Region(const Region& other) : Region() {
  // Merge the source's pending rectangles once, in the source, so that its
  // copies (a traced shape is copied into every composition and window
  // region) share the merged result instead of each merging them again.
  other.Settle();
  Check(pixman_region32_copy(&region_, &other.region_));
  pending_ = other.pending_;
  pendingBounds_ = other.pendingBounds_;
  simple_ = other.simple_;
  witness_ = other.witness_;
}

Region::Region(Region&& other) noexcept : Region() { Swap(other); }

Region& Region::operator=(const Region& other) {
  if (this != &other) {
    Region copy(other);
    Swap(copy);
  }
  return *this;
}

Region& Region::operator=(Region&& other) noexcept {
  if (this != &other) {
    Region taken(std::move(other));
    Swap(taken);
  }
  return *this;
}

Region::~Region() { pixman_region32_fini(&region_); }

void Region::Swap(Region& other) noexcept {
  // A pixman region holds no pointer into itself (its data is on the heap or
  // pixman's shared empty marker), so the structures can be exchanged as values.
  std::swap(region_, other.region_);
  std::swap(pending_, other.pending_);
  std::swap(pendingBounds_, other.pendingBounds_);
  std::swap(simple_, other.simple_);
  std::swap(witness_, other.witness_);
}

Region Region::FromRects(std::span<const TRect> rects) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const TRect& r : rects)
    if (!r.IsEmpty()) boxes.push_back(ToBox(r));
  if (boxes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw EOutOfResources("Too many rectangles for a region");
  Region result;
  pixman_region32_fini(&result.region_);
  if (!pixman_region32_init_rects(&result.region_, boxes.data(), static_cast<int>(boxes.size()))) {
    pixman_region32_fini(&result.region_);
    pixman_region32_init(&result.region_);
    throw EOutOfResources("Out of memory for a region");
  }
  result.Refresh();
  return result;
}

bool Region::IsEmpty() const { return pending_.empty() && !NotEmpty(&region_); }

TRect Region::Bounds() const {
  if (!pending_.empty()) return pendingBounds_;
  if (!NotEmpty(&region_)) return TRect{};
  return ToRect(region_.extents);
}

bool Region::Contains(int x, int y) const {
  Settle();
  return pixman_region32_contains_point(&region_, x, y, nullptr) != 0;
}

bool Region::Intersects(const TRect& rect) const {
  if (rect.IsEmpty()) return false;
  Settle();
  const pixman_box32_t box = ToBox(rect);
  return pixman_region32_contains_rectangle(&region_, &box) != PIXMAN_REGION_OUT;
}

std::vector<TRect> Region::Rects() const {
  Settle();
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&region_, &n);
  std::vector<TRect> rects;
  rects.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) rects.push_back(ToRect(boxes[i]));
  return rects;
}

int Region::RectCount() const {
  Settle();
  return pixman_region32_n_rects(&region_);
}

bool Region::IsRect() const { return simple_ && !IsEmpty(); }

void Region::SetEmpty() {
  pixman_region32_clear(&region_);
  pending_.clear();
  simple_ = true;
}

void Region::SetRect(const TRect& rect) {
  if (rect.IsEmpty()) {
    SetEmpty();
    return;
  }
  const pixman_box32_t box = ToBox(rect);
  pixman_region32_reset(&region_, &box);
  pending_.clear();
  simple_ = true;
}

void Region::AddRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  if (simple_) {
    // At most one rectangle so far (and nothing pending): the union is exact in O(1).
    if (!NotEmpty(&region_)) {
      SetRect(rect);
      return;
    }
    if (auto merged = MergeRects(ToRect(region_.extents), rect)) {
      SetRect(*merged);
      return;
    }
    const pixman_box32_t box = ToBox(rect);
    pixman_region32_t add;
    pixman_region32_init_with_extents(&add, &box);
    const pixman_bool_t ok = pixman_region32_union(&region_, &region_, &add);
    pixman_region32_fini(&add);
    if (!ok) {
      SetEmpty();
      Check(ok);
    }
    Refresh();
    return;
  }
  if (pending_.empty()) pendingBounds_ = ToRect(region_.extents);
  pending_.push_back(ToBox(rect));
  pendingBounds_ = Enclose(pendingBounds_, rect);
  if (rect.Contains(witness_.X, witness_.Y) ||
      pending_.size() >= std::max(kMinPendingBeforeSettle,
                                  static_cast<std::size_t>(pixman_region32_n_rects(&region_))))
    Settle();
}

void Region::Union(const Region& other) {
  if (&other == this || other.IsEmpty()) return;
  if (other.IsRect()) {
    AddRect(other.Bounds());
    return;
  }
  if (IsEmpty()) {
    *this = other;
    return;
  }
  if (IsRect()) {
    // A rectangle joined to a complex region: start from the other's state
    // (which keeps its pending rectangles and witness) and add the rectangle.
    const TRect rect = Bounds();
    *this = other;
    AddRect(rect);
    return;
  }
  Settle();
  other.Settle();
  Apply(pixman_region32_union(&region_, &region_, &other.region_));
}

void Region::Intersect(const Region& other) {
  if (&other == this) return;
  Settle();
  other.Settle();
  Apply(pixman_region32_intersect(&region_, &region_, &other.region_));
}

void Region::Intersect(const TRect& rect) {
  if (rect.IsEmpty()) {
    SetEmpty();
    return;
  }
  Intersect(Region(rect));
}

void Region::Subtract(const Region& other) {
  if (&other == this) {
    SetEmpty();
    return;
  }
  Settle();
  other.Settle();
  Apply(pixman_region32_subtract(&region_, &region_, &other.region_));
}

void Region::Xor(const Region& other) {
  if (&other == this) {
    SetEmpty();
    return;
  }
  Region otherOnly(other);
  otherOnly.Subtract(*this);
  Subtract(other);
  Union(otherOnly);
}

void Region::Offset(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  Settle();
  if (!NotEmpty(&region_)) return;
  const pixman_box32_t& ext = region_.extents;
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  auto fits = [&](std::int64_t a, std::int64_t b, int d) { return a + d >= lo && b + d <= hi; };
  if (!fits(ext.x1, ext.x2, dx) || !fits(ext.y1, ext.y2, dy))
    throw EInvalidOperation("Region offset out of the coordinate range");
  pixman_region32_translate(&region_, dx, dy);
  witness_ = {witness_.X + dx, witness_.Y + dy};
}

bool Region::operator==(const Region& other) const {
  if (&other == this) return true;
  Settle();
  other.Settle();
  const bool empty = !NotEmpty(&region_);
  if (empty || !NotEmpty(&other.region_)) return empty && !NotEmpty(&other.region_);
  return pixman_region32_equal(&region_, &other.region_) != 0;
}

const pixman_region32_t* Region::Native() const {
  Settle();
  return &region_;
}

void Region::Settle() const {
  if (pending_.empty()) return;
  pixman_region32_t add;
  pixman_bool_t ok = pixman_region32_init_rects(&add, pending_.data(), static_cast<int>(pending_.size()));
  if (ok) ok = pixman_region32_union(&region_, &region_, &add);
  pixman_region32_fini(&add);
  pending_.clear();
  if (!ok) {
    // The pixels are lost either way; leave a consistent empty region behind.
    pixman_region32_clear(&region_);
    simple_ = true;
    Check(ok);
  }
  Refresh();
}

void Region::Apply(pixman_bool_t ok) {
  if (!ok) {
    SetEmpty();
    Check(ok);
  }
  Refresh();
}

void Region::Refresh() const {
  if (!NotEmpty(&region_)) {
    // Normalise every empty result, so that empty regions compare equal and
    // report the empty box wherever their last operation left the extents.
    pixman_region32_clear(&region_);
    simple_ = true;
    return;
  }
  if (pixman_region32_n_rects(&region_) == 1) {
    simple_ = true;
    return;
  }
  if (auto missing = FirstMissingPixel(&region_)) {
    simple_ = false;
    witness_ = *missing;
  } else {
    // Several rectangles that fill their box: keep the single rectangle.
    const pixman_box32_t box = region_.extents;
    pixman_region32_reset(&region_, &box);
    simple_ = true;
  }
}

}  // namespace bellcut
