// Text output and measurement: the platform's DrawTextA, TextOutA,
// GetTextExtentPoint32A and GetTextMetricsA, drawing with the font selected
// into a device context (the default GUI font when none is).
//
// Text arrives in the active code page (see CodePage.h). Glyphs are
// anti-aliased: each pixel's coverage blends the text colour with what is
// underneath (or with the background colour in OPAQUE mode), and the result
// goes through the surface, so an indexed surface receives the nearest entry
// of its own palette and never a colour outside it.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Types.h"

namespace bellcut {

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr bool operator==(const TSize&) const = default;
};
using SIZE = TSize;

struct TEXTMETRICA {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = 400;
  int tmOverhang = 0;
  int tmDigitizedAspectX = 96;
  int tmDigitizedAspectY = 96;
  char tmFirstChar = 0x20;
  char tmLastChar = static_cast<char>(0xFF);
  char tmDefaultChar = '?';
  char tmBreakChar = ' ';
  std::uint8_t tmItalic = 0;
  std::uint8_t tmUnderlined = 0;
  std::uint8_t tmStruckOut = 0;
  std::uint8_t tmPitchAndFamily = 0;
  std::uint8_t tmCharSet = 1;
};
using TEXTMETRIC = TEXTMETRICA;

// DrawTextA formats.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;

// Draws text formatted in rect and returns its height (with DT_VCENTER or
// DT_BOTTOM: from rect's top to the bottom of the text); 0 on failure.
// count -1 (any negative) means NUL-terminated. Lines break at CR, LF and
// CR LF unless DT_SINGLELINE, and with DT_WORDBREAK also where a line would
// pass rect's right edge (after spaces and between Japanese characters).
// "&" underlines the next character and is not shown, "&&" shows one "&",
// unless DT_NOPREFIX. DT_VCENTER and DT_BOTTOM act only with DT_SINGLELINE.
// DT_CALCRECT draws nothing and sets rect's right and bottom to the extent
// (the widest line and the height of all lines). Drawing is clipped to rect
// unless DT_NOCLIP, and always to the DC's clipping and its surface.
int DrawTextA(HDC dc, const char* text, int count, TRect* rect, unsigned format);
// Draws a line of text with its cell's top-left corner at (x, y); in OPAQUE
// mode the cell is filled with the background colour first. No prefix or
// line-break processing. FALSE for an unknown DC or a negative count.
bool TextOutA(HDC dc, int x, int y, const char* text, int count);
// The width of the text (advances) and the font's cell height.
bool GetTextExtentPoint32A(HDC dc, const char* text, int count, TSize* size);
bool GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);

// The same operations on a device context object (the handle calls above
// look the DC up and forward here).
int DrawTextOn(DeviceContext& dc, std::string_view text, TRect& rect, unsigned format);
void TextOutOn(DeviceContext& dc, int x, int y, std::string_view text);
[[nodiscard]] TSize TextExtentOn(const DeviceContext& dc, std::string_view text);
[[nodiscard]] TEXTMETRICA TextMetricsOn(const DeviceContext& dc);

}  // namespace bellcut
