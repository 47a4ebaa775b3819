#include "platform/graphics/Canvas.h"

#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Text.h"

namespace bellcut {

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
  if (handle_ == nullptr) CreateHandle();
  return handle_;
}

void TCanvas::SetHandle(HDC value) {
  if (value == handle_) return;
  DeselectHandles();
  handle_ = value;
}

void TCanvas::DeselectHandles() {
  // The DC outlives this binding (or is about to be deleted): leave no
  // handle of ours selected in it, since ours are released on change.
  if (handle_ == nullptr || DCFromHandle(handle_) == nullptr) {
    handle_ = nullptr;
    return;
  }
  SelectObject(handle_, GetStockObject(WHITE_BRUSH));
  SelectObject(handle_, GetStockObject(BLACK_PEN));
  if (DeviceContext* dc = DCFromHandle(handle_)) dc->Font = nullptr;
  handle_ = nullptr;
}

bool TCanvas::TryLock() {
  if (lockCount_ > 0) return false;
  ++lockCount_;
  return true;
}

void TCanvas::Unlock() {
  if (lockCount_ > 0) --lockCount_;
}

HDC TCanvas::RequiredState() {
  HDC dc = Handle();
  if (dc == nullptr) return nullptr;
  SelectObject(dc, brush_.Handle());
  SelectObject(dc, pen_.Handle());
  SetROP2(dc, PenModeToRop2(pen_.Mode()));
  SelectObject(dc, font_.Handle());
  SetTextColor(dc, ColorToRGB(font_.Color()));
  // Text over a clear brush leaves the background; over a solid one, the
  // cell is filled with the brush colour.
  SetBkColor(dc, ColorToRGB(brush_.Color()));
  SetBkMode(dc, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
  return dc;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }

TRect TCanvas::ClipRect() const {
  HDC dc = const_cast<TCanvas*>(this)->Handle();  // made on demand, as for drawing
  TRect rect{};
  if (dc == nullptr || GetClipBox(dc, &rect) == RGN_ERROR) return TRect{};
  return rect;
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  if (HDC dc = RequiredState()) bellcut::FillRect(dc, rect, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  if (HDC dc = RequiredState()) bellcut::FrameRect(dc, rect, brush_.Handle());
  Changed();
}

void TCanvas::Draw(int X, int Y, const TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  Changing();
  if (RequiredState() != nullptr) graphic->Draw(*this, Bounds(X, Y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  Changing();
  if (RequiredState() != nullptr) graphic->Draw(*this, rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source) {
  Changing();
  HDC dc = RequiredState();
  HDC src = canvas.RequiredState();
  if (dc != nullptr && src != nullptr)
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top, source.Width(),
               source.Height(), copyMode_);
  Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
  HDC dc = Handle();
  if (dc == nullptr) return static_cast<TColor>(CLR_INVALID);
  return static_cast<TColor>(GetPixel(dc, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor color) {
  Changing();
  if (HDC dc = Handle()) SetPixel(dc, X, Y, ColorToRGB(color));
  Changed();
}

void TCanvas::MoveTo(int X, int Y) {
  penPos_ = {X, Y};
  if (HDC dc = Handle()) MoveToEx(dc, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  if (HDC dc = RequiredState()) {
    MoveToEx(dc, penPos_.X, penPos_.Y, nullptr);
    bellcut::LineTo(dc, X, Y);
  }
  penPos_ = {X, Y};
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  if (HDC dc = RequiredState()) bellcut::Rectangle(dc, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& text) {
  Changing();
  if (HDC dc = RequiredState()) {
    TextOutA(dc, X, Y, text.data(), static_cast<int>(text.size()));
    TSize size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    penPos_ = {X + size.cx, Y};
  }
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int X, int Y, const std::string& text) {
  Changing();
  if (HDC dc = RequiredState()) {
    // Clip to rect for this call only.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    if (brush_.Style() != bsClear) bellcut::FillRect(dc, rect, brush_.Handle());
    TextOutA(dc, X, Y, text.data(), static_cast<int>(text.size()));
    RestoreDC(dc, saved);
  }
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  TSize size{};
  if (HDC dc = RequiredState()) GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

}  // namespace bellcut
