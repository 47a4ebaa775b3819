// Device contexts: where drawing goes. A DC draws onto a Dib (a bitmap
// selected into a memory DC, or a window's surface handed out by the window
// system) with an origin, clipping, colours and selected objects, as the
// platform's GDI does. The drawing calls themselves (BitBlt, FillRect,
// lines, ...) are declared in Gdi.h; text calls in graphics/Text.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Types.h"

namespace bellcut {

struct HDC__;
using HDC = HDC__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HPEN__;
using HPEN = HPEN__*;
using HGDIOBJ = void*;

enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

// Brush styles and pen styles the canvas uses.
enum BrushStyle : int { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL };
enum PenStyle : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };

// Binary raster operations (SetROP2) for pens.
enum Rop2 : int {
  R2_BLACK = 1, R2_NOTMERGEPEN, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPENNOT, R2_NOT, R2_XORPEN,
  R2_NOTMASKPEN, R2_MASKPEN, R2_NOTXORPEN, R2_NOP, R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPENNOT,
  R2_MERGEPEN, R2_WHITE
};

// A logical font: what TFont asks for and what the text renderer matches.
struct LogFont {
  int Height = 0;           // < 0: character height in pixels; > 0: cell height; 0: default
  int Width = 0;
  int Escapement = 0;
  int Weight = 400;         // 400 normal, 700 bold
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  std::uint8_t CharSet = 1; // DEFAULT_CHARSET
  std::uint8_t Quality = 0;
  std::string FaceName;     // in the active code page
  bool operator==(const LogFont&) const = default;
};

constexpr std::uint8_t ANSI_CHARSET = 0;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t SHIFTJIS_CHARSET = 128;

struct DeviceContext {
  Dib* Surface = nullptr;     // the pixels; null draws nothing
  HBITMAP SelectedBitmap = nullptr;  // memory DCs: the bitmap whose Dib is Surface
  TPoint Origin{};            // surface position of logical (0, 0)
  // Surface position of device (0, 0): where the window system put the
  // DC's window. Clip regions handed to SelectClipRgn are relative to it,
  // and the window/viewport origins move Origin relative to it.
  TPoint DeviceOrigin{};
  // The window system's visible region and the application's clip region,
  // both in surface coordinates; absent means no restriction. Drawing is
  // clipped to both and to the surface.
  std::optional<Region> VisRgn;
  std::optional<Region> ClipRgn;

  COLORREF TextColor = 0;
  COLORREF BkColor = RGB(255, 255, 255);
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  TPoint PenPos{};            // logical coordinates

  COLORREF BrushColor = RGB(255, 255, 255);
  int BrushStyle = BS_SOLID;
  COLORREF PenColor = 0;
  int PenStyle = PS_SOLID;
  int PenWidth = 1;
  HFONT Font = nullptr;
  // The selected objects; the colours and styles above are copies of theirs
  // taken when they were selected.
  HBRUSH SelectedBrush = nullptr;
  HPEN SelectedPen = nullptr;

  // The region drawing may touch, in surface coordinates.
  [[nodiscard]] Region EffectiveClip() const;
  [[nodiscard]] TPoint ToSurface(TPoint p) const { return p + Origin; }
};

// The DC behind a handle (null for an unknown one).
[[nodiscard]] DeviceContext* DCFromHandle(HDC dc);

}  // namespace bellcut
