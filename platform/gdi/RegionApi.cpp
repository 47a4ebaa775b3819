#include "platform/gdi/RegionApi.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "platform/base/Exceptions.h"
#include "platform/base/NeverDestroyed.h"
#include "platform/gdi/Handles.h"

namespace bellcut {
namespace {

using RegionTable = HandleTable<HRGN, Region, HandleKind::Region>;

bool DeleteRegionObject(HGDIOBJ object) { return DeleteRgn(static_cast<HRGN>(object)); }

RegionTable& Table() {
  // Never destroyed: objects with static lifetime (an application, a cached
  // window) may still release their regions while the process exits, after
  // a function-local table would already be gone. What is left at exit stays
  // reachable from here.
  static NeverDestroyed<RegionTable> table;
  // DeleteObject learns about regions before the first region handle exists.
  static const bool registered = (RegisterGdiObjectKind(HandleKind::Region, &DeleteRegionObject), true);
  (void)registered;
  return *table;
}

[[nodiscard]] Region* Lookup(HRGN rgn) {
  if (rgn == nullptr || !RegionTable::IsKind(rgn)) return nullptr;
  return Table().Get(rgn);
}

[[nodiscard]] TRect Ordered(int left, int top, int right, int bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

int ClassOfRegion(const Region& region) {
  if (region.IsEmpty()) return NULLREGION;
  return region.IsRect() ? SIMPLEREGION : COMPLEXREGION;
}

HRGN CreateRgnFromRegion(Region region) {
  return Table().Add(std::make_unique<Region>(std::move(region)));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return CreateRgnFromRegion(Region(Ordered(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const TRect& rect) {
  return CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

HRGN CreateRegionFromRects(std::span<const TRect> rects) {
  return CreateRgnFromRegion(Region::FromRects(rects));
}

bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  Region* region = Lookup(rgn);
  if (region == nullptr) return false;
  region->SetRect(Ordered(left, top, right, bottom));
  return true;
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  Region* d = Lookup(dst);
  const Region* a = Lookup(src1);
  if (d == nullptr || a == nullptr) return ERROR;
  if (mode == RGN_COPY) {
    if (d != a) *d = *a;
    return ClassOfRegion(*d);
  }
  if (mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  const Region* b = Lookup(src2);
  if (b == nullptr) return ERROR;
  try {
    // Work on dst in place when it is one of the sources: that is the path a
    // region traced run by run takes, and it must not copy the region.
    const Region* other = d == a ? b : d == b && mode != RGN_DIFF ? a : nullptr;
    if (other == nullptr) {
      Region result(*a);
      switch (mode) {
        case RGN_AND: result.Intersect(*b); break;
        case RGN_OR: result.Union(*b); break;
        case RGN_XOR: result.Xor(*b); break;
        default: result.Subtract(*b); break;
      }
      *d = std::move(result);
    } else {
      switch (mode) {
        case RGN_AND: d->Intersect(*other); break;
        case RGN_OR: d->Union(*other); break;
        case RGN_XOR: d->Xor(*other); break;
        default: d->Subtract(*other); break;
      }
    }
  } catch (const EOutOfResources&) {
    return ERROR;
  } catch (const std::bad_alloc&) {
    return ERROR;
  }
  return ClassOfRegion(*d);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  Region* region = Lookup(rgn);
  if (region == nullptr) return ERROR;
  try {
    region->Offset(dx, dy);
  } catch (const EInvalidOperation&) {
    return ERROR;
  }
  return ClassOfRegion(*region);
}

int GetRgnBox(HRGN rgn, TRect* rect) {
  const Region* region = Lookup(rgn);
  if (region == nullptr || rect == nullptr) return ERROR;
  *rect = region->Bounds();
  return ClassOfRegion(*region);
}

bool PtInRegion(HRGN rgn, int x, int y) {
  const Region* region = Lookup(rgn);
  return region != nullptr && region->Contains(x, y);
}

bool RectInRegion(HRGN rgn, const TRect* rect) {
  const Region* region = Lookup(rgn);
  return region != nullptr && rect != nullptr && region->Intersects(*rect);
}

bool EqualRgn(HRGN a, HRGN b) {
  const Region* ra = Lookup(a);
  const Region* rb = Lookup(b);
  return ra != nullptr && rb != nullptr && *ra == *rb;
}

bool DeleteRgn(HRGN rgn) {
  if (rgn == nullptr || !RegionTable::IsKind(rgn)) return false;
  return Table().Take(rgn) != nullptr;
}

const Region* RegionFromHandle(HRGN rgn) { return Lookup(rgn); }

Region* WritableRegionFromHandle(HRGN rgn) { return Lookup(rgn); }

std::optional<Region> TakeRegionFromHandle(HRGN rgn) {
  if (rgn == nullptr || !RegionTable::IsKind(rgn)) return std::nullopt;
  std::unique_ptr<Region> region = Table().Take(rgn);
  if (!region) return std::nullopt;
  return std::move(*region);
}

}  // namespace bellcut
