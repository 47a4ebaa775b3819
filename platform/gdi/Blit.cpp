// Block transfers: BitBlt, StretchBlt, StretchDIBits, TransparentBlt, PatBlt
// and the brush fills. One row pipeline serves them all: for every clip
// rectangle, each destination row gathers its source pixels (through the
// nearest-neighbour column map), reads the destination when the operation
// uses it, combines, and writes the row back.
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiTables.h"
#include "platform/gdi/Raster.h"

namespace bellcut {
namespace {

using raster::FromPix;
using raster::QuadToPix;
using raster::ReadRow;
using raster::RowWriter;
using raster::ToPix;

constexpr std::uint8_t RopIndex(std::uint32_t rop) { return static_cast<std::uint8_t>(rop >> 16); }
constexpr bool UsesPattern(std::uint8_t i) { return ((i >> 4) & 0x0F) != (i & 0x0F); }
constexpr bool UsesSource(std::uint8_t i) { return ((i >> 2) & 0x33) != (i & 0x33); }
constexpr bool UsesDestination(std::uint8_t i) { return ((i >> 1) & 0x55) != (i & 0x55); }

std::uint32_t Rop3(std::uint8_t index, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  // Bit (P << 2 | S << 1 | D) of the index is the result for those input bits;
  // evaluating the eight minterms covers all 24 channel bits at once.
  std::uint32_t r = 0;
  for (unsigned m = 0; m < 8; ++m) {
    if (!((index >> m) & 1)) continue;
    r |= ((m & 4) ? p : ~p) & ((m & 2) ? s : ~s) & ((m & 1) ? d : ~d);
  }
  return r & 0xFFFFFF;
}

void CombineRow(std::uint8_t index, std::uint32_t p, const std::uint32_t* s, std::uint32_t* d, std::size_t n) {
  switch (index) {
    case 0xCC: std::memcpy(d, s, n * sizeof(std::uint32_t)); break;
    case 0xF0: std::fill(d, d + n, p); break;
    case 0x00: std::fill(d, d + n, 0u); break;
    case 0xFF: std::fill(d, d + n, 0xFFFFFFu); break;
    case 0x88: for (std::size_t i = 0; i < n; ++i) d[i] &= s[i]; break;
    case 0xEE: for (std::size_t i = 0; i < n; ++i) d[i] |= s[i]; break;
    case 0x66: for (std::size_t i = 0; i < n; ++i) d[i] ^= s[i]; break;
    case 0x33: for (std::size_t i = 0; i < n; ++i) d[i] = ~s[i] & 0xFFFFFF; break;
    case 0x55: for (std::size_t i = 0; i < n; ++i) d[i] = ~d[i] & 0xFFFFFF; break;
    case 0x5A: for (std::size_t i = 0; i < n; ++i) d[i] ^= p; break;
    case 0xE2: for (std::size_t i = 0; i < n; ++i) d[i] = (s[i] & p) | (~s[i] & d[i]); break;
    default:
      for (std::size_t i = 0; i < n; ++i) d[i] = Rop3(index, p, s != nullptr ? s[i] : 0, d[i]);
      break;
  }
}

// How source pixels become colours of the destination.
enum class SourceRule {
  Plain,           // colours as stored (palette for indexed sources)
  MonoByDcColors,  // a 1-bit source from a DC: clear bits -> text colour, set bits -> background colour
  ToMonoByDcBk,    // a colour source onto monochrome: the source DC's background colour -> white, else black
  ToMonoNearest,   // a colour picture onto monochrome: the nearer of black and white
};

struct Source {
  const Dib* Pixels = nullptr;  // null when the operation takes no source
  TRect Rect;                   // surface coordinates of the source rectangle (may exceed the surface)
  SourceRule Rule = SourceRule::Plain;
  std::uint32_t Zero = 0;       // MonoByDcColors: what clear bits become (pix)
  std::uint32_t One = 0xFFFFFF; // MonoByDcColors: what set bits become (pix)
  std::uint32_t Bk = 0;         // ToMonoByDcBk: the source DC's background colour (pix)
};

void ReadSourceRow(const Source& src, int y, int x, std::span<std::uint32_t> out) {
  const Dib& dib = *src.Pixels;
  switch (src.Rule) {
    case SourceRule::MonoByDcColors:
      ReadRow(dib, y, x, out);
      for (auto& v : out) v = v != 0 ? src.One : src.Zero;
      return;
    case SourceRule::ToMonoByDcBk:
      ReadRow(dib, y, x, out);
      for (auto& v : out) v = v == src.Bk ? 0xFFFFFFu : 0u;
      return;
    case SourceRule::ToMonoNearest:
    case SourceRule::Plain:
      if (dib.BitCount() == 1) {
        // A picture's 1-bit pixels are palette indexes like any other.
        const auto& palette = dib.Palette();
        const std::uint32_t c0 = palette.size() > 0 ? QuadToPix(palette[0]) : 0;
        const std::uint32_t c1 = palette.size() > 1 ? QuadToPix(palette[1]) : 0xFFFFFF;
        ReadRow(dib, y, x, out);
        for (auto& v : out) v = v != 0 ? c1 : c0;
      } else {
        ReadRow(dib, y, x, out);
      }
      return;
  }
}

// A copy of part of a surface, so that a transfer within one surface reads
// the pixels as they were before it started.
Dib CopyPart(const Dib& dib, const TRect& part) {
  Dib out(part.Width(), part.Height(), dib.BitCount());
  out.Palette() = dib.Palette();
  for (int y = 0; y < part.Height(); ++y)
    for (int x = 0; x < part.Width(); ++x) out.SetRaw(x, y, dib.GetRaw(part.Left + x, part.Top + y));
  return out;
}

// Nearest source offset for destination offset d of a span of dn pixels
// taken from sn source pixels: the source pixel under the centre of d.
inline int MapOffset(long long d, long long dn, long long sn) { return static_cast<int>((2 * d + 1) * sn / (2 * dn)); }

// One destination row of a plain copy onto a true-colour surface, straight
// from the source row through the column map (indexed sources through the
// palette table). A 32-bit destination keeps its fourth bytes; a 24-bit one
// takes a 32-bit store per pixel whose fourth byte the next pixel
// overwrites, the last pixel going bytewise.
template <int SrcBits, int DstBits>
void CopyDirect(const std::uint8_t* row, const int* columns, std::size_t n, const std::uint32_t* colors,
                std::uint8_t* out) {
  const auto colorAt = [&](std::size_t i) -> std::uint32_t {
    const unsigned c = static_cast<unsigned>(columns[i]);
    if constexpr (SrcBits == 8) {
      return colors[row[c]];
    } else if constexpr (SrcBits == 4) {
      const std::uint8_t b = row[c >> 1];
      return colors[(c & 1u) ? (b & 0x0Fu) : (b >> 4)];
    } else {
      const std::uint8_t* q = row + static_cast<std::size_t>(c) * (SrcBits / 8);
      return q[0] | (static_cast<std::uint32_t>(q[1]) << 8) | (static_cast<std::uint32_t>(q[2]) << 16);
    }
  };
  if constexpr (DstBits == 32) {
    for (std::size_t i = 0; i < n; ++i, out += 4) {
      std::uint32_t word;
      std::memcpy(&word, out, 4);
      word = (word & 0xFF000000u) | colorAt(i);
      std::memcpy(out, &word, 4);
    }
  } else {
    std::size_t i = 0;
    for (; i + 1 < n; ++i, out += 3) {
      const std::uint32_t v = colorAt(i);
      std::memcpy(out, &v, 4);
    }
    const std::uint32_t v = colorAt(i);
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
    out[2] = static_cast<std::uint8_t>(v >> 16);
  }
}

struct Transfer {
  DeviceContext* Dst = nullptr;
  TRect DstRect;  // surface coordinates; never empty, never negative
  Source Src;
  std::uint32_t Rop = SRCCOPY;
  std::optional<std::uint32_t> SkipColor;  // pix: source pixels of this colour leave the destination alone
};

bool Run(Transfer& t) {
  DeviceContext& dc = *t.Dst;
  const std::uint8_t index = RopIndex(t.Rop);
  const bool usesS = UsesSource(index);
  const bool usesP = UsesPattern(index);
  const bool usesD = UsesDestination(index) || t.SkipColor.has_value();
  if (usesS && t.Src.Pixels == nullptr) return false;
  if (dc.Surface == nullptr) return true;
  Dib& surface = *dc.Surface;
  if (usesP && dc.BrushStyle == BS_NULL) return true;  // a hollow brush paints nothing

  TRect area = t.DstRect;
  const int dw = t.DstRect.Width(), dh = t.DstRect.Height();
  const int sw = t.Src.Rect.Width(), sh = t.Src.Rect.Height();
  std::optional<Dib> copied;
  const Dib* srcDib = t.Src.Pixels;
  if (usesS) {
    if (sw <= 0 || sh <= 0) return true;
    // Only destination pixels whose source lies inside the source surface are
    // drawn. The maps are monotonic, so that is one range per axis.
    auto validRange = [](int dn, int sn, int s0, int limit, int& lo, int& hi) {
      lo = 0;
      hi = dn;
      // First destination offset whose source is >= 0 and last whose source < limit.
      if (s0 < 0) {
        int a = 0, b = dn;
        while (a < b) { const int m = a + (b - a) / 2; if (s0 + MapOffset(m, dn, sn) >= 0) b = m; else a = m + 1; }
        lo = a;
      }
      if (s0 + sn > limit) {
        int a = lo, b = dn;
        while (a < b) { const int m = a + (b - a) / 2; if (s0 + MapOffset(m, dn, sn) >= limit) b = m; else a = m + 1; }
        hi = a;
      }
    };
    int x0, x1, y0, y1;
    validRange(dw, sw, t.Src.Rect.Left, srcDib->Width(), x0, x1);
    validRange(dh, sh, t.Src.Rect.Top, srcDib->Height(), y0, y1);
    area = TRect{t.DstRect.Left + x0, t.DstRect.Top + y0, t.DstRect.Left + x1, t.DstRect.Top + y1};
    if (area.IsEmpty()) return true;
  }
  const std::vector<TRect> rects = raster::ClipRects(dc, area);
  if (rects.empty()) return true;
  // From here on only the clipped part matters: the column map below is as
  // wide as the area, which must not be the (possibly huge) requested one.
  {
    TRect box = rects.front();
    for (const TRect& r : rects) {
      box.Left = std::min(box.Left, r.Left);
      box.Top = std::min(box.Top, r.Top);
      box.Right = std::max(box.Right, r.Right);
      box.Bottom = std::max(box.Bottom, r.Bottom);
    }
    area = box;
  }

  if (usesS && srcDib == &surface) {
    // Reading and writing one surface: take the source as it is now.
    const TRect part = t.Src.Rect.Intersect(srcDib->BoundsRect());
    copied = CopyPart(*srcDib, part);
    t.Src.Rect = t.Src.Rect.Offset(-part.Left, -part.Top);
    srcDib = &*copied;
  }
  Source src = t.Src;
  src.Pixels = srcDib;

  const bool unscaled = dw == sw && dh == sh;
  // Straight copies between surfaces of one layout move bytes.
  const bool byteCopy = usesS && unscaled && index == 0xCC && !t.SkipColor && srcDib->BitCount() == surface.BitCount() &&
                        surface.BitCount() >= 8 && src.Rule == SourceRule::Plain &&
                        (surface.BitCount() > 8 || srcDib->Palette() == surface.Palette());

  RowWriter writer(surface);
  const std::uint32_t pattern = usesP ? writer.Representable(ToPix(dc.BrushColor)) : 0;
  std::vector<std::uint32_t> srcRow, dstRow, result, span;
  // The source column of every destination column of the area, once: a
  // clip region of many rectangles (a shaped window) would otherwise repeat
  // the divisions for each of them.
  std::vector<int> areaColumns;
  if (usesS) {
    areaColumns.resize(static_cast<std::size_t>(area.Width()));
    for (int x = area.Left; x < area.Right; ++x)
      areaColumns[static_cast<std::size_t>(x - area.Left)] = src.Rect.Left + MapOffset(x - t.DstRect.Left, dw, sw);
  }
  // An indexed picture read as stored gathers its colours straight from the
  // row's indexes through one palette table made here, not per row: a shaped
  // clip cuts every row into its own rectangles, so rows are read thousands
  // of times per paint. Indexes past the palette read black, as ReadRow does.
  const int srcBits = usesS ? srcDib->BitCount() : 0;
  const bool indexedGather = (srcBits == 4 || srcBits == 8) &&
                             (src.Rule == SourceRule::Plain || src.Rule == SourceRule::ToMonoNearest);
  std::uint32_t indexColors[256] = {};
  if (indexedGather) {
    const auto& palette = srcDib->Palette();
    const std::size_t entries = std::min<std::size_t>(palette.size(), srcBits == 4 ? 16 : 256);
    for (std::size_t k = 0; k < entries; ++k) indexColors[k] = QuadToPix(palette[k]);
  }
  const bool directCopy = usesS && !byteCopy && src.Rule == SourceRule::Plain && index == 0xCC && !t.SkipColor &&
                          (srcBits == 4 || srcBits == 8 || srcBits == 24 || srcBits == 32) &&
                          (surface.BitCount() == 24 || surface.BitCount() == 32);
  using DirectRow = void (*)(const std::uint8_t*, const int*, std::size_t, const std::uint32_t*, std::uint8_t*);
  DirectRow copyDirect = nullptr;
  if (directCopy) {
    const bool to32 = surface.BitCount() == 32;
    switch (srcBits) {
      case 4: copyDirect = to32 ? &CopyDirect<4, 32> : &CopyDirect<4, 24>; break;
      case 8: copyDirect = to32 ? &CopyDirect<8, 32> : &CopyDirect<8, 24>; break;
      case 24: copyDirect = to32 ? &CopyDirect<24, 32> : &CopyDirect<24, 24>; break;
      default: copyDirect = to32 ? &CopyDirect<32, 32> : &CopyDirect<32, 24>; break;
    }
  }
  for (const TRect& r : rects) {
    const std::size_t n = static_cast<std::size_t>(r.Width());
    dstRow.resize(n);
    const int* columns = nullptr;
    if (usesS) {
      srcRow.resize(n);
      columns = areaColumns.data() + (r.Left - area.Left);
    }
    int lastSourceY = -1;
    for (int y = r.Top; y < r.Bottom; ++y) {
      if (directCopy) {
        // A plain copy onto a true-colour surface: the source colours go
        // straight into the destination bytes (indexed ones through the
        // palette table), with no intermediate rows.
        const std::uint8_t* row = srcDib->ScanLine(src.Rect.Top + MapOffset(y - t.DstRect.Top, dh, sh));
        std::uint8_t* out = surface.ScanLine(y) + static_cast<std::size_t>(r.Left) * (surface.BitCount() / 8);
        copyDirect(row, columns, n, indexColors, out);
        continue;
      }
      if (byteCopy) {
        const int sy = src.Rect.Top + (y - t.DstRect.Top);
        const std::size_t bpp = static_cast<std::size_t>(surface.BitCount()) / 8;
        std::memcpy(surface.ScanLine(y) + static_cast<std::size_t>(r.Left) * bpp,
                    srcDib->ScanLine(sy) + static_cast<std::size_t>(columns[0]) * bpp, n * bpp);
        continue;
      }
      if (usesS) {
        const int sy = src.Rect.Top + MapOffset(y - t.DstRect.Top, dh, sh);
        if (sy != lastSourceY) {
          lastSourceY = sy;
          if (indexedGather) {
            const std::uint8_t* row = srcDib->ScanLine(sy);
            if (srcBits == 4) {
              for (std::size_t i = 0; i < n; ++i) {
                const unsigned c = static_cast<unsigned>(columns[i]);
                const std::uint8_t b = row[c >> 1];
                srcRow[i] = indexColors[(c & 1u) ? (b & 0x0Fu) : (b >> 4)];
              }
            } else {
              for (std::size_t i = 0; i < n; ++i) srcRow[i] = indexColors[row[columns[i]]];
            }
          } else if (unscaled) {
            ReadSourceRow(src, sy, columns[0], srcRow);
          } else {
            // Gather through the column map from the used span of the source row.
            const int first = columns[0], last = columns[n - 1];
            span.resize(static_cast<std::size_t>(last - first + 1));
            ReadSourceRow(src, sy, first, span);
            for (std::size_t i = 0; i < n; ++i) srcRow[i] = span[static_cast<std::size_t>(columns[i] - first)];
          }
          if (src.Rule == SourceRule::ToMonoNearest)
            for (auto& v : srcRow) v = raster::NearestMono(v);
        }
      }
      if (usesD) ReadRow(surface, y, r.Left, dstRow);
      if (t.SkipColor) {
        result = dstRow;
        CombineRow(index, pattern, usesS ? srcRow.data() : nullptr, result.data(), n);
        for (std::size_t i = 0; i < n; ++i)
          if (srcRow[i] != *t.SkipColor) dstRow[i] = result[i];
      } else {
        CombineRow(index, pattern, usesS ? srcRow.data() : nullptr, dstRow.data(), n);
      }
      writer.Write(y, r.Left, dstRow);
    }
  }
  return true;
}

// The rule for a source surface drawn through a DC onto dst; rect is in the
// source's surface coordinates.
Source DcSource(const DeviceContext& srcDc, const DeviceContext& dstDc, const TRect& rect) {
  Source s;
  s.Pixels = srcDc.Surface;
  s.Rect = rect;
  if (s.Pixels == nullptr || dstDc.Surface == nullptr) return s;
  const bool srcMono = s.Pixels->BitCount() == 1;
  const bool dstMono = dstDc.Surface->BitCount() == 1;
  if (srcMono && !dstMono) {
    s.Rule = SourceRule::MonoByDcColors;
    s.Zero = ToPix(dstDc.TextColor);
    s.One = ToPix(dstDc.BkColor);
  } else if (!srcMono && dstMono) {
    s.Rule = SourceRule::ToMonoByDcBk;
    s.Bk = ToPix(srcDc.BkColor);
  } else if (srcMono && dstMono) {
    s.Rule = SourceRule::MonoByDcColors;  // bits stay bits
    s.Zero = 0;
    s.One = 0xFFFFFF;
  }
  return s;
}

// Sizes are clamped so that coordinates plus sizes cannot overflow.
bool SaneSize(long long x, long long y, long long w, long long h) {
  constexpr long long kLimit = 1LL << 30;
  return w >= 0 && h >= 0 && w < kLimit && h < kLimit && x > -kLimit && x < kLimit && y > -kLimit && y < kLimit;
}

// The surface rectangle of a logical one, or nothing when it leaves the
// range the transfers handle. The DC's origin is added in 64 bits: sane
// logical coordinates plus a far origin can exceed an int.
std::optional<TRect> SurfaceRect(const DeviceContext& dc, int x, int y, int w, int h) {
  const long long sx = static_cast<long long>(x) + dc.Origin.X;
  const long long sy = static_cast<long long>(y) + dc.Origin.Y;
  if (!SaneSize(sx, sy, w, h)) return std::nullopt;
  return TRect{static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(sx + w), static_cast<int>(sy + h)};
}

}  // namespace

std::uint32_t ApplyRop3(std::uint32_t rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination) {
  return Rop3(RopIndex(rop), pattern, source, destination);
}

std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t destination) {
  return raster::Rop2(rop2, pen, destination);
}

