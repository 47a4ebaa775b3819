#include "platform/controls/Controls.h"

namespace bellcut {

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::PaintWindow(HDC DC) {
  canvas_->PaintWith(DC, [this] {
    canvas_->UpdateTextFlags();
    Paint();
  });
}

void TCustomControl::ReleaseDeviceContexts() { canvas_->FreeHandle(); }

}  // namespace bellcut
