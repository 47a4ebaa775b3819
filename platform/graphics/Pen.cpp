#include "platform/graphics/Pen.h"

#include "platform/gdi/Gdi.h"

namespace bellcut {

int PenModeToRop2(TPenMode mode) {
  switch (mode) {
    case pmBlack: return R2_BLACK;
    case pmWhite: return R2_WHITE;
    case pmNop: return R2_NOP;
    case pmNot: return R2_NOT;
    case pmCopy: return R2_COPYPEN;
    case pmNotCopy: return R2_NOTCOPYPEN;
    case pmMergePenNot: return R2_MERGEPENNOT;
    case pmMaskPenNot: return R2_MASKPENNOT;
    case pmMergeNotPen: return R2_MERGENOTPEN;
    case pmMaskNotPen: return R2_MASKNOTPEN;
    case pmMerge: return R2_MERGEPEN;
    case pmNotMerge: return R2_NOTMERGEPEN;
    case pmMask: return R2_MASKPEN;
    case pmNotMask: return R2_NOTMASKPEN;
    case pmXor: return R2_XORPEN;
    case pmNotXor: return R2_NOTXORPEN;
  }
  return R2_COPYPEN;
}

TPen::~TPen() { ReleaseHandle(); }

void TPen::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TPen*>(Source)) {
    if (other == this) return;
    ReleaseHandle();
    color_ = other->color_;
    style_ = other->style_;
    width_ = other->width_;
    mode_ = other->mode_;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TPen::SetColor(TColor value) {
  if (value == color_) return;
  ReleaseHandle();
  color_ = value;
  Changed();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == style_) return;
  ReleaseHandle();
  style_ = value;
  Changed();
}

void TPen::SetWidth(int value) {
  if (value < 0) value = 0;
  if (value == width_) return;
  ReleaseHandle();
  width_ = value;
  Changed();
}

void TPen::SetMode(TPenMode value) {
  if (value == mode_) return;
  mode_ = value;
  Changed();
}

HPEN TPen::Handle() const {
  if (handle_ == nullptr) {
    int style = PS_SOLID;
    switch (style_) {
      case psSolid: case psInsideFrame: style = PS_SOLID; break;
      case psDash: style = PS_DASH; break;
      case psDot: style = PS_DOT; break;
      case psDashDot: style = PS_DASHDOT; break;
      case psDashDotDot: style = PS_DASHDOTDOT; break;
      case psClear: style = PS_NULL; break;
    }
    handle_ = CreatePen(style, width_, ColorToRGB(color_));
  }
  return handle_;
}

void TPen::ReleaseHandle() const {
  if (handle_ != nullptr) DeletePen(handle_);
  handle_ = nullptr;
}

void TPen::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace bellcut
