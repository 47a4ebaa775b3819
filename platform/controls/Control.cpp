#include <algorithm>
#include <unordered_set>

#include "platform/base/Exceptions.h"
#include "platform/base/NeverDestroyed.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Controls.h"

namespace bellcut {

namespace {

// Every control object alive, so that code holding a pointer across calls
// that may destroy controls (the idle pointer tracking) can tell whether it
// is still valid.
// Never destroyed, as controls may be destroyed at exit (NeverDestroyed.h).
std::unordered_set<const TControl*>& LiveControls() {
  static NeverDestroyed<std::unordered_set<const TControl*>> live;
  return *live;
}

TPoint MousePoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

namespace controls_detail {
bool IsLiveControl(const TControl* Control) { return Control != nullptr && LiveControls().contains(Control); }
}  // namespace controls_detail

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState s;
  if ((Keys & MK_SHIFT) != 0) s.Include(ssShift);
  if ((Keys & MK_CONTROL) != 0) s.Include(ssCtrl);
  if ((Keys & MK_LBUTTON) != 0) s.Include(ssLeft);
  if ((Keys & MK_RBUTTON) != 0) s.Include(ssRight);
  if ((Keys & MK_MBUTTON) != 0) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

bool IsAccel(unsigned VK, std::string_view Str) {
  const auto upper = [](unsigned c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
  for (std::size_t i = 0; i + 1 < Str.size(); ++i) {
    if (Str[i] != '&') continue;
    const auto next = static_cast<unsigned char>(Str[i + 1]);
    if (next == '&') {  // a literal ampersand, not a marker
      ++i;
      continue;
    }
    return upper(next) == upper(VK & 0xFF);
  }
  return false;
}

// --- TControl ----------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  LiveControls().insert(this);
}

TControl::~TControl() {
  LiveControls().erase(this);
  controls_detail::ForgetMouseIdleControl(this);
  controls_detail::ForgetCaptureControl(this);
  if (parent_ != nullptr) parent_->RemoveControl(this);
  font_->OnChange = nullptr;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    // A control that does not take double clicks sees a second press.
    if (!controlStyle_.Contains(csDoubleClicks)) {
      if (Message.Msg == WM_LBUTTONDBLCLK) Message.Msg = WM_LBUTTONDOWN;
      else if (Message.Msg == WM_RBUTTONDBLCLK) Message.Msg = WM_RBUTTONDOWN;
      else if (Message.Msg == WM_MBUTTONDBLCLK) Message.Msg = WM_MBUTTONDOWN;
    }
    switch (Message.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
        // Only a plain press makes a click candidate: the second press of a
        // double click reports DblClick instead, so a double click clicks once.
        if (Message.Msg == WM_LBUTTONDOWN && controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
        controlState_.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        // The capture goes before Click and MouseUp run, so that they see
        // the pointer as it really is.
        controlState_.Exclude(csLButtonDown);
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
        break;
      default:
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP: WMOtherButton(Message); break;
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_HITTEST: CMHitTest(Message); break;
    default: DefaultHandler(Message); break;
  }
}

void TControl::DefaultHandler(TMessage& /*Message*/) {}

// --- parent --------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (parent_ == AParent) return;
  for (const TControl* p = AParent; p != nullptr; p = p->parent_)
    if (p == this) throw EInvalidOperation("A control cannot have itself or a child as its parent");
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (AParent != nullptr) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

// --- bounds ----------------------------------------------------------------------

TRect TControl::ClampedBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const auto coord = [](int v) { return std::clamp(v, -kMaxControlCoord, kMaxControlCoord); };
  const auto side = [](int v) { return std::clamp(v, 0, kMaxControlCoord); };
  return Bounds(coord(ALeft), coord(ATop), side(AWidth), side(AHeight));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const TRect b = ClampedBounds(ALeft, ATop, AWidth, AHeight);
  ALeft = b.Left;
  ATop = b.Top;
  AWidth = b.Width();
  AHeight = b.Height();
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  const bool sized = AWidth != width_ || AHeight != height_;
  InvalidateControl(visible_, controlStyle_.Contains(csOpaque));
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  if (!anchoring_) UpdateAnchorRules();
  Invalidate();
  if (sized && !Loading()) Resize();
  RequestAlign();
}

TRect TControl::GetClientRect() const { return {0, 0, width_, height_}; }

void TControl::SetClientWidth(int Value) { SetWidth(width_ - ClientWidth() + Value); }
void TControl::SetClientHeight(int Value) { SetHeight(height_ - ClientHeight() + Value); }

TPoint TControl::ClientOrigin() const {
  if (parent_ == nullptr) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  return parent_->ClientOrigin() + TPoint{left_, top_};
}

TPoint TControl::ClientToScreen(TPoint Point) const { return Point + ClientOrigin(); }
TPoint TControl::ScreenToClient(TPoint Point) const { return Point - ClientOrigin(); }

TPoint TControl::CursorClientPos() const {
  TPoint p{};
  GetCursorPos(&p);
  return ScreenToClient(p);
}

bool TControl::CursorInClient() const {
  const TPoint p = CursorClientPos();
  return ClientRect().Contains(p.X, p.Y);
}

void TControl::SetAlign(TAlign Value) {
  if (align_ == Value) return;
  const TAlign old = align_;
  align_ = Value;
  anchors_ = AnchorAlign(Value);
  if (old != alNone || Value != alNone) RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (anchors_ == Value) return;
  anchors_ = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  anchorBounds_ = BoundsRect();
  if (parent_ != nullptr) {
    const TRect r = parent_->ClientRect();
    anchorParentSize_ = {r.Width(), r.Height()};
  } else {
    anchorParentSize_ = {};
  }
}

TRect TControl::AnchoredBounds(TPoint NewParentSize) const {
  TRect r = BoundsRect();
  const TRect& o = anchorBounds_;
  const auto axis = [](bool nearSide, bool farSide, int start, int size, int oldParent, int newParent, int& outStart,
                       int& outSize) {
    if (oldParent <= 0) return;  // nothing recorded to keep
    const int delta = newParent - oldParent;
    if (nearSide && farSide) {
      outStart = start;
      outSize = size + delta;
    } else if (farSide) {
      outStart = start + delta;
      outSize = size;
    } else if (!nearSide) {
      // Neither side anchored: the control's centre keeps its proportional
      // place (halves truncate toward zero).
      const long long centre = start + size / 2;
      outStart = static_cast<int>(centre * newParent / oldParent) - size / 2;
      outSize = size;
    }
  };
  int x = r.Left, w = r.Width(), y = r.Top, h = r.Height();
  axis(anchors_.Contains(akLeft), anchors_.Contains(akRight), o.Left, o.Width(), anchorParentSize_.X, NewParentSize.X,
       x, w);
  axis(anchors_.Contains(akTop), anchors_.Contains(akBottom), o.Top, o.Height(), anchorParentSize_.Y, NewParentSize.Y,
       y, h);
  return Bounds(x, y, std::max(w, 0), std::max(h, 0));
}

void TControl::RequestAlign() {
  if (parent_ != nullptr && align_ != alNone) parent_->Realign();
}

// --- visibility and state ------------------------------------------------------

void TControl::SetVisible(bool Value) {
  if (visible_ == Value) return;
  VisibleChanging();
  visible_ = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const TCaption& Value) {
  if (text_ == Value) return;
  text_ = Value;
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (color_ == Value) return;
  color_ = Value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  if (parent_ != nullptr && Value && !Loading()) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetFont(const TFont& Value) { font_->Assign(&Value); }

void TControl::FontChanged() {
  parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (parent_ != nullptr && Value && !Loading()) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (showHint_ == Value) return;
  showHint_ = Value;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (parentShowHint_ == Value) return;
  parentShowHint_ = Value;
  if (parent_ != nullptr && Value && !Loading()) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (cursor_ == Value) return;
  cursor_ = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TComponent* Value) {
  if (popupMenu_ == Value) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TControl::SetHelpKeyword(const std::string& Value) {
  helpKeyword_ = Value;
  if (!Value.empty()) helpType_ = htKeyword;
}

void TControl::SetHelpContext(std::int32_t Value) {
  helpContext_ = Value;
  if (Value != 0) helpType_ = htContext;
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

// --- painting --------------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || parent_ == nullptr || !parent_->HandleAllocated()) return;
  const TRect r = BoundsRect();
  InvalidateRect(parent_->handle_, &r, IsOpaque ? FALSE : TRUE);
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_ != nullptr) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

HDC TControl::GetDeviceContext(HWND* Window) {
  if (parent_ == nullptr) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  HWND w = parent_->Handle();
  HDC dc = GetDC(w);
  if (dc == nullptr) throw EOutOfResources("Out of system resources");
  // A control beyond the range of a DC's origin is off every surface: its
  // DC draws nothing rather than at its parent's corner.
  if (SetViewportOrgEx(dc, left_, top_, nullptr))
    IntersectClipRect(dc, 0, 0, width_, height_);
  else
    IntersectClipRect(dc, 0, 0, 0, 0);
  *Window = w;
  return dc;
}

void TControl::BringToFront() {
  if (parent_ == nullptr) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end() || it + 1 == list.end()) return;
  list.erase(it);
  list.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (parent_ == nullptr) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end() || it == list.begin()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  Invalidate();
}

// --- mouse -----------------------------------------------------------------------

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  const TPoint p = MousePoint(Message.LParam);
  MouseDown(Button, KeysToShiftState(Message.WParam) + Shift, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  const TPoint p = MousePoint(Message.LParam);
  MouseUp(Button, KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TControl::WMLButtonDown(TMessage& Message) { DoMouseDown(Message, mbLeft, {}); }

void TControl::WMLButtonDblClk(TMessage& Message) {
  if (controlStyle_.Contains(csClickEvents)) DblClick();
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
  if (controlState_.Contains(csClicked)) {
    controlState_.Exclude(csClicked);
    const TPoint p = MousePoint(Message.LParam);
    if (ClientRect().Contains(p.X, p.Y)) Click();
  }
  // Click may have destroyed nothing of ours but may have changed the
  // capture; MouseUp still reports this release.
  DoMouseUp(Message, mbLeft);
}

void TControl::WMOtherButton(TMessage& Message) {
  switch (Message.Msg) {
    case WM_RBUTTONDOWN: DoMouseDown(Message, mbRight, {}); break;
    case WM_RBUTTONDBLCLK: DoMouseDown(Message, mbRight, {ssDouble}); break;
    case WM_RBUTTONUP: DoMouseUp(Message, mbRight); break;
    case WM_MBUTTONDOWN: DoMouseDown(Message, mbMiddle, {}); break;
    case WM_MBUTTONDBLCLK: DoMouseDown(Message, mbMiddle, {ssDouble}); break;
    case WM_MBUTTONUP: DoMouseUp(Message, mbMiddle); break;
    default: break;
  }
}

void TControl::WMMouseMove(TMessage& Message) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  const TPoint p = MousePoint(Message.LParam);
  MouseMove(KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

// --- component messages ----------------------------------------------------------

void TControl::CMVisibleChanged(TMessage& /*Message*/) { InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque)); }

void TControl::CMEnabledChanged(TMessage& /*Message*/) { Invalidate(); }

void TControl::CMColorChanged(TMessage& /*Message*/) { Invalidate(); }

void TControl::CMFontChanged(TMessage& /*Message*/) { Invalidate(); }

void TControl::CMTextChanged(TMessage& /*Message*/) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!parentColor_ || parent_ == nullptr) return;
  // WParam set: LParam carries the colour to take; otherwise the parent's.
  SetColor(Message.WParam != 0 ? static_cast<TColor>(Message.LParam) : parent_->Color());
  parentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!parentFont_ || parent_ == nullptr) return;
  const TFont* source = Message.WParam != 0 ? reinterpret_cast<const TFont*>(Message.LParam) : &parent_->Font();
  if (source != nullptr) SetFont(*source);
  parentFont_ = true;
}

void TControl::CMParentShowHintChanged(TMessage& /*Message*/) {
  if (!parentShowHint_ || parent_ == nullptr) return;
  SetShowHint(parent_->ShowHint());
  parentShowHint_ = true;
}

void TControl::CMMouseEnter(TMessage& /*Message*/) {
  if (parent_ != nullptr) parent_->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& /*Message*/) {
  if (parent_ != nullptr) parent_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

// --- form resources --------------------------------------------------------------

void TControl::ReadState(TReader& Reader) {
  controlState_.Include(csReadingState);
  try {
    if (auto* p = dynamic_cast<TWinControl*>(Reader.Parent())) SetParent(p);
    TComponent::ReadState(Reader);
  } catch (...) {
    controlState_.Exclude(csReadingState);
    throw;
  }
  controlState_.Exclude(csReadingState);
  if (parent_ != nullptr) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
  RequestAlign();
}

namespace {

// The control classes' own published properties, registered in this file so
// that every program using controls has them. Everything else a control has
// (Align, Caption, Color, Font, events, ...) is published by the classes that
// make it visible in a form resource.
const bool controlClassesPublished = [] {
  TPublishedClass<TControl, TComponent>()
      .Integer("Left", &TControl::Left, &TControl::SetLeft)
      .Integer("Top", &TControl::Top, &TControl::SetTop)
      .Integer("Width", &TControl::Width, &TControl::SetWidth)
      .Integer("Height", &TControl::Height, &TControl::SetHeight)
      .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, -32768, 32767, CursorIdents())
      .String("Hint", &TControl::Hint, &TControl::SetHint, std::string())
      .Enumeration<THelpType>("HelpType", HelpTypeInfo(), &TControl::HelpType, &TControl::SetHelpType, htContext)
      .String("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword, std::string())
      .Integer("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext, 0);
  TPublishedClass<TWinControl, TControl>();
  TPublishedClass<TGraphicControl, TControl>();
  TPublishedClass<TCustomControl, TWinControl>();
  return true;
}();

}  // namespace

}  // namespace bellcut
