// The shaped controls' data model: defaults, the size limit, property
// writers (what they rebuild and repaint), update batching, the auto size
// figures and its error wording, following the picture, loading from and
// writing to a form resource, and the colour arithmetic.
#include <stdexcept>

#include "ClearFixture.h"
#include "platform/base/Exceptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Streaming.h"
#include "platform/graphics/JPEGImage.h"

namespace bellcut::test {
namespace {

TEST(ClearColorsTest, ChannelArithmeticClampsAndResolvesSystemColours) {
  struct Case {
    TColor got;
    TColor want;
  };
  const Case cases[] = {
      {DarkenColor(static_cast<TColor>(RGB(10, 100, 200)), 32), static_cast<TColor>(RGB(0, 68, 168))},
      {LightenColor(static_cast<TColor>(RGB(10, 100, 240)), 32), static_cast<TColor>(RGB(42, 132, 255))},
      {LightenColor(clBtnFace, 0), static_cast<TColor>(ColorToRGB(clBtnFace))},
      {DarkenColor(clWhite, 8), static_cast<TColor>(RGB(247, 247, 247))},
      {GrayColor(clBlack), static_cast<TColor>(RGB(128, 128, 128))},
      {GrayColor(clWhite), static_cast<TColor>(RGB(192, 192, 192))},
      {GrayColor(static_cast<TColor>(RGB(150, 160, 171))), static_cast<TColor>(RGB(160, 160, 160))},
      {GrayColor(clBtnShadow), static_cast<TColor>(RGB(128, 128, 128))},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
  const std::uint8_t pixel[3] = {0x30, 0x20, 0x10};  // blue, green, red
  EXPECT_EQ(TripleToColor(pixel), 0x302010);
}

class ClearModelTest : public ClearTest {};

TEST_F(ClearModelTest, DefaultsOfButtonAndPanel) {
  auto* b = TComponent::MakeOwned<TClearButton>(host_.get());
  EXPECT_EQ(b->Style(), sbsPushBtn);
  EXPECT_EQ(b->Options(),
            (TTransImgOptions{sioDisableImage, sioHotTrackImage, sioTransAtDesigning, sioBorderAndShadow}));
  EXPECT_EQ(b->BorderStyle(), TBorderStyle::bsSingle);
  EXPECT_EQ(b->Font().Size(), 20);
  EXPECT_EQ(b->Font().Color(), clGreen);
  EXPECT_EQ(b->Font().Style(), TFontStyles{fsBold});
  EXPECT_FALSE(b->ParentFont());
  EXPECT_EQ(b->Width(), 260);
  EXPECT_EQ(b->Height(), 48);
  EXPECT_EQ(b->UpdateCount(), 0);
  EXPECT_EQ(b->TransparentColor(), clFuchsia);
  EXPECT_EQ(b->Color(), clBtnFace);
  EXPECT_EQ(b->LightColor(), clBtnHighlight);
  EXPECT_EQ(b->ShadowColor(), clBtnShadow);
  EXPECT_EQ(b->HotLightDepth(), 128);
  EXPECT_EQ(b->CaptionLeft(), -1);
  EXPECT_EQ(b->CaptionTop(), -1);
  EXPECT_TRUE(b->AutoSize());
  EXPECT_TRUE(b->HotTrack());
  EXPECT_EQ(b->UpRgn(), nullptr);

  auto* p = TComponent::MakeOwned<TClearPanel>(host_.get());
  EXPECT_EQ(p->Style(), sbsImage);
  EXPECT_EQ(p->Options(), TTransImgOptions{sioHotTrackImage});
  EXPECT_EQ(p->BorderStyle(), TBorderStyle::bsNone);
  EXPECT_TRUE(p->ControlStyle().Contains(csAcceptsControls));
  EXPECT_FALSE(b->ControlStyle().Contains(csAcceptsControls));
}

TEST_F(ClearModelTest, SizeLimitOfButtonsButNotPanels) {
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, 10, 10));
  b->SetBounds(3, 4, 400, 400);
  EXPECT_EQ(b->BoundsRect(), Bounds(3, 4, 320, 320));
  b->SetBounds(3, 4, 400, 100);
  EXPECT_EQ(b->BoundsRect(), Bounds(3, 4, 320, 100));
  auto* p = Make<TClearPanel>(*host_, Bounds(0, 0, 10, 10));
  p->SetBounds(0, 0, 700, 650);
  EXPECT_EQ(p->BoundsRect(), Bounds(0, 0, 700, 650));
}

// Whether the control's window waits for a repaint.
bool Invalid(TClearControl* c) {
  TRect r;
  return GetUpdateRect(c->Handle(), &r, FALSE) != 0;
}

TEST_F(ClearModelTest, WritersRebuildAndRepaintOnlyOnChange) {
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, 60, 30));
  Show();
  struct Case {
    const char* name;
    std::function<void(TClearControl&)> same, changed;
    bool rebuilds;
  };
  const Case cases[] = {
      {"BorderStyle", [](auto& c) { c.SetBorderStyle(TBorderStyle::bsSingle); },
       [](auto& c) { c.SetBorderStyle(TBorderStyle::bsNone); }, true},
      {"CaptionLeft", [](auto& c) { c.SetCaptionLeft(-1); }, [](auto& c) { c.SetCaptionLeft(3); }, true},
      {"CaptionTop", [](auto& c) { c.SetCaptionTop(-1); }, [](auto& c) { c.SetCaptionTop(2); }, true},
      {"Style", [](auto& c) { c.SetStyle(sbsPushBtn); }, [](auto& c) { c.SetStyle(sbsFloatBtn); }, true},
      {"TransparentColor", [](auto& c) { c.SetTransColor(clFuchsia); }, [](auto& c) { c.SetTransColor(clLime); },
       true},
      {"LightColor", [](auto& c) { c.SetLightColor(clBtnHighlight); }, [](auto& c) { c.SetLightColor(clYellow); },
       true},
      {"ShadowColor", [](auto& c) { c.SetShadowColor(clBtnShadow); }, [](auto& c) { c.SetShadowColor(clOlive); },
       true},
      {"Stretch", [](auto& c) { c.SetStretch(false); }, [](auto& c) { c.SetStretch(true); }, true},
      {"HotLightDepth", [](auto& c) { c.SetHotLightDepth(128); }, [](auto& c) { c.SetHotLightDepth(9); }, true},
      {"Options", [](auto& c) { c.SetOptions(c.Options()); }, [](auto& c) { c.SetOptions({sioHotTrackImage}); },
       true},
      {"HotTrack", [](auto& c) { c.SetHotTrack(true); }, [](auto& c) { c.SetHotTrack(false); }, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    desktop::Pump();
    const int builds = b->FaceBuildCount();
    k.same(*b);
    EXPECT_EQ(b->FaceBuildCount(), builds);
    EXPECT_FALSE(Invalid(b));
    k.changed(*b);
    EXPECT_EQ(b->FaceBuildCount(), builds + (k.rebuilds ? 1 : 0));
    EXPECT_TRUE(Invalid(b));
  }

  // Picture is copied and followed every time, even when unchanged.
  desktop::Pump();
  const int builds = b->FaceBuildCount();
  b->SetPicture(&b->Picture());
  EXPECT_EQ(b->FaceBuildCount(), builds + 1);
  EXPECT_TRUE(Invalid(b));
}

