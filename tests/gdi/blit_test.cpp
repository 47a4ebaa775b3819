// Block transfers: raster operations against a per-bit oracle, colour
// conversions between surfaces, scaling, clipping and hostile coordinates.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Handles.h"
#include "platform/gdi/RegionApi.h"

namespace bellcut {
namespace {

// A memory DC with its own bitmap, released at the end of a test.
struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap;
  Dib* pixels;
  Canvas(int w, int h, int bits) : bitmap(CreateBitmap(w, h, 1, static_cast<unsigned>(bits), nullptr)) {
    SelectObject(dc, bitmap);
    pixels = DibFromBitmap(bitmap);
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

void FillRandom(Dib& dib, std::mt19937& gen) {
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) dib.SetPixel(x, y, gen() & 0xFFFFFF);
}

// The operation's result for one channel bit at a time, straight from its truth table.
COLORREF OracleRop(std::uint32_t rop, COLORREF p, COLORREF s, COLORREF d) {
  COLORREF out = 0;
  for (int bit = 0; bit < 24; ++bit) {
    const unsigned index = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    out |= ((rop >> (16 + index)) & 1u) << bit;
  }
  return out;
}

class HandleLeakCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto kind : {HandleKind::DC, HandleKind::Bitmap, HandleKind::Brush, HandleKind::Pen, HandleKind::Region})
      before_.push_back(LiveHandleCount(kind));
  }
  void TearDown() override {
    int i = 0;
    for (auto kind : {HandleKind::DC, HandleKind::Bitmap, HandleKind::Brush, HandleKind::Pen, HandleKind::Region})
      EXPECT_EQ(LiveHandleCount(kind), before_[static_cast<std::size_t>(i++)]) << "handle kind " << i - 1;
  }
  std::vector<std::size_t> before_;
};

using BlitTest = HandleLeakCheck;

TEST_F(BlitTest, EveryRasterOperationMatchesItsTruthTable) {
  std::mt19937 gen(12345);
  for (int bits : {24, 32}) {
    Canvas src(6, 5, bits), dst(6, 5, bits);
    FillRandom(*src.pixels, gen);
    HBRUSH brush = CreateSolidBrush(RGB(0x5A, 0xC3, 0x0F));
    SelectObject(dst.dc, brush);
    for (std::uint32_t index = 0; index < 256; ++index) {
      FillRandom(*dst.pixels, gen);
      Dib before = dst.pixels->Clone();
      const std::uint32_t rop = index << 16;
      ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 6, 5, src.dc, 0, 0, rop));
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
          ASSERT_EQ(dst.pixels->GetPixel(x, y),
                    OracleRop(rop, RGB(0x5A, 0xC3, 0x0F), src.pixels->GetPixel(x, y), before.GetPixel(x, y)))
              << "rop " << std::hex << index << " bits " << std::dec << bits << " at " << x << "," << y;
    }
    SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
  }
}

TEST_F(BlitTest, ThirtyTwoBitDrawingKeepsTheFourthByte) {
  Canvas dst(4, 1, 32);
  for (int x = 0; x < 4; ++x) dst.pixels->SetRaw(x, 0, 0xAB000000u);
  PatBlt(dst.dc, 0, 0, 4, 1, WHITENESS);
  EXPECT_EQ(dst.pixels->GetRaw(2, 0), 0xABFFFFFFu);
}

TEST_F(BlitTest, MaskBlitPaintsBrushWhereMaskIsWhiteAndKeepsDestinationWhereBlack) {
  Canvas mask(8, 2, 1), dst(8, 2, 32);
  // Set bits (white) in columns 2, 3 and 6 of both rows.
  for (int y = 0; y < 2; ++y)
    for (int x : {2, 3, 6}) mask.pixels->SetRaw(x, y, 1);
  dst.pixels->Fill(RGB(10, 20, 30));
  HBRUSH brush = CreateSolidBrush(RGB(200, 0, 100));
  SelectObject(dst.dc, brush);
  SetTextColor(dst.dc, 0);
  SetBkColor(dst.dc, RGB(255, 255, 255));
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 8, 2, mask.dc, 0, 0, 0x00E20746));
  for (int x = 0; x < 8; ++x) {
    const bool set = x == 2 || x == 3 || x == 6;
    EXPECT_EQ(dst.pixels->GetPixel(x, 1), set ? RGB(200, 0, 100) : RGB(10, 20, 30)) << x;
  }
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}

