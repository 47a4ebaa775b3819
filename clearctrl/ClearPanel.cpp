#include "clearctrl/ClearPanel.h"

#include <algorithm>

#include "clearctrl/ClearCtrlPublish.h"

namespace bellcut {

TClearPanel::TClearPanel(TComponent* AOwner) : TClearControl(AOwner) {
  // Plain stores: a panel under construction has no window to build for.
  FStyle = sbsImage;
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  FOptions = TTransImgOptions{sioHotTrackImage};
  FMaxSize = {0, 0};
  FBorderStyle = TBorderStyle::bsNone;
}

void TClearPanel::DoAutoSizeArrange(int AWidth, int AHeight) {
  for (int i = 0; i < ControlCount(); ++i) {
    const TRect bounds = Controls(i)->GetBoundsRect();
    AWidth = std::max(AWidth, bounds.Right);
    AHeight = std::max(AHeight, bounds.Bottom);
  }
  TClearControl::DoAutoSizeArrange(AWidth, AHeight);
}

namespace {

using namespace clear_detail;

const bool panelPublished = [] {
  RegisterClass<TClearPanel>();
  TPublishedClass<TClearPanel, TComponent> p;
  PublishHead(p);
  p.Enumeration<TAlign>("Align", AlignInfo(), &TControl::Align, &TControl::SetAlign, alNone)
      .Boolean("AutoSize", &TClearControl::AutoSize, &TClearControl::SetAutoSize, true)
      .String("Caption", &TControl::Caption, &TControl::SetCaption)
      .Integer("CaptionLeft", &TClearControl::CaptionLeft, &TClearControl::SetCaptionLeft, -1)
      .Integer("CaptionTop", &TClearControl::CaptionTop, &TClearControl::SetCaptionTop, -1)
      .Boolean("ChildGraphicsTrans", &TClearControl::ChildGraphicsTrans, &TClearControl::SetChildGraphicsTrans);
  PublishDragMode(p);
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
      .Boolean("FormTrans", &TClearControl::FormTrans, &TClearControl::SetFormTrans)
      .Boolean("HotTrack", &TClearControl::HotTrack, &TClearControl::SetHotTrack, true)
      .Integer("HotLightDepth", &TClearControl::HotLightDepth, &TClearControl::SetHotLightDepth, 128, 0, 255)
      .Boolean("Stretch", &TClearControl::Stretch, &TClearControl::SetStretch, false)
      .Color("TransparentColor", &TClearControl::TransparentColor, &TClearControl::SetTransColor, clFuchsia)
      .Boolean("ParentDrag", &TClearControl::ParentDrag, &TClearControl::SetParentDrag);
  PublishFont(p);
  PublishPicture(p);
  PublishHints(p, false);
  PublishDockEvents(p);
  PublishTail(p);
  return true;
}();

}  // namespace
}  // namespace bellcut
