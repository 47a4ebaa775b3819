// The control classes of the component library: TControl (a rectangle on a
// parent with mouse handling and component messages), TWinControl (a control
// with its own window and child controls), TGraphicControl (a windowless
// control drawn by its parent), TCustomControl (a windowed control with its
// own canvas) and TControlCanvas, plus the global helpers that find controls
// under the pointer and deliver the pointer-enter and pointer-leave
// notifications.
//
// Messages. Every control handles messages through WndProc (mouse capture
// and click bookkeeping) and Dispatch (a switch over the messages the class
// handles; anything else goes to DefaultHandler). A subclass overrides
// Dispatch, handles its own messages and calls its base's Dispatch for the
// inherited handling. Perform delivers a message at once.
//
// Children. A TWinControl keeps its child controls, windowed and windowless,
// in one list in z-order (bottom first). Windowed children are always drawn
// above the windowless ones, which their parent paints in list order.
// Destroying a TWinControl destroys its child controls first.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/controls/Messages.h"
#include "platform/gdi/Types.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Font.h"
#include "platform/windowing/WinUser.h"

namespace bellcut {

class TControl;
class TWinControl;

// --- enumerations and sets ---------------------------------------------------

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

enum class TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateItem;
using TShiftState = TSet<TShiftStateItem>;

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using enum TAlign;

enum class TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using enum TAnchorKind;
using TAnchors = TSet<TAnchorKind>;

enum class TControlStyleItem : std::uint8_t {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
};
using enum TControlStyleItem;
using TControlStyle = TSet<TControlStyleItem>;

enum class TControlStateItem : std::uint8_t {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
  csCustomPaint, csDestroyingHandle, csDocking,
};
using enum TControlStateItem;
using TControlState = TSet<TControlStateItem>;

enum class TDragMode : std::uint8_t { dmManual, dmAutomatic };
using enum TDragMode;
enum class TDragKind : std::uint8_t { dkDrag, dkDock };
using enum TDragKind;
enum class THelpType : std::uint8_t { htKeyword, htContext };
using enum THelpType;

// The anchors an alignment implies (what Align sets Anchors to).
[[nodiscard]] constexpr TAnchors AnchorAlign(TAlign Value) {
  switch (Value) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akRight, akTop, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    default: return {akLeft, akTop};
  }
}

using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHandPoint = -21;

using TCaption = std::string;

