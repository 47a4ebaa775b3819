// The window system's default handling of messages: what a window gets when
// its procedure passes a message on.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiGuards.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/windowing/WindowSystem.h"

namespace bellcut {

using windowing::WS;
using windowing::Window;
using windowing::WindowSystem;

namespace {

int HitTest(Window* w, TPoint screen) {
  const Window* top = WindowSystem::TopOf(w);
  const TPoint p = screen - TPoint{top->Rect.Left, top->Rect.Top} - WindowSystem::WindowOriginInTop(w);
  if (!TRect{0, 0, w->Rect.Width(), w->Rect.Height()}.Contains(p.X, p.Y)) return HTNOWHERE;
  if (w->WindowRgn && !w->WindowRgn->Contains(p.X, p.Y)) return HTNOWHERE;
  if (WindowSystem::ClientRectInWindow(w).Contains(p.X, p.Y)) return HTCLIENT;
  const TRect in = WindowSystem::Insets(w->Style, w->ExStyle);
  if ((w->Style & WS_CAPTION) == WS_CAPTION) {
    if ((w->Style & WS_SYSMENU) != 0 && WindowSystem::CloseButtonRect(w).Contains(p.X, p.Y)) return HTCLOSE;
    if (p.Y >= in.Left && p.Y < in.Top && p.X >= in.Left && p.X < w->Rect.Width() - in.Right) return HTCAPTION;
  }
  return HTBORDER;
}

// The screen point a move starts from. lParam carries it in 16 bits a
// side; the message just retrieved has it whole, and is used when it is
// the same point.
TPoint GrabPoint(LPARAM lParam) {
  const TPoint packed{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const TPoint last = WS().LastMessagePos;
  if (static_cast<std::int16_t>(last.X) == packed.X && static_cast<std::int16_t>(last.Y) == packed.Y) return last;
  return packed;
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(hwnd, WM_CLOSE, 0, 0);
      if ((wParam & 0xFFF0) == SC_MOVE) WS().MoveLoop(w, GrabPoint(lParam));
      return 0;
    case WM_NCHITTEST:
      return HitTest(w, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
      WS().DrawFrame(w);
      return 0;
    case WM_ERASEBKGND: {
      if (!w->Background) return 0;
      TRect client;
      GetClientRect(hwnd, &client);
      const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(*w->Background));
      FillRect(reinterpret_cast<HDC>(wParam), client, brush.get());
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      w->ClosePressed = wParam == static_cast<WPARAM>(HTCLOSE);
      // A press on the caption bar drags the window until the release.
      if (wParam == static_cast<WPARAM>(HTCAPTION)) SendMessage(hwnd, WM_SYSCOMMAND, WPARAM{SC_MOVE} | WPARAM{HTCAPTION}, lParam);
      return 0;
    case WM_NCLBUTTONUP: {
      // The close button acts on a release over it after a press on it.
      const bool close = w->ClosePressed && wParam == static_cast<WPARAM>(HTCLOSE);
      w->ClosePressed = false;
      if (close) SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (wp == nullptr) return 0;
      if ((wp->flags & SWP_NOMOVE) == 0) {
        TPoint origin = WindowSystem::ClientOriginOnScreen(w);
        if (w->Parent != nullptr) origin = origin - WindowSystem::ClientOriginOnScreen(w->Parent);
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(origin.X, origin.Y));
      }
      if (Window* again = WS().Find(hwnd); again != nullptr && (wp->flags & SWP_NOSIZE) == 0) {
        const TRect c = WindowSystem::ClientRectInWindow(again);
        SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(c.Width(), c.Height()));
      }
      return 0;
    }
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      w->Text = text != nullptr ? text : "";
      w->FrameNeeded = true;
      return TRUE;
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->Text.size());
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(w->Text.size(), wParam - 1);
      std::memcpy(buffer, w->Text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    default:
      return 0;
  }
}

}  // namespace bellcut
