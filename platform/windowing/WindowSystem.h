// The window system's state, shared by the files of this layer: the window
// tree, the message queue, timers, pointer and keyboard state, and the
// desktop's back-end. One instance serves the one GUI thread. Other layers
// use WinUser.h and Desktop.h, not this header.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Handles.h"
#include "platform/gdi/Region.h"
#include "platform/windowing/Desktop.h"
#include "platform/windowing/ScreenBackend.h"
#include "platform/windowing/WinUser.h"

namespace bellcut::windowing {

constexpr int kFrame = 3;             // border of captioned and framed windows
constexpr int kToolCaption = 17;      // caption bar of tool windows
constexpr int kCaption = 19;          // caption bar of other windows
constexpr int kMaxWindowSide = 16384;
// Window positions are kept within this distance of the parent's origin, so
// that positions summed along a chain of parents stay far inside int.
constexpr int kMaxWindowCoord = 1 << 20;
// Points given to the window system (pointer positions, hit tests) are
// clamped to this range: everything beyond lies outside every window, and
// the clamped values leave room for window offsets to be subtracted.
constexpr int kMaxPointCoord = 1 << 29;
[[nodiscard]] constexpr TPoint ClampPoint(TPoint p) {
  return {std::clamp(p.X, -kMaxPointCoord, kMaxPointCoord), std::clamp(p.Y, -kMaxPointCoord, kMaxPointCoord)};
}
constexpr UINT kMinTimerInterval = 10;
constexpr UINT kDoubleClickTime = 500;
constexpr int kDoubleClickWidth = 4;  // SM_CXDOUBLECLK / SM_CYDOUBLECLK

struct Window {
  HWND Handle = nullptr;
  Window* Parent = nullptr;         // null for a top-level window
  std::vector<Window*> Children;    // bottom first
  std::shared_ptr<WNDPROC> Proc;    // shared so that a running proc outlives DestroyWindow
  DWORD Style = 0;
  DWORD ExStyle = 0;
  UINT ClassStyle = 0;
  std::optional<COLORREF> Background;
  std::string Text;
  LONG_PTR UserData = 0;
  LONG_PTR Id = 0;
  TRect Rect;                       // parent client coordinates (top-level: screen)
  std::optional<Region> WindowRgn;  // window coordinates
  Region Update;                    // client coordinates
  bool EraseNeeded = false;
  bool FrameNeeded = false;         // the non-client area waits for WM_NCPAINT
  bool PaintServed = false;         // set by BeginPaint/ValidateRect during a WM_PAINT dispatch
  bool Destroying = false;
  bool ClosePressed = false;
  std::unique_ptr<Dib> Surface;     // top-level windows only
};

struct Timer {
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  std::uint64_t Due = 0;
  std::uint64_t Order = 0;  // arming order, breaks ties between timers due together
};

enum class InputKind : std::uint8_t { Move, ButtonDown, ButtonUp, KeyDown, KeyUp, Char };

struct InputEvent {
  InputKind Kind = InputKind::Move;
  int Button = 0;   // 0 left, 1 right, 2 middle
  TPoint Pos{};     // screen position of the pointer
  int Key = 0;      // virtual key or character code
  std::uint64_t Time = 0;
};

struct LastClick {
  bool Valid = false;
  int Button = 0;
  HWND Hwnd = nullptr;
  std::uint64_t Time = 0;
  TPoint Pos{};
};

using WindowTable = HandleTable<HWND, Window, HandleKind::Window>;

class WindowSystem {
 public:
  static WindowSystem& Get();
  static void Replace(std::unique_ptr<ScreenBackend> backend);

  explicit WindowSystem(std::unique_ptr<ScreenBackend> backend);
  ~WindowSystem();

  ScreenBackend& Backend() { return *backend_; }
  std::uint64_t Now() const { return backend_->GetClock().Now(); }

