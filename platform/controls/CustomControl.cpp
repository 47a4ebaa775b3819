#include "platform/controls/Controls.h"

namespace bellcut {

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::PaintWindow(HDC DC) {
  canvas_->Lock();
  try {
    canvas_->SetHandle(DC);
    canvas_->UpdateTextFlags();
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

void TCustomControl::ReleaseDeviceContexts() { canvas_->FreeHandle(); }

}  // namespace bellcut
