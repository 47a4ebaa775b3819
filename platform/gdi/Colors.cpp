#include "platform/gdi/Types.h"

#include <array>

namespace bellcut {
namespace {

// The classic Windows scheme ("Windows Standard" of Windows 2000): a grey
// 3-D face (212, 208, 200), white windows, navy highlight. The program runs
// with no settings, so one fixed scheme keeps every run's pixels the same.
constexpr std::array<COLORREF, COLOR_ENDCOLORS + 1> kClassicScheme = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25, unused
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

}  // namespace

COLORREF GetSysColor(int index) {
  if (index < 0 || index > COLOR_ENDCOLORS) return 0;
  return kClassicScheme[static_cast<std::size_t>(index)];
}

COLORREF ColorToRGB(TColor color) {
  if (color == clNone) return 0;
  if (color == clDefault) return GetSysColor(COLOR_WINDOW);
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

}  // namespace bellcut
