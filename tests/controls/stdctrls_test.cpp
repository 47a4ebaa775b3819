// Images, panels, push buttons and speed buttons on a shown form: what they
// paint, how they size, click and group.
#include <gtest/gtest.h>

#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JPEGImage.h"
#include "tests/controls/FormsFixture.h"

namespace bellcut::test {
namespace {

class StdCtrlsTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = TCustomForm::Create<TForm>(&Application);
    form->SetBorderStyle(bsNone);
    form->SetColor(clWhite);
    form->SetBounds(100, 100, 200, 150);
    form->Show();
  }
  void TearDown() override {
    TComponent::Destroy(form);
    FormsTest::TearDown();
  }
  template <class T>
  T* Add(int l, int t, int w, int h) {
    auto* c = TComponent::MakeOwned<T>(form);
    c->SetParent(form);
    c->SetBounds(l, t, w, h);
    return c;
  }
  COLORREF At(int x, int y) {
    desktop::Pump();
    return desktop::ScreenPixel(100 + x, 100 + y);
  }
  static void Quadrants(TBitmap& b) {  // 2 x 2: red, lime / blue, yellow
    b.SetPixelFormat(pf24bit);
    b.SetSize(2, 2);
    b.Canvas().SetPixels(0, 0, clRed);
    b.Canvas().SetPixels(1, 0, clLime);
    b.Canvas().SetPixels(0, 1, clBlue);
    b.Canvas().SetPixels(1, 1, clYellow);
  }
  TForm* form = nullptr;
};

TEST_F(StdCtrlsTest, ImageCanvasCreatesAWhiteBitmapOfTheImageSize) {
  auto* img = Add<TImage>(0, 0, 37, 21);
  EXPECT_EQ(img->Picture()->Graphic(), nullptr);
  TCanvas& c = img->Canvas();
  auto* bmp = dynamic_cast<TBitmap*>(img->Picture()->Graphic());
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 37);
  EXPECT_EQ(bmp->Height(), 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(c.Pixels(x, y), clWhite) << x << "," << y;
  c.SetPixels(3, 4, clRed);
  EXPECT_EQ(&img->Canvas(), &c) << "the second use keeps the bitmap";
  EXPECT_EQ(img->Canvas().Pixels(3, 4), clRed);
  EXPECT_EQ(At(3, 4), RGB(255, 0, 0)) << "drawing on the bitmap repaints the image";
  EXPECT_EQ(At(5, 5), RGB(255, 255, 255));

  TJPEGImage jpeg;
  img->Picture()->SetGraphic(&jpeg);
  EXPECT_THROW((void)img->Canvas(), EInvalidOperation);
}

TEST_F(StdCtrlsTest, ImageDrawsNaturalCentredOrStretchedAndAutoSizes) {
  TBitmap q;
  Quadrants(q);
  auto* img = Add<TImage>(10, 10, 40, 40);
  img->Picture()->SetGraphic(&q);
  EXPECT_EQ(At(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(At(11, 11), RGB(255, 255, 0));
  EXPECT_EQ(At(12, 12), RGB(255, 255, 255)) << "natural size: the rest shows the form";

  img->SetCenter(true);
  EXPECT_EQ(At(29, 29), RGB(255, 0, 0));
  EXPECT_EQ(At(30, 30), RGB(255, 255, 0));

  img->SetStretch(true);
  EXPECT_EQ(At(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(At(49, 10), RGB(0, 255, 0));
  EXPECT_EQ(At(10, 49), RGB(0, 0, 255));
  EXPECT_EQ(At(49, 49), RGB(255, 255, 0));

  img->SetAutoSize(true);
  EXPECT_EQ(img->Width(), 2);
  EXPECT_EQ(img->Height(), 2);
  TBitmap big;
  big.SetSize(64, 48);
  img->Picture()->SetGraphic(&big);
  EXPECT_EQ(img->Width(), 64);
  EXPECT_EQ(img->Height(), 48);
}

TEST_F(StdCtrlsTest, PanelPaintsColourBevelAndCaption) {
  struct Case {
    TPanelBevel Outer;
    COLORREF TopLeft, BottomRight;
  };
  const COLORREF hi = ColorToRGB(clBtnHighlight);
  const COLORREF sh = ColorToRGB(clBtnShadow);
  const COLORREF blue = RGB(0, 0, 255);
  const Case cases[] = {{bvRaised, hi, sh}, {bvLowered, sh, hi}, {bvNone, blue, blue}};
  auto* p = Add<TPanel>(20, 20, 60, 40);
  p->SetColor(clBlue);
  EXPECT_EQ(p->BevelOuter(), bvRaised) << "raised by default";
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Outer));
    p->SetBevelOuter(c.Outer);
    EXPECT_EQ(At(20, 20), c.TopLeft);
    EXPECT_EQ(At(79, 59), c.BottomRight);
    EXPECT_EQ(At(22, 22), blue);
  }
  // A caption is drawn centred in the font colour.
  p->Font().SetColor(clWhite);
  p->Font().SetHeight(-14);
  p->SetCaption("WWWW");
  desktop::Pump();
  int white = 0;
  int whiteLeftHalf = 0;
  for (int y = 20; y < 60; ++y)
    for (int x = 20; x < 80; ++x)
      if (desktop::ScreenPixel(100 + x, 100 + y) == RGB(255, 255, 255)) {
        ++white;
        whiteLeftHalf += x < 50 ? 1 : 0;
      }
  EXPECT_GT(white, 10);
  EXPECT_NEAR(whiteLeftHalf * 2, white, white / 3 + 2) << "centred";
}

TEST_F(StdCtrlsTest, ButtonClicksOnReleaseInside) {
  auto* b = Add<TButton>(10, 10, 75, 25);
  int clicks = 0;
  b->OnClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, b);
    ++clicks;
  };
  desktop::Click(100 + 20, 100 + 20);
  desktop::Pump();
  EXPECT_EQ(clicks, 1);

  // Press inside, leave, release outside: no click, and the face comes back up.
  desktop::MoveMouse(120, 120);
  desktop::PressMouse(desktop::MouseButton::Left);
  desktop::Pump();
  EXPECT_TRUE(b->Pressed());
  const COLORREF pressedCorner = At(10, 10);
  desktop::MoveMouse(180, 180);
  desktop::Pump();
  EXPECT_FALSE(b->Pressed());
  desktop::ReleaseMouse(desktop::MouseButton::Left);
  desktop::Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_NE(At(10, 10), pressedCorner) << "the sunken edge turns raised again";
}

