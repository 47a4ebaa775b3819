// The face builder: the up, down, hot and disabled faces of the push, float
// and image styles pixel by pixel, the base regions traced from them, the
// light colour that may not vanish, system transparent colours and the
// fully transparent panel face.
#include <functional>

#include "ClearFixture.h"

namespace bellcut::test {
namespace {

const COLORREF kKey = ColorToRGB(clFuchsia);
const COLORREF kContent = ColorToRGB(clBlue);
const COLORREF kLight = ColorToRGB(clBtnHighlight);
const COLORREF kFace = ColorToRGB(clBtnFace);
const COLORREF kShadow = ColorToRGB(clBtnShadow);
const COLORREF kDownFace = ColorToRGB(DarkenColor(clBtnFace, 32));
const COLORREF kDownShadow = ColorToRGB(DarkenColor(clBtnShadow, 64));

using Oracle = std::function<COLORREF(int x, int y)>;

::testing::AssertionResult FaceMatches(const TBitmap* face, int W, int H, const Oracle& expected) {
  if (face == nullptr) return ::testing::AssertionFailure() << "no face";
  if (face->Width() != W || face->Height() != H)
    return ::testing::AssertionFailure() << "face is " << face->Width() << " x " << face->Height();
  int bad = 0;
  std::string report;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (PixelOf(*face, x, y) != expected(x, y) && ++bad <= 5)
        report += " (" + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(PixelOf(*face, x, y)) +
                  " not " + std::to_string(expected(x, y)) + ")";
  if (bad == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << bad << " pixels differ:" << report;
}

bool Between(int v, int lo, int hi) { return v >= lo && v <= hi; }

class ClearFaceTest : public ClearTest {
 protected:
  static constexpr int W = 24;
  static constexpr int H = 16;

  // A shaped control of W x H whose content (W - 4) x (H - 4) is opaque
  // blue everywhere, keyed on fuchsia.
  template <class T>
  T* MakeSolid(TTransBtnStyle style, TBorderStyle border = TBorderStyle::bsSingle) {
    T* c = Make<T>(*host_, Bounds(0, 0, W, H));
    Show();
    c->BeginUpdate();
    c->SetStyle(style);
    c->SetBorderStyle(border);
    TPicture picture;
    FillBitmap(picture.Bitmap(), W - 4, H - 4, clBlue);
    c->SetPicture(&picture);  // keyed on its own bottom-left pixel: blue
    c->SetTransColor(clFuchsia);
    c->EndUpdate();
    return c;
  }

  // Every face pixel that is not the key belongs to the region, no other.
  static ::testing::AssertionResult RegionIsOpaquePixels(HRGN rgn, const Oracle& expected) {
    return RegionMatches(rgn, Rect(-1, -1, W + 1, H + 1), [&](int x, int y) {
      return x >= 0 && y >= 0 && x < W && y < H && expected(x, y) != kKey;
    });
  }
};

TEST_F(ClearFaceTest, PushButtonUpAndDownFacesAndRegions) {
  auto* b = MakeSolid<TClearButton>(sbsPushBtn);
  const Oracle up = [](int x, int y) {
    if ((y == 0 && x <= W - 2) || (x == 0 && y <= H - 2)) return kLight;
    if ((x == W - 1 && y >= 3) || (y == H - 1 && x >= 3)) return kShadow;
    if (x == W - 1 || y == H - 1) return kKey;
    if (Between(x, 2, W - 3) && Between(y, 2, H - 3)) return kContent;
    return kFace;
  };
  const Oracle down = [](int x, int y) {
    if (x == 0 || y == 0) return kKey;
    if ((y == 1 && x <= W - 3) || (x == 1 && y <= H - 3)) return kDownShadow;
    if (x == 1 || y == 1) return kKey;
    if (Between(x, 3, W - 2) && Between(y, 3, H - 2)) return kContent;
    return kDownFace;
  };
  EXPECT_TRUE(FaceMatches(b->UpImage(), W, H, up));
  EXPECT_TRUE(FaceMatches(b->DownImage(), W, H, down));
  EXPECT_TRUE(RegionIsOpaquePixels(b->UpRgn(), up));
  EXPECT_TRUE(RegionIsOpaquePixels(b->DownRgn(), down));

  // The window takes the up region at rest and the down region on request.
  {
    RgnHolder r(WindowRegion(b->Handle()));
    EXPECT_TRUE(RegionIsOpaquePixels(r.rgn, up));
  }
  b->WinRgnSet(true);
  RgnHolder r(WindowRegion(b->Handle()));
  EXPECT_TRUE(RegionIsOpaquePixels(r.rgn, down));
}

TEST_F(ClearFaceTest, FloatButtonShadowOnlyWhenUp) {
  auto* b = MakeSolid<TClearButton>(sbsFloatBtn);
  EXPECT_TRUE(FaceMatches(b->UpImage(), W, H, [](int x, int y) {
    if ((x == W - 1 && y >= 5) || (y == H - 1 && x >= 5)) return kShadow;
    if (!Between(x, 1, W - 2) || !Between(y, 1, H - 2)) return kKey;
    if (Between(x, 2, W - 3) && Between(y, 2, H - 3)) return kContent;
    return kFace;
  }));
  EXPECT_TRUE(FaceMatches(b->DownImage(), W, H, [](int x, int y) {
    if (!Between(x, 2, W - 1) || !Between(y, 2, H - 1)) return kKey;
    if (Between(x, 3, W - 2) && Between(y, 3, H - 2)) return kContent;
    return kFace;
  }));
}

TEST_F(ClearFaceTest, ImageStyleWithBevelIsABandOfFaceColourThatNeverMoves) {
  auto* b = MakeSolid<TClearButton>(sbsImage);
  const auto band = [](COLORREF faceColour) -> Oracle {
    return [faceColour](int x, int y) {
      if (!Between(x, 1, W - 2) || !Between(y, 1, H - 2)) return kKey;
      if (Between(x, 2, W - 3) && Between(y, 2, H - 3)) return kContent;
      return faceColour;
    };
  };
  EXPECT_TRUE(FaceMatches(b->UpImage(), W, H, band(kFace)));
  // The down face keeps the up face's place; its band takes the pressed
  // darkening like every style but the float button (never shown, as an
  // image is never pressed).
  EXPECT_TRUE(FaceMatches(b->DownImage(), W, H, band(kDownFace)));
  EXPECT_TRUE(EqualRgn(b->UpRgn(), b->DownRgn()));
}

TEST_F(ClearFaceTest, PushButtonWithoutBorderHasLightAboveLeftAndShadowBelowRight) {
  // Content (W - 2) x (H - 2); the masks sit one pixel down and right of it.
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, W, H));
  Show();
  b->BeginUpdate();
  b->SetBorderStyle(TBorderStyle::bsNone);
  TPicture picture;
  FillBitmap(picture.Bitmap(), W - 2, H - 2, clBlue);
  b->SetPicture(&picture);
  b->SetTransColor(clFuchsia);
  b->EndUpdate();
  EXPECT_TRUE(FaceMatches(b->UpImage(), W, H, [](int x, int y) {
    if (Between(x, 1, W - 2) && Between(y, 1, H - 2)) return kContent;
    if ((y == 0 && x <= W - 2) || (x == 0 && y <= H - 2)) return kLight;
    if (x == W - 1 && y == 0) return kKey;
    if (y == H - 1 && x == 0) return kKey;
    return kShadow;
  }));
}

TEST_F(ClearFaceTest, LightEdgeAvoidsATransparentColourEqualToIt) {
  auto* b = MakeSolid<TClearButton>(sbsPushBtn);
  b->BeginUpdate();
  b->SetLightColor(clWhite);
  b->SetTransColor(clWhite);
  b->EndUpdate();
  EXPECT_EQ(b->TransparentColor(), clWhite);
  EXPECT_EQ(PixelOf(*b->UpImage(), 0, 0), RGB(247, 247, 247));
  EXPECT_EQ(PixelOf(*b->UpImage(), 0, H - 2), RGB(247, 247, 247));
}

TEST_F(ClearFaceTest, SystemTransparentColourMakesEveryRegionTheFullRectangle) {
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, W, H));
  Show();
  b->SetTransColor(clBtnFace);  // no picture: the stored value stays a system colour
  const auto full = [](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H; };
  EXPECT_TRUE(RegionMatches(b->UpRgn(), Rect(-1, -1, W + 1, H + 1), full));
  EXPECT_TRUE(RegionMatches(b->DownRgn(), Rect(-1, -1, W + 1, H + 1), full));
}