TEST_F(ClearModelTest, UpdateBatchFoldsChangesIntoOneBuild) {
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, 60, 30));
  Show();
  const int builds = b->FaceBuildCount();
  b->BeginUpdate();
  b->SetLightColor(clYellow);
  b->SetStyle(sbsFloatBtn);
  b->SetCaption("Go");
  EXPECT_EQ(b->FaceBuildCount(), builds);
  b->EndUpdate();
  EXPECT_EQ(b->FaceBuildCount(), builds + 1);

  // An unbalanced EndUpdate keeps the count at 0 and still rebuilds.
  b->EndUpdate();
  EXPECT_EQ(b->UpdateCount(), 0);
  EXPECT_EQ(b->FaceBuildCount(), builds + 2);
}

TEST_F(ClearModelTest, FormTransOffWithoutParentDoesNothing) {
  auto* p = TComponent::MakeOwned<TClearPanel>(host_.get());
  p->SetFormTrans(true);
  p->SetFormTrans(false);
  EXPECT_FALSE(p->FormTrans());
}

// A button that counts how often the computed size is applied and can fail there.
class TProbeButton : public TClearButton {
 public:
  using TClearButton::TClearButton;
  int Applied = 0;
  std::function<void()> Fail;

 protected:
  void DoAutoSizeArrange(int w, int h) override {
    ++Applied;
    if (Fail) Fail();
    TClearButton::DoAutoSizeArrange(w, h);
  }
};

