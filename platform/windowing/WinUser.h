// The window system's calls: a small subset of the platform's USER interface
// (windows, z-order, window regions, the message queue, timers, painting,
// input state, capture and focus), served by the desktop of Desktop.h.
//
// Geometry. A top-level window's rectangle is in screen coordinates, a child
// window's in its parent's client coordinates. Windows with a caption
// (WS_CAPTION) or a dialog/thick frame have a 3-pixel border on every side;
// a caption bar sits below the top border: 17 pixels for tool windows
// (WS_EX_TOOLWINDOW), 19 for others. A tool window with a 600 x 600 client
// area is therefore 606 x 623 pixels. WS_BORDER alone gives a 1-pixel border.
// A window's size is kept within 0 .. 16384 pixels per side.
//
// Clipping. Every window behaves as if WS_CLIPCHILDREN and WS_CLIPSIBLINGS
// were set: drawing into a window never touches its visible children or the
// siblings above it, and a child is clipped by its own window region and by
// its parent's client area and region.
//
// Failures are reported the platform's way (null, FALSE, 0) for unknown
// handles and bad arguments; only resource exhaustion throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/windowing/WinTypes.h"

namespace bellcut {

// --- windows -----------------------------------------------------------------

// Everything a window is made with. ClassStyle carries CS_DBLCLKS for windows
// that want double clicks; Background, when set, is the colour the default
// WM_ERASEBKGND handling fills the invalid area with.
struct CreateParams {
  DWORD ExStyle = 0;
  DWORD Style = WS_OVERLAPPED;
  UINT ClassStyle = 0;
  std::optional<COLORREF> Background;
  std::string Caption;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND Parent = nullptr;  // a child window needs WS_CHILD and a parent
  WNDPROC WndProc;        // may be empty: DefWindowProc handles everything
  LPARAM CreateParam = 0;
};

struct CREATESTRUCT {
  LPARAM lpCreateParams = 0;
  HWND hwndParent = nullptr;
  int cy = 0, cx = 0, y = 0, x = 0;
  DWORD style = 0;
  DWORD dwExStyle = 0;
};

// Sends WM_NCCREATE (FALSE fails the creation) and WM_CREATE (-1 fails it);
// a visible window (WS_VISIBLE) is shown afterwards. Null on failure.
[[nodiscard]] HWND CreateWindowEx(const CreateParams& params);
BOOL DestroyWindow(HWND hwnd);
[[nodiscard]] BOOL IsWindow(HWND hwnd);
[[nodiscard]] HWND GetParent(HWND hwnd);
[[nodiscard]] BOOL IsChild(HWND parent, HWND hwnd);
[[nodiscard]] HWND GetTopLevelWindow(HWND hwnd);
// The window procedure in use, and its replacement (subclassing).
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);
[[nodiscard]] LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The platform's default answer to every message (frame painting, hit
// testing, close button, WM_CLOSE destroys the window, ...). A left press on
// the caption bar (WM_NCLBUTTONDOWN, HTCAPTION) runs a move loop: the window
// follows the pointer until the button is released (Escape puts it back).
// On a desktop without input of its own the loop ends, where the window got
// to, once the queued input is used up.
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

[[nodiscard]] LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
BOOL SetWindowText(HWND hwnd, const std::string& text);
[[nodiscard]] std::string GetWindowText(HWND hwnd);

BOOL ShowWindow(HWND hwnd, int cmd);
[[nodiscard]] BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
[[nodiscard]] BOOL IsWindowEnabled(HWND hwnd);

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, TRect* rect);  // screen coordinates
BOOL GetClientRect(HWND hwnd, TRect* rect);  // (0, 0, client width, client height)
BOOL ClientToScreen(HWND hwnd, TPoint* point);
BOOL ScreenToClient(HWND hwnd, TPoint* point);
// Grows a client rectangle to the window rectangle of a window of that style.
BOOL AdjustWindowRectEx(TRect* rect, DWORD style, BOOL menu, DWORD exStyle);

// Z-order: children of one parent, and top-level windows in two bands
// (WS_EX_TOPMOST windows above all others). GW_* as the platform numbers them.
enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_CHILD = 5 };
[[nodiscard]] HWND GetWindow(HWND hwnd, UINT cmd);
[[nodiscard]] HWND GetTopWindow(HWND parent);  // null parent: the topmost top-level window
BOOL BringWindowToTop(HWND hwnd);

// Window regions, in window coordinates. The window takes ownership of rgn
// (the handle is released; do not use it afterwards); null removes the
// region. GetWindowRgn copies into rgn and returns its class, or ERROR (0)
// when the window has no region.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);

