#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/base/NeverDestroyed.h"
#include "platform/gdi/FontObjects.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiTables.h"
#include "platform/gdi/Handles.h"
#include "platform/gdi/RegionApi.h"

namespace bellcut {
namespace {

struct DcObject {
  DeviceContext Context;
  std::vector<DeviceContext> Saved;
};

using DcTable = HandleTable<HDC, DcObject, HandleKind::DC>;

// Never destroyed: windows destroyed at exit still release their DCs.
DcTable& Dcs() {
  static NeverDestroyed<DcTable> table;
  return *table;
}

DcObject* ObjectFromHandle(HDC dc) { return Dcs().Get(dc); }

void InitialObjects(DeviceContext& context) {
  context.SelectedBrush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  context.SelectedPen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  context.BrushColor = RGB(255, 255, 255);
  context.BrushStyle = BS_SOLID;
  context.PenColor = 0;
  context.PenStyle = PS_SOLID;
  context.PenWidth = 1;
}

HDC AddDc(Dib* surface) {
  auto object = std::make_unique<DcObject>();
  object->Context.Surface = surface;
  InitialObjects(object->Context);
  return Dcs().Add(std::move(object));
}

int RegionClass(const Region& region) {
  if (region.IsEmpty()) return NULLREGION;
  return region.IsRect() ? SIMPLEREGION : COMPLEXREGION;
}

// The clip region in surface coordinates, made explicit: with no clip region
// set, everything the surface holds.
Region CurrentClip(const DeviceContext& context) {
  if (context.ClipRgn) return *context.ClipRgn;
  if (context.Surface == nullptr) return Region();
  return Region(context.Surface->BoundsRect());
}

// Origins stay within this many pixels of the surface's corner, so that a
// drawing call's checked coordinates plus the origin still fit an int.
constexpr long long kOriginLimit = 1LL << 30;

// Clamped rather than wrapped: far outside any surface is far outside still.
int ClampCoord(long long v) { return static_cast<int>(std::clamp(v, -kOriginLimit * 2 + 1, kOriginLimit * 2 - 1)); }

TRect LogicalToSurface(const DeviceContext& context, int left, int top, int right, int bottom) {
  const long long ox = context.Origin.X, oy = context.Origin.Y;
  return TRect{ClampCoord(left + ox), ClampCoord(top + oy), ClampCoord(right + ox), ClampCoord(bottom + oy)};
}

// Moves the origin to (x, y) surface coordinates unless that leaves the range.
bool SetOrigin(DeviceContext& context, long long x, long long y) {
  if (x <= -kOriginLimit || x >= kOriginLimit || y <= -kOriginLimit || y >= kOriginLimit) return false;
  context.Origin = {static_cast<int>(x), static_cast<int>(y)};
  return true;
}

}  // namespace

DeviceContext* DCFromHandle(HDC dc) {
  DcObject* object = ObjectFromHandle(dc);
  return object == nullptr ? nullptr : &object->Context;
}

Region DeviceContext::EffectiveClip() const {
  if (Surface == nullptr) return Region();
  Region clip(Surface->BoundsRect());
  if (VisRgn) clip.Intersect(*VisRgn);
  if (ClipRgn) clip.Intersect(*ClipRgn);
  return clip;
}

HDC CreateCompatibleDC(HDC) { return AddDc(nullptr); }

HDC CreateSurfaceDC(Dib* surface) { return AddDc(surface); }

bool DeleteDC(HDC dc) {
  std::unique_ptr<DcObject> object = Dcs().Take(dc);
  if (object == nullptr) return false;
  // The bitmap becomes free to be selected elsewhere or deleted.
  if (BitmapObject* bitmap = BitmapObjectFromHandle(object->Context.SelectedBitmap);
      bitmap != nullptr && bitmap->SelectedInto == dc)
    bitmap->SelectedInto = nullptr;
  return true;
}

int SaveDC(HDC dc) {
  DcObject* object = ObjectFromHandle(dc);
  if (object == nullptr) return 0;
  object->Saved.push_back(object->Context);
  return static_cast<int>(object->Saved.size());
}

bool RestoreDC(HDC dc, int savedDC) {
  DcObject* object = ObjectFromHandle(dc);
  if (object == nullptr) return false;
  const int depth = static_cast<int>(object->Saved.size());
  const int level = savedDC < 0 ? depth + 1 + savedDC : savedDC;
  if (level < 1 || level > depth) return false;
  DeviceContext restored = object->Saved[static_cast<std::size_t>(level - 1)];
  object->Saved.resize(static_cast<std::size_t>(level - 1));
  // The saved bitmap comes back only if it still exists and is free; the
  // surface pointer always follows the bitmap actually selected.
  DeviceContext& current = object->Context;
  HBITMAP keep = current.SelectedBitmap;
  Dib* keepSurface = current.Surface;
  if (restored.SelectedBitmap != keep && restored.SelectedBitmap != nullptr) {
    BitmapObject* wanted = BitmapObjectFromHandle(restored.SelectedBitmap);
    if (wanted != nullptr && (wanted->SelectedInto == nullptr || wanted->SelectedInto == dc)) {
      if (BitmapObject* old = BitmapObjectFromHandle(keep)) old->SelectedInto = nullptr;
      wanted->SelectedInto = dc;
      keep = restored.SelectedBitmap;
      keepSurface = &wanted->Pixels;
    }
  }
  current = std::move(restored);
  current.SelectedBitmap = keep;
  current.Surface = keepSurface;
  return true;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DcObject* dcObject = ObjectFromHandle(dc);
  if (dcObject == nullptr || object == nullptr) return nullptr;
  DeviceContext& context = dcObject->Context;
  if (IsBrushHandle(object)) {
    const BrushObject* brush = BrushObjectFromHandle(static_cast<HBRUSH>(object));
    if (brush == nullptr) return nullptr;
    HBRUSH old = context.SelectedBrush;
    context.SelectedBrush = static_cast<HBRUSH>(object);
    context.BrushColor = brush->Color;
    context.BrushStyle = brush->Style;
    return old;
  }
  if (IsPenHandle(object)) {
    const PenObject* pen = PenObjectFromHandle(static_cast<HPEN>(object));
    if (pen == nullptr) return nullptr;
    HPEN old = context.SelectedPen;
    context.SelectedPen = static_cast<HPEN>(object);
    context.PenColor = pen->Color;
    context.PenStyle = pen->Style;
    context.PenWidth = pen->Width;
    return old;
  }
  if (IsFontHandle(object)) {
    if (LogFontFromHandle(static_cast<HFONT>(object)) == nullptr) return nullptr;
    HFONT old = context.Font;
    context.Font = static_cast<HFONT>(object);
    return old;
  }
  if (IsBitmapHandle(object)) {
    auto* bitmap = static_cast<HBITMAP>(object);
    BitmapObject* target = BitmapObjectFromHandle(bitmap);
    if (target == nullptr) return nullptr;
    // Only memory DCs take bitmaps: a DC over a raw surface is not one.
    if (context.Surface != nullptr && context.SelectedBitmap == nullptr) return nullptr;
    if (target->SelectedInto != nullptr && target->SelectedInto != dc) return nullptr;
    HBITMAP old = context.SelectedBitmap;
    if (BitmapObject* previous = BitmapObjectFromHandle(old)) previous->SelectedInto = nullptr;
    target->SelectedInto = dc;
    context.SelectedBitmap = bitmap;
    context.Surface = &target->Pixels;
    return old;
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, int objectType) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return nullptr;
  switch (objectType) {
    case OBJ_PEN: return context->SelectedPen;
    case OBJ_BRUSH: return context->SelectedBrush;
    case OBJ_FONT: return context->Font;
    case OBJ_BITMAP: return context->SelectedBitmap;
    default: return nullptr;
  }
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return CLR_INVALID;
  const COLORREF old = context->TextColor;
  context->TextColor = color & 0xFFFFFF;
  return old;
}
COLORREF GetTextColor(HDC dc) {
  const DeviceContext* context = DCFromHandle(dc);
  return context == nullptr ? CLR_INVALID : context->TextColor;
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return CLR_INVALID;
  const COLORREF old = context->BkColor;
  context->BkColor = color & 0xFFFFFF;
  return old;
}
COLORREF GetBkColor(HDC dc) {
  const DeviceContext* context = DCFromHandle(dc);
  return context == nullptr ? CLR_INVALID : context->BkColor;
}
int SetBkMode(HDC dc, int mode) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  const int old = context->BkMode;
  context->BkMode = mode;
  return old;
}
int GetBkMode(HDC dc) {
  const DeviceContext* context = DCFromHandle(dc);
  return context == nullptr ? 0 : context->BkMode;
}
int SetROP2(HDC dc, int rop2) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  const int old = context->Rop2;
  context->Rop2 = rop2;
  return old;
}
int GetROP2(HDC dc) {
  const DeviceContext* context = DCFromHandle(dc);
  return context == nullptr ? 0 : context->Rop2;
}

