#include "platform/controls/ExtCtrls.h"

#include "platform/base/Exceptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Text.h"

namespace bellcut {

// --- TTimer ------------------------------------------------------------------

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), alive_(std::make_shared<bool>(true)) {}

TTimer::~TTimer() {
  *alive_ = false;
  if (window_ != nullptr) {
    KillTimer(window_, kTimerId);
    DestroyWindow(window_);
  }
}

void TTimer::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
  if (Value == interval_) return;
  interval_ = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  onTimer_ = std::move(Value);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (window_ != nullptr) KillTimer(window_, kTimerId);
  armed_ = false;
  // A resource sets the handler without a setter: Loaded arms the timer.
  if (ComponentState().Contains(csLoading)) return;
  if (!enabled_ || interval_ == 0 || !onTimer_) return;
  if (window_ == nullptr || !IsWindow(window_)) {
    CreateParams p;
    p.Style = WS_POPUP;  // never shown: it only receives the ticks
    std::weak_ptr<bool> alive = alive_;
    p.WndProc = [this, alive](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
      const auto still = alive.lock();
      if (msg == WM_TIMER && still && *still) {
        Tick();
        return 0;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    };
    window_ = CreateWindowEx(p);
    if (window_ == nullptr) throw EOutOfResources("Not enough timers available");
  }
  if (SetTimer(window_, kTimerId, interval_) == 0) throw EOutOfResources("Not enough timers available");
  armed_ = true;
}

void TTimer::Tick() {
  // A tick taken from the queue after the timer was disabled is dropped.
  if (!armed_ || !enabled_ || !onTimer_) return;
  try {
    Timer();
  } catch (...) {
    Application.HandleException(this);
  }
}

void TTimer::Timer() {
  if (onTimer_) {
    // The handler may replace itself; keep the one running alive.
    const TNotifyEvent handler = onTimer_;
    handler(this);
  }
}

// --- TImage ------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
  controlStyle_.Include(csReplicatable);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(Left(), Top(), 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::PictureChanged() {
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  if (TGraphic* g = picture_->Graphic(); g != nullptr && g->Transparent() != transparent_)
    g->SetTransparent(transparent_);  // changes the picture again; then it agrees
  if (!drawing_) Invalidate();
}

TCanvas& TImage::Canvas() {
  TGraphic* g = picture_->Graphic();
  if (g == nullptr) {
    TBitmap white;
    white.SetSize(Width(), Height());
    TCanvas& c = white.Canvas();
    c.Brush().SetColor(clWhite);
    c.Brush().SetStyle(bsSolid);
    c.FillRect(TRect{0, 0, Width(), Height()});
    drawing_ = true;
    try {
      picture_->SetGraphic(&white);
    } catch (...) {
      drawing_ = false;
      throw;
    }
    drawing_ = false;
    Invalidate();
  } else if (dynamic_cast<TBitmap*>(g) == nullptr) {
    throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  }
  return picture_->Bitmap().Canvas();
}

void TImage::SetAutoSize(bool Value) {
  if (Value == autoSize_) return;
  autoSize_ = Value;
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
}

void TImage::SetStretch(bool Value) {
  if (Value == stretch_) return;
  stretch_ = Value;
  Invalidate();
}

void TImage::SetCenter(bool Value) {
  if (Value == center_) return;
  center_ = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  PictureChanged();
}

TRect TImage::DestRect() const {
  if (stretch_) return TRect{0, 0, ClientWidth(), ClientHeight()};
  TRect r{0, 0, picture_->Width(), picture_->Height()};
  if (center_) r = r.Offset((ClientWidth() - r.Width()) / 2, (ClientHeight() - r.Height()) / 2);
  return r;
}

void TImage::Paint() {
  TCanvas& c = TGraphicControl::Canvas();
  if (Designing()) {
    c.Pen().SetStyle(psDash);
    c.Brush().SetStyle(bsClear);
    c.Rectangle(0, 0, Width(), Height());
  }
  const TGraphic* g = picture_->Graphic();
  if (g == nullptr || g->Empty()) return;
  drawing_ = true;
  try {
    const TRect r = DestRect();
    if (stretch_)
      c.StretchDraw(r, g);
    else
      c.Draw(r.Left, r.Top, g);  // a JPEG decodes only the part the canvas shows
  } catch (...) {
    drawing_ = false;
    throw;
  }
  drawing_ = false;
}

// --- TPanel ------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csOpaque,          csDoubleClicks, csReplicatable};
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 185, 41);
}

void TPanel::Changed() {
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel Value) {
  if (Value == bevelOuter_) return;
  bevelOuter_ = Value;
  Changed();
}

void TPanel::SetBevelInner(TPanelBevel Value) {
  if (Value == bevelInner_) return;
  bevelInner_ = Value;
  Changed();
}

void TPanel::SetBevelWidth(int Value) {
  if (Value < 1) throw EInvalidOperation("BevelWidth must be at least 1");
  if (Value == bevelWidth_) return;
  bevelWidth_ = Value;
  Changed();
}

void TPanel::SetBorderWidth(int Value) {
  if (Value < 0) throw EInvalidOperation("BorderWidth must not be negative");
  if (Value == borderWidth_) return;
  borderWidth_ = Value;
  Changed();
}

void TPanel::SetAlignment(TAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  Invalidate();
}

void TPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Background = ColorToRGB(Color());
}

void TPanel::AdjustClientRect(TRect& Rect) const {
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  Rect = TRect{Rect.Left + inset, Rect.Top + inset, Rect.Right - inset, Rect.Bottom - inset};
}

void TPanel::Dispatch(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  // The caption and the colour are painted by us: show a change at once.
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_COLORCHANGED || Message.Msg == CM_FONTCHANGED) Invalidate();
}

namespace {

void Bevel(HDC dc, TRect& r, TPanelBevel bevel, int width) {
  if (bevel == bvNone) return;
  TColor tl = clBtnHighlight;
  TColor br = clBtnShadow;
  if (bevel == bvLowered) std::swap(tl, br);
  if (bevel == bvSpace) tl = br = clBtnFace;
  for (int i = 0; i < width; ++i) Frame3D(dc, r, tl, br);
}

}  // namespace

void TPanel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  HDC dc = c.Handle();
  if (dc == nullptr) return;
  Bevel(dc, r, bevelOuter_, bevelWidth_);
  for (int i = 0; i < borderWidth_; ++i) Frame3D(dc, r, Color(), Color());
  Bevel(dc, r, bevelInner_, bevelWidth_);
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(Color());
  c.FillRect(r);
  if (Caption().empty()) return;
  c.Font().Assign(&Font());
  c.Brush().SetStyle(bsClear);
  const TSize extent = c.TextExtent(Caption());
  int x = r.Left;
  if (alignment_ == taCenter) x = r.Left + (r.Width() - extent.cx) / 2;
  if (alignment_ == taRightJustify) x = r.Right - extent.cx;
  const int y = r.Top + (r.Height() - extent.cy) / 2;
  c.TextRect(r, x, y, Caption());
}

}  // namespace bellcut