TEST_F(StdCtrlsTest, ExceptionFromAClickHandlerIsShownAndTheLoopGoesOn) {
  auto* b = Add<TButton>(10, 10, 75, 25);
  b->OnClick = [](TObject*) { throw EInvalidOperation("click failed"); };
  desktop::Click(100 + 20, 100 + 20);
  Application.ProcessMessages();
  ASSERT_EQ(responder->Shown.size(), 1u);
  EXPECT_EQ(responder->Shown[0].Kind, DialogKind::Error);
  EXPECT_EQ(responder->Shown[0].Text, "click failed");
  EXPECT_FALSE(b->Pressed());
}

// Records the group notifications a parent's controls receive.
class TGroupSpy : public TGraphicControl {
 public:
  BELLCUT_CLASS_NAME(TGroupSpy)
  explicit TGroupSpy(TComponent* AOwner) : TGraphicControl(AOwner) {}
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_BUTTONPRESSED) seen.emplace_back(Message.WParam, Message.LParam);
    TGraphicControl::Dispatch(Message);
  }
  std::vector<std::pair<WPARAM, LPARAM>> seen;
};

class SpeedButtonTest : public StdCtrlsTest {
 protected:
  void SetUp() override {
    StdCtrlsTest::SetUp();
    for (int i = 0; i < 3; ++i) {
      b[i] = Add<TSpeedButton>(10 + 30 * i, 10, 25, 25);
      b[i]->SetGroupIndex(1);
      b[i]->OnClick = [this, i](TObject*) { ++clicks[i]; };
    }
    spy = Add<TGroupSpy>(150, 10, 10, 10);
  }
  void ClickOn(int i) {
    desktop::Click(100 + 10 + 30 * i + 12, 100 + 20);
    desktop::Pump();
  }
  std::array<bool, 3> Downs() const { return {b[0]->Down(), b[1]->Down(), b[2]->Down()}; }

  TSpeedButton* b[3] = {};
  int clicks[3] = {};
  TGroupSpy* spy = nullptr;
};

TEST_F(SpeedButtonTest, ClickInAGroupMakesOneButtonDown) {
  ClickOn(1);
  EXPECT_EQ(Downs(), (std::array<bool, 3>{false, true, false}));
  ClickOn(0);
  EXPECT_EQ(Downs(), (std::array<bool, 3>{true, false, false}));
  ClickOn(0);
  EXPECT_EQ(Downs(), (std::array<bool, 3>{true, false, false})) << "without AllowAllUp the down button stays down";
  EXPECT_EQ(clicks[0], 2) << "and still clicks";
  EXPECT_EQ(b[0]->State(), bsExclusive);
  EXPECT_EQ(b[1]->State(), bsUp);

  // Every control of the parent heard each button going down, naming it.
  ASSERT_FALSE(spy->seen.empty());
  EXPECT_EQ(spy->seen.back(), (std::pair<WPARAM, LPARAM>{1, reinterpret_cast<LPARAM>(b[0])}));
}

