#include <algorithm>
#include <climits>
#include <unordered_map>

#include "platform/base/Exceptions.h"
#include "platform/base/NeverDestroyed.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/GdiGuards.h"

namespace bellcut {

namespace {

// Windows made by controls, to map a window back to its control. Never
// destroyed, like the handler below: controls are still destroyed, and still
// handle messages, while the process exits (NeverDestroyed.h).
std::unordered_map<HWND, TWinControl*>& WindowControls() {
  static NeverDestroyed<std::unordered_map<HWND, TWinControl*>> map;
  return *map;
}

std::function<void(std::exception_ptr)>& ExceptionHandler() {
  static NeverDestroyed<std::function<void(std::exception_ptr)>> handler;
  return *handler;
}

// The windowless control that holds the capture through its parent's window.
TControl* g_captureControl = nullptr;

void Unregister(HWND h, const TWinControl* control) {
  auto it = WindowControls().find(h);
  if (it != WindowControls().end() && it->second == control) WindowControls().erase(it);
}

// Restores a flag on every path out of a scope.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = old_; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

void SetControlExceptionHandler(std::function<void(std::exception_ptr)> Handler) {
  ExceptionHandler() = std::move(Handler);
}

TWinControl* FindControl(HWND Handle) {
  if (Handle == nullptr || !IsWindow(Handle)) return nullptr;
  auto it = WindowControls().find(Handle);
  return it == WindowControls().end() ? nullptr : it->second;
}

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  if (result != nullptr && g_captureControl != nullptr && g_captureControl->Parent() == result)
    result = g_captureControl;
  return result;
}

void SetCaptureControl(TControl* Control) {
  g_captureControl = nullptr;
  ReleaseCapture();
  if (Control == nullptr) return;
  if (auto* w = dynamic_cast<TWinControl*>(Control)) {
    SetCapture(w->Handle());
    return;
  }
  if (Control->Parent() == nullptr) return;
  g_captureControl = Control;
  SetCapture(Control->Parent()->Handle());
}

namespace controls_detail {
void ForgetCaptureControl(const TControl* Control) {
  if (g_captureControl == Control) {
    g_captureControl = nullptr;
    ReleaseCapture();
  }
}
}  // namespace controls_detail

// --- life --------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  state_.Include(csDestroying);
  // Leave the parent while this object is still a TWinControl, so that the
  // parent's handlers see what is being removed.
  if (Parent() != nullptr) Parent()->RemoveControl(this);
  while (!controls_.empty()) TComponent::Destroy(controls_.back());  // a parent destroys its children
  if (handle_ != nullptr) {
    HWND h = handle_;
    // No message may reach this half-destroyed object any more.
    SetWindowProc(h, [](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); });
    Unregister(h, this);
    handle_ = nullptr;
    showing_ = false;
    DestroyWindow(h);
  }
}

// --- messages ------------------------------------------------------------------------

void TWinControl::MainWndProc(HWND Hwnd, TMessage& Message) {
  if (handle_ == nullptr && !ComponentState().Contains(csDestroying)) {
    // Messages sent while CreateWindowEx runs arrive before it returns.
    handle_ = Hwnd;
    WindowControls()[Hwnd] = this;
  }
  try {
    WndProc(Message);
  } catch (...) {
    if (!ExceptionHandler()) throw;
    ExceptionHandler()(std::current_exception());
  }
}

void TWinControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && IsControlMouseMsg(Message)) return;
  TControl::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* target = nullptr;
  const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (handle_ != nullptr && GetCapture() == handle_) {
    if (g_captureControl != nullptr && g_captureControl->Parent() == this) target = g_captureControl;
  } else {
    target = ControlAtPos(p, false);
  }
  if (target == nullptr) return false;
  TMessage routed{Message.Msg, Message.WParam, MAKELPARAM(p.X - target->Left(), p.Y - target->Top()), 0};
  target->WndProc(routed);
  Message.Result = routed.Result;
  return true;
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
    case WM_NCDESTROY: WMNCDestroy(Message); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_DIALOGCHAR: CMDialogChar(Message); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); break;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); break;
    default: TControl::Dispatch(Message); break;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  // Component messages are the library's own; the window system has no
  // answer for them.
  if (Message.Msg >= CM_BASE && Message.Msg < CM_BASE + 0x1000) return;
  if (handle_ != nullptr) Message.Result = DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

