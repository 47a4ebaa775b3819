// TBitmap: sizes, formats, transparency, copying, notification and files.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/Exceptions.h"
#include "platform/base/Streams.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Handles.h"
#include "platform/graphics/Bitmap.h"

namespace bellcut {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

void Paint(TBitmap& bitmap) {
  // Four known colours at the corners, one per quadrant edge.
  bitmap.Canvas().SetPixels(0, 0, clRed);
  bitmap.Canvas().SetPixels(bitmap.Width() - 1, 0, clLime);
  bitmap.Canvas().SetPixels(0, bitmap.Height() - 1, clBlue);
  bitmap.Canvas().SetPixels(bitmap.Width() - 1, bitmap.Height() - 1, clYellow);
}

TEST(BitmapTest, NewAndResizedBitmaps) {
  TBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
  EXPECT_EQ(bitmap.HandleType(), bmDDB);
  bitmap.SetSize(3, 2);
  EXPECT_EQ(bitmap.Surface().GetPixel(2, 1), kWhite);  // new pixels are white
  bitmap.Canvas().SetPixels(1, 1, clRed);
  bitmap.SetWidth(5);
  EXPECT_EQ(bitmap.Surface().GetPixel(1, 1), RGB(255, 0, 0));  // overlap kept
  EXPECT_EQ(bitmap.Surface().GetPixel(4, 1), kWhite);
  bitmap.SetHeight(1);
  EXPECT_EQ(bitmap.Height(), 1);
  EXPECT_THROW(bitmap.SetWidth(-1), EInvalidGraphicOperation);
  EXPECT_THROW((void)bitmap.ScanLine(1), EInvalidGraphicOperation);
  bitmap.FreeImage();
  EXPECT_TRUE(bitmap.Empty());
}

TEST(BitmapTest, ScanLineZeroIsTheTopRow) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(2, 3);
  bitmap.ScanLine(0)[0] = 0x11;  // blue of (0, 0)
  bitmap.ScanLine(2)[6] = 0x22;  // red of (1, 2)
  EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), static_cast<TColor>(RGB(255, 255, 0x11)));
  EXPECT_EQ(bitmap.Canvas().Pixels(1, 2), static_cast<TColor>(RGB(0x22, 255, 255)));
}

TEST(BitmapTest, FormatConversionsKeepColours) {
  const TPixelFormat formats[] = {pfDevice, pf4bit, pf8bit, pf24bit, pf32bit, pf8bit, pf24bit, pfDevice};
  TBitmap bitmap(4, 4);
  Paint(bitmap);
  for (TPixelFormat f : formats) {
    bitmap.SetPixelFormat(f);
    EXPECT_EQ(bitmap.PixelFormat(), f);
    EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(bitmap.Canvas().Pixels(3, 0), clLime);
    EXPECT_EQ(bitmap.Canvas().Pixels(0, 3), clBlue);
    EXPECT_EQ(bitmap.Canvas().Pixels(3, 3), clYellow);
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 1), clWhite);
  }
  bitmap.SetHandleType(bmDIB);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_THROW(bitmap.SetPixelFormat(pf16bit), EInvalidGraphicOperation);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
}

TEST(BitmapTest, MonochromeSetsWhiteBitsAndClearsBlack) {
  TBitmap bitmap(3, 1);
  bitmap.Canvas().SetPixels(0, 0, clBlack);
  bitmap.Canvas().SetPixels(2, 0, clSilver);  // nearer white
  bitmap.SetMonochrome(true);
  EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
  EXPECT_EQ(bitmap.Surface().GetRaw(0, 0), 0u);
  EXPECT_EQ(bitmap.Surface().GetRaw(1, 0), 1u);
  EXPECT_EQ(bitmap.Surface().GetRaw(2, 0), 1u);
  EXPECT_EQ(bitmap.TransparentColor(), clWhite);
  bitmap.SetHandleType(bmDDB);  // a device bitmap may stay monochrome
  EXPECT_TRUE(bitmap.Monochrome());
}

TEST(BitmapTest, TransparentColourIsFixedOrTheBottomLeftPixel) {
  TBitmap bitmap(3, 3);
  EXPECT_EQ(bitmap.TransparentColor(), clWhite);
  bitmap.Canvas().SetPixels(0, 2, clFuchsia);
  EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);
  EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
  bitmap.SetTransparentColor(clGreen);
  EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
  EXPECT_EQ(bitmap.TransparentColor(), clGreen);
  bitmap.SetTransparentColor(clDefault);
  EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);
  EXPECT_EQ(TBitmap().TransparentColor(), clNone);
}

