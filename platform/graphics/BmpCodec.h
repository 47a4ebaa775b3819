// Reading and writing Windows bitmap (.bmp) files to and from a Dib.
//
// DecodeBmp reads every variant a Windows program meets: core (OS/2 1.x),
// OS/2 2.x, INFO, V4 and V5 headers; 1, 2, 4, 8, 16, 24 and 32 bits per
// pixel; RLE4/RLE8; BI_BITFIELDS/BI_ALPHABITFIELDS masks; bottom-up and
// top-down rows. Anything broken raises EInvalidGraphic whose text starts
// with "Bitmap image is not valid" and names the reason.
//
// The decoded surface keeps the file's depth where a Dib can hold it:
//   1, 4, 8 bits      -> the same depth, with the file's palette as stored
//                        (it may be shorter than 2^bits)
//   2 bits            -> 4 bits, with the same palette
//   16 bits, masks    -> 24 bits, or 32 bits when an alpha mask is present;
//                        n-bit channels scale as round(v * 255 / (2^n - 1))
//   24 bits           -> 24 bits
//   32 bits (BI_RGB)  -> 32 bits; the fourth byte is kept as stored but is
//                        not alpha (HasAlpha is false)
//   RLE4 / RLE8       -> 4 / 8 bits; pixels the stream skips are index 0
//   RLE24 (OS/2)      -> 24 bits; pixels the stream skips are black
//
// Policies for damaged files (each raises EInvalidGraphic):
// - a pixel index past the palette: no colour would be right, so the file
//   is refused rather than shown with made-up colours;
// - uncompressed pixel data shorter than the picture, or a file shorter than
//   its header's file size or pixel data size: the file was cut short;
// - a run-length move leaving the picture, data past the last row or a
//   stream without its end code (a run past the right edge is only clipped);
// - a declared size beyond Dib::CheckFits' limits (with the size in the
//   text), unknown header sizes, planes other than 1, empty or overlapping
//   bit masks, densities above 1,000,000 pixels per metre or negative;
// - embedded JPEG/PNG, OS/2 Huffman coding and 64-bit pixels: unsupported.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gdi/Dib.h"

namespace bellcut {

struct BmpImage {
  Dib Pixels;
  // True when the result is 32 bits with straight (not premultiplied) alpha
  // in the fourth byte, decoded from the file's alpha mask.
  bool HasAlpha = false;
  int XPelsPerMeter = 0;
  int YPelsPerMeter = 0;
  // The file's own bits per pixel and header size, for callers that report
  // or preserve the original format.
  int FileBitCount = 0;
  std::uint32_t HeaderSize = 0;
};

// Decodes a whole .bmp file held in memory. Raises EInvalidGraphic for a
// malformed or unsupported file (including one declaring a picture too large
// to allocate).
[[nodiscard]] BmpImage DecodeBmp(std::span<const std::uint8_t> file);

// The same for a file in a block that holder keeps alive (a copy-on-write
// file mapping): uncompressed 24- and 32-bit pictures whose rows are all
// present with their padding are not copied; the surface borrows the rows
// where they lie (bottom-up files through a negative stride), so only the
// rows that are used are ever read. Every check of DecodeBmp applies, and
// other pictures are decoded into a new surface as DecodeBmp does.
[[nodiscard]] BmpImage DecodeBmpInPlace(std::span<std::uint8_t> file, std::shared_ptr<void> holder);

// Encodes a Dib of 1, 4, 8, 24 or 32 bits as an uncompressed bottom-up
// file with a 40-byte BITMAPINFOHEADER. Indexed surfaces write their palette
// (its own size, capped at 2^bits; an empty palette writes 2^bits black
// entries); a 32-bit surface's fourth byte is written as it is. Padding is
// written as zero. Raises EInvalidGraphicOperation for a Dib without pixels
// or of another bit count.
[[nodiscard]] std::vector<std::uint8_t> EncodeBmp(const Dib& dib, int xPelsPerMeter = 0, int yPelsPerMeter = 0);

}  // namespace bellcut
