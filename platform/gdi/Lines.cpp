// Pixels, lines and rectangles: the pen and brush drawing of a DC.
#include <cstdlib>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Raster.h"

namespace bellcut {
namespace {

using raster::ToPix;

constexpr long long kCoordLimit = 1LL << 30;
bool SaneCoord(long long v) { return v > -kCoordLimit && v < kCoordLimit; }

bool Visible(const DeviceContext& dc, const Region* clip, int x, int y) {
  if (dc.Surface == nullptr || x < 0 || y < 0 || x >= dc.Surface->Width() || y >= dc.Surface->Height()) return false;
  return clip == nullptr || clip->Contains(x, y);
}

void PlotPen(DeviceContext& dc, raster::RowWriter& writer, std::uint32_t pen, int x, int y) {
  std::uint32_t value = pen;
  if (dc.Rop2 != R2_COPYPEN) {
    std::uint32_t old = 0;
    raster::ReadRow(*dc.Surface, y, x, std::span<std::uint32_t>(&old, 1));
    value = raster::Rop2(dc.Rop2, pen, old);
  }
  writer.Write(y, x, std::span<const std::uint32_t>(&value, 1));
}

// The pixels of the segment from (x0, y0) to (x1, y1) in surface coordinates,
// the end excluded. Pixel i along the major axis sits at the minor position
// nearest the ideal line, computed directly rather than by stepping, so only
// the steps that can meet the surface are visited however long the line is.
void DrawSegment(DeviceContext& dc, long long x0, long long y0, long long x1, long long y1) {
  if (dc.Surface == nullptr || dc.PenStyle == PS_NULL || dc.Rop2 == R2_NOP) return;
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long adx = std::llabs(dx), ady = std::llabs(dy);
  if (adx == 0 && ady == 0) return;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const long long steps = xMajor ? adx : ady;
  const long long minorSpan = xMajor ? ady : adx;
  const long long major0 = xMajor ? x0 : y0;
  const long long minor0 = xMajor ? y0 : x0;
  const int majorSign = xMajor ? sx : sy;
  const int minorSign = xMajor ? sy : sx;
  const long long limit = xMajor ? dc.Surface->Width() : dc.Surface->Height();
  // Steps i in [0, steps) whose major coordinate major0 + majorSign * i lies in [0, limit).
  long long first = 0, last = steps;  // exclusive
  if (majorSign > 0) {
    first = std::max(first, -major0);
    last = std::min(last, limit - major0);
  } else {
    first = std::max(first, major0 - (limit - 1));
    last = std::min(last, major0 + 1);
  }
  if (first >= last) return;

  const Region clip = dc.EffectiveClip();
  const bool whole = clip.IsRect() && clip.Bounds() == dc.Surface->BoundsRect();
  raster::RowWriter writer(*dc.Surface);
  const std::uint32_t pen = writer.Representable(ToPix(dc.PenColor));
  for (long long i = first; i < last; ++i) {
    // Endpoints a whole int range apart make 2 * i * minorSpan exceed 64 bits.
    const auto offset = (__int128{2} * i * minorSpan + steps) / (__int128{2} * steps);
    const long long minor = minor0 + minorSign * static_cast<long long>(offset);
    const long long major = major0 + majorSign * i;
    const long long px = xMajor ? major : minor;
    const long long py = xMajor ? minor : major;
    if (px < 0 || py < 0 || px >= dc.Surface->Width() || py >= dc.Surface->Height()) continue;
    if (!whole && !clip.Contains(static_cast<int>(px), static_cast<int>(py))) continue;
    PlotPen(dc, writer, pen, static_cast<int>(px), static_cast<int>(py));
  }
}

}  // namespace

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || context->Surface == nullptr || !SaneCoord(x) || !SaneCoord(y)) return CLR_INVALID;
  const TPoint p = context->ToSurface({x, y});
  const Region clip = context->EffectiveClip();
  if (!Visible(*context, &clip, p.X, p.Y)) return CLR_INVALID;
  raster::RowWriter writer(*context->Surface);
  const std::uint32_t value = writer.Representable(ToPix(color & 0xFFFFFF));
  writer.Write(p.Y, p.X, std::span<const std::uint32_t>(&value, 1));
  return raster::FromPix(value);
}

COLORREF GetPixel(HDC dc, int x, int y) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || context->Surface == nullptr || !SaneCoord(x) || !SaneCoord(y)) return CLR_INVALID;
  const TPoint p = context->ToSurface({x, y});
  const Region clip = context->EffectiveClip();
  if (!Visible(*context, &clip, p.X, p.Y)) return CLR_INVALID;
  return context->Surface->GetPixel(p.X, p.Y);
}

bool MoveToEx(HDC dc, int x, int y, TPoint* old) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  if (old != nullptr) *old = context->PenPos;
  context->PenPos = {x, y};
  return true;
}

bool LineTo(HDC dc, int x, int y) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  const TPoint from = context->PenPos;
  context->PenPos = {x, y};
  DrawSegment(*context, static_cast<long long>(from.X) + context->Origin.X, static_cast<long long>(from.Y) + context->Origin.Y,
              static_cast<long long>(x) + context->Origin.X, static_cast<long long>(y) + context->Origin.Y);
  return true;
}

bool Rectangle(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  if (!SaneCoord(left) || !SaneCoord(top) || !SaneCoord(right) || !SaneCoord(bottom)) return false;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (context->Surface == nullptr || right - left < 1 || bottom - top < 1) return true;
  const TRect r = TRect{left, top, right, bottom}.Offset(context->Origin.X, context->Origin.Y);
  const bool pen = context->PenStyle != PS_NULL;
  if (context->BrushStyle != BS_NULL) {
    // Without an outline the fill covers what the outline would have left of
    // the right and bottom edges excluded.
    const TRect inside = pen ? TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}
                             : TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
    raster::PaintRect(*context, inside, ToPix(context->BrushColor), context->Rop2);
  }
  if (pen) raster::PaintFrame(*context, r, ToPix(context->PenColor), context->Rop2);
  return true;
}

}  // namespace bellcut
