// Pointer and keyboard input. Injected events wait in an input queue, as a
// device's do; each is turned into a message only when the loop retrieves it,
// so the target, the capture, the key state and double clicks are those of
// that moment (a press handled before a move has set the capture the move
// then obeys).
#include <algorithm>
#include <cstdlib>

#include "platform/windowing/WindowSystem.h"

namespace bellcut {
namespace windowing {
namespace {

bool HwndMatches(HWND filter, HWND hwnd) {
  if (filter == nullptr) return true;
  if (filter == HWND_THREAD_ONLY) return false;
  return hwnd == filter;
}

int VkOfButton(int button) { return button == 0 ? VK_LBUTTON : button == 1 ? VK_RBUTTON : VK_MBUTTON; }

void SetKey(std::uint8_t* state, int vk, bool down) {
  std::uint8_t& s = state[vk & 0xFF];
  if (down && (s & 0x80) == 0) s ^= 1;  // each press toggles
  s = static_cast<std::uint8_t>(down ? (s | 0x80) : (s & ~0x80));
}

WPARAM MouseKeys(const std::uint8_t* state) {
  WPARAM keys = 0;
  if ((state[VK_LBUTTON] & 0x80) != 0) keys |= MK_LBUTTON;
  if ((state[VK_RBUTTON] & 0x80) != 0) keys |= MK_RBUTTON;
  if ((state[VK_MBUTTON] & 0x80) != 0) keys |= MK_MBUTTON;
  if ((state[VK_SHIFT] & 0x80) != 0) keys |= MK_SHIFT;
  if ((state[VK_CONTROL] & 0x80) != 0) keys |= MK_CONTROL;
  return keys;
}

TPoint TopOrigin(const Window* w) {
  const Window* top = WindowSystem::TopOf(const_cast<Window*>(w));
  return {top->Rect.Left, top->Rect.Top};
}

}  // namespace

namespace {

bool PassedOver(const std::vector<HWND>& passOver, const Window* w) {
  return std::find(passOver.begin(), passOver.end(), w->Handle) != passOver.end();
}

}  // namespace

Window* WindowSystem::HitTopLevel(TPoint screen, const std::vector<HWND>& passOver) const {
  screen = ClampPoint(screen);
  for (auto it = root_.Children.rbegin(); it != root_.Children.rend(); ++it) {
    const Window* top = *it;
    if ((top->Style & WS_VISIBLE) == 0 || PassedOver(passOver, top)) continue;
    if (ShapeInTop(top).Contains(screen.X - top->Rect.Left, screen.Y - top->Rect.Top)) return *it;
  }
  return nullptr;
}

Window* WindowSystem::DeepestAt(Window* w, TPoint screen, bool skipDisabled, const std::vector<HWND>& passOver) const {
  const TPoint p = ClampPoint(screen) - TopOrigin(w);
  for (;;) {
    const TPoint o = WindowOriginInTop(w);
    if (!ClientRectInWindow(w).Offset(o.X, o.Y).Contains(p.X, p.Y)) return w;
    Window* next = nullptr;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it) {
      Window* c = *it;
      if ((c->Style & WS_VISIBLE) == 0 || (skipDisabled && (c->Style & WS_DISABLED) != 0)) continue;
      if (PassedOver(passOver, c)) continue;
      if (ShapeInTop(c).Contains(p.X, p.Y)) {
        next = c;
        break;
      }
    }
    if (next == nullptr) return w;
    w = next;
  }
}

bool WindowSystem::TakeInput(MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
  while (!Input.empty()) {
    const InputEvent ev = Input.front();
    MSG m{nullptr, 0, 0, 0, static_cast<DWORD>(ev.Time), ev.Pos};
    std::uint8_t keys[256];
    std::copy(std::begin(KeyState), std::end(KeyState), keys);
    bool clickIsDouble = false;
    bool isDown = false;

    if (ev.Kind == InputKind::Move || ev.Kind == InputKind::ButtonDown || ev.Kind == InputKind::ButtonUp) {
      isDown = ev.Kind == InputKind::ButtonDown;
      if (ev.Kind != InputKind::Move) SetKey(keys, VkOfButton(ev.Button), isDown);
      Window* target = Find(CaptureHwnd);
      int hit = HTCLIENT;
      if (target == nullptr) {
        // A window answering HTTRANSPARENT hands the pointer to whatever lies
        // below it there: a sibling under it, its parent, or the next
        // top-level window. Each window is asked at most once.
        std::vector<HWND> transparent;
        for (;;) {
          Window* top = HitTopLevel(ev.Pos, transparent);
          target = top != nullptr ? DeepestAt(top, ev.Pos, true, transparent) : nullptr;
          // Disabled windows get no pointer input.
          if (target != nullptr && !Enabled(target)) target = nullptr;
          if (target == nullptr) break;
          const HWND h = target->Handle;
          hit = static_cast<int>(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(ev.Pos.X, ev.Pos.Y)));
          target = Find(h);
          if (hit == HTTRANSPARENT) {
            transparent.push_back(h);
            continue;
          }
          if (hit == HTNOWHERE || hit == HTERROR) target = nullptr;
          break;
        }
      }
      if (target != nullptr) {
        m.hwnd = target->Handle;
        const UINT offset = ev.Kind == InputKind::Move ? 0u : static_cast<UINT>(3 * ev.Button + (isDown ? 1 : 2));
        if (hit == HTCLIENT) {
          const TPoint c = ev.Pos - ClientOriginOnScreen(target);
          m.message = WM_MOUSEMOVE + offset;
          m.wParam = MouseKeys(keys);
          m.lParam = MAKELPARAM(c.X, c.Y);
        } else {
          m.message = WM_NCMOUSEMOVE + offset;
          m.wParam = static_cast<WPARAM>(hit);
          m.lParam = MAKELPARAM(ev.Pos.X, ev.Pos.Y);
        }
        if (isDown && (target->ClassStyle & CS_DBLCLKS) != 0 && Last.Valid && Last.Button == ev.Button &&
            Last.Hwnd == target->Handle && ev.Time - Last.Time <= kDoubleClickTime &&
            std::abs(ev.Pos.X - Last.Pos.X) <= kDoubleClickWidth / 2 &&
            std::abs(ev.Pos.Y - Last.Pos.Y) <= kDoubleClickWidth / 2) {
          clickIsDouble = true;
          m.message += 2;  // ...BUTTONDOWN -> ...BUTTONDBLCLK
        }
      }
    } else {
      const bool down = ev.Kind == InputKind::KeyDown;
      if (ev.Kind != InputKind::Char) SetKey(keys, ev.Key, down);
      Window* target = Find(FocusHwnd);
      if (target != nullptr) {
        m.hwnd = target->Handle;
        const bool alt = (keys[VK_MENU] & 0x80) != 0 || ev.Key == VK_MENU;
        if (ev.Kind == InputKind::Char) {
          m.message = WM_CHAR;
          m.lParam = 1;
        } else {
          m.message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
          m.lParam = down ? 1 : static_cast<LPARAM>(0xC0000001u);
        }
        m.wParam = static_cast<WPARAM>(ev.Key);
      }
    }

    const bool dropped = m.hwnd == nullptr;
    if (!dropped && !(HwndMatches(filter, m.hwnd) && InFilter(m.message, min, max))) return false;
    if (dropped || remove) {
      Input.pop_front();
      std::copy(std::begin(keys), std::end(keys), std::begin(KeyState));
      if (isDown) {
        if (clickIsDouble || dropped) {
          Last = {};
        } else {
          Last = LastClick{true, ev.Button, m.hwnd, ev.Time, ev.Pos};
        }
      }
    }
    if (dropped) continue;
    *msg = m;
    return true;
  }
  return false;
}