// --- window ----------------------------------------------------------------------------

HWND TWinControl::Handle() {
  if (handle_ == nullptr) CreateHandle();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = controlStyle_.Contains(csSetCaption) ? Text() : std::string();
  if (Parent() != nullptr) {
    Params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.Parent = Parent()->Handle();
  } else {
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    Params.Parent = nullptr;
  }
  if (tabStop_) Params.Style |= WS_TABSTOP;
  if (!Enabled()) Params.Style |= WS_DISABLED;
  Params.ExStyle = 0;
  Params.ClassStyle = CS_VREDRAW | CS_HREDRAW;
  if (controlStyle_.Contains(csDoubleClicks)) Params.ClassStyle |= CS_DBLCLKS;
  Params.X = Left();
  Params.Y = Top();
  Params.Width = Width();
  Params.Height = Height();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  params.Style &= ~static_cast<DWORD>(WS_VISIBLE);  // shown through Showing only
  params.WndProc = [this](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    TMessage m{msg, wp, lp, 0};
    MainWndProc(h, m);
    return m.Result;
  };
  HWND h = CreateWindowEx(params);
  if (h == nullptr) {
    // A creation refused after the first messages may have registered it.
    if (handle_ != nullptr) Unregister(handle_, this);
    handle_ = nullptr;
    throw EOutOfResources("Error creating window");
  }
  handle_ = h;
  WindowControls()[h] = this;
}

void TWinControl::CreateHandle() {
  if (handle_ != nullptr) return;
  if (ComponentState().Contains(csDestroying)) throw EInvalidOperation("Control '" + Name() + "' is being destroyed");
  CreateWnd();
  PlaceInZOrder();
  UpdateBounds();
  // A window made on demand for a control that belongs on screen (its old
  // one was destroyed while the parent stayed shown) is shown at once.
  if (!showing_ && Parent() != nullptr && Parent()->showing_) UpdateShowing();
}

void TWinControl::PlaceInZOrder() {
  if (Parent() == nullptr || handle_ == nullptr) return;
  const auto& list = Parent()->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  // Directly below the lowest later sibling that has a window, or on top.
  HWND after = HWND_TOP;
  for (++it; it != list.end(); ++it) {
    if (auto* w = dynamic_cast<TWinControl*>(*it); w != nullptr && w->handle_ != nullptr) {
      after = w->handle_;
      break;
    }
  }
  SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  controlState_.Include(csDestroyingHandle);
  try {
    for (TControl* c : std::vector<TControl*>(controls_))
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
  } catch (...) {
    controlState_.Exclude(csDestroyingHandle);
    throw;
  }
  controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd() {
  HWND h = handle_;
  if (h == nullptr) return;
  ReleaseDeviceContexts();
  for (TControl* c : controls_)
    if (dynamic_cast<TWinControl*>(c) == nullptr) c->ReleaseDeviceContexts();
  DestroyWindow(h);
  Unregister(h, this);
  handle_ = nullptr;
  showing_ = false;
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  // The window is going away, possibly with its parent's: forget it.
  ReleaseDeviceContexts();
  for (TControl* c : controls_)
    if (dynamic_cast<TWinControl*>(c) == nullptr) c->ReleaseDeviceContexts();
  HWND h = handle_;
  DefaultHandler(Message);
  Unregister(h, this);
  handle_ = nullptr;
  showing_ = false;
}

void TWinControl::UpdateControlState() { UpdateShowing(); }

void TWinControl::UpdateShowing() {
  const bool want = (Visible() || (Designing() && !controlStyle_.Contains(csNoDesignVisible))) &&
                    !controlState_.Contains(csReadingState) && !ComponentState().Contains(csDestroying) &&
                    (Parent() == nullptr || Parent()->showing_);
  if (want) {
    if (handle_ == nullptr) CreateHandle();
    if (!showing_) {
      showing_ = true;
      for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
      try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
      } catch (...) {
        showing_ = false;
        throw;
      }
    }
  } else if (showing_) {
    showing_ = false;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      showing_ = true;
      throw;
    }
    for (TControl* c : std::vector<TControl*>(controls_))
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
  }
}

