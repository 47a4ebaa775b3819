// Windows: creation and destruction, the tree and the z-order, placement and
// visibility, and the window calls of WinUser.h built on them.
#include <algorithm>
#include <climits>
#include <exception>
#include <iostream>

#include "platform/base/NeverDestroyed.h"
#include "platform/gdi/Gdi.h"
#include "platform/windowing/WindowSystem.h"

namespace bellcut {
namespace windowing {
namespace {

// Never destroyed: the application object destroys the forms left at exit,
// and with them their windows, at a time no static destruction order
// guarantees.
std::unique_ptr<WindowSystem>& Instance() {
  static NeverDestroyed<std::unique_ptr<WindowSystem>> instance;
  return *instance;
}

int ClampSide(int v) { return std::clamp(v, 0, kMaxWindowSide); }
int ClampCoord(int v) { return std::clamp(v, -kMaxWindowCoord, kMaxWindowCoord); }

// A point moved by an offset, saturating at the ends of the int range.
TPoint MovedPoint(TPoint p, TPoint by, int sign) {
  const auto move = [&](int v, int d) {
    const long long r = static_cast<long long>(v) + static_cast<long long>(sign) * d;
    return static_cast<int>(std::clamp<long long>(r, INT_MIN, INT_MAX));
  };
  return {move(p.X, by.X), move(p.Y, by.Y)};
}

}  // namespace

WindowSystem& WindowSystem::Get() {
  auto& instance = Instance();
  if (!instance) {
    const DesktopOptions options = DesktopOptionsFromEnvironment(std::cerr);
    instance = std::make_unique<WindowSystem>(
        std::make_unique<HeadlessScreen>(options.Width, options.Height, options.RealClock));
  }
  return *instance;
}

void WindowSystem::Replace(std::unique_ptr<ScreenBackend> backend) {
  auto& instance = Instance();
  instance.reset();  // the old desktop's windows go first, with its handle counts
  instance = std::make_unique<WindowSystem>(std::move(backend));
}

WindowSystem::WindowSystem(std::unique_ptr<ScreenBackend> backend) : backend_(std::move(backend)) {
  root_.Style = WS_VISIBLE;
  root_.Rect = {0, 0, backend_->Width(), backend_->Height()};
}

WindowSystem::~WindowSystem() {
  // Silent teardown: no window procedure runs (their owners may be gone).
  for (Window* top : std::vector<Window*>(root_.Children)) {
    std::vector<Window*> all{top};
    for (std::size_t i = 0; i < all.size(); ++i)
      for (Window* c : all[i]->Children) all.push_back(c);
    ReleaseSurfaceDCs(top);
    for (auto it = all.rbegin(); it != all.rend(); ++it) (void)table_.Take((*it)->Handle);
  }
  root_.Children.clear();
  for (const auto& entry : WindowDcs) DeleteDC(entry.first);
  WindowDcs.clear();
}

Window* WindowSystem::Find(HWND hwnd) const {
  if (hwnd == nullptr || !WindowTable::IsKind(hwnd)) return nullptr;
  return table_.Get(hwnd);
}

Window* WindowSystem::TopOf(Window* w) {
  while (w->Parent != nullptr) w = w->Parent;
  return w;
}

TRect WindowSystem::Insets(DWORD style, DWORD exStyle) {
  const bool caption = (style & WS_CAPTION) == WS_CAPTION;
  int border = 0;
  if (caption || (style & (WS_DLGFRAME | WS_THICKFRAME)) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) {
    border = kFrame;
  } else if ((style & WS_BORDER) != 0) {
    border = 1;
  }
  const int bar = caption ? ((exStyle & WS_EX_TOOLWINDOW) != 0 ? kToolCaption : kCaption) : 0;
  return {border, border + bar, border, border};
}

TRect WindowSystem::ClientRectInWindow(const Window* w) {
  const TRect in = Insets(w->Style, w->ExStyle);
  const int width = w->Rect.Width();
  const int height = w->Rect.Height();
  const int l = std::min(in.Left, width);
  const int t = std::min(in.Top, height);
  return {l, t, std::max(l, width - in.Right), std::max(t, height - in.Bottom)};
}

TPoint WindowSystem::WindowOriginInTop(const Window* w) {
  if (w->Parent == nullptr) return {};
  return ClientOriginInTop(w->Parent) + TPoint{w->Rect.Left, w->Rect.Top};
}

TPoint WindowSystem::ClientOriginInTop(const Window* w) {
  const TRect c = ClientRectInWindow(w);
  return WindowOriginInTop(w) + TPoint{c.Left, c.Top};
}

TPoint WindowSystem::ClientOriginOnScreen(const Window* w) {
  const Window* top = w;
  while (top->Parent != nullptr) top = top->Parent;
  return ClientOriginInTop(w) + TPoint{top->Rect.Left, top->Rect.Top};
}

bool WindowSystem::Visible(const Window* w) {
  for (; w != nullptr; w = w->Parent)
    if ((w->Style & WS_VISIBLE) == 0) return false;
  return true;
}

bool WindowSystem::Enabled(const Window* w) {
  for (; w != nullptr; w = w->Parent)
    if ((w->Style & WS_DISABLED) != 0) return false;
  return true;
}

void WindowSystem::PlaceInZOrder(Window* w, HWND insertAfter) {
  auto& list = Siblings(w);
  list.erase(std::find(list.begin(), list.end(), w));
  const bool top = IsTopLevel(w);
  Window* after = Find(insertAfter);
  if (top && insertAfter == HWND_TOPMOST) w->ExStyle |= WS_EX_TOPMOST;
  if (top && (insertAfter == HWND_NOTOPMOST || insertAfter == HWND_BOTTOM)) w->ExStyle &= ~DWORD{WS_EX_TOPMOST};
  auto isTopmost = [](const Window* x) { return (x->ExStyle & WS_EX_TOPMOST) != 0; };
  if (insertAfter == HWND_BOTTOM) {
    list.insert(list.begin(), w);
  } else if (after != nullptr && after != w && std::find(list.begin(), list.end(), after) != list.end()) {
    // "After" in the platform's top-first order: directly below that window.
    list.insert(std::find(list.begin(), list.end(), after), w);
  } else if (top && !isTopmost(w)) {
    list.insert(std::find_if(list.begin(), list.end(), isTopmost), w);
  } else {
    list.push_back(w);
  }
  // Stay-on-top windows always lie above the others.
  if (top) std::stable_partition(list.begin(), list.end(), [&](const Window* x) { return !isTopmost(x); });
}

HWND WindowSystem::Create(const CreateParams& params) {
  Window* parent = nullptr;
  if ((params.Style & WS_CHILD) != 0) {
    parent = Find(params.Parent);
    if (parent == nullptr || parent->Destroying) return nullptr;
  }
  auto object = std::make_unique<Window>();
  // The surface comes first: a size too large fails here, before anything exists.
  if (parent == nullptr)
    object->Surface = std::make_unique<Dib>(ClampSide(params.Width), ClampSide(params.Height), 32);
  object->Parent = parent;
  object->Proc = std::make_shared<WNDPROC>(params.WndProc);
  object->Style = params.Style & ~DWORD{WS_VISIBLE};
  object->ExStyle = params.ExStyle;
  object->ClassStyle = params.ClassStyle;
  object->Background = params.Background;
  object->Text = params.Caption;
  object->Rect = Bounds(ClampCoord(params.X), ClampCoord(params.Y), ClampSide(params.Width), ClampSide(params.Height));
  const HWND hwnd = table_.Add(std::move(object));
  Window* w = table_.Get(hwnd);
  w->Handle = hwnd;
  Siblings(w).push_back(w);
  PlaceInZOrder(w, HWND_TOP);
  const TRect client = ClientRectInWindow(w);
  w->Update = Region(client.Offset(-client.Left, -client.Top));
  w->EraseNeeded = true;
  w->FrameNeeded = true;

  CREATESTRUCT cs;
  cs.lpCreateParams = params.CreateParam;
  cs.hwndParent = parent != nullptr ? parent->Handle : nullptr;
  cs.x = w->Rect.Left;
  cs.y = w->Rect.Top;
  cs.cx = w->Rect.Width();
  cs.cy = w->Rect.Height();
  cs.style = params.Style;
  cs.dwExStyle = params.ExStyle;
  const auto lp = reinterpret_cast<LPARAM>(&cs);
  bool created = false;
  try {
    created = SendMessage(hwnd, WM_NCCREATE, 0, lp) != 0 && SendMessage(hwnd, WM_CREATE, 0, lp) != -1;
  } catch (...) {
    // A failed creation leaves no half-made window behind.
    if (Window* half = Find(hwnd)) Destroy(half);
    throw;
  }
  if (!created) {
    if (Window* half = Find(hwnd)) Destroy(half);
    return nullptr;
  }
  // The new window learns its size and place as after any placement.
  WINDOWPOS placed{hwnd, nullptr, cs.x, cs.y, cs.cx, cs.cy, SWP_NOZORDER | SWP_NOACTIVATE};
  DefWindowProc(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&placed));
  w = Find(hwnd);
  if (w == nullptr) return nullptr;
  if ((params.Style & WS_VISIBLE) != 0) Show(w, SW_SHOW);
  return hwnd;
}

namespace {

// Sends one message of the destruction; a handler that throws does not stop
// the destruction: the first exception is kept and raised at the end.
void Notify(HWND hwnd, UINT msg, std::exception_ptr& failure) {
  try {
    SendMessage(hwnd, msg, 0, 0);
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
}

void SendDestroyMessages(HWND hwnd, std::exception_ptr& failure) {
  Notify(hwnd, WM_DESTROY, failure);
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return;
  std::vector<HWND> children;
  for (Window* c : w->Children) children.push_back(c->Handle);
  for (HWND c : children) {
    Window* cw = WS().Find(c);
    if (cw != nullptr) {
      cw->Destroying = true;
      SendDestroyMessages(c, failure);
    }
  }
}

}  // namespace

bool WindowSystem::Destroy(Window* w) {
  if (w->Destroying) return false;
  w->Destroying = true;
  const HWND hwnd = w->Handle;
  Window* top = TopOf(w);
  const HWND topHwnd = top->Handle;
  Region exposed;
  if (!IsTopLevel(w) && Visible(w)) exposed = ShapeInTop(w);
  // The platform hides the window before it tells anyone.
  w->Style &= ~DWORD{WS_VISIBLE};

  std::exception_ptr failure;
  SendDestroyMessages(hwnd, failure);

  // Children are gone before their parent hears WM_NCDESTROY.
  std::function<void(HWND)> release = [&](HWND h) {
    Window* x = Find(h);
    if (x == nullptr) return;
    std::vector<HWND> children;
    for (Window* c : x->Children) children.push_back(c->Handle);
    for (HWND c : children) release(c);
    Notify(h, WM_NCDESTROY, failure);
    x = Find(h);
    if (x == nullptr) return;
    if (CaptureHwnd == h) CaptureHwnd = nullptr;
    if (FocusHwnd == h) FocusHwnd = nullptr;
    if (Last.Hwnd == h) Last = {};
    PurgeWindow(h);
    if (IsTopLevel(x)) ReleaseSurfaceDCs(x);
    auto& list = Siblings(x);
    list.erase(std::remove(list.begin(), list.end(), x), list.end());
    (void)table_.Take(h);
  };
  release(hwnd);

  if (!exposed.IsEmpty()) {
    Window* t = Find(topHwnd);
    if (t != nullptr) InvalidateTree(t, exposed);
  }
  if (failure) std::rethrow_exception(failure);
  return true;
}

bool WindowSystem::SetPos(Window* w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  WINDOWPOS wp;
  wp.hwnd = w->Handle;
  wp.hwndInsertAfter = insertAfter;
  wp.x = (flags & SWP_NOMOVE) != 0 ? w->Rect.Left : ClampCoord(x);
  wp.y = (flags & SWP_NOMOVE) != 0 ? w->Rect.Top : ClampCoord(y);
  wp.cx = (flags & SWP_NOSIZE) != 0 ? w->Rect.Width() : ClampSide(cx);
  wp.cy = (flags & SWP_NOSIZE) != 0 ? w->Rect.Height() : ClampSide(cy);
  wp.flags = flags;
  const HWND hwnd = w->Handle;
  SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  w = Find(hwnd);
  if (w == nullptr) return false;
  wp.x = ClampCoord(wp.x);
  wp.y = ClampCoord(wp.y);
  wp.cx = ClampSide(wp.cx);
  wp.cy = ClampSide(wp.cy);

  // A top-level window's new surface is made before anything changes, so a
  // size too large fails cleanly and leaves the window as it was.
  std::optional<Dib> surface;
  if (IsTopLevel(w) && (wp.cx != w->Rect.Width() || wp.cy != w->Rect.Height())) surface.emplace(wp.cx, wp.cy, 32);

  const bool wasVisible = Visible(w);
  const Region oldShape = IsTopLevel(w) ? Region() : ShapeInTop(w);
  const TRect old = w->Rect;
  w->Rect = Bounds(wp.x, wp.y, wp.cx, wp.cy);
  const bool moved = old.Left != w->Rect.Left || old.Top != w->Rect.Top;
  const bool sized = old.Width() != w->Rect.Width() || old.Height() != w->Rect.Height();
  bool restacked = false;
  if ((wp.flags & SWP_NOZORDER) == 0) {
    const auto& list = Siblings(w);
    const std::vector<Window*> before = list;
    PlaceInZOrder(w, wp.hwndInsertAfter);
    restacked = before != Siblings(w);
  }
  if ((wp.flags & SWP_SHOWWINDOW) != 0) w->Style |= WS_VISIBLE;
  if ((wp.flags & SWP_HIDEWINDOW) != 0) w->Style &= ~DWORD{WS_VISIBLE};
  const bool isVisible = Visible(w);

  if (IsTopLevel(w)) {
    // Top-level windows keep their pixels in their own surface: a move or a
    // restack only changes the composition; a new size needs a new surface.
    if (sized) {
      // Same object, new pixels: DCs handed out keep pointing at the surface.
      *w->Surface = std::move(*surface);
      InvalidateWholeTree(w);
    } else if ((wp.flags & SWP_FRAMECHANGED) != 0) {
      w->FrameNeeded = true;
    }
  } else if ((moved || sized || restacked || wasVisible != isVisible) && (wasVisible || isVisible)) {
    Region area = oldShape;
    area.Union(ShapeInTop(w));
    InvalidateTree(TopOf(w), area);
    if (moved || sized || (!wasVisible && isVisible)) InvalidateWholeTree(w);
  } else if (moved || sized) {
    InvalidateWholeTree(w);
  }

  WINDOWPOS done = wp;
  done.flags = wp.flags | (moved ? 0u : UINT{SWP_NOMOVE}) | (sized ? 0u : UINT{SWP_NOSIZE});
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
  return true;
}

bool WindowSystem::Show(Window* w, int cmd) {
  const bool was = (w->Style & WS_VISIBLE) != 0;
  const HWND hwnd = w->Handle;
  const bool show = cmd != SW_HIDE;
  const bool activate = cmd == SW_SHOW || cmd == SW_SHOWNORMAL;
  if (show == was) {
    if (show && activate && IsTopLevel(w)) PlaceInZOrder(w, HWND_TOP);
    return was;
  }
  SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  w = Find(hwnd);
  if (w == nullptr) return was;
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | (show ? UINT{SWP_SHOWWINDOW} : UINT{SWP_HIDEWINDOW});
  if (!(show && activate && IsTopLevel(w))) flags |= SWP_NOZORDER;
  SetPos(w, HWND_TOP, 0, 0, 0, 0, flags);
  return was;
}

}  // namespace windowing

using windowing::WS;
using windowing::Window;
using windowing::WindowSystem;

HWND CreateWindowEx(const CreateParams& params) { return WS().Create(params); }

BOOL DestroyWindow(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr && WS().Destroy(w) ? TRUE : FALSE;
}

BOOL IsWindow(HWND hwnd) { return WS().Find(hwnd) != nullptr ? TRUE : FALSE; }

HWND GetParent(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr && w->Parent != nullptr ? w->Parent->Handle : nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return FALSE;
  for (Window* p = w->Parent; p != nullptr; p = p->Parent)
    if (p->Handle == parent) return TRUE;
  return FALSE;
}

HWND GetTopLevelWindow(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr ? WindowSystem::TopOf(w)->Handle : nullptr;
}

WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return {};
  WNDPROC old = *w->Proc;
  w->Proc = std::make_shared<WNDPROC>(std::move(proc));
  return old;
}

LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return 0;
  // Hold the procedure: it may destroy its own window while it runs.
  const std::shared_ptr<WNDPROC> proc = w->Proc;
  return CallWindowProc(*proc, hwnd, msg, wParam, lParam);
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(w->Style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->ExStyle);
    case GWLP_USERDATA: return w->UserData;
    case GWLP_ID: return w->Id;
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWL_STYLE: {
      // Visibility and the child bit change only through their own calls.
      old = static_cast<LONG_PTR>(w->Style);
      const DWORD keep = WS_VISIBLE | WS_CHILD;
      w->Style = (w->Style & keep) | (static_cast<DWORD>(value) & ~keep);
      break;
    }
    case GWL_EXSTYLE: {
      old = static_cast<LONG_PTR>(w->ExStyle);
      const DWORD topmost = w->ExStyle & WS_EX_TOPMOST;
      w->ExStyle = (static_cast<DWORD>(value) & ~DWORD{WS_EX_TOPMOST}) | topmost;
      break;
    }
    case GWLP_USERDATA: old = w->UserData; w->UserData = value; break;
    case GWLP_ID: old = w->Id; w->Id = value; break;
    default: return 0;
  }
  return old;
}

BOOL SetWindowText(HWND hwnd, const std::string& text) {
  if (WS().Find(hwnd) == nullptr) return FALSE;
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0 ? TRUE : FALSE;
}

