#include "platform/graphics/BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string>

#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;

// Every decoding failure goes through here so the texts share one prefix.
[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic("Bitmap image is not valid: " + reason);
}

// Little-endian reads with a bounds check on every access: the header fields
// come from the file and are never trusted to lie inside it.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
  [[nodiscard]] std::uint64_t Size() const { return data_.size(); }
  [[nodiscard]] const std::uint8_t* At(std::uint64_t offset) const { return data_.data() + offset; }
  [[nodiscard]] bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= data_.size() && count <= data_.size() - offset;
  }
  [[nodiscard]] std::uint16_t U16(std::uint64_t offset) const {
    Need(offset, 2);
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  [[nodiscard]] std::uint32_t U32(std::uint64_t offset) const {
    Need(offset, 4);
    return static_cast<std::uint32_t>(data_[offset]) | (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
  }
  [[nodiscard]] std::int32_t I32(std::uint64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

 private:
  void Need(std::uint64_t offset, std::uint64_t count) const {
    if (!Has(offset, count)) Fail("the file ends inside its header");
  }
  std::span<const std::uint8_t> data_;
};

enum class Coding { Rgb, Rle8, Rle4, Rle24, BitFields };

struct Header {
  std::uint32_t size = 0;  // of the info header
  bool core = false;       // 12-byte OS/2 1.x header: 16-bit sizes, 3-byte palette entries
  bool os2v2 = false;      // OS/2 2.x header (16..64 bytes): its own compression numbers
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int planes = 1;
  int bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  bool masksInHeader = false;            // V2 (52) and later carry the masks inside the header
  bool alphaInHeader = false;            // V3 (56) and later carry an alpha mask
};

Header ReadHeader(const Bytes& in) {
  Header h;
  h.size = in.U32(kFileHeaderSize);
  const std::uint64_t at = kFileHeaderSize;
  if (h.size == 12) {
    h.core = true;
    h.width = in.U16(at + 4);
    h.height = in.U16(at + 6);  // unsigned: core files are always bottom-up
    h.planes = in.U16(at + 8);
    h.bits = in.U16(at + 10);
    return h;
  }
  const bool windows = h.size == 40 || h.size == 52 || h.size == 56 || h.size == 108 || h.size == 124;
  // OS/2 2.x headers may stop after any field from the bit count on; the
  // missing fields read as 0.
  h.os2v2 = !windows && h.size >= 16 && h.size <= 64;
  if (!windows && !h.os2v2) Fail("unknown header size " + std::to_string(h.size));
  if (!in.Has(at, h.size)) Fail("the file ends inside its header");
  auto field = [&](std::uint32_t offset) -> std::uint32_t { return offset + 4 <= h.size ? in.U32(at + offset) : 0; };
  h.width = in.I32(at + 4);
  h.height = in.I32(at + 8);
  h.planes = in.U16(at + 12);
  h.bits = in.U16(at + 14);
  h.compression = field(16);
  h.sizeImage = field(20);
  h.xPelsPerMeter = static_cast<std::int32_t>(field(24));
  h.yPelsPerMeter = static_cast<std::int32_t>(field(28));
  h.clrUsed = field(32);
  if (windows && h.size >= 52) {
    h.masksInHeader = true;
    h.masks = {field(40), field(44), field(48), 0};
  }
  if (windows && h.size >= 56) {
    h.alphaInHeader = true;
    h.masks[3] = field(52);
  }
  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;  // 64-bit: -INT32_MIN does not overflow
  }
  return h;
}

// One colour channel of a bit-field pixel, scaled to 8 bits as
// round(v * 255 / (2^n - 1)), the exact scaling (plain shifting darkens
// channels of odd widths).
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    bits_ = std::popcount(mask);
    max_ = (bits_ == 32) ? 0xFFFFFFFFull : ((std::uint64_t{1} << bits_) - 1);
    if (bits_ <= 16) {
      table_.resize(static_cast<std::size_t>(max_) + 1);
      for (std::uint64_t v = 0; v <= max_; ++v) table_[v] = Scale(v);
    }
  }
  [[nodiscard]] bool Present() const { return mask_ != 0; }
  [[nodiscard]] std::uint8_t operator()(std::uint32_t pixel) const {
    const std::uint64_t v = (pixel & mask_) >> shift_;
    return table_.empty() ? Scale(v) : table_[v];
  }

 private:
  [[nodiscard]] std::uint8_t Scale(std::uint64_t v) const {
    return static_cast<std::uint8_t>((v * 510 + max_) / (2 * max_));
  }
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  int bits_ = 0;
  std::uint64_t max_ = 1;
  std::vector<std::uint8_t> table_;
};