TEST_F(BlitTest, MonochromeAndColourConvertThroughDcColours) {
  // 1-bit onto colour: clear bits take the destination's text colour, set bits its background colour.
  Canvas mono(2, 1, 1), colour(2, 1, 24);
  mono.pixels->SetRaw(1, 0, 1);
  SetTextColor(colour.dc, RGB(1, 2, 3));
  SetBkColor(colour.dc, RGB(250, 240, 230));
  BitBlt(colour.dc, 0, 0, 2, 1, mono.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(colour.pixels->GetPixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(colour.pixels->GetPixel(1, 0), RGB(250, 240, 230));

  // Colour onto 1-bit: the source DC's background colour becomes a set bit, everything else clear.
  Canvas src(3, 1, 32), dst(3, 1, 1);
  src.pixels->SetPixel(0, 0, RGB(0, 255, 0));
  src.pixels->SetPixel(1, 0, RGB(255, 255, 255));
  src.pixels->SetPixel(2, 0, RGB(0, 254, 0));
  SetBkColor(src.dc, RGB(0, 255, 0));
  BitBlt(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.pixels->GetRaw(0, 0), 1u);
  EXPECT_EQ(dst.pixels->GetRaw(1, 0), 0u);
  EXPECT_EQ(dst.pixels->GetRaw(2, 0), 0u);
}

TEST_F(BlitTest, IndexedDestinationTakesNearestPaletteEntry) {
  Canvas src(2, 1, 24), dst(2, 1, 4);  // 4 bits: the 16 standard colours
  src.pixels->SetPixel(0, 0, RGB(250, 5, 5));
  src.pixels->SetPixel(1, 0, RGB(120, 130, 125));
  BitBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.pixels->GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(dst.pixels->GetPixel(1, 0), RGB(128, 128, 128));
}

TEST_F(BlitTest, StretchRepeatsAndDropsNearestRowsAndColumns) {
  Canvas src(6, 1, 32);
  for (int x = 0; x < 6; ++x) src.pixels->SetPixel(x, 0, RGB(x * 10, 0, 0));
  struct Case {
    int srcW, dstW;
    std::vector<int> expectedColumns;
  };
  const Case cases[] = {
      {3, 6, {0, 0, 1, 1, 2, 2}},  // doubled
      {6, 3, {1, 3, 5}},           // every other, from pixel centres
      {6, 4, {0, 2, 3, 5}},
      {2, 5, {0, 0, 1, 1, 1}},
      {6, 6, {0, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    Canvas dst(c.dstW, 3, 32);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, c.dstW, 3, src.dc, 0, 0, c.srcW, 1, SRCCOPY));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < c.dstW; ++x)
        EXPECT_EQ(dst.pixels->GetPixel(x, y), RGB(c.expectedColumns[static_cast<std::size_t>(x)] * 10, 0, 0))
            << c.srcW << "->" << c.dstW << " at " << x << "," << y;
  }
  Canvas dst(4, 4, 32);
  EXPECT_FALSE(StretchBlt(dst.dc, 0, 0, -4, 4, src.dc, 0, 0, 6, 1, SRCCOPY));
}

TEST_F(BlitTest, ClipsToComplexRegionAndOrigin) {
  Canvas dst(12, 10, 32);
  dst.pixels->Fill(0);
  // An L shape plus a separate square, in device coordinates.
  const TRect rects[] = {{1, 1, 4, 8}, {1, 6, 9, 8}, {10, 0, 12, 2}};
  HRGN rgn = CreateRegionFromRects(rects);
  EXPECT_EQ(SelectClipRgn(dst.dc, rgn), COMPLEXREGION);
  DeleteObject(rgn);  // the DC keeps its own copy
  SetViewportOrgEx(dst.dc, 2, 1, nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(dst.dc, brush);
  PatBlt(dst.dc, -2, -1, 100, 100, PATCOPY);  // covers the whole surface in logical coordinates
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      bool inside = false;
      for (const TRect& r : rects) inside = inside || r.Contains(x, y);
      EXPECT_EQ(dst.pixels->GetPixel(x, y), inside ? RGB(255, 0, 0) : 0u) << x << "," << y;
    }
  TRect box;
  EXPECT_EQ(GetClipBox(dst.dc, &box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{-1, -1, 10, 7}));  // logical
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}

TEST_F(BlitTest, IntersectAndExcludeClipRectAreLogicalAndRestoredBySaveDc) {
  Canvas dst(10, 10, 32);
  dst.pixels->Fill(0);
  SetWindowOrgEx(dst.dc, 1, 1, nullptr);  // logical (1, 1) at surface (0, 0)
  const int level = SaveDC(dst.dc);
  IntersectClipRect(dst.dc, 3, 3, 9, 9);   // surface 2..7
  ExcludeClipRect(dst.dc, 5, 5, 7, 7);     // surface 4..5
  PatBlt(dst.dc, 0, 0, 20, 20, WHITENESS);
  EXPECT_EQ(dst.pixels->GetPixel(2, 2), RGB(255, 255, 255));
  EXPECT_EQ(dst.pixels->GetPixel(7, 7), RGB(255, 255, 255));
  EXPECT_EQ(dst.pixels->GetPixel(8, 8), 0u);
  EXPECT_EQ(dst.pixels->GetPixel(1, 5), 0u);
  EXPECT_EQ(dst.pixels->GetPixel(4, 4), 0u);
  EXPECT_EQ(dst.pixels->GetPixel(5, 5), 0u);
  EXPECT_EQ(dst.pixels->GetPixel(6, 5), RGB(255, 255, 255));
  ASSERT_TRUE(RestoreDC(dst.dc, level));
  PatBlt(dst.dc, 0, 0, 20, 20, BLACKNESS);
  EXPECT_EQ(dst.pixels->GetPixel(5, 5), 0u);
  EXPECT_EQ(dst.pixels->GetPixel(2, 2), 0u);
  EXPECT_FALSE(RestoreDC(dst.dc, level));  // already popped
}

TEST_F(BlitTest, FillRectExcludesRightAndBottomAndFrameRectStaysInside) {
  Canvas dst(8, 8, 24);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dst.dc, TRect{1, 2, 4, 5}, brush);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(dst.pixels->GetPixel(x, y), (x >= 1 && x < 4 && y >= 2 && y < 5) ? RGB(0, 0, 255) : 0u);
  dst.pixels->Fill(0);
  FrameRect(dst.dc, TRect{1, 1, 5, 6}, brush);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool edge = (x == 1 || x == 4 || y == 1 || y == 5) && x >= 1 && x <= 4 && y >= 1 && y <= 5;
      EXPECT_EQ(dst.pixels->GetPixel(x, y), edge ? RGB(0, 0, 255) : 0u) << x << "," << y;
    }
  FillRect(dst.dc, TRect{0, 0, 8, 8}, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(dst.pixels->GetPixel(0, 0), 0u);
  DeleteObject(brush);
}

