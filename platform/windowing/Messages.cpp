// The message queue of the GUI thread: posted messages, WM_QUIT, input,
// WM_PAINT and WM_TIMER, in that order of precedence. WM_PAINT and WM_TIMER
// are never queued: they are made up when the queue has nothing else for a
// window that needs painting or a timer that is due, so a window has at most
// one paint and a timer at most one tick pending, however long the loop was
// busy. Waiting asks the back-end's clock to reach the next due timer.
#include <algorithm>

#include "platform/windowing/WindowSystem.h"

namespace bellcut {
namespace windowing {

bool InFilter(UINT message, UINT min, UINT max) {
  if (min == 0 && max == 0) return true;
  return message >= min && message <= max;
}

namespace {

bool HwndMatches(HWND filter, HWND hwnd) {
  if (filter == nullptr) return true;
  if (filter == HWND_THREAD_ONLY) return hwnd == nullptr;
  return hwnd == filter;
}

// The timer that fires next among those the filter admits.
Timer* NextTimer(std::vector<Timer>& timers, HWND filter, UINT min, UINT max) {
  if (!InFilter(WM_TIMER, min, max)) return nullptr;
  Timer* best = nullptr;
  for (Timer& t : timers) {
    if (!HwndMatches(filter, t.Hwnd)) continue;
    if (best == nullptr || t.Due < best->Due || (t.Due == best->Due && t.Order < best->Order)) best = &t;
  }
  return best;
}

}  // namespace

void WindowSystem::PurgeWindow(HWND hwnd) {
  std::erase_if(Posted, [&](const MSG& m) { return m.hwnd == hwnd; });
  std::erase_if(Timers, [&](const Timer& t) { return t.Hwnd == hwnd; });
}

bool WindowSystem::HasWork() const {
  if (!Posted.empty() || QuitPending || !Input.empty() || FindPaintable(nullptr) != nullptr) return true;
  const std::uint64_t now = Now();
  return std::any_of(Timers.begin(), Timers.end(), [&](const Timer& t) { return t.Due <= now; });
}

}  // namespace windowing

using windowing::WS;
using windowing::Window;
using windowing::WindowSystem;

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != nullptr && WS().Find(hwnd) == nullptr) return FALSE;
  WS().Posted.push_back(MSG{hwnd, msg, wParam, lParam, static_cast<DWORD>(WS().Now()), WS().Cursor});
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  WS().QuitPending = true;
  WS().QuitCode = exitCode;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  auto& ws = WS();
  const bool remove = (removeFlags & PM_REMOVE) != 0;

  for (auto it = ws.Posted.begin(); it != ws.Posted.end(); ++it) {
    if (!windowing::InFilter(it->message, filterMin, filterMax)) continue;
    if (hwnd == HWND_THREAD_ONLY ? it->hwnd != nullptr : (hwnd != nullptr && it->hwnd != hwnd)) continue;
    *msg = *it;
    if (remove) ws.Posted.erase(it);
    ws.LastMessageTime = msg->time;
    ws.LastMessagePos = msg->pt;
    return TRUE;
  }

  if (ws.QuitPending) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(ws.QuitCode), 0, static_cast<DWORD>(ws.Now()), ws.Cursor};
    if (remove) ws.QuitPending = false;
    return TRUE;
  }

  if (ws.TakeInput(msg, hwnd, filterMin, filterMax, remove)) {
    ws.LastMessageTime = msg->time;
    ws.LastMessagePos = msg->pt;
    return TRUE;
  }

  if (windowing::InFilter(WM_PAINT, filterMin, filterMax)) {
    if (Window* w = ws.FindPaintable(hwnd)) {
      *msg = MSG{w->Handle, WM_PAINT, 0, 0, static_cast<DWORD>(ws.Now()), ws.Cursor};
      return TRUE;
    }
  }

  windowing::Timer* t = windowing::NextTimer(ws.Timers, hwnd, filterMin, filterMax);
  const std::uint64_t now = ws.Now();
  if (t != nullptr && t->Due <= now) {
    *msg = MSG{t->Hwnd, WM_TIMER, t->Id, 0, static_cast<DWORD>(now), ws.Cursor};
    // The next tick counts from this one's delivery, so a slow loop delays
    // ticks rather than piling them up.
    if (remove) t->Due = now + t->Interval;
    ws.LastMessageTime = msg->time;
    ws.LastMessagePos = msg->pt;
    return TRUE;
  }
  return FALSE;
}