TEST_F(ClearFaceTest, HotFaceFollowsTheDepthAndDisabledFaceIsGrey) {
  auto* b = MakeSolid<TClearButton>(sbsPushBtn);
  b->SetHotLightDepth(0);
  EXPECT_TRUE(FaceMatches(b->HotImage(), W, H, [&](int x, int y) { return PixelOf(*b->UpImage(), x, y); }));

  b->SetHotLightDepth(255);
  const TBitmap& hot = *b->HotImage();
  EXPECT_EQ(PixelOf(hot, W / 2, H / 2), RGB(255, 255, 255));           // content
  EXPECT_EQ(PixelOf(hot, 1, H / 2), ColorToRGB(LightenColor(clBtnFace, 127)));   // face band
  EXPECT_EQ(PixelOf(hot, W - 1, H / 2), ColorToRGB(LightenColor(clBtnShadow, 63)));  // shadow
  EXPECT_EQ(PixelOf(hot, W - 1, 0), kKey);

  // Grey of blue (0 + 0 + 255) / 3 = 85 lifts to 128; of white 255 drops to 192.
  const TBitmap& disabled = *b->DisabledImage();
  EXPECT_EQ(PixelOf(disabled, W / 2, H / 2), RGB(128, 128, 128));
  EXPECT_EQ(PixelOf(disabled, 0, 0), RGB(192, 192, 192));
  EXPECT_EQ(PixelOf(disabled, W - 1, 0), kKey);
}

