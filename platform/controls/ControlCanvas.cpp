#include <unordered_set>

#include "platform/base/NeverDestroyed.h"
#include "platform/controls/Controls.h"

namespace bellcut {

namespace {

// Canvases that hold a DC they took themselves; FreeDeviceContexts gives
// those back. Never destroyed: canvases of forms destroyed at exit leave it.
std::unordered_set<TControlCanvas*>& CanvasesWithDC() {
  static NeverDestroyed<std::unordered_set<TControlCanvas*>> set;
  return *set;
}

}  // namespace

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* AControl) {
  if (control_ == AControl) return;
  FreeHandle();
  control_ = AControl;
}

void TControlCanvas::SetHandle(HDC value) {
  if (ownDC_ != nullptr && value != ownDC_) FreeHandle();
  TCanvas::SetHandle(value);
}

void TControlCanvas::FreeHandle() {
  if (ownDC_ == nullptr) return;
  HDC dc = ownDC_;
  HWND window = ownWindow_;
  ownDC_ = nullptr;
  ownWindow_ = nullptr;
  CanvasesWithDC().erase(this);
  if (TCanvas::HandleAllocated()) TCanvas::SetHandle(nullptr);
  ReleaseDC(window, dc);
}

void TControlCanvas::PaintWith(HDC DC, const std::function<void()>& Paint) {
  Lock();
  try {
    SetHandle(DC);
    Paint();
  } catch (...) {
    SetHandle(nullptr);
    Unlock();
    throw;
  }
  SetHandle(nullptr);
  Unlock();
}

void TControlCanvas::UpdateTextFlags() {
  // Text always runs left to right here: no reading-order flag is set.
  textFlags_ = 0;
}

void TControlCanvas::CreateHandle() {
  if (control_ == nullptr) return;
  HWND window = nullptr;
  HDC dc = control_->GetDeviceContext(&window);
  ownDC_ = dc;
  ownWindow_ = window;
  CanvasesWithDC().insert(this);
  TCanvas::SetHandle(dc);
}

void FreeDeviceContexts() {
  auto canvases = CanvasesWithDC();
  for (TControlCanvas* c : canvases)
    if (c->LockCount() == 0) c->FreeHandle();
}

}  // namespace bellcut
