#include "platform/gdi/GdiTables.h"

#include <memory>

#include "platform/base/NeverDestroyed.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Handles.h"

#include "platform/gdi/GdiObjects.h"

namespace bellcut {
namespace {

using BitmapTable = HandleTable<HBITMAP, BitmapObject, HandleKind::Bitmap>;
using BrushTable = HandleTable<HBRUSH, BrushObject, HandleKind::Brush>;
using PenTable = HandleTable<HPEN, PenObject, HandleKind::Pen>;

// Never destroyed (see NeverDestroyed.h): forms destroyed at exit still
// release their bitmaps, brushes and pens.
BitmapTable& Bitmaps() {
  static NeverDestroyed<BitmapTable> table;
  return *table;
}
BrushTable& Brushes() {
  static NeverDestroyed<BrushTable> table;
  return *table;
}
PenTable& Pens() {
  static NeverDestroyed<PenTable> table;
  return *table;
}

bool IsKindValue(const void* handle, HandleKind kind) {
  return handle != nullptr &&
         (reinterpret_cast<std::uintptr_t>(handle) & 0xF) == static_cast<std::uintptr_t>(kind);
}

// DeleteObject lives with the region code; each kind hands it a deleter. Done
// on first creation rather than by a static initialiser, so neither the
// initialisation order nor the linker dropping an unreferenced object file
// can lose it.
void EnsureRegistered() {
  static const bool registered = [] {
    RegisterGdiObjectKind(HandleKind::Bitmap, [](HGDIOBJ h) { return DeleteBitmap(static_cast<HBITMAP>(h)); });
    RegisterGdiObjectKind(HandleKind::Brush, [](HGDIOBJ h) { return DeleteBrush(static_cast<HBRUSH>(h)); });
    RegisterGdiObjectKind(HandleKind::Pen, [](HGDIOBJ h) { return DeletePen(static_cast<HPEN>(h)); });
    return true;
  }();
  (void)registered;
}

// Stock objects live for the whole process and are never released, so they
// are taken out of the live counts that leak checks read.
template <class Table, class Object>
auto AddStock(Table& table, Object object, HandleKind kind) {
  auto handle = table.Add(std::make_unique<Object>(object));
  AdjustLiveHandleCount(kind, -1);
  return handle;
}

}  // namespace

BitmapObject* BitmapObjectFromHandle(HBITMAP bitmap) { return Bitmaps().Get(bitmap); }
const BrushObject* BrushObjectFromHandle(HBRUSH brush) { return Brushes().Get(brush); }
const PenObject* PenObjectFromHandle(HPEN pen) { return Pens().Get(pen); }

bool IsBitmapHandle(const void* handle) { return IsKindValue(handle, HandleKind::Bitmap); }
bool IsBrushHandle(const void* handle) { return IsKindValue(handle, HandleKind::Brush); }
bool IsPenHandle(const void* handle) { return IsKindValue(handle, HandleKind::Pen); }
bool IsFontHandle(const void* handle) { return IsKindValue(handle, HandleKind::Font); }

HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitCount, const void* data) {
  if (planes != 1 || width < 0 || height < 0) return nullptr;
  const int bits = static_cast<int>(bitCount);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return nullptr;
  Dib dib(width, height, bits);
  if (bits == 1) dib.Palette() = {RgbQuad{0, 0, 0, 0}, RgbQuad{255, 255, 255, 0}};
  else if (bits == 4) dib.Palette() = StandardPalette16();
  else if (bits == 8) dib.Palette() = StandardPalette256();
  if (data != nullptr) {
    // Device-dependent bitmap data has rows padded to 2 bytes, not 4.
    const std::size_t srcRow = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 15) / 16) * 2;
    const std::size_t copy = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 7) / 8;
    const auto* src = static_cast<const std::uint8_t*>(data);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* from = src + srcRow * static_cast<std::size_t>(y);
      std::uint8_t* to = dib.ScanLine(y);
      for (std::size_t i = 0; i < copy; ++i) to[i] = from[i];
    }
  }
  return CreateBitmapFromDib(std::move(dib));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  if (dc == nullptr) return CreateBitmap(width, height, 1, 32, nullptr);  // the display
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return nullptr;
  // A memory DC without a bitmap of its own holds the platform's 1x1
  // monochrome stand-in, so a bitmap compatible with it is monochrome.
  const bool mono = context->Surface == nullptr || (context->SelectedBitmap != nullptr && context->Surface->BitCount() == 1);
  return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