TEST_F(ClearModelTest, AutoSizeFigures) {
  TPicture p100x40, p400x300;
  FillBitmap(p100x40.Bitmap(), 100, 40, clBlue);
  FillBitmap(p400x300.Bitmap(), 400, 300, clBlue);
  struct Case {
    const char* name;
    TBorderStyle border;
    const TPicture* picture;
    TPoint want;
  };
  const Case cases[] = {
      {"empty, single border", TBorderStyle::bsSingle, nullptr, {24, 16}},
      {"empty, no border", TBorderStyle::bsNone, nullptr, {20, 12}},
      {"picture 100 x 40", TBorderStyle::bsSingle, &p100x40, {108, 48}},
      {"picture 400 x 300, capped", TBorderStyle::bsSingle, &p400x300, {320, 308}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto* b = Make<TClearButton>(*host_, Bounds(0, 0, 50, 50));
    b->SetBorderStyle(k.border);
    if (k.picture != nullptr) b->SetPicture(k.picture);
    b->SetAutoSize(true);
    EXPECT_EQ(TPoint(b->Width(), b->Height()), k.want);
  }
}

TEST_F(ClearModelTest, AutoSizeTakesTheLargerOfCaptionAndPicture) {
  const std::string caption = "Caption wide";
  TBitmap probe;
  HDC dc = probe.Canvas().Handle();
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, 50, 50));
  SelectObject(dc, b->Font().Handle());
  TRect text{0, 0, 1000, 1000};
  DrawTextA(dc, caption.c_str(), -1, &text, DT_CALCRECT);
  ASSERT_GT(text.Right, 100);
  ASSERT_LT(text.Right, 312);  // within the size limit
  ASSERT_LT(text.Bottom, 40);
  TPicture picture;
  FillBitmap(picture.Bitmap(), 100, 40, clBlue);
  b->SetPicture(&picture);
  b->SetCaption(caption);
  b->SetAutoSize(true);
  EXPECT_EQ(b->Width(), text.Right + 8);
  EXPECT_EQ(b->Height(), 48);
}

TEST_F(ClearModelTest, PanelAutoSizeReachesEveryChildHiddenOrNot) {
  for (bool hidden : {false, true}) {
    SCOPED_TRACE(hidden ? "hidden child" : "visible child");
    auto* p = Make<TClearPanel>(*host_, Bounds(0, 0, 5, 5));
    auto* child = Make<TPictureChild>(*p, Bounds(10, 10, 100, 50));
    child->SetVisible(!hidden);
    p->SetAutoSize(true);
    EXPECT_EQ(TPoint(p->Width(), p->Height()), TPoint(110, 60));
  }
}

TEST_F(ClearModelTest, AutoSizeAppliesOnlyWithParentAndOnlyWhenTheSizeDiffers) {
  auto* orphan = TComponent::MakeOwned<TProbeButton>(host_.get());
  orphan->SetCaption("x");
  orphan->SetAutoSize(false);
  orphan->SetAutoSize(true);
  EXPECT_EQ(orphan->Applied, 0);
  EXPECT_EQ(orphan->Width(), 260);

  auto* b = Make<TProbeButton>(*host_, Bounds(0, 0, 50, 50));
  b->SetAutoSize(true);
  EXPECT_EQ(b->Applied, 1);
  b->AutoSizeArrange();  // 24 x 16 already
  EXPECT_EQ(b->Applied, 1);

  b->SetAutoSize(false);
  b->SetCaption("a caption that would not fit");
  b->SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(TPoint(b->Width(), b->Height()), TPoint(24, 16));
}

