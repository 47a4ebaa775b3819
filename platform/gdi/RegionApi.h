// The platform's region handles: HRGN values over Region objects, with the
// platform's calls and result codes. A region handle lives until DeleteObject
// (or DeleteRgn) releases it, or until a window takes it over; every live
// handle is counted under HandleKind::Region.
//
// Failures are reported the platform's way: ERROR (0) or false for a null,
// unknown or deleted handle, a missing output pointer or an unknown mode.
#pragma once

#include <optional>
#include <span>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Types.h"

namespace bellcut {

struct HRGN__;
using HRGN = HRGN__*;

// What a region call reports about its result: failure, or the class of the
// region it produced or read.
enum RegionResult : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };

// CombineRgn modes.
enum RegionCombineMode : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// A region holding the rectangle (left, top, right, bottom), end-exclusive.
// Swapped corners are put in order first, as the platform does; a rectangle
// without area gives an empty region.
[[nodiscard]] HRGN CreateRectRgn(int left, int top, int right, int bottom);
[[nodiscard]] HRGN CreateRectRgnIndirect(const TRect& rect);
// A region holding the union of the rectangles (ExtCreateRegion for a rectangle list).
[[nodiscard]] HRGN CreateRegionFromRects(std::span<const TRect> rects);
// A handle that owns region (for the window system handing out copies).
[[nodiscard]] HRGN CreateRgnFromRegion(Region region);

// Turns an existing region into one rectangle (corners put in order as above).
bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);

// dst := src1 <mode> src2. dst may be either source; src2 is not read for
// RGN_COPY. Returns the class of the new dst, or ERROR (dst unchanged) for a
// bad handle or mode. Adding rectangle after rectangle with RGN_OR costs
// time linear in the number of rectangles (see Region.cpp).
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);

// Moves a region; ERROR for a bad handle or a move beyond the coordinate range.
int OffsetRgn(HRGN rgn, int dx, int dy);

// The bounding box into *rect (the empty rectangle (0, 0, 0, 0) for an empty
// region) and the region's class.
int GetRgnBox(HRGN rgn, TRect* rect);

bool PtInRegion(HRGN rgn, int x, int y);
// True when any pixel of *rect is in the region.
bool RectInRegion(HRGN rgn, const TRect* rect);
// True when both handles are live and hold the same pixels.
bool EqualRgn(HRGN a, HRGN b);

// Releases a region handle (what DeleteObject does for region handles).
bool DeleteRgn(HRGN rgn);

// The class a region reports: NULLREGION, SIMPLEREGION or COMPLEXREGION.
[[nodiscard]] int ClassOfRegion(const Region& region);

// The region behind a handle, or null for a handle that is not a live region.
[[nodiscard]] const Region* RegionFromHandle(HRGN rgn);
[[nodiscard]] Region* WritableRegionFromHandle(HRGN rgn);
// Releases the handle and returns its region (a window taking a region over);
// nothing for a handle that is not a live region.
[[nodiscard]] std::optional<Region> TakeRegionFromHandle(HRGN rgn);

}  // namespace bellcut
