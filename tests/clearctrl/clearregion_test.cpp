// The window-region composition of the shaped controls: what a panel's
// region holds for picture children with and without ChildGraphicsTrans,
// windowed children, the placeholder, the deferred and merged requests, the
// beep inside an update batch, the down region and FormTrans.
#include "ClearFixture.h"

namespace bellcut::test {
namespace {

// A bell-like black shape on fuchsia: a disc over a wider rim, so runs vary
// from row to row and some rows hold two runs (the clapper).
bool InShape(int x, int y) {
  const int dx = x - 40, dy = y - 35;
  if (dx * dx + dy * dy <= 25 * 25 && y <= 50) return true;
  if (y > 50 && y <= 58 && x >= 10 && x < 70) return true;
  if (y > 62 && y <= 66 && (x == 38 || x == 42)) return true;
  return false;
}

class ClearRegionTest : public ClearTest {
 protected:
  // A panel 80 x 70 at (5, 5) with two picture children covering it: the
  // lower one holds the shape, the upper one is empty.
  void MakeBellPanel(bool childGraphicsTrans) {
    panel_ = Make<TClearPanel>(*host_, Bounds(5, 5, 80, 70));
    panel_->SetChildGraphicsTrans(childGraphicsTrans);
    lower_ = Make<TPictureChild>(*panel_, Bounds(0, 0, 80, 70));
    FillBitmap(lower_->Bitmap, 80, 70, clFuchsia);
    for (int y = 0; y < 70; ++y)
      for (int x = 0; x < 80; ++x)
        if (InShape(x, y)) SetBitmapPixel(lower_->Bitmap, x, y, clBlack);
    upper_ = Make<TPictureChild>(*panel_, Bounds(0, 0, 80, 70));
    Show();
  }

  TClearPanel* panel_ = nullptr;
  TPictureChild* lower_ = nullptr;
  TPictureChild* upper_ = nullptr;
};

TEST_F(ClearRegionTest, ChildGraphicsTransCutsToTheOpaquePixelsUntilTheNextComposition) {
  MakeBellPanel(true);
  {
    RgnHolder r(WindowRegion(panel_->Handle()));
    EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 82, 72), InShape));
  }

  // Drawing on the upper picture is not a region request.
  FillBitmap(upper_->Bitmap, 80, 70, clFuchsia);
  for (int y = 2; y < 6; ++y)
    for (int x = 60; x < 75; ++x) SetBitmapPixel(upper_->Bitmap, x, y, clBlue);
  upper_->Invalidate();
  desktop::Pump();
  {
    RgnHolder r(WindowRegion(panel_->Handle()));
    EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 82, 72), InShape));
  }

  // A size change recomposes and picks the drawing up.
  panel_->SetBounds(5, 5, 80, 71);
  desktop::Pump();
  RgnHolder r(WindowRegion(panel_->Handle()));
  EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 82, 72), [](int x, int y) {
    return InShape(x, y) || (y >= 2 && y < 6 && x >= 60 && x < 75);
  }));
}

TEST_F(ClearRegionTest, WithoutChildGraphicsTransEachPictureChildAddsItsRectangle) {
  MakeBellPanel(false);
  upper_->SetBounds(70, 60, 30, 30);  // reaches beyond the panel
  panel_->SetBounds(5, 5, 80, 71);    // recompose
  desktop::Pump();
  RgnHolder r(WindowRegion(panel_->Handle()));
  EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 110, 100), [](int x, int y) {
    return (x >= 0 && x < 80 && y >= 0 && y < 70) || (x >= 70 && x < 100 && y >= 60 && y < 90);
  }));
}

TEST_F(ClearRegionTest, PictureChildIsScannedOnlyInsideThePanel) {
  auto* panel = Make<TClearPanel>(*host_, Bounds(0, 0, 20, 10));
  panel->SetChildGraphicsTrans(true);
  // Black everywhere, placed so it pokes out on all four sides.
  auto* child = Make<TPictureChild>(*panel, Bounds(-3, -2, 30, 20));
  FillBitmap(child->Bitmap, 30, 20, clBlack);
  Show();
  RgnHolder r(WindowRegion(panel->Handle()));
  EXPECT_TRUE(RegionMatches(r.rgn, Rect(-5, -5, 30, 20), [](int x, int y) { return x >= 0 && x < 20 && y >= 0 && y < 10; }));
}

TEST_F(ClearRegionTest, WindowedChildrenAddTheirRegionOrRectangleUnlessHidden) {
  auto* panel = Make<TClearPanel>(*host_, Bounds(0, 0, 100, 60));
  auto* plain = Make<TSolidChild>(*panel, Bounds(5, 5, 10, 10));
  auto* shaped = Make<TSolidChild>(*panel, Bounds(40, 20, 20, 20));
  auto* hidden = Make<TSolidChild>(*panel, Bounds(70, 5, 10, 10));
  hidden->SetVisible(false);
  Show();
  // The shaped child's own region: two small squares.
  HRGN own = CreateRectRgn(0, 0, 3, 3);
  HRGN second = CreateRectRgn(10, 10, 12, 12);
  CombineRgn(own, own, second, RGN_OR);
  DeleteObject(second);
  SetWindowRgn(shaped->Handle(), own, TRUE);
  panel->UpdateRgn();
  desktop::Pump();

  RgnHolder r(WindowRegion(panel->Handle()));
  EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 102, 62), [](int x, int y) {
    return (x >= 5 && x < 15 && y >= 5 && y < 15) || (x >= 40 && x < 43 && y >= 20 && y < 23) ||
           (x >= 50 && x < 52 && y >= 30 && y < 32);
  }));
  (void)plain;
}