bool GetWindowOrgEx(HDC dc, TPoint* org) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  if (org != nullptr) *org = context->DeviceOrigin - context->Origin;
  return true;
}
bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  const TPoint before = context->DeviceOrigin - context->Origin;
  if (!SetOrigin(*context, static_cast<long long>(context->DeviceOrigin.X) - x,
                 static_cast<long long>(context->DeviceOrigin.Y) - y))
    return false;
  if (old != nullptr) *old = before;
  return true;
}
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  const TPoint before = context->DeviceOrigin - context->Origin;
  if (!SetOrigin(*context, static_cast<long long>(context->Origin.X) - dx, static_cast<long long>(context->Origin.Y) - dy))
    return false;
  if (old != nullptr) *old = before;
  return true;
}
bool GetViewportOrgEx(HDC dc, TPoint* org) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  if (org != nullptr) *org = context->Origin - context->DeviceOrigin;
  return true;
}
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return false;
  const TPoint before = context->Origin - context->DeviceOrigin;
  if (!SetOrigin(*context, static_cast<long long>(context->DeviceOrigin.X) + x,
                 static_cast<long long>(context->DeviceOrigin.Y) + y))
    return false;
  if (old != nullptr) *old = before;
  return true;
}

int SelectClipRgn(HDC dc, HRGN rgn) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return RGN_ERROR;
  if (rgn == nullptr) {
    context->ClipRgn.reset();
  } else {
    const Region* region = RegionFromHandle(rgn);
    if (region == nullptr) return RGN_ERROR;
    Region copy = *region;
    try {
      copy.Offset(context->DeviceOrigin.X, context->DeviceOrigin.Y);
    } catch (const EInvalidOperation&) {
      return RGN_ERROR;  // a region at the edge of the coordinate range
    }
    context->ClipRgn = std::move(copy);
  }
  return RegionClass(context->EffectiveClip());
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return RGN_ERROR;
  Region clip = CurrentClip(*context);
  clip.Intersect(LogicalToSurface(*context, left, top, right, bottom));
  context->ClipRgn = std::move(clip);
  return RegionClass(context->EffectiveClip());
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return RGN_ERROR;
  Region clip = CurrentClip(*context);
  clip.Subtract(Region(LogicalToSurface(*context, left, top, right, bottom)));
  context->ClipRgn = std::move(clip);
  return RegionClass(context->EffectiveClip());
}

int GetClipBox(HDC dc, TRect* rect) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || rect == nullptr) return RGN_ERROR;
  const Region clip = context->EffectiveClip();
  *rect = clip.IsEmpty() ? TRect{} : clip.Bounds().Offset(-context->Origin.X, -context->Origin.Y);
  return RegionClass(clip);
}

int GetClipRgn(HDC dc, HRGN rgn) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || RegionFromHandle(rgn) == nullptr) return -1;
  if (!context->ClipRgn) return 0;
  Region copy = *context->ClipRgn;
  copy.Offset(-context->DeviceOrigin.X, -context->DeviceOrigin.Y);
  *WritableRegionFromHandle(rgn) = std::move(copy);
  return 1;
}

}  // namespace bellcut