bool PatBlt(HDC dc, int x, int y, int width, int height, std::uint32_t rop) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || UsesSource(RopIndex(rop))) return false;
  // Negative sizes count from the other corner, as the platform allows here.
  long long left = x, top = y, w = width, h = height;
  if (w < 0) { left += w; w = -w; }
  if (h < 0) { top += h; h = -h; }
  if (!SaneSize(left, top, w, h)) return false;
  if (w == 0 || h == 0) return true;
  const auto rect = SurfaceRect(*context, static_cast<int>(left), static_cast<int>(top), static_cast<int>(w),
                                static_cast<int>(h));
  if (!rect) return false;
  Transfer t;
  t.Dst = context;
  t.DstRect = *rect;
  t.Rop = rop;
  return Run(t);
}

bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                std::uint32_t rop) {
  DeviceContext* context = DCFromHandle(dst);
  if (context == nullptr) return false;
  if (!SaneSize(x, y, width, height) || !SaneSize(xSrc, ySrc, wSrc, hSrc)) return false;
  const bool needsSource = UsesSource(RopIndex(rop));
  const DeviceContext* source = needsSource ? DCFromHandle(src) : nullptr;
  if (needsSource && source == nullptr) return false;
  if (width == 0 || height == 0) return true;
  const auto dstRect = SurfaceRect(*context, x, y, width, height);
  if (!dstRect) return false;
  Transfer t;
  t.Dst = context;
  t.DstRect = *dstRect;
  t.Rop = rop;
  if (source != nullptr) {
    const auto srcRect = SurfaceRect(*source, xSrc, ySrc, wSrc, hSrc);
    if (!srcRect) return false;
    t.Src = DcSource(*source, *context, *srcRect);
  }
  if (needsSource && t.Src.Pixels == nullptr) return true;  // a memory DC with no bitmap: nothing to copy
  return Run(t);
}

bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, std::uint32_t rop) {
  return StretchBlt(dst, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

namespace {

// A picture's pixels drawn through a DC: StretchDIBits, and TransparentDIBits
// when a colour is to be left out. Returns the rows taken, 0 on failure.
int DibTransfer(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                const Dib& src, std::uint32_t rop, std::optional<COLORREF> transparent) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr) return 0;
  if (!SaneSize(xDst, yDst, wDst, hDst) || !SaneSize(xSrc, ySrc, wSrc, hSrc)) return 0;
  if (wDst == 0 || hDst == 0 || wSrc == 0 || hSrc == 0 || src.Empty()) return 0;
  const auto dstRect = SurfaceRect(*context, xDst, yDst, wDst, hDst);
  if (!dstRect) return 0;
  Transfer t;
  t.Dst = context;
  t.DstRect = *dstRect;
  t.Rop = rop;
  t.Src.Pixels = &src;
  t.Src.Rect = TRect{xSrc, ySrc, xSrc + wSrc, ySrc + hSrc};
  if (transparent) t.SkipColor = ToPix(*transparent & 0xFFFFFF);
  if (context->Surface != nullptr && context->Surface->BitCount() == 1 && src.BitCount() != 1)
    t.Src.Rule = SourceRule::ToMonoNearest;
  return Run(t) ? hSrc : 0;
}

}  // namespace

int StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                  const Dib& src, std::uint32_t rop) {
  return DibTransfer(dc, xDst, yDst, wDst, hDst, xSrc, ySrc, wSrc, hSrc, src, rop, std::nullopt);
}

bool TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                    COLORREF transparent) {
  DeviceContext* context = DCFromHandle(dst);
  const DeviceContext* source = DCFromHandle(src);
  if (context == nullptr || source == nullptr) return false;
  if (!SaneSize(x, y, width, height) || !SaneSize(xSrc, ySrc, wSrc, hSrc)) return false;
  if (width == 0 || height == 0 || source->Surface == nullptr) return true;
  const auto dstRect = SurfaceRect(*context, x, y, width, height);
  const auto srcRect = SurfaceRect(*source, xSrc, ySrc, wSrc, hSrc);
  if (!dstRect || !srcRect) return false;
  Transfer t;
  t.Dst = context;
  t.DstRect = *dstRect;
  t.Src = DcSource(*source, *context, *srcRect);
  t.SkipColor = ToPix(transparent & 0xFFFFFF);
  return Run(t);
}

int TransparentDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                      const Dib& src, std::uint32_t rop, COLORREF transparent) {
  return DibTransfer(dc, xDst, yDst, wDst, hDst, xSrc, ySrc, wSrc, hSrc, src, rop, transparent);
}