TEST_F(ClearRegionTest, EmptyCompositionAppliesTheFarAwayPlaceholder) {
  auto* panel = Make<TClearPanel>(*host_, Bounds(0, 0, 50, 40));
  Show();
  RgnHolder r(WindowRegion(panel->Handle()));
  ASSERT_NE(r.rgn, nullptr);
  TRect box;
  GetRgnBox(r.rgn, &box);
  EXPECT_EQ(box, Rect(-3000, -3000, -2999, -2999));
  EXPECT_TRUE(PtInRegion(r.rgn, -3000, -3000));
}

TEST_F(ClearRegionTest, BurstOfRequestsComposesOnceAtTheLastMessage) {
  MakeBellPanel(true);
  const int before = panel_->CompositionCount();
  for (int i = 0; i < 10; ++i) panel_->UpdateRgn();
  EXPECT_EQ(panel_->CompositionCount(), before);  // only posted so far
  desktop::Pump();
  EXPECT_EQ(panel_->CompositionCount(), before + 1);
}

TEST_F(ClearRegionTest, CompositionInsideAnUpdateBatchBeepsAndKeepsTheRegion) {
  MakeBellPanel(true);
  const int before = panel_->CompositionCount();
  const int beeps = desktop::BeepCount();
  panel_->BeginUpdate();
  panel_->UpdateRgn();
  desktop::Pump();
  EXPECT_EQ(desktop::BeepCount(), beeps + 1);
  EXPECT_EQ(panel_->CompositionCount(), before);
  {
    RgnHolder r(WindowRegion(panel_->Handle()));
    EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 82, 72), InShape));
  }
  panel_->EndUpdate();
  EXPECT_EQ(panel_->UpdateCount(), 0);
}

TEST_F(ClearRegionTest, FailedBuildKeepsTheRegionAndReleasesItsFlagsAndLock) {
  MakeBellPanel(true);
  lower_->Fail = true;
  EXPECT_THROW(panel_->MakeBtnImageAndRgn(), EInvalidGraphic);
  lower_->Fail = false;
  {
    RgnHolder r(WindowRegion(panel_->Handle()));
    EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 82, 72), InShape));
  }
  // The immediate flag did not stick (this only posts), and the canvas lock
  // was released (the posted build runs).
  const int before = panel_->CompositionCount();
  panel_->UpdateRgn();
  EXPECT_EQ(panel_->CompositionCount(), before);
  desktop::Pump();
  EXPECT_EQ(panel_->CompositionCount(), before + 1);
  // The picture's notification was reconnected: changing it rebuilds.
  const int builds = panel_->FaceBuildCount();
  TPicture picture;
  FillBitmap(picture.Bitmap(), 4, 4, clBlack);
  panel_->Picture().Assign(&picture);
  EXPECT_EQ(panel_->FaceBuildCount(), builds + 1);
}

TEST_F(ClearRegionTest, ShapedChildMakesItsShapedParentComposeAgain) {
  MakeBellPanel(true);
  auto* inner = Make<TClearPanel>(*panel_, Bounds(10, 10, 20, 20));
  desktop::Pump();
  const int outerBefore = panel_->CompositionCount();
  inner->UpdateRgn();
  desktop::Pump();
  EXPECT_EQ(panel_->CompositionCount(), outerBefore + 1);
  // The inner panel is fully transparent: it adds only the placeholder pixel.
  RgnHolder r(WindowRegion(panel_->Handle()));
  EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 82, 72), InShape));
}

TEST_F(ClearRegionTest, RemovedChildLeavesTheRegion) {
  MakeBellPanel(false);
  upper_->SetBounds(70, 60, 30, 30);
  TComponent::Destroy(upper_);
  upper_ = nullptr;
  desktop::Pump();
  RgnHolder r(WindowRegion(panel_->Handle()));
  EXPECT_TRUE(RegionMatches(r.rgn, Rect(-2, -2, 110, 100), [](int x, int y) { return x >= 0 && x < 80 && y >= 0 && y < 70; }));
}

TEST_F(ClearRegionTest, DesigningWithoutTransAtDesigningGetsNoRegion) {
  auto* panel = Make<TClearPanel>(*host_, Bounds(0, 0, 50, 40));
  panel->SetDesigning(true);
  Show();
  EXPECT_EQ(WindowRegion(panel->Handle()), nullptr);
  EXPECT_EQ(panel->CompositionCount(), 0);
}

TEST_F(ClearRegionTest, FormTransCutsTheTopLevelWindowAndClearingItRemovesThatRegion) {
  MakeBellPanel(true);
  panel_->SetFormTrans(true);
  desktop::Pump();
  {
    // The host is borderless, so the panel's client origin sits at (5, 5)
    // of the host's window.
    RgnHolder r(WindowRegion(host_->Handle()));
    EXPECT_TRUE(RegionMatches(r.rgn, Rect(0, 0, 100, 90), [](int x, int y) { return InShape(x - 5, y - 5); }));
  }
  panel_->SetFormTrans(false);
  EXPECT_EQ(WindowRegion(host_->Handle()), nullptr);
  // The panel's own region stays.
  RgnHolder own(WindowRegion(panel_->Handle()));
  EXPECT_TRUE(RegionMatches(own.rgn, Rect(-2, -2, 82, 72), InShape));
}

}  // namespace
}  // namespace bellcut::test