std::string GetWindowText(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr ? w->Text : std::string();
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr && WS().Show(w, cmd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr && WindowSystem::Visible(w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return FALSE;
  const bool wasDisabled = (w->Style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
  if (enable) {
    w->Style &= ~DWORD{WS_DISABLED};
  } else {
    w->Style |= WS_DISABLED;
    // A disabled window loses the keyboard and the mouse.
    if (WS().FocusHwnd == hwnd || IsChild(hwnd, WS().FocusHwnd)) SetFocus(nullptr);
    if (WS().CaptureHwnd == hwnd) ReleaseCapture();
  }
  SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr && (w->Style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = WS().Find(hwnd);
  return w != nullptr && WS().SetPos(w, insertAfter, x, y, cx, cy, flags) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : UINT{SWP_NOREDRAW}));
}

BOOL GetWindowRect(HWND hwnd, TRect* rect) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr || rect == nullptr) return FALSE;
  const TPoint o = WindowSystem::WindowOriginInTop(w);
  const Window* top = WindowSystem::TopOf(w);
  *rect = Bounds(top->Rect.Left + o.X, top->Rect.Top + o.Y, w->Rect.Width(), w->Rect.Height());
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, TRect* rect) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr || rect == nullptr) return FALSE;
  const TRect c = WindowSystem::ClientRectInWindow(w);
  *rect = {0, 0, c.Width(), c.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, TPoint* point) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr || point == nullptr) return FALSE;
  *point = windowing::MovedPoint(*point, WindowSystem::ClientOriginOnScreen(w), +1);
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, TPoint* point) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr || point == nullptr) return FALSE;
  *point = windowing::MovedPoint(*point, WindowSystem::ClientOriginOnScreen(w), -1);
  return TRUE;
}

BOOL AdjustWindowRectEx(TRect* rect, DWORD style, BOOL, DWORD exStyle) {
  if (rect == nullptr) return FALSE;
  const TRect in = WindowSystem::Insets(style, exStyle);
  *rect = {rect->Left - in.Left, rect->Top - in.Top, rect->Right + in.Right, rect->Bottom + in.Bottom};
  return TRUE;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return nullptr;
  if (cmd == GW_CHILD) return w->Children.empty() ? nullptr : w->Children.back()->Handle;
  const auto& list = WS().Siblings(w);
  const auto it = std::find(list.begin(), list.end(), w);
  switch (cmd) {
    case GW_HWNDFIRST: return list.back()->Handle;
    case GW_HWNDLAST: return list.front()->Handle;
    case GW_HWNDNEXT: return it == list.begin() ? nullptr : (*(it - 1))->Handle;  // the one below
    case GW_HWNDPREV: return it + 1 == list.end() ? nullptr : (*(it + 1))->Handle;  // the one above
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND parent) {
  const Window* p = parent == nullptr ? &WS().Root() : WS().Find(parent);
  if (p == nullptr || p->Children.empty()) return nullptr;
  return p->Children.back()->Handle;
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace bellcut