// --- events ------------------------------------------------------------------

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
// Drag and dock events keep their slots for form resources; this library
// starts no drag or dock operations itself. The drag object is passed as a
// plain object.
using TStartDragEvent = std::function<void(TObject* Sender, TObject*& DragObject)>;
using TStartDockEvent = std::function<void(TObject* Sender, TObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Mouse-message key flags to a shift state (ssAlt from the keyboard state).
[[nodiscard]] TShiftState KeysToShiftState(WPARAM Keys);
// The shift state of the keyboard and mouse buttons now.
[[nodiscard]] TShiftState KeyboardShiftState();

// --- TControlCanvas ----------------------------------------------------------

// The canvas of a control. Inside a paint it is bound to the paint's DC;
// used outside one it takes a DC of the control's window (for a windowless
// control, of its parent's window with the origin at the control and the
// clip limited to it) and keeps it until FreeHandle or FreeDeviceContexts.
class TControlCanvas : public TCanvas {
 public:
  BELLCUT_CLASS_NAME(TControlCanvas)
  TControlCanvas() = default;
  ~TControlCanvas() override;

  [[nodiscard]] TControl* Control() const { return control_; }
  void SetControl(TControl* AControl);
  // Binds a DC made elsewhere (null unbinds); a DC the canvas took itself is
  // released first.
  void SetHandle(HDC value);
  // Releases the DC the canvas took itself (nothing for a bound one).
  void FreeHandle();
  // Locks the canvas and binds DC for the length of Paint; the binding and
  // the lock are undone on every path, an exception from Paint included.
  void PaintWith(HDC DC, const std::function<void()>& Paint);
  // Recomputes the text output flags from the control (reading order).
  void UpdateTextFlags();
  [[nodiscard]] unsigned TextFlags() const { return textFlags_; }

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  HDC ownDC_ = nullptr;
  HWND ownWindow_ = nullptr;
  unsigned textFlags_ = 0;
};

// Releases the DCs every control canvas took outside a paint (the
// application calls it when idle).
void FreeDeviceContexts();

// Control bounds are kept within these limits: Left and Top within
// ±kMaxControlCoord of the parent's client origin (as the window system keeps
// window positions), Width and Height within 0 .. kMaxControlCoord. Sums of
// positions and sizes along a chain of parents (client origins, bounds
// rectangles) then stay far inside int.
constexpr int kMaxControlCoord = 1 << 20;

// --- TControl ----------------------------------------------------------------

class TControl : public TComponent {
 public:
  BELLCUT_CLASS_NAME(TControl)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Messages.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // Parent.
  [[nodiscard]] TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);
  void SetParentComponent(TComponent* Value) override;
  [[nodiscard]] TComponent* GetParentComponent() const override;
  [[nodiscard]] bool HasParent() const override { return true; }

  // Bounds (Left/Top in the parent's client coordinates; a control without
  // parent: screen coordinates). SetBounds clamps to kMaxControlCoord.
  [[nodiscard]] int Left() const { return left_; }
  [[nodiscard]] int Top() const { return top_; }
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
  void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
  void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
  void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  [[nodiscard]] TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  [[nodiscard]] TRect GetBoundsRect() const { return BoundsRect(); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  [[nodiscard]] TRect ClientRect() const { return GetClientRect(); }
  [[nodiscard]] int ClientWidth() const { return ClientRect().Width(); }
  [[nodiscard]] int ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  // Screen position of the client area's top-left corner.
  [[nodiscard]] virtual TPoint ClientOrigin() const;
  [[nodiscard]] TPoint ClientToScreen(TPoint Point) const;
  [[nodiscard]] TPoint ScreenToClient(TPoint Point) const;
  // The pointer's position in this control's client coordinates.
  [[nodiscard]] TPoint CursorClientPos() const;
  // Whether the pointer is inside the client rectangle now.
  [[nodiscard]] bool CursorInClient() const;

  [[nodiscard]] TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);
  [[nodiscard]] TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors Value);

  // Visibility and state.
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  [[nodiscard]] bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool Value);
  [[nodiscard]] TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }
  [[nodiscard]] TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState Value) { controlState_ = Value; }
  [[nodiscard]] bool Designing() const { return ComponentState().Contains(csDesigning); }
  [[nodiscard]] bool Loading() const { return ComponentState().Contains(csLoading); }

  // Text, colour, font.
  [[nodiscard]] const TCaption& Caption() const { return text_; }
  void SetCaption(const TCaption& Value) { SetText(Value); }
  [[nodiscard]] const TCaption& Text() const { return text_; }
  void SetText(const TCaption& Value);
  [[nodiscard]] TColor Color() const { return color_; }
  void SetColor(TColor Value);
  [[nodiscard]] bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  [[nodiscard]] TFont& Font() { return *font_; }
  [[nodiscard]] const TFont& Font() const { return *font_; }
  void SetFont(const TFont& Value);
  [[nodiscard]] bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);

  // Painting.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // Z-order among the parent's children.
  virtual void BringToFront();
  virtual void SendToBack();

  // Mouse capture: the control receives the mouse messages while it holds it
  // (a windowless control through its parent's window).
  [[nodiscard]] bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // Stored-only properties (hints, cursors, help, drag and dock settings,
  // the popup menu).
  [[nodiscard]] const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { hint_ = Value; }
  [[nodiscard]] bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  [[nodiscard]] bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool Value);
  [[nodiscard]] TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  [[nodiscard]] TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor Value) { dragCursor_ = Value; }
  [[nodiscard]] TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind Value) { dragKind_ = Value; }
  [[nodiscard]] TDragMode DragMode() const { return dragMode_; }
  virtual void SetDragMode(TDragMode Value) { dragMode_ = Value; }
  [[nodiscard]] TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* Value);
  [[nodiscard]] THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType Value) { helpType_ = Value; }
  [[nodiscard]] const std::string& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const std::string& Value);
  [[nodiscard]] std::int32_t HelpContext() const { return helpContext_; }
  void SetHelpContext(std::int32_t Value);

  // Form-resource hooks.
  void ReadState(TReader& Reader) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Events.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TStartDockEvent OnStartDock;
  TEndDragEvent OnEndDock;

  // The pointer handlers; the defaults fire the matching events.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Click();
  virtual void DblClick();
  // Called after a size change (children realigned by then), except while
  // loading; fires OnResize.
  virtual void Resize();

 protected:
  // The client area in client coordinates; (0, 0, Width, Height) unless the
  // control has a frame.
  [[nodiscard]] virtual TRect GetClientRect() const;
  // Invalidates the control's rectangle on the parent's window.
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  // The parent must realign after this control's placement changed.
  void RequestAlign();
  // Records the placement the anchors keep when the parent is resized.
  void UpdateAnchorRules();
  // The placement the anchors give for the parent's new client size.
  [[nodiscard]] TRect AnchoredBounds(TPoint NewParentSize) const;
  virtual void VisibleChanging() {}
  // A device context of the window this control draws on: its own window,
  // or its parent's with the origin moved to the control and the clip
  // limited to it. Release with ReleaseDC on *Window.
  [[nodiscard]] virtual HDC GetDeviceContext(HWND* Window);
  // Gives back the DCs the control's canvas took outside a paint (the window
  // they belong to is going away, or the control moved).
  virtual void ReleaseDeviceContexts() {}

  // Message handlers (the inherited handling of a message is its base
  // class's Dispatch, or these directly).
  void WMLButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMOtherButton(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMHitTest(TMessage& Message);

  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;

 private:
  friend class TWinControl;
  friend class TControlCanvas;
  void FontChanged();
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  // The bounds SetBounds keeps: each value clamped to its range.
  [[nodiscard]] static TRect ClampedBounds(int ALeft, int ATop, int AWidth, int AHeight);
  bool visible_ = true;
  bool enabled_ = true;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  // The placement and the parent's client size the anchors keep.
  TRect anchorBounds_{};
  TPoint anchorParentSize_{};
  bool anchoring_ = false;  // SetBounds comes from the anchors: keep the rules
  TCaption text_;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TCursor cursor_ = crDefault;
  TCursor dragCursor_ = crDrag;
  TDragKind dragKind_ = dkDrag;
  TDragMode dragMode_ = dmManual;
  TComponent* popupMenu_ = nullptr;
  THelpType helpType_ = htContext;
  std::string helpKeyword_;
  std::int32_t helpContext_ = 0;
};

