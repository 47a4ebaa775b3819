// TCanvas: binding, locking, brush and pen drawing, copying between canvases.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Handles.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace bellcut {
namespace {

TEST(CanvasTest, LockCountsAndTryLockFailsWhileHeld) {
  TCanvas canvas;
  EXPECT_TRUE(canvas.TryLock());
  EXPECT_FALSE(canvas.TryLock());
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  canvas.Unlock();
  canvas.Unlock();
  EXPECT_TRUE(canvas.TryLock());
  canvas.Unlock();
}

TEST(CanvasTest, UnboundCanvasDrawsNothingAndReportsNothing) {
  TCanvas canvas;
  EXPECT_EQ(canvas.Handle(), nullptr);
  canvas.FillRect(TRect{0, 0, 5, 5});
  canvas.LineTo(4, 4);
  EXPECT_EQ(canvas.Pixels(0, 0), static_cast<TColor>(CLR_INVALID));
  EXPECT_TRUE(canvas.ClipRect().IsEmpty());
}

TEST(CanvasTest, BoundToASurfaceDrawsInLogicalCoordinates) {
  Dib surface(6, 6, 24);
  HDC dc = CreateSurfaceDC(&surface);
  SetViewportOrgEx(dc, 1, 2, nullptr);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    EXPECT_EQ(canvas.ClipRect(), (TRect{-1, -2, 5, 4}));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(TRect{0, 0, 2, 1});
    EXPECT_EQ(surface.GetPixel(1, 2), RGB(255, 0, 0));
    EXPECT_EQ(surface.GetPixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(surface.GetPixel(3, 2), 0u);
    EXPECT_EQ(surface.GetPixel(1, 3), 0u);
    canvas.SetHandle(nullptr);
  }
  // Unbinding left no handle of the canvas selected.
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  DeleteDC(dc);
}

TEST(CanvasTest, BlackBrushOverClipRectBlackensAllAndRectangleDrawsBorder) {
  TBitmap bitmap(5, 4);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(clBlack);
  canvas.FillRect(canvas.ClipRect());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(canvas.Pixels(x, y), clBlack);
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(clLime);
  canvas.Rectangle(0, 0, 5, 4);
  EXPECT_EQ(canvas.Pixels(4, 3), clLime);
  EXPECT_EQ(canvas.Pixels(2, 0), clLime);
  EXPECT_EQ(canvas.Pixels(2, 2), clBlack);
  // A colour chosen for a clear brush makes it solid again.
  canvas.Brush().SetColor(clRed);
  EXPECT_EQ(canvas.Brush().Style(), bsSolid);
}

TEST(CanvasTest, MoveToLineToTracksPenPosition) {
  TBitmap bitmap(6, 6);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlue);
  canvas.MoveTo(0, 1);
  canvas.LineTo(4, 1);
  canvas.LineTo(4, 4);
  EXPECT_EQ(canvas.PenPos(), (TPoint{4, 4}));
  EXPECT_EQ(canvas.Pixels(3, 1), clBlue);
  EXPECT_EQ(canvas.Pixels(4, 1), clBlue);  // start of the second segment
  EXPECT_EQ(canvas.Pixels(4, 3), clBlue);
  EXPECT_EQ(canvas.Pixels(4, 4), clWhite);  // end excluded
}

TEST(CanvasTest, CopyRectCopiesOneToOneAndScales) {
  TBitmap source(4, 2), target(8, 4);
  source.Canvas().SetPixels(0, 0, clRed);
  source.Canvas().SetPixels(3, 1, clBlue);
  target.Canvas().CopyRect(TRect{1, 1, 5, 3}, source.Canvas(), TRect{0, 0, 4, 2});
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clRed);
  EXPECT_EQ(target.Canvas().Pixels(4, 2), clBlue);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clWhite);
  target.Canvas().CopyRect(TRect{0, 0, 8, 4}, source.Canvas(), TRect{0, 0, 4, 2});
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clRed);
  EXPECT_EQ(target.Canvas().Pixels(2, 1), clWhite);
  EXPECT_EQ(target.Canvas().Pixels(7, 3), clBlue);
  EXPECT_EQ(target.Canvas().Pixels(6, 2), clBlue);
  target.Canvas().SetCopyMode(NOTSRCCOPY);
  target.Canvas().CopyRect(TRect{0, 0, 1, 1}, source.Canvas(), TRect{0, 0, 1, 1});
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clAqua);
}

TEST(CanvasTest, MaskBlitThroughCanvasHandles) {
  // The disabled-glyph drawing: a monochrome mask, brush colour where the mask is white.
  TBitmap mask(3, 1);
  mask.Canvas().SetPixels(1, 0, clBlack);
  mask.SetMonochrome(true);
  TBitmap face(3, 1);
  face.Canvas().Brush().SetColor(clGray);
  face.Canvas().FillRect(TRect{0, 0, 3, 1});
  face.Canvas().Brush().SetColor(clMaroon);
  HDC dc = face.Canvas().Handle();
  face.Canvas().FillRect(TRect{0, 0, 0, 0});  // selects the current brush
  SetTextColor(dc, 0);
  SetBkColor(dc, 0xFFFFFF);
  BitBlt(dc, 0, 0, 3, 1, mask.Canvas().Handle(), 0, 0, 0x00E20746);
  EXPECT_EQ(face.Canvas().Pixels(0, 0), clMaroon);
  EXPECT_EQ(face.Canvas().Pixels(1, 0), clGray);
  EXPECT_EQ(face.Canvas().Pixels(2, 0), clMaroon);
}

TEST(CanvasTest, ChangeEventsBracketDrawing) {
  TBitmap bitmap(2, 2);
  std::string log;
  bitmap.Canvas().OnChanging = [&](TObject*) { log += '<'; };
  bitmap.Canvas().OnChange = [&](TObject*) { log += '>'; };
  bitmap.Canvas().FillRect(TRect{0, 0, 1, 1});
  bitmap.Canvas().Draw(0, 0, static_cast<const TGraphic*>(nullptr));  // nothing to draw
  TBitmap empty;
  bitmap.Canvas().Draw(0, 0, empty);
  EXPECT_EQ(log, "<>");
}

}  // namespace
}  // namespace bellcut
