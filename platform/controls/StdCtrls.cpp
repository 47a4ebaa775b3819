#include "platform/controls/StdCtrls.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiGuards.h"
#include "platform/graphics/Text.h"

namespace bellcut {

namespace {

void Fill(HDC dc, const TRect& r, TColor color) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, r, brush.get());
}

}  // namespace

void Frame3D(HDC DC, TRect& Rect, TColor TopLeft, TColor BottomRight) {
  const TRect r = Rect;
  if (r.Width() <= 0 || r.Height() <= 0) return;
  Fill(DC, TRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, TopLeft);
  Fill(DC, TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, TopLeft);
  Fill(DC, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, BottomRight);
  Fill(DC, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, BottomRight);
  Rect = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

void DrawButtonFace(HDC DC, const TRect& Rect, const std::string& Caption, HFONT Font, bool Pressed, bool IsDefault,
                    bool Enabled) {
  TRect r = Rect;
  if (IsDefault) Frame3D(DC, r, clWindowFrame, clWindowFrame);
  if (Pressed) {
    Frame3D(DC, r, clBtnShadow, clBtnHighlight);
  } else {
    Frame3D(DC, r, clBtnHighlight, cl3DDkShadow);
    Frame3D(DC, r, clBtnFace, clBtnShadow);
  }
  Fill(DC, r, clBtnFace);
  if (Caption.empty()) return;
  // The caller's DC gets its font, mode and colour back even if the text
  // cannot be laid out.
  const ScopedSaveDC state(DC);
  if (Font != nullptr) SelectObject(DC, Font);
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, ColorToRGB(Enabled ? clBtnText : clGrayText));
  TRect text = Pressed ? r.Offset(1, 1) : r;
  DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- TButton -----------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csCaptureMouse, csClickEvents};
  SetParentColor(false);
  SetColor(clBtnFace);
  SetTabStop(true);
  SetBounds(Left(), Top(), 75, 25);
}

void TButton::SetDefault(bool Value) {
  if (Value == default_) return;
  default_ = Value;
  Invalidate();
}

void TButton::SetPressedLook(bool Pressed, bool Inside) {
  const bool before = this->Pressed();
  pressed_ = Pressed;
  pointerInside_ = Inside;
  if (before != this->Pressed()) Invalidate();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) SetPressedLook(true, true);
  TWinControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y) {
  if (pressed_) SetPressedLook(true, ClientRect().Contains(X, Y));
  TWinControl::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) SetPressedLook(false, false);
  TWinControl::MouseUp(Button, Shift, X, Y);
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYUP:
      // The space bar clicks a focused button, as a click would.
      if (Message.WParam == static_cast<WPARAM>(VK_SPACE) && Enabled()) Click();
      break;
    case WM_CAPTURECHANGED:
      if (pressed_) SetPressedLook(false, false);
      break;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_ENABLEDCHANGED || Message.Msg == CM_FONTCHANGED) Invalidate();
}

void TButton::PaintWindow(HDC DC) {
  DrawButtonFace(DC, ClientRect(), Caption(), Font().Handle(), Pressed(), default_, Enabled());
}

}  // namespace bellcut