TEST_F(ClearModelTest, AutoSizeFailureIsReraisedWithItsPlace) {
  auto* b = Make<TProbeButton>(*host_, Bounds(0, 0, 50, 50));
  b->Fail = [] { throw EInvalidOperation("Cannot size"); };
  try {
    b->SetAutoSize(true);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot size at AutoSizeArrange");
    EXPECT_EQ(typeid(e), typeid(Exception));  // the class is not kept
  }
  b->SetAutoSize(false);
  b->Fail = [] { throw std::runtime_error("foreign"); };
  EXPECT_THROW(b->SetAutoSize(true), std::runtime_error);
}

TEST_F(ClearModelTest, PictureDecidesTheTransparentColour) {
  auto* b = Make<TClearButton>(*host_, Bounds(0, 0, 60, 30));
  Show();
  TPicture picture;
  FillBitmap(picture.Bitmap(), 20, 10, clBlue);
  SetBitmapPixel(picture.Bitmap(), 0, 9, clWhite);
  picture.Bitmap().SetPixelFormat(pf32bit);
  b->SetPicture(&picture);
  EXPECT_EQ(b->TransparentColor(), clWhite);
  auto* held = dynamic_cast<TBitmap*>(b->Picture().Graphic());
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->PixelFormat(), pf24bit);
  EXPECT_TRUE(held->Transparent());

  // A JPEG picture keeps the colour; clearing the picture restores fuchsia.
  b->SetTransColor(clLime);
  TJPEGImage jpeg;
  jpeg.Assign(&picture.Bitmap());
  TPicture jpegPicture;
  jpegPicture.Assign(&jpeg);
  b->SetPicture(&jpegPicture);
  EXPECT_EQ(b->TransparentColor(), clLime);
  b->SetPicture(nullptr);
  EXPECT_EQ(b->TransparentColor(), clFuchsia);
}

TEST_F(ClearModelTest, ResourceWithoutCaptionLeavesItEmptyAndWritesInStreamingOrder) {
  RegisterStandardComponents();
  // Whatever caption the control held before, a resource without one leaves it empty.
  std::unique_ptr<TClearPanel> panel(TComponent::MakeOwned<TClearPanel>(nullptr));
  panel->SetCaption("before");
  ReadComponentText(panel.get(),
                    "object Panel1: TClearPanel\n"
                    "  Left = 3\n"
                    "  ChildGraphicsTrans = True\n"
                    "  FormTrans = False\n"
                    "  ParentDrag = False\n"
                    "end\n");
  EXPECT_EQ(panel->Caption(), "");
  EXPECT_TRUE(panel->ChildGraphicsTrans());
  EXPECT_EQ(panel->Left(), 3);

  std::unique_ptr<TComponent> button = CreateComponentFromText(
      "object Button1: TClearButton\n"
      "  Caption = 'Go'\n"
      "  Style = sbsFloatBtn\n"
      "  HotLightDepth = 40\n"
      "  Width = 100\n"
      "end\n");
  auto* b = dynamic_cast<TClearButton*>(button.get());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Caption(), "Go");
  EXPECT_EQ(b->Style(), sbsFloatBtn);
  EXPECT_EQ(b->HotLightDepth(), 40);
  const std::string text = WriteComponentText(b);
  // Written in the class's streaming order, defaults left out.
  const auto at = [&](const char* name) { return text.find(std::string("  ") + name + " = "); };
  EXPECT_LT(at("Left"), at("Width"));
  EXPECT_LT(at("Width"), at("Style"));
  EXPECT_LT(at("Style"), at("HotLightDepth"));
  EXPECT_LT(at("HotLightDepth"), at("Caption"));
  EXPECT_EQ(at("Height"), std::string::npos);
  EXPECT_EQ(at("TransparentColor"), std::string::npos);
  EXPECT_NE(text.find("Font.Style = [fsBold]"), std::string::npos) << text;
}

}  // namespace
}  // namespace bellcut::test