// --- messages ----------------------------------------------------------------

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Null hwnd posts a thread message. FALSE for an unknown window.
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Filters: hwnd (null: any; HWND_THREAD_ONLY: thread messages only) and the
// message range (0, 0: all). WM_QUIT passes every range filter. Order: posted
// messages, WM_QUIT, input, WM_PAINT, WM_TIMER. Never waits.
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits (on the desktop's clock) for a matching message. Returns 0 for
// WM_QUIT, and -1 when nothing can ever arrive (see IsIdleForever).
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Waits until a message may be available; FALSE when nothing can ever arrive.
BOOL WaitMessage();
LRESULT DispatchMessage(const MSG* msg);
BOOL TranslateMessage(const MSG* msg);
// True when no message is waiting or due and none can arrive: nothing posted,
// no input, nothing to paint, no timer. A loop in that state would wait forever.
[[nodiscard]] bool IsIdleForever();
[[nodiscard]] DWORD GetMessageTime();

// --- timers ------------------------------------------------------------------

// Arms (or re-arms) timer id of hwnd. A null hwnd makes a thread timer with a
// new id. Intervals below 10 ms count as 10 ms. Returns the id, 0 on failure.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// The clock time (milliseconds) at which the next timer is due; nullopt
// when no timer is armed. A loop that waits for something of its own (a
// dialog's scripted answer) waits until the earlier of the two, so the
// virtual clock jumps from tick to tick instead of crawling.
[[nodiscard]] std::optional<std::uint64_t> NextTimerDue();

// --- painting ----------------------------------------------------------------

BOOL InvalidateRect(HWND hwnd, const TRect* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const TRect* rect);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL GetUpdateRect(HWND hwnd, TRect* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const TRect* rect, HRGN rgn, UINT flags);
// The DC of a paint: surface = the window's top-level surface, origin at the
// client origin, clipped to (update region ∩ visible client area). Validates
// the update region; sends WM_NCPAINT and WM_ERASEBKGND when due.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A client DC (clipped to the visible client area) and a window DC (the
// whole window, frame included). Reading from them (BitBlt, GetPixel) reads
// the window's top-level surface, which holds what the window shows wherever
// no other top-level window covers it: children, the parent's background
// outside a child's region, and the frame.
[[nodiscard]] HDC GetDC(HWND hwnd);
[[nodiscard]] HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

// --- input -------------------------------------------------------------------

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
[[nodiscard]] HWND GetCapture();
HWND SetFocus(HWND hwnd);
[[nodiscard]] HWND GetFocus();
// Negative while the key is down (as of the last input message retrieved);
// bit 0 toggles with each press.
[[nodiscard]] SHORT GetKeyState(int vkey);
// The same, as of now (input injected but not yet retrieved included).
[[nodiscard]] SHORT GetAsyncKeyState(int vkey);
BOOL GetCursorPos(TPoint* point);
BOOL SetCursorPos(int x, int y);
// Pointer input goes to the window WindowFromPoint finds, unless that window
// answers WM_NCHITTEST with HTTRANSPARENT: it then goes to the window below
// it at that point (a sibling under it, its parent, the next top-level window).
// The window at a screen point: the topmost visible top-level window whose
// region holds the point, then down through its visible children (each child
// hit through its own region) to the deepest one. Disabled child windows are
// passed over (the point belongs to their parent); a disabled top-level
// window is returned, but it receives no mouse input.
[[nodiscard]] HWND WindowFromPoint(TPoint point);
// The child of parent at a point in parent's client coordinates (hidden and
// disabled children included; regions respected), parent itself when no
// child is there, null outside parent's client area.
[[nodiscard]] HWND ChildWindowFromPoint(HWND parent, TPoint point);
[[nodiscard]] HWND ChildWindowFromPointEx(HWND parent, TPoint point, UINT flags);
[[nodiscard]] UINT GetDoubleClickTime();

// --- desktop -----------------------------------------------------------------

[[nodiscard]] int GetSystemMetrics(int index);
BOOL MessageBeep(UINT type);
// Opens file with verb "OPEN" (case ignored; null means open): runs the
// program named by BELLCUT_OPEN, or xdg-open, with file as its one argument,
// without a shell and without waiting. Returns a value above 32 when the
// program was started, SE_ERR_NOASSOC (31) for other verbs or failures.
std::intptr_t ShellExecute(HWND hwnd, const char* verb, const char* file, const char* parameters,
                           const char* directory, int showCmd);
constexpr std::intptr_t SE_ERR_NOASSOC = 31;

// The 8-bit ("A") names the program's code calls; text is in the process's
// ANSI code page throughout, so they are the same calls.
inline LRESULT SendMessageA(HWND h, UINT m, WPARAM w, LPARAM l) { return SendMessage(h, m, w, l); }
inline BOOL PostMessageA(HWND h, UINT m, WPARAM w, LPARAM l) { return PostMessage(h, m, w, l); }
inline BOOL PeekMessageA(MSG* msg, HWND h, UINT min, UINT max, UINT remove) {
  return PeekMessage(msg, h, min, max, remove);
}
inline BOOL GetMessageA(MSG* msg, HWND h, UINT min, UINT max) { return GetMessage(msg, h, min, max); }
inline LRESULT DispatchMessageA(const MSG* msg) { return DispatchMessage(msg); }
inline LRESULT DefWindowProcA(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }
inline std::intptr_t ShellExecuteA(HWND h, const char* verb, const char* file, const char* parameters,
                                   const char* directory, int showCmd) {
  return ShellExecute(h, verb, file, parameters, directory, showCmd);
}

}  // namespace bellcut