TEST_F(BlitTest, HostileCoordinatesNeverWriteOutside) {
  Canvas src(5, 5, 32), dst(5, 5, 32);
  src.pixels->Fill(RGB(9, 9, 9));
  dst.pixels->Fill(0);
  const int big[] = {INT_MIN, -1000000, -6, -1, 4, 6, 1000000, INT_MAX};
  for (int x : big)
    for (int y : big) {
      BitBlt(dst.dc, x, y, 3, 3, src.dc, 0, 0, SRCCOPY);
      BitBlt(dst.dc, 0, 0, 5, 5, src.dc, x, y, SRCCOPY);
      StretchBlt(dst.dc, x, y, INT_MAX, INT_MAX, src.dc, 0, 0, 5, 5, SRCCOPY);
      PatBlt(dst.dc, x, y, INT_MAX, 2, WHITENESS);
      FillRect(dst.dc, TRect{x, y, INT_MAX, INT_MAX}, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  // A source partly outside its surface leaves the matching destination pixels alone.
  dst.pixels->Fill(0);
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 5, 5, src.dc, 3, -2, SRCCOPY));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(dst.pixels->GetPixel(x, y), (x < 2 && y >= 2) ? RGB(9, 9, 9) : 0u) << x << "," << y;
  // No surface at all: a memory DC without a bitmap draws nothing and fails nothing.
  HDC empty = CreateCompatibleDC(nullptr);
  EXPECT_TRUE(BitBlt(empty, 0, 0, 5, 5, src.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 5, 5, empty, 0, 0, SRCCOPY));
  DeleteDC(empty);
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));  // needs a source
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 5, 5, nullptr, 0, 0, BLACKNESS));
}