  // --- windows (Windows.cpp)
  Window* Find(HWND hwnd) const;
  Window& Root() { return root_; }
  HWND Create(const CreateParams& params);
  bool Destroy(Window* w);
  static bool IsTopLevel(const Window* w) { return w->Parent == nullptr; }
  static Window* TopOf(Window* w);
  static TRect Insets(DWORD style, DWORD exStyle);
  static TRect ClientRectInWindow(const Window* w);  // client area in window coordinates
  static TPoint WindowOriginInTop(const Window* w);  // window's (0, 0) on the top-level surface
  static TPoint ClientOriginInTop(const Window* w);
  static TPoint ClientOriginOnScreen(const Window* w);
  static bool Visible(const Window* w);                // it and all ancestors shown
  static bool Enabled(const Window* w);                // it and all ancestors enabled
  std::vector<Window*>& Siblings(Window* w) { return w->Parent ? w->Parent->Children : root_.Children; }
  void PlaceInZOrder(Window* w, HWND insertAfter);
  bool SetPos(Window* w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  bool Show(Window* w, int cmd);

  // --- painting (Painting.cpp)
  // The window's shape (rectangle ∩ region) on its top-level surface.
  static Region ShapeInTop(const Window* w);
  // What of the window (client area or whole window) can be seen on its
  // top-level surface: clipped by ancestors, siblings above and visible children.
  Region VisibleInTop(const Window* w, bool clientOnly) const;
  void InvalidateClient(Window* w, const Region& clientArea, bool erase);
  // Invalidates every window of w's top-level tree under area (top-level surface coordinates).
  void InvalidateTree(Window* top, const Region& area);
  void InvalidateWholeTree(Window* w);
  Window* FindPaintable(HWND filter) const;
  void PaintNow(Window* w);            // WM_PAINT straight away when w needs painting
  void FinishPaintDispatch(Window* w); // validate what a WM_PAINT handler left
  void DrawFrame(Window* w);
  static TRect CloseButtonRect(const Window* w);  // window coordinates
  HDC MakeDC(Window* w, bool clientOnly, const std::optional<Region>& clip);
  void DropDC(HDC dc);
  void ReleaseSurfaceDCs(Window* top);
  // The screen's pixels over area (screen coordinates; parts off the
  // physical screen are composed the same way).
  Dib Compose(const TRect& area) const;
  // DCs handed out on top-level surfaces, with the window whose surface they
  // draw on (null once that window is gone).
  std::vector<std::pair<HDC, Window*>> WindowDcs;

  // --- queue and timers (Messages.cpp)
  std::deque<MSG> Posted;
  std::vector<Timer> Timers;
  bool QuitPending = false;
  int QuitCode = 0;
  DWORD LastMessageTime = 0;
  TPoint LastMessagePos{};  // pointer position of the last message retrieved
  UINT_PTR NextThreadTimer = 0x7FFF0000;
  std::uint64_t TimerOrder = 0;
  void PurgeWindow(HWND hwnd);
  bool HasWork() const;

  // --- input (Input.cpp)
  std::deque<InputEvent> Input;
  TPoint Cursor{};              // where the pointer is now
  std::uint8_t KeyState[256]{};   // as of retrieved input: bit 7 down, bit 0 toggled
  std::uint8_t AsyncState[256]{}; // as of injected input
  HWND CaptureHwnd = nullptr;
  HWND FocusHwnd = nullptr;
  LastClick Last;
  // Turns the first queued input event into a message (target, coordinates,
  // double click); on remove, also applies its effects. False when it yields
  // no message (dropped, or filtered out).
  bool TakeInput(MSG* msg, HWND filter, UINT min, UINT max, bool remove);
  // The hit tests pass over the windows in passOver (and what lies inside
  // them): windows that answered WM_NCHITTEST with HTTRANSPARENT, so that
  // the pointer reaches the window below.
  Window* HitTopLevel(TPoint screen, const std::vector<HWND>& passOver = {}) const;
  Window* DeepestAt(Window* w, TPoint screen, bool skipDisabled, const std::vector<HWND>& passOver = {}) const;
  // Moves w with the pointer until the left button is released (the caption
  // drag started by WM_NCLBUTTONDOWN on HTCAPTION); grab is the screen point
  // pressed. Escape puts the window back.
  void MoveLoop(Window* w, TPoint grab);

  // --- shell and beeps (Shell.cpp)
  int Beeps = 0;
  std::function<void(const std::string&, const std::string&)> ShellHook;

 private:
  std::unique_ptr<ScreenBackend> backend_;
  WindowTable table_;
  Window root_;
};

[[nodiscard]] inline WindowSystem& WS() { return WindowSystem::Get(); }
[[nodiscard]] bool InFilter(UINT message, UINT min, UINT max);

}  // namespace bellcut::windowing
