#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>

namespace bellcut::raster {

std::uint32_t NearestMono(std::uint32_t pix) {
  const long r = (pix >> 16) & 0xFF, g = (pix >> 8) & 0xFF, b = pix & 0xFF;
  const long toBlack = r * r + g * g + b * b;
  const long toWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
  return toWhite < toBlack ? 0xFFFFFF : 0;
}

std::uint32_t RowWriter::Index(std::uint32_t pix) {
  if (pix != lastPix_) {
    lastPix_ = pix;
    lastIndex_ = static_cast<std::uint32_t>(dib_.NearestIndex(FromPix(pix)));
  }
  return lastIndex_;
}

std::uint32_t RowWriter::Representable(std::uint32_t pix) {
  switch (dib_.BitCount()) {
    case 24:
    case 32: return pix & 0xFFFFFF;
    case 1: return NearestMono(pix);
    default: {
      const std::uint32_t index = Index(pix & 0xFFFFFF);
      const auto& palette = dib_.Palette();
      return index < palette.size() ? QuadToPix(palette[index]) : 0;
    }
  }
}

void RowWriter::Write(int y, int x, std::span<const std::uint32_t> pixels) {
  std::uint8_t* row = dib_.ScanLine(y);
  const std::size_t n = pixels.size();
  switch (dib_.BitCount()) {
    case 32: {
      std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
      for (std::size_t i = 0; i < n; ++i, p += 4) {
        // The fourth byte is not colour: drawing keeps it. One 32-bit load
        // and store per pixel (little-endian: blue is the low byte).
        std::uint32_t word;
        std::memcpy(&word, p, 4);
        word = (word & 0xFF000000u) | (pixels[i] & 0xFFFFFFu);
        std::memcpy(p, &word, 4);
      }
      break;
    }
    case 24: {
      std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
      // One 32-bit store per pixel: its fourth byte lands on the next
      // pixel, which overwrites it. The last pixel is stored bytewise so
      // nothing past it is touched.
      std::size_t i = 0;
      for (; i + 1 < n; ++i, p += 3) {
        const std::uint32_t v = pixels[i];
        std::memcpy(p, &v, 4);
      }
      for (; i < n; ++i, p += 3) {
        const std::uint32_t v = pixels[i];
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
      }
      break;
    }
    case 8:
      for (std::size_t i = 0; i < n; ++i) row[static_cast<std::size_t>(x) + i] = static_cast<std::uint8_t>(Index(pixels[i] & 0xFFFFFF));
      break;
    case 4:
      for (std::size_t i = 0; i < n; ++i) dib_.SetRaw(x + static_cast<int>(i), y, Index(pixels[i] & 0xFFFFFF));
      break;
    case 1:
      for (std::size_t i = 0; i < n; ++i) {
        const int px = x + static_cast<int>(i);
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (px & 7));
        std::uint8_t& b = row[px >> 3];
        b = Representable(pixels[i]) != 0 ? static_cast<std::uint8_t>(b | mask) : static_cast<std::uint8_t>(b & ~mask);
      }
      break;
    default: break;
  }
}