void TWinControl::CMShowingChanged(TMessage& /*Message*/) {
  if (handle_ == nullptr) return;
  ShowWindow(handle_, showing_ ? (Parent() != nullptr ? SW_SHOWNA : SW_SHOW) : SW_HIDE);
}

void TWinControl::CMVisibleChanged(TMessage& /*Message*/) { UpdateShowing(); }

void TWinControl::CMEnabledChanged(TMessage& Message) {
  if (handle_ != nullptr) EnableWindow(handle_, Enabled() ? TRUE : FALSE);
  TControl::CMEnabledChanged(Message);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  TControl::CMColorChanged(Message);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  TControl::CMFontChanged(Message);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMTextChanged(TMessage& Message) {
  if (handle_ != nullptr && controlStyle_.Contains(csSetCaption)) SetWindowText(handle_, Text());
  TControl::CMTextChanged(Message);
}

void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMSysColorChange(TMessage& Message) {
  Invalidate();
  Broadcast(Message);
}

// --- children --------------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return controls_[static_cast<std::size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c != nullptr; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* AControl) {
  if (AControl == nullptr || std::find(controls_.begin(), controls_.end(), AControl) != controls_.end()) return;
  AControl->parent_ = this;
  controls_.push_back(AControl);
  auto* win = dynamic_cast<TWinControl*>(AControl);
  if (win != nullptr) tabList_.push_back(win);
  if (!AControl->controlState_.Contains(csReadingState)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  }
  if (win != nullptr) {
    if (win->pendingTabOrder_ >= 0 && !win->Loading()) {
      const int order = win->pendingTabOrder_;
      win->pendingTabOrder_ = -1;
      win->SetTabOrder(order);
    }
    win->UpdateShowing();
  } else {
    AControl->Invalidate();
  }
  if (AControl->Align() != alNone) Realign();
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (std::find(controls_.begin(), controls_.end(), AControl) == controls_.end()) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  if (GetCaptureControl() == AControl) SetCaptureControl(nullptr);
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
    win->DestroyHandle();
    RemoveFromTabList(win);
  } else {
    AControl->InvalidateControl(AControl->Visible(), false);
    AControl->ReleaseDeviceContexts();
  }
  auto it = std::find(controls_.begin(), controls_.end(), AControl);
  if (it != controls_.end()) controls_.erase(it);
  AControl->parent_ = nullptr;
  if (AControl->Align() != alNone) Realign();
}

void TWinControl::RemoveFromTabList(TWinControl* Control) {
  auto it = std::find(tabList_.begin(), tabList_.end(), Control);
  if (it != tabList_.end()) tabList_.erase(it);
}

void TWinControl::Broadcast(TMessage& Message) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    controls_[i]->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    TMessage m{Msg, 0, 0, 0};
    controls_[i]->WndProc(m);
  }
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
  const auto hit = [&](TControl* c) {
    const bool shown = c->Visible() || (c->Designing() && !c->ControlStyle().Contains(csNoDesignVisible));
    if (!shown || !(c->Enabled() || AllowDisabled)) return false;
    if (!c->BoundsRect().Contains(Pos.X, Pos.Y)) return false;
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.X - c->Left(), Pos.Y - c->Top())) != 0;
  };
  // Windowed children lie above all windowless ones.
  if (AllowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
      if (dynamic_cast<TWinControl*>(*it) != nullptr && hit(*it)) return *it;
  }
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (dynamic_cast<TWinControl*>(*it) == nullptr && hit(*it)) return *it;
  return nullptr;
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  for (TControl* c : controls_)
    if (c->Owner() == Root) Proc(c);
}