TEST_F(SpeedButtonTest, AllowAllUpSpreadsToTheGroupAndLetsTheDownButtonGoUp) {
  b[2]->SetAllowAllUp(true);
  EXPECT_TRUE(b[0]->AllowAllUp()) << "the group took the setting over";
  EXPECT_TRUE(b[1]->AllowAllUp());
  ClickOn(1);
  ClickOn(1);
  EXPECT_EQ(Downs(), (std::array<bool, 3>{false, false, false}));
  EXPECT_EQ(clicks[1], 2);
}

TEST_F(SpeedButtonTest, DownOutsideAGroupAndChangingGroups) {
  auto* lone = Add<TSpeedButton>(100, 50, 25, 25);
  lone->SetDown(true);
  EXPECT_FALSE(lone->Down()) << "a button outside a group never stays down";
  int loneClicks = 0;
  lone->OnClick = [&](TObject*) { ++loneClicks; };
  desktop::Click(100 + 110, 100 + 60);
  desktop::Pump();
  EXPECT_EQ(loneClicks, 1);
  EXPECT_FALSE(lone->Down());
  EXPECT_EQ(lone->State(), bsUp);

  // A down button moving into another group announces itself there.
  b[0]->SetDown(true);
  auto* other = Add<TSpeedButton>(100, 100, 25, 25);
  other->SetGroupIndex(2);
  other->SetDown(true);
  EXPECT_TRUE(b[0]->Down());
  other->SetGroupIndex(1);
  EXPECT_FALSE(b[0]->Down()) << "the group's down button popped up";
  EXPECT_TRUE(other->Down());
}

TEST_F(SpeedButtonTest, AStandInButtonAnnouncesAnotherButtonsState) {
  // How a button of another class takes part in a group: a speed button
  // made for the moment carries its settings to the parent's controls.
  b[0]->SetDown(true);
  auto proxy = std::make_unique<TSpeedButton>(nullptr);
  form->InsertControl(proxy.get());
  proxy->SetGroupIndex(1);
  proxy->SetAllowAllUp(true);
  proxy->SetDown(true);
  form->RemoveControl(proxy.get());
  proxy.reset();
  EXPECT_EQ(Downs(), (std::array<bool, 3>{false, false, false}));
  EXPECT_TRUE(b[1]->AllowAllUp());
  ClickOn(2);
  EXPECT_TRUE(b[2]->Down());
}

TEST_F(SpeedButtonTest, DragOffAndReleaseOutsideDoesNotClick) {
  desktop::MoveMouse(100 + 22, 100 + 20);
  desktop::PressMouse(desktop::MouseButton::Left);
  desktop::Pump();
  EXPECT_EQ(b[0]->State(), bsDown);
  desktop::MoveMouse(100 + 22, 100 + 120);
  desktop::Pump();
  EXPECT_EQ(b[0]->State(), bsUp);
  desktop::ReleaseMouse(desktop::MouseButton::Left);
  desktop::Pump();
  EXPECT_EQ(clicks[0], 0);
  EXPECT_FALSE(b[0]->Down());
}

TEST_F(SpeedButtonTest, IdleProcessingTellsAFlatButtonThePointerIsOver) {
  b[2]->SetFlat(true);
  const COLORREF flat = At(70, 10);
  EXPECT_EQ(flat, RGB(255, 255, 255)) << "a flat transparent button shows no edge while the pointer is away";
  desktop::MoveMouse(100 + 80, 100 + 20);
  for (int i = 0; i < 3; ++i) Application.HandleMessage();  // the move, then the idle step
  EXPECT_TRUE(b[2]->MouseInControl());
  EXPECT_EQ(At(70, 10), ColorToRGB(clBtnHighlight));
  desktop::MoveMouse(100 + 190, 100 + 140);
  for (int i = 0; i < 3; ++i) Application.HandleMessage();
  EXPECT_FALSE(b[2]->MouseInControl());
  EXPECT_EQ(At(70, 10), flat);
}

TEST_F(SpeedButtonTest, DownButtonPaintsSunken) {
  const COLORREF upCorner = At(10, 10);
  EXPECT_EQ(upCorner, ColorToRGB(clBtnHighlight));
  b[0]->SetDown(true);
  EXPECT_EQ(At(10, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(34, 34), ColorToRGB(clBtnHighlight));
}

}  // namespace
}  // namespace bellcut::test