namespace {

// A FillRect or FrameRect call checked: its result, and the surface
// rectangle and colour to paint (an empty rectangle paints nothing).
struct BrushFill {
  int Result = 0;
  DeviceContext* Context = nullptr;
  TRect Rect;
  std::uint32_t Pix = 0;
};

BrushFill CheckBrushFill(HDC dc, const TRect& rect, HBRUSH brush) {
  BrushFill f;
  f.Context = DCFromHandle(dc);
  COLORREF color = 0;
  int style = BS_SOLID;
  if (f.Context == nullptr || !GetBrushColor(brush, &color, &style)) return f;
  f.Result = 1;
  if (style == BS_NULL || rect.IsEmpty() || f.Context->Surface == nullptr) return f;
  if (!SaneSize(rect.Left, rect.Top, 0, 0) || !SaneSize(rect.Right, rect.Bottom, 0, 0)) {
    f.Result = 0;
    return f;
  }
  f.Rect = rect.Offset(f.Context->Origin.X, f.Context->Origin.Y);
  f.Pix = ToPix(color);
  return f;
}

}  // namespace

int FillRect(HDC dc, const TRect& rect, HBRUSH brush) {
  const BrushFill f = CheckBrushFill(dc, rect, brush);
  if (!f.Rect.IsEmpty()) raster::PaintRect(*f.Context, f.Rect, f.Pix, R2_COPYPEN);
  return f.Result;
}

int FrameRect(HDC dc, const TRect& rect, HBRUSH brush) {
  const BrushFill f = CheckBrushFill(dc, rect, brush);
  if (!f.Rect.IsEmpty()) raster::PaintFrame(*f.Context, f.Rect, f.Pix, R2_COPYPEN);
  return f.Result;
}

}  // namespace bellcut