TEST_F(BlitTest, CopyWithinOneSurfaceReadsThePixelsAsTheyWere) {
  Canvas c(6, 1, 32);
  for (int x = 0; x < 6; ++x) c.pixels->SetPixel(x, 0, RGB(x, 0, 0));
  BitBlt(c.dc, 2, 0, 4, 1, c.dc, 0, 0, SRCCOPY);  // overlapping, to the right
  const int expected[] = {0, 1, 0, 1, 2, 3};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(c.pixels->GetPixel(x, 0), RGB(expected[x], 0, 0));
}

TEST_F(BlitTest, StretchDibitsUsesThePicturePalette) {
  Canvas dst(2, 1, 32);
  Dib mono(2, 1, 1);
  mono.Palette() = {RgbQuad::From(RGB(0, 0, 200)), RgbQuad::From(RGB(200, 200, 0))};
  mono.SetRaw(1, 0, 1);
  EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 1, 0, 0, 2, 1, mono, SRCCOPY), 1);
  EXPECT_EQ(dst.pixels->GetPixel(0, 0), RGB(0, 0, 200));
  EXPECT_EQ(dst.pixels->GetPixel(1, 0), RGB(200, 200, 0));
}

// Pictures stretched onto true-colour surfaces through a clip of several
// rectangles: every destination pixel is the colour under its centre (for
// indexed pictures through the palette, odd and even nibbles alike, an index
// past a short palette reading black), and a 32-bit surface keeps its
// fourth bytes under pictures of other depths.
TEST_F(BlitTest, StretchedPicturesReadEveryPixelThroughTheClip) {
  std::mt19937 gen(7);
  for (const int bits : {4, 8, 24, 32}) {
    Dib picture(13, 9, bits);
    const std::size_t entries = bits == 4 ? 11 : 200;  // short palettes
    if (bits <= 8) {
      picture.Palette().resize(entries);
      for (std::size_t k = 0; k < entries; ++k)
        picture.Palette()[k] = RgbQuad::From(RGB(static_cast<int>(k) + 1, 255 - static_cast<int>(k), 7));
    }
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x)
        picture.SetRaw(x, y, bits <= 8 ? gen() % (1u << bits) : static_cast<std::uint32_t>(gen()));
    struct Case {
      int xSrc, ySrc, wSrc, hSrc, wDst, hDst;
    };
    for (const int dstBits : {24, 32})
      for (const Case c : {Case{1, 0, 11, 9, 17, 9}, Case{0, 2, 13, 7, 13, 7}, Case{3, 1, 9, 8, 5, 11}}) {
        Canvas dst(20, 12, dstBits);
        PatBlt(dst.dc, 0, 0, 20, 12, WHITENESS);
        if (dstBits == 32)
          for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) dst.pixels->ScanLine(y)[4 * x + 3] = 0xAB;
        HRGN clip = CreateRectRgn(0, 0, 4, 12);
        HRGN part = CreateRectRgn(6, 2, 19, 5);
        CombineRgn(clip, clip, part, RGN_OR);
        SetRectRgn(part, 9, 7, 20, 12);
        CombineRgn(clip, clip, part, RGN_OR);
        SelectClipRgn(dst.dc, clip);
        StretchDIBits(dst.dc, 1, 1, c.wDst, c.hDst, c.xSrc, c.ySrc, c.wSrc, c.hSrc, picture, SRCCOPY);
        for (int y = 0; y < 12; ++y)
          for (int x = 0; x < 20; ++x) {
            COLORREF expected = RGB(255, 255, 255);
            const bool inside = x >= 1 && x < 1 + c.wDst && y >= 1 && y < 1 + c.hDst;
            if (inside && PtInRegion(clip, x, y)) {
              const int sx = c.xSrc + (2 * (x - 1) + 1) * c.wSrc / (2 * c.wDst);
              const int sy = c.ySrc + (2 * (y - 1) + 1) * c.hSrc / (2 * c.hDst);
              const std::uint32_t raw = picture.GetRaw(sx, sy);
              if (bits > 8)
                expected = RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
              else
                expected = raw < entries ? RGB(static_cast<int>(raw) + 1, 255 - static_cast<int>(raw), 7) : 0;
            }
            EXPECT_EQ(dst.pixels->GetPixel(x, y), expected)
                << bits << " to " << dstBits << " bits, " << c.wSrc << "->" << c.wDst << " at " << x << "," << y;
            // (A 32-bit picture copied unscaled moves its rows whole.)
            if (dstBits == 32 && bits != 32) {
              EXPECT_EQ(dst.pixels->ScanLine(y)[4 * x + 3], 0xAB) << bits << " bits at " << x << "," << y;
            }
          }
        DeleteObject(part);
        DeleteObject(clip);
      }
  }
}

