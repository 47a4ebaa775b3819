#include "platform/controls/Controls.h"

namespace bellcut {

namespace {

// The control the pointer was over at the last idle step. Cleared when that
// control is destroyed, so it never dangles.
TControl* g_mouseControl = nullptr;

}  // namespace

namespace controls_detail {
void ForgetMouseIdleControl(const TControl* Control) {
  if (g_mouseControl == Control) g_mouseControl = nullptr;
}
}  // namespace controls_detail

TWinControl* FindVCLWindow(TPoint Pos) {
  for (HWND h = WindowFromPoint(Pos); h != nullptr; h = GetParent(h))
    if (TWinControl* c = FindControl(h)) return c;
  return nullptr;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  TWinControl* window = FindVCLWindow(Pos);
  if (window == nullptr) return nullptr;
  if (TControl* child = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled)) return child;
  return window;
}

TControl* MouseIdleControl() { return g_mouseControl; }

void DoMouseIdle() {
  TPoint pos{};
  GetCursorPos(&pos);
  TControl* control = FindDragTarget(pos, true);
  // A control being designed takes no part in hot tracking.
  if (control != nullptr && control->Designing()) control = nullptr;
  if (control == g_mouseControl) return;
  TControl* old = g_mouseControl;
  g_mouseControl = control;
  if (old != nullptr) {
    TControl* capture = GetCaptureControl();
    if (capture == nullptr || capture == old) old->Perform(CM_MOUSELEAVE, 0, 0);
  }
  // The leave handler may have destroyed the control now under the pointer.
  if (control != nullptr && controls_detail::IsLiveControl(control) && g_mouseControl == control) {
    TControl* capture = GetCaptureControl();
    if (capture == nullptr || capture == control) control->Perform(CM_MOUSEENTER, 0, 0);
  }
}

}  // namespace bellcut
