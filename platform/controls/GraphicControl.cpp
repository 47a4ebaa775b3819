#include "platform/controls/Controls.h"

namespace bellcut {

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
  // Leave the parent while this object is still a graphic control, so that
  // the parent's handlers see what is being removed.
  if (Parent() != nullptr) Parent()->RemoveControl(this);
  canvas_->FreeHandle();
}

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(Message);
    return;
  }
  TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message) {
  // The parent paints its windowless children with a DC whose origin and
  // clip it has already set to this control; without one there is nothing
  // to paint on.
  if (Message.WParam == 0) return;
  canvas_->PaintWith(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
}

void TGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // A DC taken earlier has its origin and clip at the old place.
  if (canvas_->LockCount() == 0) canvas_->FreeHandle();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TGraphicControl::ReleaseDeviceContexts() { canvas_->FreeHandle(); }

}  // namespace bellcut
