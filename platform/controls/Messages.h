// The component library's message vocabulary: the message record every
// control handles (TMessage) and the component messages (CM_*) that
// controls send each other, numbered as the platform numbers them so that
// code written for it (CM_MOUSEENTER = $B013, ...) reads the same here.
#pragma once

#include "platform/windowing/WinTypes.h"

namespace bellcut {

// A message as a control's WndProc/Dispatch sees it. Result is what the
// sender gets back (SendMessage, Perform).
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Component messages. They never reach the window system's default window
// procedure: a control that does not handle one leaves Result at 0.
enum : UINT {
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE = CM_BASE + 1,
  CM_GOTFOCUS = CM_BASE + 2,
  CM_LOSTFOCUS = CM_BASE + 3,
  CM_CANCELMODE = CM_BASE + 4,
  CM_DIALOGKEY = CM_BASE + 5,
  CM_DIALOGCHAR = CM_BASE + 6,
  CM_FOCUSCHANGED = CM_BASE + 7,
  CM_PARENTFONTCHANGED = CM_BASE + 8,
  CM_PARENTCOLORCHANGED = CM_BASE + 9,
  CM_HITTEST = CM_BASE + 10,
  CM_VISIBLECHANGED = CM_BASE + 11,
  CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_COLORCHANGED = CM_BASE + 13,
  CM_FONTCHANGED = CM_BASE + 14,
  CM_CURSORCHANGED = CM_BASE + 15,
  CM_CTL3DCHANGED = CM_BASE + 16,
  CM_PARENTCTL3DCHANGED = CM_BASE + 17,
  CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19,
  CM_MOUSELEAVE = CM_BASE + 20,
  CM_MENUCHANGED = CM_BASE + 21,
  CM_APPKEYDOWN = CM_BASE + 22,
  CM_APPSYSCOMMAND = CM_BASE + 23,
  CM_BUTTONPRESSED = CM_BASE + 24,
  CM_SHOWINGCHANGED = CM_BASE + 25,
  CM_ENTER = CM_BASE + 26,
  CM_EXIT = CM_BASE + 27,
  CM_DESIGNHITTEST = CM_BASE + 28,
  CM_ICONCHANGED = CM_BASE + 29,
  CM_WANTSPECIALKEY = CM_BASE + 30,
  CM_INVOKEHELP = CM_BASE + 31,
  CM_WINDOWHOOK = CM_BASE + 32,
  CM_RELEASE = CM_BASE + 33,
  CM_SHOWHINTCHANGED = CM_BASE + 34,
  CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
  CM_SYSCOLORCHANGE = CM_BASE + 36,
  CM_WININICHANGE = CM_BASE + 37,
  CM_FONTCHANGE = CM_BASE + 38,
  CM_TIMECHANGE = CM_BASE + 39,
  CM_TABSTOPCHANGED = CM_BASE + 40,
  CM_UIACTIVATE = CM_BASE + 41,
  CM_UIDEACTIVATE = CM_BASE + 42,
  CM_DOCWINDOWACTIVATE = CM_BASE + 43,
  CM_CONTROLLISTCHANGE = CM_BASE + 44,
  CM_GETDATALINK = CM_BASE + 45,
  CM_CHILDKEY = CM_BASE + 46,
  CM_DRAG = CM_BASE + 47,
  CM_HINTSHOW = CM_BASE + 48,
  CM_DIALOGHANDLE = CM_BASE + 49,
  CM_ISTOOLCONTROL = CM_BASE + 50,
  CM_RECREATEWND = CM_BASE + 51,
  CM_INVALIDATE = CM_BASE + 52,
  CM_SYSFONTCHANGED = CM_BASE + 53,
  CM_CONTROLCHANGE = CM_BASE + 54,
};

static_assert(CM_DIALOGCHAR == 0xB006 && CM_ENABLEDCHANGED == 0xB00C && CM_COLORCHANGED == 0xB00D &&
              CM_FONTCHANGED == 0xB00E && CM_TEXTCHANGED == 0xB012 && CM_MOUSEENTER == 0xB013 &&
              CM_MOUSELEAVE == 0xB014 && CM_BUTTONPRESSED == 0xB018 && CM_SHOWINGCHANGED == 0xB019 &&
              CM_SYSCOLORCHANGE == 0xB024 && CM_CONTROLCHANGE == 0xB036);

// Character messages carry the character code in WParam (CM_DIALOGCHAR,
// WM_CHAR); this reads it the way handlers name it.
[[nodiscard]] constexpr unsigned CharCode(const TMessage& m) { return static_cast<unsigned>(m.WParam & 0xFFFF); }

}  // namespace bellcut