bool Contiguous(std::uint32_t mask) {
  if (mask == 0) return true;
  const std::uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

void CheckMasks(const std::array<std::uint32_t, 4>& m, int bits) {
  static const char* const names[] = {"red", "green", "blue", "alpha"};
  const std::uint32_t usable = bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
  for (int i = 0; i < 4; ++i) {
    if (i < 3 && m[i] == 0) Fail(std::string("the ") + names[i] + " bit mask is empty");
    if (!Contiguous(m[i])) Fail(std::string("the ") + names[i] + " bit mask is not contiguous");
    if ((m[i] & ~usable) != 0) Fail(std::string("the ") + names[i] + " bit mask lies outside the pixel");
    for (int j = 0; j < i; ++j)
      if ((m[i] & m[j]) != 0) Fail(std::string("the ") + names[j] + " and " + names[i] + " bit masks overlap");
  }
}

// Fourth palette byte is reserved; core palettes have 3-byte entries.
std::vector<RgbQuad> ReadPalette(const Bytes& in, std::uint64_t at, std::uint64_t count, int entrySize) {
  std::vector<RgbQuad> palette(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* p = in.At(at + i * static_cast<std::uint64_t>(entrySize));
    palette[static_cast<std::size_t>(i)] = RgbQuad{p[0], p[1], p[2], 0};
  }
  return palette;
}

// The Dib row that the file's n-th stored row lands on.
int DestRow(const Header& h, std::int64_t fileRow) {
  return static_cast<int>(h.topDown ? fileRow : h.height - 1 - fileRow);
}

Dib MakeDib(const Header& h, int bitCount) {
  try {
    return Dib(static_cast<int>(h.width), static_cast<int>(h.height), bitCount);
  } catch (const EOutOfResources& e) {
    Fail(e.Message());
  }
}

// An indexed picture must only use colours its palette has. Checked instead
// of reading missing entries as some colour, since such a file is broken and
// any colour would be a guess.
void CheckIndexes(const Dib& dib) {
  const std::size_t colours = dib.Palette().size();
  if (colours >= (std::size_t{1} << dib.BitCount())) return;
  const int bits = dib.BitCount();
  for (int y = 0; y < dib.Height(); ++y) {
    const std::uint8_t* row = dib.ScanLine(y);
    for (int x = 0; x < dib.Width(); ++x) {
      unsigned v;
      if (bits == 8) v = row[x];
      else if (bits == 4) v = (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
      else v = (row[x >> 3] >> (7 - (x & 7))) & 1u;
      if (v >= colours)
        Fail("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") uses colour " + std::to_string(v) +
             " of a palette with " + std::to_string(colours));
    }
  }
}

// Uncompressed rows. The rows must all be present (a short last row may lack
// its padding); a truncated file is rejected rather than shown half-empty.
void CheckRowsPresent(const Bytes& in, std::uint64_t offset, const Header& h, std::uint64_t stride) {
  const std::uint64_t lastRow = (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.bits) + 7) / 8;
  const std::uint64_t need = stride * static_cast<std::uint64_t>(h.height - 1) + lastRow;
  const std::uint64_t have = offset <= in.Size() ? in.Size() - offset : 0;
  if (have < need)
    Fail("the pixel data is truncated (" + std::to_string(have) + " of " + std::to_string(need) + " bytes)");
}