TEST_F(BlitTest, ObjectsSelectAndReleaseCleanly) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP a = CreateCompatibleBitmap(dc, 4, 4);  // monochrome, like the DC's stand-in
  EXPECT_EQ(DibFromBitmap(a)->BitCount(), 1);
  HBITMAP b = CreateBitmap(4, 4, 1, 32, nullptr);
  EXPECT_EQ(SelectObject(dc, a), nullptr);
  EXPECT_EQ(SelectObject(dc, b), a);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), b);
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, b), nullptr);  // a bitmap lives in one DC at a time
  EXPECT_FALSE(DeleteObject(b));               // still selected
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  EXPECT_EQ(oldPen, GetStockObject(BLACK_PEN));
  EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_TRUE(DeleteObject(pen));  // the DC keeps a copy of its settings
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_EQ(CreateBitmap(4, 4, 2, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(4, 4, 1, 16, nullptr), nullptr);
  EXPECT_THROW((void)CreateBitmap(70000, 4, 1, 32, nullptr), EOutOfResources);
}

TEST_F(BlitTest, CreateBitmapReadsWordAlignedRows) {
  const std::uint8_t data[] = {0b10100000, 0x00, 0b01000000, 0x00};  // 3 x 2, rows padded to 2 bytes
  HBITMAP bitmap = CreateBitmap(3, 2, 1, 1, data);
  const Dib* dib = DibFromBitmap(bitmap);
  EXPECT_EQ(dib->GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dib->GetPixel(1, 0), 0u);
  EXPECT_EQ(dib->GetPixel(1, 1), RGB(255, 255, 255));
  DeleteObject(bitmap);
}

}  // namespace
}  // namespace bellcut

namespace bellcut {
namespace {

// Coordinates that are harmless alone overflow once a far origin is added.
TEST_F(BlitTest, FarOriginsWithHostileCoordinatesStayDefined) {
  Canvas src(5, 5, 32), dst(5, 5, 32);
  src.pixels->Fill(RGB(9, 9, 9));
  const int origins[] = {INT_MIN, INT_MIN / 2, -1, 0, INT_MAX / 2, INT_MAX};
  const int coords[] = {-(1 << 30) + 1, -7, 0, (1 << 30) - 1};
  const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  for (int org : origins)
    for (int c : coords) {
      dst.pixels->Fill(0);
      SetViewportOrgEx(dst.dc, org, ~org, nullptr);
      SetViewportOrgEx(src.dc, ~org, org, nullptr);
      BitBlt(dst.dc, c, c, 3, 3, src.dc, c, ~c, SRCCOPY);
      StretchBlt(dst.dc, c, ~c, (1 << 30) - 1, 5, src.dc, c, c, 5, 5, SRCCOPY);
      PatBlt(dst.dc, c, c, -(1 << 30) + 1, (1 << 30) - 1, WHITENESS);
      FillRect(dst.dc, TRect{c, c, (1 << 30) - 1, (1 << 30) - 1}, black);
      FrameRect(dst.dc, TRect{c, ~c, (1 << 30) - 1, (1 << 30) - 1}, black);
      TransparentBlt(dst.dc, c, c, 5, 5, src.dc, c, c, 5, 5, 0);
      StretchDIBits(dst.dc, c, c, 5, 5, c, c, 5, 5, *src.pixels, SRCCOPY);
      SetViewportOrgEx(dst.dc, 0, 0, nullptr);
      SetViewportOrgEx(src.dc, 0, 0, nullptr);
    }
  // With the origins back at zero, plain copies work as before.
  dst.pixels->Fill(0);
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 5, 5, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.pixels->GetPixel(4, 4), RGB(9, 9, 9));
}

}  // namespace
}  // namespace bellcut
