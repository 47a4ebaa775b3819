// Geometry and colour types shared by every layer above base.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace bellcut {

struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TPoint&) const = default;
  constexpr TPoint operator+(TPoint o) const { return {X + o.X, Y + o.Y}; }
  constexpr TPoint operator-(TPoint o) const { return {X - o.X, Y - o.Y}; }
};

// End-exclusive: the pixel (x, y) belongs when Left <= x < Right and Top <= y < Bottom.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  [[nodiscard]] constexpr int Width() const { return Right - Left; }
  [[nodiscard]] constexpr int Height() const { return Bottom - Top; }
  [[nodiscard]] constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  [[nodiscard]] constexpr bool Contains(int x, int y) const {
    return x >= Left && x < Right && y >= Top && y < Bottom;
  }
  [[nodiscard]] constexpr TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  [[nodiscard]] constexpr TRect Intersect(const TRect& o) const {
    TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
  }
  constexpr bool operator==(const TRect&) const = default;
};
using RECT = TRect;
using POINT = TPoint;

[[nodiscard]] constexpr TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
// The far edges saturate at the ends of the int range instead of wrapping
// round, so a placement near the edge of the range stays a sane rectangle.
[[nodiscard]] constexpr TRect Bounds(int l, int t, int w, int h) {
  const auto edge = [](long long start, long long size) {
    return static_cast<int>(std::clamp<long long>(start + size, INT_MIN, INT_MAX));
  };
  return {l, t, edge(l, w), edge(t, h)};
}
[[nodiscard]] constexpr TPoint Point(int x, int y) { return {x, y}; }
[[nodiscard]] constexpr bool IsRectEmpty(const TRect& r) { return r.IsEmpty(); }
inline bool OffsetRect(TRect& r, int dx, int dy) { r = r.Offset(dx, dy); return true; }

// A colour as the component library writes it: red in the low byte, then
// green, then blue; with the top bit set, a system colour named by the low
// byte; clNone and clDefault are markers, not colours.
using TColor = std::int32_t;
// A plain RGB value in the same byte order, the form GDI calls take.
using COLORREF = std::uint32_t;

[[nodiscard]] constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
[[nodiscard]] constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
[[nodiscard]] constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
[[nodiscard]] constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colour indexes (COLOR_*) and their TColor names.
enum SysColorIndex : int {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
  COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
  COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30, COLOR_ENDCOLORS = COLOR_MENUBAR
};

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);

// The current RGB value of a system colour (the classic scheme, see Colors.cpp).
[[nodiscard]] COLORREF GetSysColor(int index);
// Resolves a system colour to its RGB value; other colours pass with their top
// byte cleared. clNone resolves to black and clDefault to the window colour.
[[nodiscard]] COLORREF ColorToRGB(TColor color);

}  // namespace bellcut