TEST(BitmapTest, AssignMakesAnIndependentCopy) {
  TBitmap source(4, 2);
  source.SetPixelFormat(pf8bit);
  Paint(source);
  source.SetTransparent(true);
  source.SetTransparentColor(clBlue);
  TBitmap copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_EQ(copy.Surface().Palette(), source.Surface().Palette());
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), clBlue);
  copy.Canvas().SetPixels(0, 0, clGreen);
  EXPECT_EQ(source.Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(copy.Canvas().Pixels(0, 0), clGreen);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}

TEST(BitmapTest, ChangeNotificationFiresForRealChangesOnly) {
  TBitmap bitmap;
  int changes = 0;
  bitmap.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &bitmap);
    ++changes;
  };
  bitmap.SetSize(2, 2);
  EXPECT_EQ(changes, 1);
  bitmap.SetSize(2, 2);
  bitmap.SetPixelFormat(pfDevice);
  EXPECT_EQ(changes, 1);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetHandleType(bmDIB);
  EXPECT_EQ(changes, 2);
  bitmap.Canvas().FillRect(TRect{0, 0, 1, 1});
  EXPECT_EQ(changes, 3);
}

TEST(BitmapTest, DrawSkipsTransparentPixels) {
  TBitmap sprite(2, 2);
  sprite.Canvas().SetPixels(1, 0, clRed);  // the rest is white, the automatic key
  sprite.SetTransparent(true);
  TBitmap target(4, 4);
  target.Canvas().Brush().SetColor(clNavy);
  target.Canvas().FillRect(TRect{0, 0, 4, 4});
  target.Canvas().Draw(1, 1, sprite);
  EXPECT_EQ(target.Canvas().Pixels(2, 1), clRed);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clNavy);
  EXPECT_EQ(target.Canvas().Pixels(1, 2), clNavy);
  sprite.SetTransparent(false);
  target.Canvas().Draw(1, 1, sprite);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clWhite);
  // Drawn scaled, the key is skipped too.
  sprite.SetTransparent(true);
  target.Canvas().FillRect(TRect{0, 0, 4, 4});
  target.Canvas().StretchDraw(TRect{0, 0, 4, 4}, sprite);
  EXPECT_EQ(target.Canvas().Pixels(3, 1), clRed);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clNavy);
  EXPECT_EQ(target.Canvas().Pixels(3, 2), clNavy);
}

TEST(BitmapTest, StreamsRoundTripAndBadDataLeavesTheBitmap) {
  TBitmap bitmap(5, 3);
  bitmap.SetPixelFormat(pf24bit);
  Paint(bitmap);
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  stream.SetPosition(0);
  TBitmap loaded;
  loaded.LoadFromStream(stream);
  EXPECT_EQ(loaded.Width(), 5);
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);
  EXPECT_EQ(loaded.Canvas().Pixels(4, 2), clYellow);

  TMemoryStream junk;
  junk.WriteBuffer("BMnonsense", 10);
  junk.SetPosition(0);
  EXPECT_THROW(loaded.LoadFromStream(junk), EInvalidGraphic);
  EXPECT_EQ(loaded.Width(), 5);

  const std::string path = (std::filesystem::path(::testing::TempDir()) / "bellcut_bitmap_test.bmp").string();
  bitmap.SaveToFile(path);
  TBitmap fromFile;
  fromFile.LoadFromFile(path);
  EXPECT_EQ(fromFile.Canvas().Pixels(0, 0), clRed);
  std::filesystem::remove(path);
}

TEST(BitmapTest, ReleasesEveryHandle) {
  const std::size_t dcs = LiveHandleCount(HandleKind::DC), bitmaps = LiveHandleCount(HandleKind::Bitmap),
                    brushes = LiveHandleCount(HandleKind::Brush), pens = LiveHandleCount(HandleKind::Pen);
  {
    TBitmap a(3, 3), b;
    a.Canvas().Brush().SetColor(clRed);
    a.Canvas().FillRect(TRect{0, 0, 2, 2});
    a.Canvas().Pen().SetColor(clBlue);
    a.Canvas().LineTo(3, 3);
    b.Assign(&a);
    b.Canvas().Draw(0, 0, a);
    EXPECT_GT(LiveHandleCount(HandleKind::DC), dcs);
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::DC), dcs);
  EXPECT_EQ(LiveHandleCount(HandleKind::Bitmap), bitmaps);
  EXPECT_EQ(LiveHandleCount(HandleKind::Brush), brushes);
  EXPECT_EQ(LiveHandleCount(HandleKind::Pen), pens);
}

}  // namespace
}  // namespace bellcut