void ReadRow(const Dib& dib, int y, int x, std::span<std::uint32_t> out) {
  const std::uint8_t* row = dib.ScanLine(y);
  const std::size_t n = out.size();
  switch (dib.BitCount()) {
    case 32: {
      const std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
      for (std::size_t i = 0; i < n; ++i, p += 4)
        out[i] = p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
      break;
    }
    case 24: {
      const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
      for (std::size_t i = 0; i < n; ++i, p += 3)
        out[i] = p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
      break;
    }
    case 1:
      for (std::size_t i = 0; i < n; ++i) {
        const int px = x + static_cast<int>(i);
        out[i] = ((row[px >> 3] >> (7 - (px & 7))) & 1u) ? 0xFFFFFF : 0;
      }
      break;
    case 4:
    case 8: {
      // Indexes straight from the row bytes through a table of the palette's
      // colours (indexes past the palette read black).
      const auto& palette = dib.Palette();
      const bool four = dib.BitCount() == 4;
      std::uint32_t colors[256] = {};
      const std::size_t entries = std::min<std::size_t>(palette.size(), four ? 16 : 256);
      for (std::size_t k = 0; k < entries; ++k) colors[k] = QuadToPix(palette[k]);
      if (four) {
        for (std::size_t i = 0; i < n; ++i) {
          const std::size_t px = static_cast<std::size_t>(x) + i;
          const std::uint8_t b = row[px >> 1];
          out[i] = colors[(px & 1) ? (b & 0x0F) : (b >> 4)];
        }
      } else {
        for (std::size_t i = 0; i < n; ++i) out[i] = colors[row[static_cast<std::size_t>(x) + i]];
      }
      break;
    }
    default: {
      const auto& palette = dib.Palette();
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t index = dib.GetRaw(x + static_cast<int>(i), y);
        out[i] = index < palette.size() ? QuadToPix(palette[index]) : 0;
      }
      break;
    }
  }
}

std::vector<TRect> ClipRects(const DeviceContext& dc, const TRect& rect) {
  std::vector<TRect> out;
  if (dc.Surface == nullptr || rect.IsEmpty()) return out;
  const TRect bounded = rect.Intersect(dc.Surface->BoundsRect());
  if (bounded.IsEmpty()) return out;
  if (!dc.VisRgn && !dc.ClipRgn) {
    out.push_back(bounded);
    return out;
  }
  Region clip = dc.EffectiveClip();
  clip.Intersect(bounded);
  out = clip.Rects();
  return out;
}

std::uint32_t Rop2(int rop2, std::uint32_t pen, std::uint32_t dst) {
  // The code less one is a truth table indexed by (pen bit << 1) | destination bit.
  const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  std::uint32_t result = 0;
  if (table & 1) result |= ~pen & ~dst;
  if (table & 2) result |= ~pen & dst;
  if (table & 4) result |= pen & ~dst;
  if (table & 8) result |= pen & dst;
  return result & 0xFFFFFF;
}

void PaintRect(DeviceContext& dc, const TRect& rect, std::uint32_t pix, int rop2) {
  if (rop2 == R2_NOP) return;
  const std::vector<TRect> rects = ClipRects(dc, rect);
  if (rects.empty()) return;
  RowWriter writer(*dc.Surface);
  const std::uint32_t pen = writer.Representable(pix);
  std::vector<std::uint32_t> buffer;
  const bool copyRows = rop2 == R2_COPYPEN && dc.Surface->BitCount() == 24;
  for (const TRect& r : rects) {
    buffer.resize(static_cast<std::size_t>(r.Width()));
    for (int y = r.Top; y < r.Bottom; ++y) {
      if (copyRows && y > r.Top) {
        // A plain fill of a 24-bit surface makes every row of the rectangle
        // the same bytes: the first one is copied.
        const std::size_t offset = static_cast<std::size_t>(r.Left) * 3;
        std::memcpy(dc.Surface->ScanLine(y) + offset, dc.Surface->ScanLine(r.Top) + offset, buffer.size() * 3);
        continue;
      }
      if (rop2 == R2_COPYPEN) {
        std::fill(buffer.begin(), buffer.end(), pen);
      } else {
        ReadRow(*dc.Surface, y, r.Left, buffer);
        for (auto& v : buffer) v = Rop2(rop2, pen, v);
      }
      writer.Write(y, r.Left, buffer);
    }
  }
}

void PaintFrame(DeviceContext& dc, const TRect& r, std::uint32_t pix, int rop2) {
  if (r.IsEmpty()) return;
  PaintRect(dc, {r.Left, r.Top, r.Right, r.Top + 1}, pix, rop2);
  if (r.Height() > 1) PaintRect(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, pix, rop2);
  PaintRect(dc, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, pix, rop2);
  if (r.Width() > 1) PaintRect(dc, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, pix, rop2);
}

}  // namespace bellcut::raster