void DecodeIndexed(const Bytes& in, std::uint64_t offset, const Header& h, Dib& dib) {
  const std::uint64_t stride = Dib::RowBytes(static_cast<int>(h.width), h.bits);
  CheckRowsPresent(in, offset, h, stride);
  const std::uint64_t used = (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.bits) + 7) / 8;
  for (std::int64_t r = 0; r < h.height; ++r) {
    const std::uint8_t* src = in.At(offset + stride * static_cast<std::uint64_t>(r));
    std::uint8_t* dst = dib.ScanLine(DestRow(h, r));
    if (h.bits != 2) {
      std::memcpy(dst, src, static_cast<std::size_t>(used));
      continue;
    }
    // Two bits per pixel has no Dib format: widen each index to a nibble.
    for (std::int64_t x = 0; x < h.width; ++x) {
      const unsigned v = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
      dst[x >> 1] = static_cast<std::uint8_t>(dst[x >> 1] | ((x & 1) ? v : (v << 4)));
    }
  }
  // Bits past the width in each row's last byte are not part of the picture.
  const int tail = static_cast<int>((static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(dib.BitCount())) % 8);
  if (tail != 0) {
    const std::uint8_t keep = static_cast<std::uint8_t>(0xFF00u >> tail);
    const std::size_t last = static_cast<std::size_t>((static_cast<std::uint64_t>(h.width) * dib.BitCount()) / 8);
    for (int y = 0; y < dib.Height(); ++y) dib.ScanLine(y)[last] &= keep;
  }
}

void Decode24(const Bytes& in, std::uint64_t offset, const Header& h, Dib& dib) {
  const std::uint64_t stride = Dib::RowBytes(static_cast<int>(h.width), 24);
  CheckRowsPresent(in, offset, h, stride);
  const std::size_t used = static_cast<std::size_t>(h.width) * 3;
  for (std::int64_t r = 0; r < h.height; ++r)
    std::memcpy(dib.ScanLine(DestRow(h, r)), in.At(offset + stride * static_cast<std::uint64_t>(r)), used);
}

void Decode32(const Bytes& in, std::uint64_t offset, const Header& h, Dib& dib) {
  const std::uint64_t stride = static_cast<std::uint64_t>(h.width) * 4;
  CheckRowsPresent(in, offset, h, stride);
  for (std::int64_t r = 0; r < h.height; ++r)
    std::memcpy(dib.ScanLine(DestRow(h, r)), in.At(offset + stride * static_cast<std::uint64_t>(r)),
                static_cast<std::size_t>(stride));
}

// 16 and 32-bit pixels split by masks into 24-bit (or 32-bit with alpha) BGR.
void DecodeBitFields(const Bytes& in, std::uint64_t offset, const Header& h, const std::array<std::uint32_t, 4>& masks,
                     Dib& dib) {
  const std::uint64_t stride = Dib::RowBytes(static_cast<int>(h.width), h.bits);
  CheckRowsPresent(in, offset, h, stride);
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const int outBytes = dib.BitCount() / 8;
  const int inBytes = h.bits / 8;
  for (std::int64_t r = 0; r < h.height; ++r) {
    const std::uint8_t* src = in.At(offset + stride * static_cast<std::uint64_t>(r));
    std::uint8_t* dst = dib.ScanLine(DestRow(h, r));
    for (std::int64_t x = 0; x < h.width; ++x, src += inBytes, dst += outBytes) {
      const std::uint32_t v = inBytes == 2 ? static_cast<std::uint32_t>(src[0] | (src[1] << 8))
                                           : static_cast<std::uint32_t>(src[0]) | (static_cast<std::uint32_t>(src[1]) << 8) |
                                                 (static_cast<std::uint32_t>(src[2]) << 16) |
                                                 (static_cast<std::uint32_t>(src[3]) << 24);
      dst[0] = blue(v);
      dst[1] = green(v);
      dst[2] = red(v);
      if (outBytes == 4) dst[3] = alpha(v);
    }
  }
}

