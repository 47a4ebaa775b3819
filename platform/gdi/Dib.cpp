#include "platform/gdi/Dib.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <limits>
#include <string>

#include "platform/base/Exceptions.h"
#include "platform/base/NeverDestroyed.h"

namespace bellcut {
namespace {

bool ValidBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

// Pixel storage. Faulting in fresh 4 KiB pages costs about as much as
// decoding into them (measured: ~95 ms for a 48-megapixel picture), so large
// blocks are aligned to 2 MiB and offered to the kernel for huge pages, which
// cuts that cost several times where they are available.
std::shared_ptr<std::uint8_t> AllocatePixels(std::size_t bytes, bool zeroed) {
  constexpr std::size_t kHuge = std::size_t{1} << 21;
  if (bytes >= 2 * kHuge) {
    const std::size_t rounded = (bytes + kHuge - 1) & ~(kHuge - 1);
    void* p = std::aligned_alloc(kHuge, rounded);
    if (p == nullptr) throw std::bad_alloc();
    (void)::madvise(p, rounded, MADV_HUGEPAGE);  // only a hint: failure is harmless
    if (zeroed) std::memset(p, 0, bytes);
    return {static_cast<std::uint8_t*>(p), [](std::uint8_t* q) { std::free(q); }};
  }
  std::uint8_t* p = zeroed ? new std::uint8_t[std::max<std::size_t>(bytes, 1)]()
                           : new std::uint8_t[std::max<std::size_t>(bytes, 1)];
  return {p, std::default_delete<std::uint8_t[]>()};
}

}  // namespace

std::size_t Dib::RowBytes(int width, int bitCount) {
  const std::uint64_t bitsPerRow = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount);
  return static_cast<std::size_t>(((bitsPerRow + 31) / 32) * 4);
}

bool Dib::Fits(std::int64_t width, std::int64_t height, int bitCount) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) return false;
  if (!ValidBitCount(bitCount)) return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(RowBytes(static_cast<int>(width), bitCount)) *
                              static_cast<std::uint64_t>(height);
  return bytes <= kMaxBytes;
}

void Dib::CheckFits(std::int64_t width, std::int64_t height, int bitCount) {
  if (Fits(width, height, bitCount)) return;
  if (!ValidBitCount(bitCount))
    throw EInvalidGraphicOperation("Unsupported pixel format: " + std::to_string(bitCount) + " bits per pixel");
  throw EOutOfResources("Picture too large: " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels at " + std::to_string(bitCount) + " bits exceeds the limit of " +
                        std::to_string(kMaxSide) + " pixels per side and " +
                        std::to_string(kMaxBytes >> 20) + " MiB");
}

Dib::Dib(int width, int height, int bitCount) {
  CheckFits(width, height, bitCount);
  width_ = width;
  height_ = height;
  bitCount_ = bitCount;
  const std::size_t row = RowBytes(width, bitCount);
  const std::size_t bytes = row * static_cast<std::size_t>(height);
  if (bytes > 0) {
    std::shared_ptr<std::uint8_t> block = AllocatePixels(bytes, true);
    first_ = block.get();
    holder_ = std::move(block);
  }
  stride_ = static_cast<std::ptrdiff_t>(row);
  if (bitCount <= 8) palette_.assign(std::size_t{1} << bitCount, RgbQuad{});
}

Dib Dib::Uninitialized(int width, int height, int bitCount) {
  CheckFits(width, height, bitCount);
  const std::size_t row = RowBytes(width, bitCount);
  const std::size_t bytes = row * static_cast<std::size_t>(height);
  if (bytes == 0) return Dib(width, height, bitCount);
  std::shared_ptr<std::uint8_t> block = AllocatePixels(bytes, false);
  std::uint8_t* first = block.get();
  const std::size_t used = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 7) / 8;
  if (row > used)
    for (int y = 0; y < height; ++y) std::memset(first + row * static_cast<std::size_t>(y) + used, 0, row - used);
  return Borrow(width, height, bitCount, first, static_cast<std::ptrdiff_t>(row), std::move(block));
}

Dib Dib::Borrow(int width, int height, int bitCount, std::uint8_t* first, std::ptrdiff_t stride,
                std::shared_ptr<void> holder) {
  CheckFits(width, height, bitCount);
  Dib d;
  d.width_ = width;
  d.height_ = height;
  d.bitCount_ = bitCount;
  d.first_ = first;
  d.stride_ = stride;
  d.holder_ = std::move(holder);
  if (bitCount <= 8) d.palette_.assign(std::size_t{1} << bitCount, RgbQuad{});
  return d;
}

Dib Dib::Clone() const {
  if (bitCount_ == 0) return Dib();
  Dib d(width_, height_, bitCount_);
  const std::size_t row = RowBytes(width_, bitCount_);
  for (int y = 0; y < height_; ++y) std::memcpy(d.ScanLine(y), ScanLine(y), row);
  d.palette_ = palette_;
  return d;
}

std::uint32_t Dib::GetRaw(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint8_t* row = ScanLine(y);
  switch (bitCount_) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8: return row[x];
    case 24: {
      const std::uint8_t* p = row + 3 * x;
      return p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
    }
    case 32: {
      std::uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
    default: return 0;
  }
}

