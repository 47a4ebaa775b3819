#include "platform/gdi/FontObjects.h"

#include <memory>

#include "platform/base/NeverDestroyed.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Handles.h"

namespace bellcut {
namespace {

using FontTable = HandleTable<HFONT, LogFont, HandleKind::Font>;

// Never destroyed: fonts of controls destroyed at exit are still deleted.
FontTable& Fonts() {
  static NeverDestroyed<FontTable> table{[] {
    RegisterGdiObjectKind(HandleKind::Font, [](HGDIOBJ object) { return DeleteFont(static_cast<HFONT>(object)); });
    return FontTable{};
  }()};
  return *table;
}

}  // namespace

HFONT CreateFontIndirect(const LogFont& font) { return Fonts().Add(std::make_unique<LogFont>(font)); }

const LogFont* LogFontFromHandle(HFONT font) {
  if (!FontTable::IsKind(font)) return nullptr;
  return Fonts().Get(font);
}

bool DeleteFont(HFONT font) {
  if (!FontTable::IsKind(font)) return false;
  return Fonts().Take(font) != nullptr;
}

const LogFont& DefaultGuiLogFont() {
  static NeverDestroyed<const LogFont> font{[] {
    LogFont f;
    f.Height = -11;
    f.FaceName = "MS Shell Dlg";
    return f;
  }()};
  return *font;
}

}  // namespace bellcut
