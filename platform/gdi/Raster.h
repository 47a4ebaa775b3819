// Row access for the drawing code of this layer. Colours inside the drawing
// code are "pix" values: 0x00RRGGBB with blue in the low byte, the byte order
// 24- and 32-bit surfaces store, so those rows need no swapping. Raster
// operations are bitwise per channel and do not care about the order.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Dib.h"

namespace bellcut::raster {

[[nodiscard]] constexpr std::uint32_t ToPix(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
[[nodiscard]] constexpr COLORREF FromPix(std::uint32_t p) { return ToPix(p); }
[[nodiscard]] constexpr std::uint32_t QuadToPix(const RgbQuad& q) {
  return q.Blue | (static_cast<std::uint32_t>(q.Green) << 8) | (static_cast<std::uint32_t>(q.Red) << 16);
}

// The nearer of black and white.
[[nodiscard]] std::uint32_t NearestMono(std::uint32_t pix);

// Writes pix values into one surface, converting to its format. Indexed
// surfaces take the nearest palette entry (remembered per colour); a 1-bit
// surface is monochrome: black and white map to clear and set bits.
class RowWriter {
 public:
  explicit RowWriter(Dib& dib) : dib_(dib) {}
  // The value a colour becomes on this surface, as a pix (what reading it back gives).
  [[nodiscard]] std::uint32_t Representable(std::uint32_t pix);
  void Write(int y, int x, std::span<const std::uint32_t> pixels);

 private:
  [[nodiscard]] std::uint32_t Index(std::uint32_t pix);
  Dib& dib_;
  std::uint32_t lastPix_ = 0xFFFFFFFF;
  std::uint32_t lastIndex_ = 0;
};

// Reads pixels of a row as pix values. 1-bit surfaces read as black (clear
// bit) and white (set bit), indexed ones through their palette.
void ReadRow(const Dib& dib, int y, int x, std::span<std::uint32_t> out);

// The rectangles of clip that meet rect (both in surface coordinates), clipped to it.
[[nodiscard]] std::vector<TRect> ClipRects(const DeviceContext& dc, const TRect& rect);

// Binary raster operation on pix values.
[[nodiscard]] std::uint32_t Rop2(int rop2, std::uint32_t pen, std::uint32_t dst);
// Fills rect (surface coordinates) with a colour combined by a binary raster
// operation, clipped to the DC. Used by lines, rectangles and pixels.
void PaintRect(DeviceContext& dc, const TRect& rect, std::uint32_t pix, int rop2);
// The one-pixel outline just inside rect (surface coordinates), each pixel
// painted once, as PaintRect paints.
void PaintFrame(DeviceContext& dc, const TRect& rect, std::uint32_t pix, int rop2);

}  // namespace bellcut::raster
