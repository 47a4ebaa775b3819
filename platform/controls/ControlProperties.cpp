#include "platform/controls/ControlProperties.h"

#include "platform/controls/Controls.h"

namespace bellcut {

const std::shared_ptr<const TEnumInfo>& AlignInfo() {
  static const auto info =
      MakeEnumInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
  return info;
}

const std::shared_ptr<const TEnumInfo>& AnchorKindInfo() {
  static const auto info = MakeEnumInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
  return info;
}

const std::shared_ptr<const TEnumInfo>& DragModeInfo() {
  static const auto info = MakeEnumInfo("TDragMode", {"dmManual", "dmAutomatic"});
  return info;
}

const std::shared_ptr<const TEnumInfo>& DragKindInfo() {
  static const auto info = MakeEnumInfo("TDragKind", {"dkDrag", "dkDock"});
  return info;
}

const std::shared_ptr<const TEnumInfo>& HelpTypeInfo() {
  static const auto info = MakeEnumInfo("THelpType", {"htKeyword", "htContext"});
  return info;
}

const std::shared_ptr<const TIdentMap>& CursorIdents() {
  static const std::shared_ptr<const TIdentMap> map = [] {
    auto m = std::make_shared<TIdentMap>();
    m->Entries = {{"crDefault", 0},     {"crNone", -1},      {"crArrow", -2},     {"crCross", -3},
                  {"crIBeam", -4},      {"crSizeNESW", -6},  {"crSizeNS", -7},    {"crSizeNWSE", -8},
                  {"crSizeWE", -9},     {"crUpArrow", -10},  {"crHourGlass", -11}, {"crDrag", -12},
                  {"crNoDrop", -13},    {"crHSplit", -14},   {"crVSplit", -15},   {"crMultiDrag", -16},
                  {"crSQLWait", -17},   {"crNo", -18},       {"crAppStart", -19}, {"crHelp", -20},
                  {"crHandPoint", -21}, {"crSizeAll", -22}};
    return m;
  }();
  return map;
}


}  // namespace bellcut
