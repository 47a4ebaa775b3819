// GDI font objects: a handle per logical font. The object only remembers the
// logical font; matching it to an installed face and rasterising happen in
// the text renderer (graphics/FontEngine.h) when text is drawn or measured.
#pragma once

#include "platform/gdi/DeviceContext.h"

namespace bellcut {

// A new font handle for the logical font (one live Font handle until
// DeleteObject or DeleteFont releases it). Never fails for any field values:
// a face name nobody knows is matched to a fallback face at drawing time.
[[nodiscard]] HFONT CreateFontIndirect(const LogFont& font);
[[nodiscard]] inline HFONT CreateFontIndirectA(const LogFont& font) { return CreateFontIndirect(font); }

// The logical font behind a handle; null for a handle that is not a live font.
[[nodiscard]] const LogFont* LogFontFromHandle(HFONT font);

// Releases a font handle; false for one that is not a live font. DeleteObject
// dispatches here for font handles.
bool DeleteFont(HFONT font);

// The logical font text is drawn with when a DC has no font selected: the
// platform's default GUI font (MS Shell Dlg, 8 points at 96 pixels per inch).
[[nodiscard]] const LogFont& DefaultGuiLogFont();

}  // namespace bellcut