// Run-length coded pictures (RLE8, RLE4 and OS/2's RLE24). The stream is a
// sequence of (count, value) runs and escapes: 0,0 ends a row, 0,1 ends the
// picture, 0,2,dx,dy moves the pen, 0,n copies n literal pixels. Pixels the
// stream never writes (skipped by a move, or left by an early end of row or
// picture) keep palette index 0, or black for RLE24: the surface starts
// zeroed. A run reaching past the right edge is clipped to the row; a move
// past the picture, a stream running past the last row, or data ending
// without an end code is broken and rejected. Every step consumes input, so
// the loop always ends.
class RleDecoder {
 public:
  RleDecoder(const Bytes& in, std::uint64_t offset, std::uint64_t end, const Header& h, Dib& dib)
      : in_(in), pos_(offset), end_(end), h_(h), dib_(dib), pixelBits_(h.bits) {}

  void Run() {
    for (;;) {
      const unsigned count = Next();
      const unsigned value = Next();
      if (count > 0) {
        WriteRun(count, value);
        continue;
      }
      switch (value) {
        case 0:  // end of row
          x_ = 0;
          ++y_;
          break;
        case 1:  // end of picture
          return;
        case 2: {  // move
          const unsigned dx = Next();
          const unsigned dy = Next();
          x_ += dx;
          y_ += dy;
          if (x_ > h_.width || y_ > h_.height || (y_ == h_.height && x_ > 0))
            Fail("a run-length move leaves the picture");
          break;
        }
        default:
          WriteLiteral(value);
          break;
      }
      if (y_ >= h_.height) {
        // Past the last row only the end code may follow (or nothing).
        if (pos_ + 2 <= end_ && !(in_.At(pos_)[0] == 0 && in_.At(pos_)[1] == 1))
          Fail("run-length data continues past the last row");
        return;
      }
    }
  }

 private:
  unsigned Next() {
    if (pos_ >= end_) Fail("run-length data ends without an end-of-picture code");
    return in_.At(pos_++)[0];
  }
  void CheckRow() const {
    if (y_ >= h_.height) Fail("run-length data continues past the last row");
  }
  void Put(std::uint32_t value) {
    if (x_ < h_.width) {
      const int y = static_cast<int>(h_.height - 1 - y_);
      const int x = static_cast<int>(x_);
      std::uint8_t* row = dib_.ScanLine(y);
      switch (pixelBits_) {
        case 4: {
          std::uint8_t& b = row[x >> 1];
          b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | value) : static_cast<std::uint8_t>((b & 0x0F) | (value << 4));
          break;
        }
        case 8: row[x] = static_cast<std::uint8_t>(value); break;
        default:
          row[3 * x] = static_cast<std::uint8_t>(value);
          row[3 * x + 1] = static_cast<std::uint8_t>(value >> 8);
          row[3 * x + 2] = static_cast<std::uint8_t>(value >> 16);
          break;
      }
      ++x_;
    }
    // Pixels past the right edge are dropped and do not move the pen.
  }
  void WriteRun(unsigned count, unsigned value) {
    CheckRow();
    if (pixelBits_ == 24) {
      const std::uint32_t bgr = value | (Next() << 8) | (Next() << 16);
      for (unsigned i = 0; i < count && x_ < h_.width; ++i) Put(bgr);
    } else if (pixelBits_ == 4) {
      for (unsigned i = 0; i < count && x_ < h_.width; ++i) Put((i & 1) ? (value & 0x0F) : (value >> 4));
    } else {
      for (unsigned i = 0; i < count && x_ < h_.width; ++i) Put(value);
    }
  }
  void WriteLiteral(unsigned count) {
    CheckRow();
    const std::uint64_t bytes = pixelBits_ == 4 ? (count + 1) / 2 : count * static_cast<std::uint64_t>(pixelBits_ / 8);
    if (pos_ + bytes > end_) Fail("run-length data ends inside a literal run");
    const std::uint8_t* p = in_.At(pos_);
    for (unsigned i = 0; i < count; ++i) {
      if (pixelBits_ == 4) Put((i & 1) ? (p[i >> 1] & 0x0F) : (p[i >> 1] >> 4));
      else if (pixelBits_ == 8) Put(p[i]);
      else Put(p[3 * i] | (p[3 * i + 1] << 8) | (static_cast<std::uint32_t>(p[3 * i + 2]) << 16));
    }
    pos_ += bytes + (bytes & 1);  // literals are padded to 16 bits
    pos_ = std::min(pos_, end_);
  }

  const Bytes& in_;
  std::uint64_t pos_;
  std::uint64_t end_;
  const Header& h_;
  Dib& dib_;
  int pixelBits_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;  // counted from the bottom row, as the stream runs
};

}  // namespace

