#include "platform/graphics/Graphic.h"

namespace bellcut {

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::LoadFromFile(const std::string& path) {
  TMemoryStream stream(ReadWholeFile(path));
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& path) const {
  TMemoryStream stream;
  SaveToStream(stream);
  WriteFileReplacing(path, stream.Data());
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace bellcut