void Dib::SetRaw(int x, int y, std::uint32_t value) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* row = ScanLine(y);
  switch (bitCount_) {
    case 1: {
      const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>((value & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
      break;
    }
    case 4: {
      std::uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F))
                  : static_cast<std::uint8_t>((b & 0x0F) | ((value & 0x0F) << 4));
      break;
    }
    case 8: row[x] = static_cast<std::uint8_t>(value); break;
    case 24: {
      std::uint8_t* p = row + 3 * x;
      p[0] = static_cast<std::uint8_t>(value);
      p[1] = static_cast<std::uint8_t>(value >> 8);
      p[2] = static_cast<std::uint8_t>(value >> 16);
      break;
    }
    case 32: std::memcpy(row + 4 * x, &value, 4); break;
    default: break;
  }
}

COLORREF Dib::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint32_t raw = GetRaw(x, y);
  if (bitCount_ <= 8) return raw < palette_.size() ? palette_[raw].ToColorRef() : 0;
  // 24/32 bits store blue, green, red: swap into COLORREF order.
  return RGB(static_cast<int>((raw >> 16) & 0xFF), static_cast<int>((raw >> 8) & 0xFF), static_cast<int>(raw & 0xFF));
}

void Dib::SetPixel(int x, int y, COLORREF color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  if (bitCount_ <= 8) {
    SetRaw(x, y, static_cast<std::uint32_t>(NearestIndex(color)));
    return;
  }
  const std::uint32_t bgr = static_cast<std::uint32_t>(GetBValue(color)) |
                            (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
                            (static_cast<std::uint32_t>(GetRValue(color)) << 16);
  if (bitCount_ == 32) {
    // Keep the fourth byte: drawing never touches it.
    const std::uint32_t old = GetRaw(x, y);
    SetRaw(x, y, (old & 0xFF000000u) | bgr);
  } else {
    SetRaw(x, y, bgr);
  }
}

int Dib::NearestIndex(COLORREF color) const {
  int best = 0;
  long bestDist = std::numeric_limits<long>::max();
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    const long dr = palette_[i].Red - GetRValue(color);
    const long dg = palette_[i].Green - GetGValue(color);
    const long db = palette_[i].Blue - GetBValue(color);
    const long d = dr * dr + dg * dg + db * db;
    if (d < bestDist) {
      bestDist = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

Dib Dib::Converted(int bitCount, const std::vector<RgbQuad>* palette) const {
  Dib out(width_, height_, bitCount);
  if (bitCount <= 8) {
    if (palette != nullptr) {
      out.palette_ = *palette;
    } else if (bitCount == 1) {
      out.palette_ = {RgbQuad{0, 0, 0, 0}, RgbQuad{255, 255, 255, 0}};
    } else if (bitCount == 4) {
      out.palette_ = StandardPalette16();
    } else {
      out.palette_ = StandardPalette256();
    }
    out.palette_.resize(std::size_t{1} << bitCount);
  }
  if ((bitCount == 24 || bitCount == 32) && (bitCount_ == 24 || bitCount_ == 32)) {
    // True colour to true colour moves the three colour bytes of each pixel
    // row by row; a fourth byte of the new surface stays zero, as SetPixel
    // would leave it.
    const std::size_t from = static_cast<std::size_t>(bitCount_) / 8;
    const std::size_t to = static_cast<std::size_t>(bitCount) / 8;
    const std::size_t n = static_cast<std::size_t>(width_);
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* s = ScanLine(y);
      std::uint8_t* d = out.ScanLine(y);
      if (from == 3 && to == 3) {
        std::memcpy(d, s, n * 3);
        continue;
      }
      for (std::size_t x = 0; x < n; ++x, s += from, d += to) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
    }
    return out;
  }
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) out.SetPixel(x, y, GetPixel(x, y));
  return out;
}

void Dib::Fill(COLORREF color) {
  if (Empty()) return;
  for (int x = 0; x < width_; ++x) SetPixel(x, 0, color);
  const std::size_t row = RowBytes(width_, bitCount_);
  for (int y = 1; y < height_; ++y) std::memcpy(ScanLine(y), ScanLine(0), row);
}

// The palettes are never destroyed: pictures are still made while forms are
// destroyed at exit (NeverDestroyed.h).
const std::vector<RgbQuad>& StandardPalette16() {
  static NeverDestroyed<const std::vector<RgbQuad>> palette{[] {
    const COLORREF colours[16] = {RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
                                  RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
                                  RGB(192, 192, 192), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
                                  RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
    std::vector<RgbQuad> p;
    for (COLORREF c : colours) p.push_back(RgbQuad::From(c));
    return p;
  }()};
  return *palette;
}

const std::vector<RgbQuad>& StandardPalette256() {
  static NeverDestroyed<const std::vector<RgbQuad>> palette{[] {
    std::vector<RgbQuad> p = StandardPalette16();
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) p.push_back(RgbQuad::From(RGB(r * 51, g * 51, b * 51)));
    for (int i = 0; p.size() < 256; ++i) {
      const int v = 8 + i * 10;
      p.push_back(RgbQuad::From(RGB(v, v, v)));
    }
    return p;
  }()};
  return *palette;
}

}  // namespace bellcut