// --- TWinControl -------------------------------------------------------------

using TCreateParams = bellcut::CreateParams;

class TWinControl : public TControl {
 public:
  BELLCUT_CLASS_NAME(TWinControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  // The window, created on first use (and the parent's with it).
  [[nodiscard]] HWND Handle();
  [[nodiscard]] bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { (void)Handle(); }
  // Destroys the window (and the children's windows); the control stays.
  void DestroyHandle();
  // Whether the control is on screen: visible, with every parent showing.
  [[nodiscard]] bool Showing() const { return showing_; }
  // Brings Showing in line with Visible and the parent (a control without a
  // parent shows when Visible; this puts it on screen after a change the
  // control did not see, such as a handle made before it was shown).
  void UpdateControlState();

  // Children.
  [[nodiscard]] int ControlCount() const { return static_cast<int>(controls_.size()); }
  [[nodiscard]] TControl* Controls(int Index) const;
  [[nodiscard]] bool ContainsControl(const TControl* Control) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  // Delivers Message to each child in turn until one answers with a
  // non-zero Result.
  void Broadcast(TMessage& Message);
  // Sends a message to every child (answers are ignored).
  void NotifyControls(UINT Msg);
  // The topmost child at Pos (client coordinates): windowed children above
  // windowless ones; hidden ones never, disabled ones on request.
  [[nodiscard]] TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

  // Painting.
  void PaintControls(HDC DC, TControl* First);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;

  // Alignment.
  void DisableAlign();
  void EnableAlign();
  void Realign();
  [[nodiscard]] bool AlignDisabled() const { return alignLevel_ > 0; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;
  [[nodiscard]] TPoint ClientOrigin() const override;
  void BringToFront() override;
  void SendToBack() override;

  // Focus.
  void SetFocus();
  [[nodiscard]] bool CanFocus() const;
  [[nodiscard]] bool Focused() const;
  [[nodiscard]] int TabOrder() const;
  void SetTabOrder(int Value);
  [[nodiscard]] bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value);

  void Loaded() override;

 protected:
  [[nodiscard]] TRect GetClientRect() const override;
  // Shrinks the rectangle children are aligned in (borders of the control).
  virtual void AdjustClientRect(TRect& Rect) const { (void)Rect; }
  // Places the aligned and anchored children inside Rect.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void CreateHandle();
  // Paints the window's own content onto DC (the default: nothing; the
  // background is erased by WM_ERASEBKGND).
  virtual void PaintWindow(HDC DC);
  void PaintHandler(HDC DC);
  [[nodiscard]] HDC GetDeviceContext(HWND* Window) override;
  // Brings showing_ in line with Visible and the parent's Showing, creating
  // the window when the control comes on screen.
  void UpdateShowing();

  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMSysColorChange(TMessage& Message);

 private:
  friend class TControl;
  void MainWndProc(HWND Hwnd, TMessage& Message);
  // Routes a mouse message to the windowless child it concerns (the capture
  // holder, else the child under the pointer); false when it is the
  // window's own.
  bool IsControlMouseMsg(TMessage& Message);
  // Stored bounds from the window's real rectangle.
  void UpdateBounds();
  void BoundsChanged(const TRect& Old);
  void PlaceInZOrder();
  void RemoveFromTabList(TWinControl* Control);

  HWND handle_ = nullptr;
  bool showing_ = false;
  bool settingBounds_ = false;
  int alignLevel_ = 0;
  bool aligning_ = false;
  bool tabStop_ = false;
  int pendingTabOrder_ = -1;
  std::vector<TControl*> controls_;     // z-order, bottom first
  std::vector<TWinControl*> tabList_;  // windowed children in tab order
};

// --- TGraphicControl ---------------------------------------------------------

class TGraphicControl : public TControl {
 public:
  BELLCUT_CLASS_NAME(TGraphicControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  void Dispatch(TMessage& Message) override;
  // Draws on the parent's surface: origin at the control, clipped to it.
  [[nodiscard]] TCanvas& Canvas() { return *canvas_; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message);
  void ReleaseDeviceContexts() override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// --- TCustomControl ----------------------------------------------------------

class TCustomControl : public TWinControl {
 public:
  BELLCUT_CLASS_NAME(TCustomControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  [[nodiscard]] TCanvas& Canvas() { return *canvas_; }
  [[nodiscard]] TControlCanvas& ControlCanvas() { return *canvas_; }

 protected:
  virtual void Paint() {}
  // Binds the canvas to DC, locks it and calls Paint; the binding and the
  // lock are released also when Paint throws.
  void PaintWindow(HDC DC) override;
  void ReleaseDeviceContexts() override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// --- finding controls, capture, enter and leave ------------------------------

// The control whose window is Handle (null for none or a foreign window).
[[nodiscard]] TWinControl* FindControl(HWND Handle);
// The windowed control at a screen point: the window there (regions
// respected, disabled child windows passed over), or its nearest ancestor
// window that belongs to a control.
[[nodiscard]] TWinControl* FindVCLWindow(TPoint Pos);
// The control at a screen point: FindVCLWindow, then the topmost windowless
// child there (disabled ones when AllowDisabled).
[[nodiscard]] TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

// The control that holds the mouse capture (a windowless one when its parent
// captured for it), or null.
[[nodiscard]] TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// Whether Str has the accelerator character VK: an '&' followed by it,
// compared without regard to case ("&&" is a literal ampersand).
[[nodiscard]] bool IsAccel(unsigned VK, std::string_view Str);

// The application's idle step for pointer tracking: sends CM_MOUSELEAVE to
// the control the pointer left and CM_MOUSEENTER to the one it is now over.
void DoMouseIdle();
// The control DoMouseIdle found last (null when none or destroyed since).
[[nodiscard]] TControl* MouseIdleControl();

// What happens to an exception that escapes a control's window procedure:
// the application installs its error display here. Without a handler the
// exception propagates to whoever dispatched the message.
void SetControlExceptionHandler(std::function<void(std::exception_ptr)> Handler);

namespace controls_detail {
// Whether Control is a live control object (constructed, not yet destroyed).
[[nodiscard]] bool IsLiveControl(const TControl* Control);
void ForgetMouseIdleControl(const TControl* Control);
void ForgetCaptureControl(const TControl* Control);
}  // namespace controls_detail

}  // namespace bellcut