namespace {

// The decoder behind DecodeBmp and DecodeBmpInPlace. With a writable base
// (the same bytes as file, kept alive by holder), uncompressed 24- and
// 32-bit rows are borrowed where they lie instead of copied.
BmpImage Decode(std::span<const std::uint8_t> file, std::uint8_t* base, std::shared_ptr<void> holder) {
  const Bytes in(file);
  if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') Fail("no BM signature");
  const std::uint32_t fileSize = in.U32(2);
  const std::uint32_t offBits = in.U32(10);
  // Some OS/2 writers put the headers' size here; only a declared size
  // beyond the data we have means the file was cut short.
  if (fileSize > file.size())
    Fail("the file is " + std::to_string(file.size()) + " bytes but declares " + std::to_string(fileSize));

  Header h = ReadHeader(in);
  if (h.planes != 1) Fail("plane count " + std::to_string(h.planes) + " (must be 1)");
  if (h.width <= 0 || h.height <= 0)
    Fail("size " + std::to_string(h.width) + " x " + std::to_string(h.height) + " has no pixels");
  // A density of over 25,400 dots per inch (or a negative one) is no real
  // device's; such a header is corrupt even if the pixels look fine.
  constexpr std::int32_t kMaxDensity = 1'000'000;
  if (h.xPelsPerMeter < 0 || h.yPelsPerMeter < 0 || h.xPelsPerMeter > kMaxDensity || h.yPelsPerMeter > kMaxDensity)
    Fail("absurd density " + std::to_string(h.xPelsPerMeter) + " x " + std::to_string(h.yPelsPerMeter) +
         " pixels per metre");

  // Map the compression code (OS/2 2.x numbers 3 and 4 differently).
  Coding coding = Coding::Rgb;
  bool alphaFields = false;
  switch (h.compression) {
    case 0: coding = Coding::Rgb; break;
    case 1: coding = Coding::Rle8; break;
    case 2: coding = Coding::Rle4; break;
    case 3:
      if (h.os2v2) Fail("OS/2 Huffman 1D compression is not supported");
      coding = Coding::BitFields;
      break;
    case 4:
      if (h.os2v2) {
        coding = Coding::Rle24;
        break;
      }
      Fail("embedded JPEG data is not supported");
    case 5: Fail("embedded PNG data is not supported");
    case 6:
      coding = Coding::BitFields;
      alphaFields = true;
      break;
    default: Fail("unknown compression " + std::to_string(h.compression));
  }
  const int b = h.bits;
  const bool bitsOk = (coding == Coding::Rgb && (b == 1 || b == 2 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32)) ||
                      (coding == Coding::Rle8 && b == 8) || (coding == Coding::Rle4 && b == 4) ||
                      (coding == Coding::Rle24 && b == 24) || (coding == Coding::BitFields && (b == 16 || b == 32));
  if (!bitsOk) Fail(std::to_string(b) + " bits per pixel with compression " + std::to_string(h.compression) + " is not supported");
  const bool rle = coding == Coding::Rle8 || coding == Coding::Rle4 || coding == Coding::Rle24;
  if (rle && h.topDown) Fail("run-length coded pictures cannot be stored top-down");

  // Masks: after a 40-byte header (3 or 4 of them), inside longer headers.
  std::uint64_t tableAt = kFileHeaderSize + static_cast<std::uint64_t>(h.size);
  std::array<std::uint32_t, 4> masks = h.masks;
  if (coding == Coding::BitFields) {
    if (!h.masksInHeader) {
      const int count = alphaFields ? 4 : 3;
      for (int i = 0; i < count; ++i) masks[static_cast<std::size_t>(i)] = in.U32(tableAt + 4u * static_cast<unsigned>(i));
      tableAt += 4u * static_cast<unsigned>(count);
    } else if (!h.alphaInHeader) {
      masks[3] = 0;
    }
    CheckMasks(masks, b);
  } else if (coding == Coding::Rgb && b == 16) {
    masks = {0x7C00, 0x03E0, 0x001F, 0};
  }

  // Palette: clrUsed entries (0 means 2^bits for indexed pictures; core
  // headers always imply 2^bits). The declared table must lie in the file;
  // only what fits before the pixels and what the pixels can address is used.
  const int entrySize = h.core ? 3 : 4;
  const bool indexed = b <= 8;
  std::uint64_t declared = h.clrUsed;
  if (declared == 0 && indexed) declared = std::uint64_t{1} << b;
  if (h.core) declared = indexed ? (std::uint64_t{1} << b) : 0;
  std::uint64_t pixelsAt = offBits;
  if (offBits == 0) pixelsAt = tableAt + declared * static_cast<std::uint64_t>(entrySize);
  if (pixelsAt < tableAt) Fail("the pixel data offset " + std::to_string(offBits) + " points into the header");
  if (!h.core && !in.Has(tableAt, declared * static_cast<std::uint64_t>(entrySize)))
    Fail("the palette of " + std::to_string(declared) + " colours runs past the end of the file");
  std::vector<RgbQuad> palette;
  if (indexed) {
    std::uint64_t count = std::min(declared, std::uint64_t{1} << b);
    count = std::min(count, (pixelsAt - tableAt) / static_cast<std::uint64_t>(entrySize));
    if (!in.Has(tableAt, count * static_cast<std::uint64_t>(entrySize))) Fail("the palette runs past the end of the file");
    if (count == 0) Fail("an indexed picture has no palette");
    palette = ReadPalette(in, tableAt, count, entrySize);
  }

  // A declared pixel data size beyond the file is a cut file (or a lie).
  if (h.sizeImage != 0 && (pixelsAt > in.Size() || h.sizeImage > in.Size() - pixelsAt))
    Fail("the pixel data size " + std::to_string(h.sizeImage) + " runs past the end of the file");
  if (pixelsAt > in.Size()) Fail("the pixel data offset " + std::to_string(offBits) + " lies past the end of the file");

  int outBits = b;
  bool hasAlpha = false;
  if (b == 2) outBits = 4;
  if (coding == Coding::BitFields || (coding == Coding::Rgb && b == 16)) {
    hasAlpha = masks[3] != 0;
    outBits = hasAlpha ? 32 : 24;
  }

  BmpImage out;
  if (base != nullptr && coding == Coding::Rgb && (b == 24 || b == 32)) {
    // Every row complete with its padding, so that whole-row copies of the
    // borrowed surface stay inside the file; otherwise the rows are copied.
    const std::uint64_t stride = Dib::RowBytes(static_cast<int>(std::min<std::int64_t>(h.width, Dib::kMaxSide)), b);
    const std::uint64_t need = stride * static_cast<std::uint64_t>(h.height);
    if (Dib::Fits(h.width, h.height, b) && pixelsAt <= in.Size() && in.Size() - pixelsAt >= need) {
      std::uint8_t* first = base + pixelsAt + (h.topDown ? 0 : stride * static_cast<std::uint64_t>(h.height - 1));
      const auto step = static_cast<std::ptrdiff_t>(stride);
      out.Pixels = Dib::Borrow(static_cast<int>(h.width), static_cast<int>(h.height), b, first,
                               h.topDown ? step : -step, std::move(holder));
      out.XPelsPerMeter = h.xPelsPerMeter;
      out.YPelsPerMeter = h.yPelsPerMeter;
      out.FileBitCount = b;
      out.HeaderSize = h.size;
      return out;
    }
  }
  out.Pixels = MakeDib(h, outBits);
  out.HasAlpha = hasAlpha;
  out.XPelsPerMeter = h.xPelsPerMeter;
  out.YPelsPerMeter = h.yPelsPerMeter;
  out.FileBitCount = b;
  out.HeaderSize = h.size;
  Dib& dib = out.Pixels;
  if (indexed) dib.Palette() = palette;

  if (rle) {
    std::uint64_t end = in.Size();
    if (h.sizeImage != 0) end = pixelsAt + h.sizeImage;
    RleDecoder(in, pixelsAt, end, h, dib).Run();
  } else if (coding == Coding::BitFields || b == 16) {
    DecodeBitFields(in, pixelsAt, h, masks, dib);
  } else if (b == 24) {
    Decode24(in, pixelsAt, h, dib);
  } else if (b == 32) {
    Decode32(in, pixelsAt, h, dib);
  } else {
    DecodeIndexed(in, pixelsAt, h, dib);
  }
  if (indexed) CheckIndexes(dib);
  return out;
}

}  // namespace