HBITMAP CreateBitmapFromDib(Dib dib) {
  EnsureRegistered();
  auto object = std::make_unique<BitmapObject>();
  object->Pixels = std::move(dib);
  return Bitmaps().Add(std::move(object));
}

Dib* DibFromBitmap(HBITMAP bitmap) {
  BitmapObject* object = Bitmaps().Get(bitmap);
  return object == nullptr ? nullptr : &object->Pixels;
}

bool DeleteBitmap(HBITMAP bitmap) {
  const BitmapObject* object = Bitmaps().Get(bitmap);
  // A bitmap still selected into a DC is the DC's surface: releasing it would
  // leave the DC drawing into freed memory.
  if (object == nullptr || object->SelectedInto != nullptr) return false;
  Bitmaps().Take(bitmap);
  return true;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  EnsureRegistered();
  return Brushes().Add(std::make_unique<BrushObject>(BrushObject{color & 0xFFFFFF, BS_SOLID, false}));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > PS_NULL) return nullptr;
  EnsureRegistered();
  return Pens().Add(std::make_unique<PenObject>(PenObject{style, width < 1 ? 1 : width, color & 0xFFFFFF, false}));
}

// Brushes and pens selected into a DC may be released: the DC holds copies of
// their colours and styles, so nothing dangles.
bool DeleteBrush(HBRUSH brush) {
  const BrushObject* object = Brushes().Get(brush);
  if (object == nullptr || object->Stock) return false;
  Brushes().Take(brush);
  return true;
}

bool DeletePen(HPEN pen) {
  const PenObject* object = Pens().Get(pen);
  if (object == nullptr || object->Stock) return false;
  Pens().Take(pen);
  return true;
}

HGDIOBJ GetStockObject(int index) {
  static const HBRUSH white = AddStock(Brushes(), BrushObject{RGB(255, 255, 255), BS_SOLID, true}, HandleKind::Brush);
  static const HBRUSH ltgray = AddStock(Brushes(), BrushObject{RGB(192, 192, 192), BS_SOLID, true}, HandleKind::Brush);
  static const HBRUSH gray = AddStock(Brushes(), BrushObject{RGB(128, 128, 128), BS_SOLID, true}, HandleKind::Brush);
  static const HBRUSH dkgray = AddStock(Brushes(), BrushObject{RGB(64, 64, 64), BS_SOLID, true}, HandleKind::Brush);
  static const HBRUSH black = AddStock(Brushes(), BrushObject{0, BS_SOLID, true}, HandleKind::Brush);
  static const HBRUSH null = AddStock(Brushes(), BrushObject{0, BS_NULL, true}, HandleKind::Brush);
  static const HPEN whitePen = AddStock(Pens(), PenObject{PS_SOLID, 1, RGB(255, 255, 255), true}, HandleKind::Pen);
  static const HPEN blackPen = AddStock(Pens(), PenObject{PS_SOLID, 1, 0, true}, HandleKind::Pen);
  static const HPEN nullPen = AddStock(Pens(), PenObject{PS_NULL, 1, 0, true}, HandleKind::Pen);
  switch (index) {
    case WHITE_BRUSH: return white;
    case LTGRAY_BRUSH: return ltgray;
    case GRAY_BRUSH: return gray;
    case DKGRAY_BRUSH: return dkgray;
    case BLACK_BRUSH: return black;
    case NULL_BRUSH: return null;
    case WHITE_PEN: return whitePen;
    case BLACK_PEN: return blackPen;
    case NULL_PEN: return nullPen;
    default: return nullptr;
  }
}

bool GetBrushColor(HBRUSH brush, COLORREF* color, int* style) {
  const BrushObject* object = Brushes().Get(brush);
  if (object == nullptr) return false;
  if (color != nullptr) *color = object->Color;
  if (style != nullptr) *style = object->Style;
  return true;
}

}  // namespace bellcut