namespace {

// Waits for the next thing that can make a matching message; false when
// nothing ever can.
bool WaitFor(HWND hwnd, UINT filterMin, UINT filterMax) {
  auto& ws = WS();
  // A display shows the state the loop settled in before it sleeps.
  if (ws.Backend().ShowsPixels()) {
    const TRect screen{0, 0, ws.Backend().Width(), ws.Backend().Height()};
    ws.Backend().Present(ws.Compose(screen), screen);
  }
  windowing::Timer* t = windowing::NextTimer(ws.Timers, hwnd, filterMin, filterMax);
  if (t != nullptr) {
    ws.Backend().Wait(t->Due);
    return true;
  }
  if (ws.Backend().HasOutsideInput()) {
    ws.Backend().Wait(std::nullopt);
    return true;
  }
  return false;
}

}  // namespace

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) return -1;
  for (;;) {
    if (PeekMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
    if (!WaitFor(hwnd, filterMin, filterMax)) {
      *msg = MSG{};
      return -1;
    }
  }
}

BOOL WaitMessage() {
  if (WS().HasWork()) return TRUE;
  return WaitFor(nullptr, 0, 0) ? TRUE : FALSE;
}

bool IsIdleForever() {
  auto& ws = WS();
  return !ws.HasWork() && ws.Timers.empty() && !ws.Backend().HasOutsideInput();
}

DWORD GetMessageTime() { return WS().LastMessageTime; }

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  Window* w = WS().Find(msg->hwnd);
  if (w == nullptr) return 0;
  if (msg->message != WM_PAINT) return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  w->PaintServed = false;
  LRESULT result = 0;
  try {
    result = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  } catch (...) {
    // A failing paint handler must not be called again and again for the
    // same update region.
    if (Window* after = WS().Find(msg->hwnd)) WS().FinishPaintDispatch(after);
    throw;
  }
  if (Window* after = WS().Find(msg->hwnd)) WS().FinishPaintDispatch(after);
  return result;
}

// Characters arrive as WM_CHAR of their own (see desktop::TypeText), so there
// is nothing to translate.
BOOL TranslateMessage(const MSG*) { return FALSE; }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse) {
  auto& ws = WS();
  if (hwnd != nullptr && ws.Find(hwnd) == nullptr) return 0;
  const UINT interval = std::max(elapse, windowing::kMinTimerInterval);
  if (hwnd == nullptr) {
    const bool known = std::any_of(ws.Timers.begin(), ws.Timers.end(),
                                   [&](const windowing::Timer& t) { return t.Hwnd == nullptr && t.Id == id; });
    if (!known || id == 0) id = ws.NextThreadTimer++;
  }
  auto it = std::find_if(ws.Timers.begin(), ws.Timers.end(),
                         [&](const windowing::Timer& t) { return t.Hwnd == hwnd && t.Id == id; });
  if (it == ws.Timers.end()) {
    ws.Timers.push_back(windowing::Timer{hwnd, id, interval, 0, 0});
    it = ws.Timers.end() - 1;
  }
  it->Interval = interval;
  it->Due = ws.Now() + interval;
  it->Order = ws.TimerOrder++;
  return id != 0 ? id : 1;
}

std::optional<std::uint64_t> NextTimerDue() {
  const windowing::Timer* t = windowing::NextTimer(WS().Timers, nullptr, 0, 0);
  if (t == nullptr) return std::nullopt;
  return t->Due;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  return std::erase_if(WS().Timers, [&](const windowing::Timer& t) { return t.Hwnd == hwnd && t.Id == id; }) > 0
             ? TRUE
             : FALSE;
}

}  // namespace bellcut
