#include "platform/controls/Buttons.h"

#include "platform/base/Exceptions.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Text.h"

namespace bellcut {

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
  // No csClickEvents: MouseUp decides about the click itself, after the
  // group has been updated.
  controlStyle_ = TControlStyle{csCaptureMouse, csDoubleClicks};
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 23, 22);
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() { glyph_->OnChange = nullptr; }

void TSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  state_ = !Enabled() ? bsDisabled : down_ ? bsExclusive : bsUp;
}

bool TSpeedButton::Inside(int X, int Y) const { return X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight(); }

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || Parent() == nullptr) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(m);
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (Value == groupIndex_) return;
  groupIndex_ = Value;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == allowAllUp_) return;
  allowAllUp_ = Value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  if (down_ && !allowAllUp_) return;  // only another button of the group releases it
  down_ = Value;
  if (Value) {
    if (state_ == bsUp) Invalidate();
    state_ = bsExclusive;
  } else {
    state_ = bsUp;
    Repaint();
  }
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  if (Value == flat_) return;
  flat_ = Value;
  Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap* Value) {
  if (Value == nullptr) {
    glyph_->Assign(nullptr);
  } else {
    glyph_->Assign(Value);
  }
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value) {
  if (Value < 1) Value = 1;
  if (Value > 4) Value = 4;
  if (Value == numGlyphs_) return;
  numGlyphs_ = Value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  if (Value == layout_) return;
  layout_ = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
  if (Value < -1) Value = -1;
  if (Value == margin_) return;
  margin_ = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
  if (Value == spacing_) return;
  spacing_ = Value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (dragging_) {
    TButtonState next = down_ ? bsExclusive : bsUp;
    if (Inside(X, Y)) next = down_ ? bsExclusive : bsDown;
    if (next != state_) {
      state_ = next;
      Invalidate();
    }
  } else if (!mouseInControl_) {
    UpdateTracking();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!dragging_) return;
  dragging_ = false;
  const bool doClick = Inside(X, Y);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    mouseInControl_ = false;
    if (doClick) Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    if (down_) Repaint();
  } else {
    if (down_) state_ = bsExclusive;
    Repaint();
  }
  if (doClick) Click();
  UpdateTracking();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::UpdateTracking() {
  if (!Enabled() || Parent() == nullptr) return;
  TPoint p{};
  GetCursorPos(&p);
  const bool over = FindDragTarget(p, true) == this;
  if (over == mouseInControl_) return;
  mouseInControl_ = over;
  if (flat_) Invalidate();
}

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED: {
      if (Message.WParam != static_cast<WPARAM>(groupIndex_) || groupIndex_ == 0) return;
      auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
      if (sender == nullptr || sender == this) return;
      if (sender->Down() && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
      }
      allowAllUp_ = sender->AllowAllUp();
      return;
    }
    case CM_MOUSEENTER:
      if (Enabled() && !mouseInControl_ && GetCapture() == nullptr) {
        mouseInControl_ = true;
        if (flat_) Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (mouseInControl_ && Enabled() && !dragging_) {
        mouseInControl_ = false;
        if (flat_) Invalidate();
      }
      break;
    case CM_ENABLEDCHANGED:
      state_ = !Enabled() ? bsDisabled : down_ ? bsExclusive : bsUp;
      if (!Enabled()) dragging_ = false;
      Invalidate();
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(CharCode(Message), Caption()) && Enabled() && Visible() && Parent() != nullptr &&
          Parent()->Showing()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

void TSpeedButton::Paint() {
  TCanvas& c = Canvas();
  HDC dc = c.Handle();
  if (dc == nullptr) return;
  const bool enabled = Enabled();
  const TButtonState look = !enabled ? bsDisabled : state_;
  const bool pressed = look == bsDown || look == bsExclusive;
  TRect r{0, 0, Width(), Height()};

  if (!flat_ || pressed || (mouseInControl_ && enabled) || Designing()) {
    if (pressed) {
      Frame3D(dc, r, clBtnShadow, clBtnHighlight);
    } else if (flat_) {
      Frame3D(dc, r, clBtnHighlight, clBtnShadow);
    } else {
      Frame3D(dc, r, clBtnHighlight, cl3DDkShadow);
      Frame3D(dc, r, clBtnFace, clBtnShadow);
    }
  }
  if (!flat_ || !transparent_ || pressed) {
    // A button that stays down shows a lighter face than a pressed one.
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(look == bsExclusive ? cl3DLight : Color());
    c.FillRect(r);
  }

  // Glyph and caption, laid out together around the centre.
  const int frames = std::max(1, numGlyphs_);
  const int gw = glyph_->Empty() ? 0 : glyph_->Width() / frames;
  const int gh = glyph_->Empty() ? 0 : glyph_->Height();
  c.Font().Assign(&Font());
  const TSize text = Caption().empty() ? TSize{} : c.TextExtent(Caption());
  const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
  const int gap = gw > 0 && text.cx > 0 ? spacing_ : 0;
  const int totalW = horizontal ? gw + gap + text.cx : std::max(gw, text.cx);
  const int totalH = horizontal ? std::max(gh, text.cy) : gh + gap + text.cy;
  int x0 = (Width() - totalW) / 2;
  int y0 = (Height() - totalH) / 2;
  if (margin_ >= 0) {
    if (layout_ == blGlyphLeft) x0 = margin_;
    if (layout_ == blGlyphRight) x0 = Width() - margin_ - totalW;
    if (layout_ == blGlyphTop) y0 = margin_;
    if (layout_ == blGlyphBottom) y0 = Height() - margin_ - totalH;
  }
  const int shift = pressed ? 1 : 0;
  TPoint glyphAt{x0, y0 + (totalH - gh) / 2};
  TPoint textAt{x0 + gw + gap, y0 + (totalH - text.cy) / 2};
  switch (layout_) {
    case blGlyphLeft: break;
    case blGlyphRight:
      textAt = {x0, y0 + (totalH - text.cy) / 2};
      glyphAt = {x0 + text.cx + gap, y0 + (totalH - gh) / 2};
      break;
    case blGlyphTop:
      glyphAt = {x0 + (totalW - gw) / 2, y0};
      textAt = {x0 + (totalW - text.cx) / 2, y0 + gh + gap};
      break;
    case blGlyphBottom:
      textAt = {x0 + (totalW - text.cx) / 2, y0};
      glyphAt = {x0 + (totalW - gw) / 2, y0 + text.cy + gap};
      break;
  }
  if (gw > 0 && gh > 0) {
    // Frames: up, disabled, pressed, down (those the glyph has).
    int frame = 0;
    if (look == bsDisabled && frames > 1) frame = 1;
    if (look == bsDown && frames > 2) frame = 2;
    if (look == bsExclusive && frames > 3) frame = 3;
    TBitmap& g = *glyph_;
    HDC src = g.Canvas().Handle();
    const COLORREF transparent = ColorToRGB(g.Canvas().Pixels(0, gh - 1));
    TransparentBlt(dc, glyphAt.X + shift, glyphAt.Y + shift, gw, gh, src, frame * gw, 0, gw, gh, transparent);
  }
  if (!Caption().empty()) {
    c.Brush().SetStyle(bsClear);
    if (look == bsDisabled) {
      c.Font().SetColor(clBtnHighlight);
      c.TextOut(textAt.X + 1, textAt.Y + 1, Caption());
      c.Font().SetColor(clBtnShadow);
    }
    c.TextOut(textAt.X + shift, textAt.Y + shift, Caption());
  }
}

}  // namespace bellcut