void TWinControl::SetParent(TWinControl* AParent) {
  // A top-level window cannot become a child window: it is made anew.
  if (AParent != Parent() && Parent() == nullptr && handle_ != nullptr) DestroyHandle();
  TControl::SetParent(AParent);
}

// --- painting ----------------------------------------------------------------------------

void TWinControl::WMPaint(TMessage& Message) {
  if (Message.WParam != 0) {
    // A DC in WParam: paint into it (an off-screen buffer) without the
    // window's own paint cycle.
    PaintHandler(reinterpret_cast<HDC>(Message.WParam));
    return;
  }
  if (handle_ == nullptr) return;
  PAINTSTRUCT ps;
  const HWND h = handle_;
  const ScopedDC dc(BeginPaint(h, &ps), [h, &ps](HDC) { EndPaint(h, &ps); });
  PaintHandler(dc.get());
}

void TWinControl::PaintHandler(HDC DC) {
  PaintWindow(DC);
  PaintControls(DC, nullptr);
}

void TWinControl::PaintWindow(HDC /*DC*/) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  if (DC == nullptr) return;
  std::size_t i = 0;
  if (First != nullptr) {
    auto it = std::find(controls_.begin(), controls_.end(), First);
    if (it == controls_.end()) return;
    i = static_cast<std::size_t>(it - controls_.begin());
  }
  TPoint org{};
  GetViewportOrgEx(DC, &org);
  for (; i < controls_.size(); ++i) {
    TControl* c = controls_[i];
    if (dynamic_cast<TWinControl*>(c) != nullptr) continue;
    if (!(c->Visible() || (c->Designing() && !c->ControlStyle().Contains(csNoDesignVisible)))) continue;
    // A control placed beyond the range a DC's origin can take is off every
    // surface: there is nothing of it to paint.
    const long long x = static_cast<long long>(org.X) + c->Left();
    const long long y = static_cast<long long>(org.Y) + c->Top();
    if (x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX) continue;
    const ScopedSaveDC state(DC);
    if (!SetViewportOrgEx(DC, static_cast<int>(x), static_cast<int>(y), nullptr)) continue;
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(dc, ClientRect(), brush.get());
  Message.Result = 1;
}

HDC TWinControl::GetDeviceContext(HWND* Window) {
  HWND w = Handle();
  HDC dc = GetDC(w);
  if (dc == nullptr) throw EOutOfResources("Out of system resources");
  *Window = w;
  return dc;
}

