// Pieces of the published-property tables that the panel and the button
// share. Each class lists its properties in its own streaming order, so the
// tables are built per class from these pieces rather than inherited.
#pragma once

#include <memory>

#include "clearctrl/ClearControl.h"
#include "platform/controls/StreamingRegistry.h"

namespace bellcut::clear_detail {

inline const std::shared_ptr<const TEnumInfo>& BorderStyleInfo() {
  static const auto info = MakeEnumInfo("TBorderStyle", {"bsNone", "bsSingle"});
  return info;
}
inline const std::shared_ptr<const TEnumInfo>& TransBtnStyleInfo() {
  static const auto info = MakeEnumInfo("TTransBtnStyle", {"sbsPushBtn", "sbsFloatBtn", "sbsImage"});
  return info;
}
inline const std::shared_ptr<const TEnumInfo>& AlignInfo() {
  static const auto info =
      MakeEnumInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
  return info;
}
inline const std::shared_ptr<const TEnumInfo>& HelpTypeInfo() {
  static const auto info = MakeEnumInfo("THelpType", {"htKeyword", "htContext"});
  return info;
}
inline const std::shared_ptr<const TEnumInfo>& DragKindInfo() {
  static const auto info = MakeEnumInfo("TDragKind", {"dkDrag", "dkDock"});
  return info;
}
inline const std::shared_ptr<const TEnumInfo>& DragModeInfo() {
  static const auto info = MakeEnumInfo("TDragMode", {"dmManual", "dmAutomatic"});
  return info;
}
inline const std::shared_ptr<const TEnumInfo>& AnchorsInfo() {
  static const auto info = MakeEnumInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
  return info;
}
inline const std::shared_ptr<const TIdentMap>& CursorIdents() {
  static const auto idents = [] {
    auto map = std::make_shared<TIdentMap>();
    map->Entries = {{"crDefault", crDefault}, {"crNone", crNone},         {"crArrow", crArrow},
                    {"crCross", crCross},     {"crIBeam", crIBeam},       {"crSizeAll", crSizeAll},
                    {"crHourGlass", crHourGlass}, {"crDrag", crDrag},     {"crNoDrop", crNoDrop},
                    {"crHandPoint", crHandPoint}};
    return std::shared_ptr<const TIdentMap>(std::move(map));
  }();
  return idents;
}

// Left .. Visible: the head both classes share (Name and Tag come from TComponent).
template <class T>
void PublishHead(TPublishedClass<T, TComponent>& p) {
  p.Integer("Left", &TControl::Left, &TControl::SetLeft)
      .Integer("Top", &TControl::Top, &TControl::SetTop)
      .Integer("Width", &TControl::Width, &TControl::SetWidth, 260)
      .Integer("Height", &TControl::Height, &TControl::SetHeight, 48)
      .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, INT16_MIN, INT16_MAX, CursorIdents())
      .String("Hint", &TControl::Hint, &TControl::SetHint, std::string())
      .template Enumeration<THelpType>("HelpType", HelpTypeInfo(), &TControl::HelpType, &TControl::SetHelpType,
                                       htContext)
      .String("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword, std::string())
      .Integer("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext, 0)
      .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false)
      .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true);
}

template <class T>
void PublishFont(TPublishedClass<T, TComponent>& p) {
  p.Object("Font", [](T& c) -> TPersistent* { return &c.Font(); });
}
template <class T>
void PublishPicture(TPublishedClass<T, TComponent>& p) {
  p.Object("Picture", [](T& c) -> TPersistent* { return &c.Picture(); });
}

// PopupMenu .. DragKind, with Anchors between DragCursor and DragKind when asked.
template <class T>
void PublishHints(TPublishedClass<T, TComponent>& p, bool anchors) {
  p.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
      .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
      .Stored([](const T& c) { return !c.ParentShowHint(); })
      .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
      .Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag, INT16_MIN, INT16_MAX,
               CursorIdents());
  if (anchors)
    p.template Set<TAnchorKind>("Anchors", AnchorsInfo(), &TControl::Anchors, &TControl::SetAnchors,
                                TAnchors{akLeft, akTop});
  p.template Enumeration<TDragKind>("DragKind", DragKindInfo(), &TControl::DragKind, &TControl::SetDragKind, dkDrag);
}

template <class T>
void PublishDockEvents(TPublishedClass<T, TComponent>& p) {
  p.Event("OnStartDock", &TControl::OnStartDock)
      .Event("OnEndDock", &TControl::OnEndDock)
      .Event("OnContextPopup", &TControl::OnContextPopup);
}

template <class T>
void PublishDragMode(TPublishedClass<T, TComponent>& p) {
  p.template Enumeration<TDragMode>("DragMode", DragModeInfo(), &TControl::DragMode, &TControl::SetDragMode,
                                    dmManual);
}

// OnClick .. OnMouseLeave: the tail both classes share.
template <class T>
void PublishTail(TPublishedClass<T, TComponent>& p) {
  p.Event("OnClick", &TControl::OnClick)
      .Event("OnDblClick", &TControl::OnDblClick)
      .Event("OnMouseDown", &TControl::OnMouseDown)
      .Event("OnMouseMove", &TControl::OnMouseMove)
      .Event("OnMouseUp", &TControl::OnMouseUp)
      .Event("OnStartDrag", &TControl::OnStartDrag)
      .Event("OnEndDrag", &TControl::OnEndDrag)
      .Event("OnMouseEnter", TClearControl::MouseEnterField())
      .Event("OnMouseLeave", TClearControl::MouseLeaveField());
}

}  // namespace bellcut::clear_detail