void WindowSystem::MoveLoop(Window* w, TPoint grab) {
  const HWND hwnd = w->Handle;
  const TRect start = w->Rect;
  const auto moveTo = [&](TPoint pointer) {
    // Saturating: the window system clamps the position anyway.
    const auto offset = [](int from, int by) {
      return static_cast<int>(std::clamp<long long>(static_cast<long long>(from) + by, -kMaxWindowCoord,
                                                    kMaxWindowCoord));
    };
    const TPoint p = ClampPoint(pointer);
    SetWindowPos(hwnd, nullptr, offset(start.Left, p.X - grab.X), offset(start.Top, p.Y - grab.Y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  SetCapture(hwnd);
  for (;;) {
    if (Find(hwnd) == nullptr || GetCapture() != hwnd) break;  // destroyed, or the capture taken away
    MSG m;
    if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      // A desktop without input of its own has had all its input queued
      // already: when that is used up, the move ends where it got to.
      if (!Backend().HasOutsideInput() || !WaitMessage()) break;
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // for the loop that waits for it
      break;
    }
    if (m.message == WM_MOUSEMOVE) {
      moveTo(m.pt);
    } else if (m.message == WM_LBUTTONUP) {
      moveTo(m.pt);
      break;
    } else if (m.message == WM_KEYDOWN && m.wParam == static_cast<WPARAM>(VK_ESCAPE)) {
      SetWindowPos(hwnd, nullptr, start.Left, start.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    } else if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
               (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST)) {
      // Other pointer and keyboard input belongs to the move and goes nowhere.
    } else {
      DispatchMessage(&m);
    }
  }
  if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace windowing

using windowing::WS;
using windowing::Window;
using windowing::WindowSystem;

HWND SetCapture(HWND hwnd) {
  auto& ws = WS();
  if (hwnd != nullptr && ws.Find(hwnd) == nullptr) return nullptr;
  const HWND old = ws.CaptureHwnd;
  ws.CaptureHwnd = hwnd;
  if (old != nullptr && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  auto& ws = WS();
  const HWND old = ws.CaptureHwnd;
  ws.CaptureHwnd = nullptr;
  if (old != nullptr) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return WS().Find(WS().CaptureHwnd) != nullptr ? WS().CaptureHwnd : nullptr; }

HWND SetFocus(HWND hwnd) {
  auto& ws = WS();
  if (hwnd != nullptr) {
    Window* w = ws.Find(hwnd);
    if (w == nullptr || !WindowSystem::Enabled(w)) return nullptr;
  }
  const HWND old = ws.Find(ws.FocusHwnd) != nullptr ? ws.FocusHwnd : nullptr;
  if (old == hwnd) return old;
  ws.FocusHwnd = hwnd;
  if (old != nullptr) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd != nullptr && ws.FocusHwnd == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return WS().Find(WS().FocusHwnd) != nullptr ? WS().FocusHwnd : nullptr; }

SHORT GetKeyState(int vkey) {
  const std::uint8_t s = WS().KeyState[vkey & 0xFF];
  return static_cast<SHORT>(((s & 0x80) != 0 ? 0x8000 : 0) | (s & 1));
}

SHORT GetAsyncKeyState(int vkey) {
  const std::uint8_t s = WS().AsyncState[vkey & 0xFF];
  return static_cast<SHORT>((s & 0x80) != 0 ? 0x8000 : 0);
}

BOOL GetCursorPos(TPoint* point) {
  if (point == nullptr) return FALSE;
  *point = WS().Cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  desktop::MoveMouse(x, y);
  return TRUE;
}

HWND WindowFromPoint(TPoint point) {
  Window* top = WS().HitTopLevel(point);
  return top != nullptr ? WS().DeepestAt(top, point, true)->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, TPoint point, UINT flags) {
  Window* p = WS().Find(parent);
  if (p == nullptr) return nullptr;
  const TRect c = WindowSystem::ClientRectInWindow(p);
  point = windowing::ClampPoint(point);
  if (!TRect{0, 0, c.Width(), c.Height()}.Contains(point.X, point.Y)) return nullptr;
  const TPoint inTop = point + WindowSystem::ClientOriginInTop(p);
  for (auto it = p->Children.rbegin(); it != p->Children.rend(); ++it) {
    const Window* child = *it;
    if ((flags & CWP_SKIPINVISIBLE) != 0 && (child->Style & WS_VISIBLE) == 0) continue;
    if ((flags & CWP_SKIPDISABLED) != 0 && (child->Style & WS_DISABLED) != 0) continue;
    if (WindowSystem::ShapeInTop(child).Contains(inTop.X, inTop.Y)) return child->Handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, TPoint point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }

UINT GetDoubleClickTime() { return windowing::kDoubleClickTime; }

namespace desktop {
namespace {

void Queue(windowing::InputKind kind, int button, int key) {
  auto& ws = WS();
  ws.Input.push_back(windowing::InputEvent{kind, button, ws.Cursor, key, ws.Now()});
}

int ButtonIndex(MouseButton b) { return b == MouseButton::Left ? 0 : b == MouseButton::Right ? 1 : 2; }

}  // namespace

void MoveMouse(int x, int y) {
  WS().Cursor = windowing::ClampPoint({x, y});
  Queue(windowing::InputKind::Move, 0, 0);
}

void PressMouse(MouseButton button) {
  windowing::SetKey(WS().AsyncState, windowing::VkOfButton(ButtonIndex(button)), true);
  Queue(windowing::InputKind::ButtonDown, ButtonIndex(button), 0);
}

void ReleaseMouse(MouseButton button) {
  windowing::SetKey(WS().AsyncState, windowing::VkOfButton(ButtonIndex(button)), false);
  Queue(windowing::InputKind::ButtonUp, ButtonIndex(button), 0);
}

void Click(int x, int y, MouseButton button) {
  MoveMouse(x, y);
  PressMouse(button);
  ReleaseMouse(button);
}

void PressKey(int vkey) {
  windowing::SetKey(WS().AsyncState, vkey, true);
  Queue(windowing::InputKind::KeyDown, 0, vkey & 0xFF);
}

void ReleaseKey(int vkey) {
  windowing::SetKey(WS().AsyncState, vkey, false);
  Queue(windowing::InputKind::KeyUp, 0, vkey & 0xFF);
}

void TypeText(std::string_view text) {
  for (const char ch : text) Queue(windowing::InputKind::Char, 0, static_cast<unsigned char>(ch));
}

}  // namespace desktop
}  // namespace bellcut
