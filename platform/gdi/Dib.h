// A device-independent pixel surface: the storage under every bitmap, window
// surface and device context.
//
// Rows are reached through ScanLine(y), row 0 at the top. Each row is
// RowBytes(width, bits) long (padded to 4 bytes, as BMP files and the
// platform's DIB sections lay them out). Storage is either owned or borrowed
// from an external block (a file mapping, a decoder's buffer) that a holder
// keeps alive; a negative stride serves bottom-up storage without copying.
//
// Pixel layouts: 1, 4 and 8 bits index the palette (most significant bits
// first within a byte); 24 bits are blue, green, red; 32 bits are blue,
// green, red and a fourth byte that drawing leaves alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Types.h"

namespace bellcut {

struct RgbQuad {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;
  constexpr bool operator==(const RgbQuad&) const = default;
  [[nodiscard]] constexpr COLORREF ToColorRef() const { return RGB(Red, Green, Blue); }
  static constexpr RgbQuad From(COLORREF c) {
    return {static_cast<std::uint8_t>(GetBValue(c)), static_cast<std::uint8_t>(GetGValue(c)),
            static_cast<std::uint8_t>(GetRValue(c)), 0};
  }
};

class Dib {
 public:
  // The largest surface any picture may need: 2^29 bytes of pixels (512 MiB)
  // and 65535 pixels per side. Decoders check a picture's declared size
  // against this before allocating anything, so a small file that declares a
  // huge picture fails cleanly.
  static constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 29;
  static constexpr int kMaxSide = 65535;

  Dib() = default;
  // A zero-filled surface. Bit counts 1, 4 and 8 get a palette of 2^bits
  // black entries (callers fill it). Throws EOutOfResources beyond the limits
  // above and EInvalidGraphicOperation for an unsupported bit count.
  Dib(int width, int height, int bitCount);
  // A surface whose pixel bytes are left as the allocator gives them, for
  // decoders that overwrite every row (row padding is zeroed). Saves a pass
  // over the memory on large pictures.
  [[nodiscard]] static Dib Uninitialized(int width, int height, int bitCount);
  // Borrows rows that start at first (row 0) and advance by stride bytes.
  static Dib Borrow(int width, int height, int bitCount, std::uint8_t* first, std::ptrdiff_t stride,
                    std::shared_ptr<void> holder);

  Dib(Dib&&) noexcept = default;
  Dib& operator=(Dib&&) noexcept = default;
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;
  [[nodiscard]] Dib Clone() const;

  // True when the width, height and bit count pass the limits above.
  [[nodiscard]] static bool Fits(std::int64_t width, std::int64_t height, int bitCount);
  // Throws EOutOfResources (with the size in the text) unless Fits.
  static void CheckFits(std::int64_t width, std::int64_t height, int bitCount);
  [[nodiscard]] static std::size_t RowBytes(int width, int bitCount);

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] int BitCount() const { return bitCount_; }
  [[nodiscard]] bool Empty() const { return width_ == 0 || height_ == 0; }
  [[nodiscard]] std::ptrdiff_t Stride() const { return stride_; }
  [[nodiscard]] TRect BoundsRect() const { return {0, 0, width_, height_}; }

  [[nodiscard]] std::uint8_t* ScanLine(int y) { return first_ + stride_ * y; }
  [[nodiscard]] const std::uint8_t* ScanLine(int y) const { return first_ + stride_ * y; }

  [[nodiscard]] std::vector<RgbQuad>& Palette() { return palette_; }
  [[nodiscard]] const std::vector<RgbQuad>& Palette() const { return palette_; }

  // One pixel as an RGB value, and the write of one (indexed surfaces take
  // the nearest palette entry). Out-of-range coordinates read 0, write nothing.
  [[nodiscard]] COLORREF GetPixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);
  // The raw value at (x, y): a palette index, or the packed 24/32-bit value.
  [[nodiscard]] std::uint32_t GetRaw(int x, int y) const;
  void SetRaw(int x, int y, std::uint32_t value);
  // Nearest palette entry by squared RGB distance; the first on ties.
  [[nodiscard]] int NearestIndex(COLORREF color) const;

  // The same pixels in another bit count (indexed targets use the nearest
  // entry of the given palette, or of the 16-colour or 256-colour system
  // palette when none is given).
  [[nodiscard]] Dib Converted(int bitCount, const std::vector<RgbQuad>* palette = nullptr) const;
  void Fill(COLORREF color);

 private:
  int width_ = 0;
  int height_ = 0;
  int bitCount_ = 0;
  std::ptrdiff_t stride_ = 0;
  std::uint8_t* first_ = nullptr;
  std::shared_ptr<void> holder_;  // keeps first_ alive
  std::vector<RgbQuad> palette_;
};

// The 16 colours of the platform's standard palette, in the platform's order
// (black, maroon, green, olive, navy, purple, teal, grey, silver, red, lime,
// yellow, blue, fuchsia, aqua, white).
[[nodiscard]] const std::vector<RgbQuad>& StandardPalette16();
// The 256-colour palette used when converting to 8 bits without one: the 16
// standard colours, then a 6x6x6 cube, then greys.
[[nodiscard]] const std::vector<RgbQuad>& StandardPalette256();

}  // namespace bellcut