BmpImage DecodeBmp(std::span<const std::uint8_t> file) { return Decode(file, nullptr, nullptr); }

BmpImage DecodeBmpInPlace(std::span<std::uint8_t> file, std::shared_ptr<void> holder) {
  return Decode(file, file.data(), std::move(holder));
}

std::vector<std::uint8_t> EncodeBmp(const Dib& dib, int xPelsPerMeter, int yPelsPerMeter) {
  const int bits = dib.BitCount();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    throw EInvalidGraphicOperation("Cannot save a bitmap of " + std::to_string(bits) + " bits per pixel");
  if (dib.Empty()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
  const int w = dib.Width();
  const int h = dib.Height();
  std::size_t colours = 0;
  if (bits <= 8) {
    colours = std::min(dib.Palette().size(), std::size_t{1} << bits);
    if (colours == 0) colours = std::size_t{1} << bits;
  }
  const std::size_t stride = Dib::RowBytes(w, bits);
  const std::size_t used = (static_cast<std::size_t>(w) * static_cast<std::size_t>(bits) + 7) / 8;
  const std::size_t offBits = kFileHeaderSize + 40 + colours * 4;
  const std::size_t total = offBits + stride * static_cast<std::size_t>(h);
  if (total > std::numeric_limits<std::uint32_t>::max()) throw EInvalidGraphicOperation("Bitmap too large to save");

  std::vector<std::uint8_t> out(total, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(total));
  put32(10, static_cast<std::uint32_t>(offBits));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  put16(26, 1);
  put16(28, static_cast<std::uint32_t>(bits));
  put32(30, 0);  // uncompressed
  put32(34, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(h)));
  put32(38, static_cast<std::uint32_t>(xPelsPerMeter));
  put32(42, static_cast<std::uint32_t>(yPelsPerMeter));
  put32(46, colours == (std::size_t{1} << bits) || bits > 8 ? 0 : static_cast<std::uint32_t>(colours));
  for (std::size_t i = 0; i < colours && i < dib.Palette().size(); ++i) {
    const RgbQuad& q = dib.Palette()[i];
    std::uint8_t* p = out.data() + kFileHeaderSize + 40 + 4 * i;
    p[0] = q.Blue;
    p[1] = q.Green;
    p[2] = q.Red;
  }
  // Rows bottom-up; padding bits and bytes stay 0 whatever the surface holds.
  const int tail = static_cast<int>((static_cast<std::size_t>(w) * static_cast<std::size_t>(bits)) % 8);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = out.data() + offBits + stride * static_cast<std::size_t>(h - 1 - y);
    std::memcpy(dst, dib.ScanLine(y), used);
    if (tail != 0) dst[used - 1] &= static_cast<std::uint8_t>(0xFF00u >> tail);
  }
  return out;
}

}  // namespace bellcut
