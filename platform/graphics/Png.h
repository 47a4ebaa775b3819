// PNG files through libpng: screenshots and the reference pictures of tests.
#pragma once

#include <string>

#include "platform/gdi/Dib.h"

namespace bellcut {

// Reads a PNG file of any colour type and depth into a 24-bit surface, or a
// 32-bit one with straight (not premultiplied) alpha in the fourth byte when
// the file has an alpha channel or a transparent colour. Palette, grey and
// 16-bit samples are expanded to 8-bit RGB. EFOpenError when the file cannot
// be read, EInvalidGraphic when it is not a valid PNG.
[[nodiscard]] Dib ReadPng(const std::string& path);

// Writes any surface (1, 4, 8 bits through its palette, 24 or 32 bits) as an
// 8-bit RGB PNG; a 32-bit surface's fourth byte is not written. The file is
// replaced only once complete (EFCreateError when it cannot be written).
void WritePng(const Dib& dib, const std::string& path);

}  // namespace bellcut
