// TClearControl: construction, property writers, update batching, loading,
// the component-message handlers, painting and the auto size. The face
// builder lives in ClearControlFace.cpp, the region composition in
// ClearControlRegion.cpp.
#include "clearctrl/ClearControl.h"

#include <algorithm>
#include <string>

#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiGuards.h"
#include "platform/graphics/Text.h"

namespace bellcut {

// --- construction and destruction -------------------------------------------

TClearControl::TClearControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FPicture = std::make_unique<TPicture>();
  BindPictureNotification();
  FUpImage = std::make_unique<TBitmap>();
  FDownImage = std::make_unique<TBitmap>();
  FHotImage = std::make_unique<TBitmap>();
  FDisabledImage = std::make_unique<TBitmap>();
  // The remaining defaults are the fields' initialisers; these two go
  // through the platform so that its own colour bookkeeping follows.
  SetParentColor(false);
  SetColor(clBtnFace);
  FShadowColor = clBtnShadow;
  FLightColor = clBtnHighlight;
  FMaxSize = {320, 320};
  // Through the overridden SetBounds, so the size limit applies from the start.
  SetWidth(260);
  SetHeight(48);
}

TClearControl::~TClearControl() {
  // The picture's notification points back at this control: cut it first.
  if (FPicture) FPicture->OnChange = nullptr;
  FPicture.reset();
  FUpImage.reset();
  FDownImage.reset();
  FHotImage.reset();
  FDisabledImage.reset();
  if (FUpRgn != nullptr) DeleteObject(FUpRgn);
  if (FDownRgn != nullptr) DeleteObject(FDownRgn);
  FUpRgn = FDownRgn = nullptr;
}

void TClearControl::BindPictureNotification() {
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

void TClearControl::Rebuild() {
  MakeBtnImageAndRgn();
  Invalidate();
}

// --- property writers ---------------------------------------------------------

void TClearControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AutoSizeArrange();
}

void TClearControl::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  AutoSizeArrange();
  Rebuild();
}

void TClearControl::SetCaptionLeft(int Value) {
  if (FCaptionLeft == Value) return;
  FCaptionLeft = Value;
  Rebuild();
}

void TClearControl::SetCaptionTop(int Value) {
  if (FCaptionTop == Value) return;
  FCaptionTop = Value;
  Rebuild();
}

void TClearControl::SetStyle(TTransBtnStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Rebuild();
}

void TClearControl::SetTransColor(TColor Value) {
  if (FTransparentColor == Value) return;
  FTransparentColor = Value;
  // Re-keying the bitmap notifies the picture, whose handler rebuilds on
  // its own; the batch folds that build and ours into one.
  BeginUpdate();
  try {
    if (auto* bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic())) bitmap->SetTransparentColor(Value);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TClearControl::SetLightColor(TColor Value) {
  if (FLightColor == Value) return;
  FLightColor = Value;
  Rebuild();
}

void TClearControl::SetShadowColor(TColor Value) {
  if (FShadowColor == Value) return;
  FShadowColor = Value;
  Rebuild();
}

void TClearControl::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  Rebuild();
}

void TClearControl::SetHotLightDepth(std::uint8_t Value) {
  if (FHotLightDepth == Value) return;
  FHotLightDepth = Value;
  Rebuild();
}

void TClearControl::SetOptions(TTransImgOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  Rebuild();
}

void TClearControl::SetHotTrack(bool Value) {
  if (FHotTrack == Value) return;
  FHotTrack = Value;
  Invalidate();
}

void TClearControl::SetChildGraphicsTrans(bool Value) {
  if (FChildGraphicsTrans == Value) return;
  FChildGraphicsTrans = Value;
  UpdateRgn();
  Invalidate();
}

void TClearControl::SetFormTrans(bool Value) {
  if (FFormTrans == Value) return;
  FFormTrans = Value;
  if (Value) {
    UpdateRgn();
  } else if (Parent() != nullptr && Parent()->HandleAllocated()) {
    // A parent without a window has no region to remove.
    SetWindowRgn(Parent()->Handle(), nullptr, TRUE);
  }
}

void TClearControl::SetPicture(const TPicture* Value) {
  // Assign notifies through OnChange; detach it so that the follow-up below
  // is the only one, whatever the picture object reports.
  FPicture->OnChange = nullptr;
  try {
    FPicture->Assign(Value);
  } catch (...) {
    BindPictureNotification();
    throw;
  }
  BindPictureNotification();
  PictureChanged(FPicture.get());
  Invalidate();
}

// --- update batching ----------------------------------------------------------

void TClearControl::BeginUpdate() { ++FUpdateCount; }

void TClearControl::EndUpdate() {
  FUpdateCount = std::max(FUpdateCount - 1, 0);
  if (FUpdateCount == 0) Rebuild();
}

// --- loading and sizing -------------------------------------------------------

void TClearControl::ReadState(TReader& Reader) {
  if (!FTextCleared) {
    // A resource without a caption must leave the caption empty, whatever
    // the platform put there (it may default to the component's name).
    FTextCleared = true;
    SetText("");
  }
  TCustomControl::ReadState(Reader);
}

void TClearControl::Loaded() {
  TCustomControl::Loaded();
  AutoSizeArrange();
  Rebuild();
}

void TClearControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const int oldLeft = Left();
  const int oldTop = Top();
  if (FMaxSize.X > 0 && AWidth > FMaxSize.X) AWidth = FMaxSize.X;
  if (FMaxSize.Y > 0 && AHeight > FMaxSize.Y) AHeight = FMaxSize.Y;
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (Left() != oldLeft || Top() != oldTop) Invalidate();
}

void TClearControl::Resize() {
  Rebuild();
  TCustomControl::Resize();
}

