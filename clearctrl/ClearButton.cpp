#include "clearctrl/ClearButton.h"

#include "clearctrl/ClearCtrlPublish.h"

namespace bellcut {

TClearButton::TClearButton(TComponent* AOwner) : TClearControl(AOwner) {
  FStyle = sbsPushBtn;
  FOptions = TTransImgOptions{sioDisableImage, sioHotTrackImage, sioTransAtDesigning, sioBorderAndShadow};
  SetParentFont(false);
  // One rebuild for the three font changes; the batch closes even if one fails.
  BeginUpdate();
  try {
    Font().SetSize(20);
    Font().SetColor(clGreen);
    Font().SetStyle(TFontStyles{fsBold});
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

namespace {

using namespace clear_detail;

const bool buttonPublished = [] {
  RegisterClass<TClearButton>();
  TPublishedClass<TClearButton, TComponent> p;
  PublishHead(p);
  p.Boolean("AutoSize", &TClearControl::AutoSize, &TClearControl::SetAutoSize, true)
      .Enumeration<TBorderStyle>("BorderStyle", BorderStyleInfo(), &TClearControl::BorderStyle,
                                 &TClearControl::SetBorderStyle, TBorderStyle::bsSingle);
  PublishPicture(p);
  p.Integer("CaptionLeft", &TClearControl::CaptionLeft, &TClearControl::SetCaptionLeft, -1)
      .Integer("CaptionTop", &TClearControl::CaptionTop, &TClearControl::SetCaptionTop, -1)
      .Enumeration<TTransBtnStyle>("Style", TransBtnStyleInfo(), &TClearControl::Style, &TClearControl::SetStyle)
      .Color("TransparentColor", &TClearControl::TransparentColor, &TClearControl::SetTransColor, clFuchsia)
      .Boolean("HotTrack", &TClearControl::HotTrack, &TClearControl::SetHotTrack, true)
      .Integer("HotLightDepth", &TClearControl::HotLightDepth, &TClearControl::SetHotLightDepth, 128, 0, 255)
      .Color("ShadowColor", &TClearControl::ShadowColor, &TClearControl::SetShadowColor, clBtnShadow)
      .Color("LightColor", &TClearControl::LightColor, &TClearControl::SetLightColor, clBtnHighlight)
      .Boolean("Stretch", &TClearControl::Stretch, &TClearControl::SetStretch, false)
      .Color("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
      .String("Caption", &TControl::Caption, &TControl::SetCaption);
  PublishFont(p);
  PublishHints(p, true);
  PublishDockEvents(p);
  PublishDragMode(p);
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
  PublishTail(p);
  return true;
}();

}  // namespace
}  // namespace bellcut
