#include "platform/graphics/Brush.h"

#include "platform/gdi/Gdi.h"

namespace bellcut {

TBrush::~TBrush() { ReleaseHandle(); }

void TBrush::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TBrush*>(Source)) {
    if (other == this) return;
    ReleaseHandle();
    color_ = other->color_;
    style_ = other->style_;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TBrush::SetColor(TColor value) {
  if (value == color_) return;
  ReleaseHandle();
  color_ = value;
  // Choosing a colour for a clear brush makes it paint, as the platform does.
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == style_) return;
  ReleaseHandle();
  style_ = value;
  Changed();
}

HBRUSH TBrush::Handle() const {
  if (handle_ == nullptr) {
    if (style_ == bsClear) {
      handle_ = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
      ownsHandle_ = false;
    } else {
      handle_ = CreateSolidBrush(ColorToRGB(color_));
      ownsHandle_ = true;
    }
  }
  return handle_;
}

void TBrush::ReleaseHandle() const {
  if (handle_ != nullptr && ownsHandle_) DeleteBrush(handle_);
  handle_ = nullptr;
  ownsHandle_ = false;
}

void TBrush::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace bellcut