void TClearControl::CreateWnd() {
  TCustomControl::CreateWnd();
  // A window is made with the control's size already set, so no size change
  // reports it and Resize does not run; the first faces are built here, as
  // a first sizing would build them.
  if (!Loading()) MakeBtnImageAndRgn();
}

void TClearControl::AutoSizeArrange() {
  if (!FAutoSize || Loading()) return;
  try {
    if (Parent() == nullptr) return;
    TRect text{0, 0, 16, 8};
    if (!Caption().empty()) {
      text = {0, 0, 1000, 1000};
      // Measured on a memory DC with the control's font: the extent depends
      // on the font alone, and measuring must not force the control's
      // window into existence.
      Canvas().Font().Assign(&Font());
      const ScopedDC dc(CreateCompatibleDC(nullptr));
      if (!dc) throw EOutOfResources("Out of system resources");
      const ScopedSelectObject font(dc.get(), Font().Handle());
      const int height = DrawTextA(dc.get(), Caption().c_str(), -1, &text, DT_CALCRECT);
      if (height == 0) throw EInvalidOperation("Cannot measure the caption");
    }
    const int tw = text.Right;
    const int th = text.Bottom;
    int w = tw;
    int h = th;
    if (const TGraphic* graphic = FPicture->Graphic(); graphic != nullptr && !graphic->Empty()) {
      w = graphic->Width();
      h = graphic->Height();
    }
    w = std::max(w, tw);
    h = std::max(h, th);
    const int margin = 4 * BorderWidth() + 4;
    w += margin;
    h += margin;
    if (w != Width() || h != Height()) DoAutoSizeArrange(w, h);
  } catch (const Exception& e) {
    throw Exception(e.Message() + " at AutoSizeArrange");
  }
}

void TClearControl::DoAutoSizeArrange(int AWidth, int AHeight) { SetBounds(Left(), Top(), AWidth, AHeight); }

// --- component messages -------------------------------------------------------

void TClearControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_CONTROLCHANGE: CMControlChange(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_UPDATERGN: CMUpdateRgn(Message); break;
    default: TCustomControl::Dispatch(Message); break;
  }
}

void TClearControl::CMEnabledChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  Invalidate();
}

void TClearControl::CMColorChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  Rebuild();
}

void TClearControl::CMFontChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  AutoSizeArrange();
  Rebuild();
}

void TClearControl::CMTextChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  AutoSizeArrange();
  Rebuild();
}

void TClearControl::CMShowingChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (Visible()) UpdateRgn();
}

void TClearControl::CMControlChange(TMessage& Message) {
  auto* child = reinterpret_cast<TControl*>(Message.WParam);
  const bool inserting = Message.LParam != 0;
  if (inserting) {
    UpdateRgn();
  } else {
    FExcludedControl = child;
    try {
      UpdateRgn();
    } catch (...) {
      FExcludedControl = nullptr;
      throw;
    }
    FExcludedControl = nullptr;
  }
  Invalidate();
}

// The pointer handlers proper (hot face on enter, up face on leave) belong
// with the press behaviour; until then the platform's handling passes the
// notification up, and the published events fire for own and passed-up
// notifications alike.
void TClearControl::CMMouseEnter(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FOnMouseEnter) FOnMouseEnter(this);
}

void TClearControl::CMMouseLeave(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FOnMouseLeave) FOnMouseLeave(this);
}

// --- painting -----------------------------------------------------------------

void TClearControl::Paint() {
  if (!Enabled() && FOptions.Contains(sioDisableImage)) {
    Canvas().Draw(0, 0, FDisabledImage.get());
  } else if (Designing()) {
    Canvas().Draw(0, 0, FUpImage.get());
  } else if (FPressed && FPressedInside) {
    Canvas().Draw(0, 0, FDownImage.get());
  } else {
    (void)MouseUpViewUpdate(false);
  }
  PaintGraphicControls();
}

void TClearControl::PaintWindow(HDC DC) {
  // While the region build renders the children into its buffer the face
  // must stay out of it: its share of the region comes from the base regions.
  if (FPaintingToBuffer) return;
  TCustomControl::PaintWindow(DC);
}

bool TClearControl::MouseUpViewUpdate(bool CheckOnly) {
  if (Parent() == nullptr) return false;
  TPoint pos;
  GetCursorPos(&pos);
  const bool inside = FindDragTarget(pos, true) == this;
  if (CheckOnly) return inside;
  const bool hot = inside && FOptions.Contains(sioHotTrackImage) && FHotTrack && GetCapture() == nullptr;
  Canvas().Draw(0, 0, hot ? FHotImage.get() : FUpImage.get());
  PaintGraphicControls();
  return inside;
}

void TClearControl::PaintGraphicControls() {
  for (int i = 0; i < ControlCount(); ++i) {
    if (auto* child = dynamic_cast<TGraphicControl*>(Controls(i))) {
      PaintControls(Canvas().Handle(), child);
      break;
    }
  }
  Update();
}

void TClearControl::PictureChanged(TObject* /*Sender*/) {
  const TGraphic* graphic = FPicture->Graphic();
  if (graphic == nullptr || graphic->Empty()) {
    FTransparentColor = clFuchsia;
    Rebuild();
    return;
  }
  BeginUpdate();
  FPicture->OnChange = nullptr;
  const auto finish = [this] {
    BindPictureNotification();
    EndUpdate();
  };
  try {
    AutoSizeArrange();
    if (auto* bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic())) {
      bitmap->SetPixelFormat(pf24bit);
      bitmap->SetTransparent(true);
      FTransparentColor = static_cast<TColor>(ColorToRGB(bitmap->TransparentColor()) & 0x00FFFFFFu);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

}  // namespace bellcut
