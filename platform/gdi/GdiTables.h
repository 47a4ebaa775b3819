// The objects behind bitmap, brush and pen handles, for the drawing code of
// this layer. Callers outside the layer use the handle calls of Gdi.h.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Dib.h"

namespace bellcut {

struct BitmapObject {
  Dib Pixels;
  HDC SelectedInto = nullptr;  // the memory DC drawing on it, if any
};

struct BrushObject {
  COLORREF Color = 0;
  int Style = BS_SOLID;
  bool Stock = false;
};

struct PenObject {
  int Style = PS_SOLID;
  int Width = 1;
  COLORREF Color = 0;
  bool Stock = false;
};

[[nodiscard]] BitmapObject* BitmapObjectFromHandle(HBITMAP bitmap);
[[nodiscard]] const BrushObject* BrushObjectFromHandle(HBRUSH brush);
[[nodiscard]] const PenObject* PenObjectFromHandle(HPEN pen);

// Which table a handle value belongs to (the kind is in its low bits).
[[nodiscard]] bool IsBitmapHandle(const void* handle);
[[nodiscard]] bool IsBrushHandle(const void* handle);
[[nodiscard]] bool IsPenHandle(const void* handle);
[[nodiscard]] bool IsFontHandle(const void* handle);

}  // namespace bellcut