TEST_F(ClearFaceTest, LighteningIntoTheKeyMakesThatHotPixelTransparent) {
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, W, H));
  Show();
  b->BeginUpdate();
  b->SetStyle(sbsImage);
  b->SetOptions({sioHotTrackImage});  // no bevel: nothing lies under the content
  TPicture picture;
  FillBitmap(picture.Bitmap(), W - 4, H - 4, static_cast<TColor>(RGB(200, 200, 200)));
  SetBitmapPixel(picture.Bitmap(), 0, H - 5, clWhite);  // the bottom-left pixel names the key
  b->SetPicture(&picture);
  b->SetHotLightDepth(55);
  b->EndUpdate();
  ASSERT_EQ(b->TransparentColor(), clWhite);
  EXPECT_EQ(PixelOf(*b->HotImage(), W / 2, H / 2), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(*b->UpImage(), W / 2, H / 2), RGB(200, 200, 200));
  EXPECT_TRUE(PtInRegion(b->UpRgn(), W / 2, H / 2));
}

TEST_F(ClearFaceTest, EmptyPanelFaceIsAllKeyWithAnEmptyRegion) {
  auto* p = Make<TClearPanel>(*host_, Bounds(0, 0, 40, 30));
  Show();
  EXPECT_TRUE(FaceMatches(p->UpImage(), 40, 30, [](int, int) { return kKey; }));
  EXPECT_TRUE(FaceMatches(p->HotImage(), 40, 30, [](int, int) { return kKey; }));
  TRect box;
  EXPECT_EQ(GetRgnBox(p->UpRgn(), &box), NULLREGION);
  EXPECT_EQ(p->DisabledImage(), nullptr);
  EXPECT_TRUE(p->DownImage()->Empty());  // never built without the bevel
  EXPECT_EQ(p->DownRgn(), nullptr);
}