void TWinControl::Invalidate() {
  if (handle_ != nullptr) InvalidateRect(handle_, nullptr, controlStyle_.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
  if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

// --- bounds and alignment ----------------------------------------------------------------

TRect TWinControl::GetClientRect() const {
  if (handle_ != nullptr) {
    TRect r{};
    if (bellcut::GetClientRect(handle_, &r)) return r;
  }
  return TControl::GetClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  if (handle_ != nullptr) {
    TPoint p{0, 0};
    bellcut::ClientToScreen(handle_, &p);
    return p;
  }
  if (Parent() == nullptr) return {Left(), Top()};
  return Parent()->ClientOrigin() + TPoint{Left(), Top()};
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const TRect b = ClampedBounds(ALeft, ATop, AWidth, AHeight);
  ALeft = b.Left;
  ATop = b.Top;
  AWidth = b.Width();
  AHeight = b.Height();
  if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
  const TRect old = BoundsRect();
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  if (handle_ != nullptr) {
    {
      FlagGuard guard(settingBounds_);
      SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The window system may have limited the size.
    if (handle_ != nullptr) {
      TRect wr{};
      GetWindowRect(handle_, &wr);
      width_ = wr.Width();
      height_ = wr.Height();
    }
  }
  BoundsChanged(old);
}

void TWinControl::UpdateBounds() {
  if (handle_ == nullptr) return;
  TRect wr{};
  if (!GetWindowRect(handle_, &wr)) return;
  if (HWND ph = GetParent(handle_); ph != nullptr) {
    TPoint tl{wr.Left, wr.Top};
    bellcut::ScreenToClient(ph, &tl);
    wr = Bounds(tl.X, tl.Y, wr.Width(), wr.Height());
  }
  const TRect old = BoundsRect();
  if (wr == old) return;
  left_ = wr.Left;
  top_ = wr.Top;
  width_ = wr.Width();
  height_ = wr.Height();
  BoundsChanged(old);
}

void TWinControl::BoundsChanged(const TRect& Old) {
  if (!anchoring_) UpdateAnchorRules();
  if (Old.Width() != Width() || Old.Height() != Height()) {
    Realign();
    if (!Loading()) Resize();
  }
  RequestAlign();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  if (!settingBounds_) UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0) --alignLevel_;
  if (alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
  if (alignLevel_ > 0 || Loading() || ComponentState().Contains(csDestroying)) {
    controlState_.Include(csAlignmentNeeded);
    return;
  }
  ++alignLevel_;
  try {
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  } catch (...) {
    --alignLevel_;
    throw;
  }
  --alignLevel_;
  controlState_.Exclude(csAlignmentNeeded);
}

void TWinControl::AlignControls(TControl* /*AControl*/, TRect& Rect) {
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->Align() == a && (c->Visible() || (c->Designing() && !c->ControlStyle().Contains(csNoDesignVisible))))
        list.push_back(c);
    // Controls of one alignment stack in the order of their current places.
    std::stable_sort(list.begin(), list.end(), [a](const TControl* x, const TControl* y) {
      switch (a) {
        case alTop: return x->Top() < y->Top();
        case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
        case alLeft: return x->Left() < y->Left();
        case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      const int w = std::max(Rect.Width(), 0);
      const int h = std::max(Rect.Height(), 0);
      switch (a) {
        case alTop:
          c->SetBounds(Rect.Left, Rect.Top, w, c->Height());
          Rect.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), w, c->Height());
          Rect.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(Rect.Left, Rect.Top, c->Width(), h);
          Rect.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), h);
          Rect.Right -= c->Width();
          break;
        default:
          c->SetBounds(Rect.Left, Rect.Top, w, h);
          break;
      }
    }
  }
  // Unaligned children follow their anchors when the client size changed.
  const TRect client = ClientRect();
  const TPoint size{client.Width(), client.Height()};
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->Align() != alNone || c->Anchors() == TAnchors{akLeft, akTop}) continue;
    if (c->anchorParentSize_.X <= 0 && c->anchorParentSize_.Y <= 0) continue;
    const TRect b = c->AnchoredBounds(size);
    FlagGuard guard(c->anchoring_);
    c->SetBounds(b.Left, b.Top, b.Width(), b.Height());
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  if (pendingTabOrder_ >= 0) {
    const int order = pendingTabOrder_;
    pendingTabOrder_ = -1;
    SetTabOrder(order);
  }
  if (controlState_.Contains(csAlignmentNeeded)) Realign();
}

// --- z-order and focus ----------------------------------------------------------------

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (handle_ != nullptr) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SendToBack() {
  TControl::SendToBack();
  if (handle_ != nullptr) SetWindowPos(handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  bellcut::SetFocus(Handle());
}

bool TWinControl::Focused() const { return handle_ != nullptr && GetFocus() == handle_; }

int TWinControl::TabOrder() const {
  if (pendingTabOrder_ >= 0) return pendingTabOrder_;
  if (Parent() == nullptr) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (Loading() || Parent() == nullptr) {
    // The siblings may not exist yet: the order is applied when loaded.
    pendingTabOrder_ = Value;
    return;
  }
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  const int pos = std::clamp(Value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + pos, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (tabStop_ == Value) return;
  tabStop_ = Value;
  if (handle_ != nullptr) {
    auto style = static_cast<DWORD>(GetWindowLongPtr(handle_, GWL_STYLE));
    style = Value ? (style | WS_TABSTOP) : (style & ~static_cast<DWORD>(WS_TABSTOP));
    SetWindowLongPtr(handle_, GWL_STYLE, static_cast<LONG_PTR>(style));
  }
}

}  // namespace bellcut