TEST_F(ClearFaceTest, ControlTooSmallForItsBorderKeepsItsFaces) {
  auto* b = MakeSolid<TClearButton>(sbsPushBtn);
  const int builds = b->FaceBuildCount();
  b->SetBounds(0, 0, 4, 40);  // below 2 * 1 + 3
  EXPECT_EQ(b->FaceBuildCount(), builds);
  EXPECT_EQ(b->UpImage()->Width(), W);
}

TEST_F(ClearFaceTest, CentredCaptionSitsOnePixelFurtherUpLeftWithoutBevel) {
  // The same caption on a bevelled image-style button whose face colour is
  // the key (no visible band) and on one without the bevel option.
  const auto textBox = [&](TClearControl* c) {
    TRect box{W * 10, H * 10, -1, -1};
    const TBitmap& face = *c->UpImage();
    for (int y = 0; y < face.Height(); ++y)
      for (int x = 0; x < face.Width(); ++x)
        if (PixelOf(face, x, y) != kKey) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
  };
  const auto make = [&](TTransImgOptions options) {
    auto* c = Make<TClearButton>(*host_, Bounds(0, 0, 120, 60));
    c->BeginUpdate();
    c->SetStyle(sbsImage);
    c->SetColor(clFuchsia);
    c->SetOptions(options);
    c->SetCaption("Ab");
    c->EndUpdate();
    return c;
  };
  auto* bevel = make({sioBorderAndShadow});
  auto* plain = make({});
  Show();
  bevel->MakeBtnImageAndRgn();
  plain->MakeBtnImageAndRgn();
  const TRect a = textBox(bevel);
  const TRect p = textBox(plain);
  ASSERT_FALSE(a.IsEmpty());
  EXPECT_EQ(p.Offset(1, 1), a);

  // The text image is the measured extent plus one pixel each way.
  TBitmap probe;
  probe.SetPixelFormat(pf4bit);
  HDC dc = probe.Canvas().Handle();
  SelectObject(dc, bevel->Font().Handle());
  TRect extent{0, 0, 0, 0};
  DrawTextA(dc, "Ab", -1, &extent, DT_CALCRECT);
  const int tw = extent.Right + 1, th = extent.Bottom + 1;
  EXPECT_GE(a.Left, (120 - tw) / 2);
  EXPECT_GE(a.Top, (60 - th) / 2);
  EXPECT_LE(a.Right, (120 - tw) / 2 + tw);
  EXPECT_LE(a.Bottom, (60 - th) / 2 + th);
}

TEST_F(ClearFaceTest, PaintShowsTheFaceOfTheStateInsideTheRegion) {
  auto* b = MakeSolid<TClearButton>(sbsPushBtn);
  desktop::MoveMouse(700, 500);  // away from the button: no hot face
  desktop::Pump();
  struct Case {
    const char* name;
    bool enabled;
    const TBitmap* face;
  };
  const Case cases[] = {{"enabled", true, b->UpImage()}, {"disabled", false, b->DisabledImage()}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    b->SetEnabled(k.enabled);
    desktop::Pump();
    const Dib shown = desktop::CaptureWindow(b->Handle());
    int bad = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool inRegion = PtInRegion(b->UpRgn(), x, y);
        const COLORREF want = inRegion ? PixelOf(*k.face, x, y) : ColorToRGB(clWhite);  // the host shows through
        bad += shown.GetPixel(x, y) != want ? 1 : 0;
      }
    EXPECT_EQ(bad, 0);
  }
}

}  // namespace
}  // namespace bellcut::test
