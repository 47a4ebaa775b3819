// Forms and the application: a form loaded from a text resource and shown
// on the headless desktop, client sizes, the creation order of
// Application.CreateForm, OnCreate failures, closing, the form's canvas and
// the idle ending of Run.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Streaming.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "tests/controls/FormsFixture.h"

namespace bellcut::test {
namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

class TTestForm1;
TTestForm1* TestForm1 = nullptr;

// A form built like the program's main window: a client-aligned panel with
// two stretched images and a hidden button, a hidden panel with an
// auto-sized image, and a 20 ms timer.
class TTestForm1 : public TForm {
 public:
  BELLCUT_CLASS_NAME(TTestForm1)
  explicit TTestForm1(TComponent* AOwner) : TForm(AOwner) {
    Log().push_back(std::string("reference ") + (TestForm1 == this ? "set" : "unset"));
    ReadResource();
    Log().push_back(std::string("body, fields ") + (Panel2 && Image1 && Image2 && Image3 && Button1 && Timer1 ? "set" : "unset"));
  }
  void FormCreate(TObject*) {
    Log().push_back(std::string("FormCreate, main form ") + (Application.MainForm() == this ? "yes" : "no") +
                    ", handle " + (HandleAllocated() ? "yes" : "no"));
    if (FailCreate) throw EInvalidOperation("creation failed");
    if (AskInCreate) Answer = MessageDlg("?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0);
    if (CloseInCreate) Close();
  }
  void Timer1Timer(TObject* Sender) {
    EXPECT_EQ(Sender, Timer1);
    ++Ticks;
    if (CloseAfter > 0 && Ticks >= CloseAfter) Close();
  }
  void Button1Click(TObject*) { ++Clicks; }

  TPanel* Panel2 = nullptr;
  TImage* Image3 = nullptr;
  TImage* Image2 = nullptr;
  TButton* Button1 = nullptr;
  TPanel* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TTimer* Timer1 = nullptr;
  int Ticks = 0;
  int Clicks = 0;
  static inline int CloseAfter = 0;
  static inline bool FailCreate = false;
  static inline bool CloseInCreate = false;
  static inline bool AskInCreate = false;
  int Answer = 0;
};

// A form that asks for OnCreate at the end of its resource.
class TOldOrderForm : public TForm {
 public:
  BELLCUT_CLASS_NAME(TOldOrderForm)
  explicit TOldOrderForm(TComponent* AOwner) : TForm(AOwner) {
    ReadResource();
    Log().push_back("body");
  }
  void FormCreate(TObject*) { Log().push_back("FormCreate"); }
};

// A form whose resource cannot be read.
class TBrokenForm : public TForm {
 public:
  BELLCUT_CLASS_NAME(TBrokenForm)
  explicit TBrokenForm(TComponent* AOwner) : TForm(AOwner) { ReadResource(); }
};

// 4 x 2 picture: left half red, right half blue.
std::string PictureHex() {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) b.Canvas().SetPixels(x, y, x < 2 ? clRed : clBlue);
  TMemoryStream s;
  b.SaveToStream(s);
  const auto data = EncodePictureData("TBitmap", s.Data());
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (std::uint8_t v : data) {
    hex += digits[v >> 4];
    hex += digits[v & 15];
  }
  return hex;
}

std::string FormText() {
  return R"(object TestForm1: TTestForm1
  Left = 100
  Top = 50
  BorderStyle = bsToolWindow
  Caption = 'Test '#12479#12523#12493#12514
  ClientHeight = 200
  ClientWidth = 300
  Color = clWhite
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'MS PGothic'
  Font.Style = []
  FormStyle = fsStayOnTop
  HorzScrollBar.Visible = False
  VertScrollBar.Visible = False
  OldCreateOrder = False
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 12
  object Panel2: TPanel
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    Align = alClient
    BevelOuter = bvNone
    Color = clLime
    TabOrder = 0
    object Image3: TImage
      Left = 0
      Top = 0
      Width = 300
      Height = 200
      Align = alClient
      Stretch = True
      Picture.Data = {)" +
         PictureHex() + R"(}
    end
    object Image2: TImage
      Left = 0
      Top = 0
      Width = 300
      Height = 200
      Align = alClient
    end
    object Button1: TButton
      Left = 110
      Top = 90
      Width = 74
      Height = 20
      Anchors = []
      Caption = #20445#23384
      TabOrder = 0
      Visible = False
      OnClick = Button1Click
    end
  end
  object Panel1: TPanel
    Left = 212
    Top = 0
    Width = 300
    Height = 300
    Color = clWhite
    TabOrder = 1
    Visible = False
    object Image1: TImage
      Left = 0
      Top = 0
      Width = 300
      Height = 300
      AutoSize = True
      Stretch = True
    end
  end
  object Timer1: TTimer
    Interval = 20
    OnTimer = Timer1Timer
  end
end
)";
}

void RegisterTestForms() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterStandardComponents();
    TPublishedClass<TTestForm1, TForm>()
        .Field("Panel2", &TTestForm1::Panel2)
        .Field("Image3", &TTestForm1::Image3)
        .Field("Image2", &TTestForm1::Image2)
        .Field("Button1", &TTestForm1::Button1)
        .Field("Panel1", &TTestForm1::Panel1)
        .Field("Image1", &TTestForm1::Image1)
        .Field("Timer1", &TTestForm1::Timer1)
        .Method("FormCreate", &TTestForm1::FormCreate)
        .Method("Timer1Timer", &TTestForm1::Timer1Timer)
        .Method("Button1Click", &TTestForm1::Button1Click);
    RegisterFormResource("TTestForm1", FormText());
    TPublishedClass<TOldOrderForm, TForm>().Method("FormCreate", &TOldOrderForm::FormCreate);
    RegisterFormResource("TOldOrderForm",
                         "object OldOrderForm: TOldOrderForm\n  OldCreateOrder = True\n  OnCreate = FormCreate\nend\n");
    TPublishedClass<TBrokenForm, TForm>();
    RegisterFormResource("TBrokenForm", "object BrokenForm: TBrokenForm\n  NoSuchProperty = 1\nend\n");
  });
}

class FormTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    RegisterTestForms();
    Log().clear();
    TestForm1 = nullptr;
    TTestForm1::CloseAfter = 0;
    TTestForm1::FailCreate = false;
    TTestForm1::CloseInCreate = false;
    TTestForm1::AskInCreate = false;
    Application.SetTitle(FromUtf8("タイトル"));
  }
};

TEST_F(FormTest, ResourceBuildsTheFormAndRunShowsIt) {
  Application.Initialize();
  Application.CreateForm(TestForm1);
  TTestForm1& f = *TestForm1;
  EXPECT_EQ(f.Caption(), FromUtf8("Test タルネモ"));
  EXPECT_EQ(f.BorderStyle(), bsToolWindow);
  EXPECT_EQ(f.Color(), clWhite);
  EXPECT_EQ(f.Font().Charset(), SHIFTJIS_CHARSET);
  EXPECT_EQ(f.Font().Height(), -12);
  EXPECT_FALSE(f.HorzScrollBar()->Visible());
  EXPECT_EQ(f.TextHeight(), 12);
  EXPECT_EQ(f.ClientWidth(), 300);
  EXPECT_EQ(f.ClientHeight(), 200);
  EXPECT_EQ(f.Width(), 306);
  EXPECT_EQ(f.Height(), 223);
  EXPECT_EQ(f.Left(), 100);
  EXPECT_EQ(f.Top(), 50);
  EXPECT_EQ(f.Panel2->Parent(), &f);
  EXPECT_EQ(f.Image3->Parent(), f.Panel2);
  EXPECT_EQ(f.Button1->Caption(), FromUtf8("保存"));
  EXPECT_TRUE(f.Button1->Anchors().Empty());
  EXPECT_FALSE(f.Button1->Visible());
  EXPECT_FALSE(f.Panel1->Visible());
  EXPECT_EQ(f.Image1->Parent(), f.Panel1);
  EXPECT_TRUE(f.Image1->AutoSize());
  EXPECT_EQ(f.Image3->Picture()->Width(), 4);
  EXPECT_TRUE(f.Timer1->Armed()) << "the resource's timer ticks from the load on";
  EXPECT_EQ(f.Timer1->Interval(), 20u);
  EXPECT_EQ(Application.MainForm(), &f);
  EXPECT_TRUE(f.HandleAllocated());
  EXPECT_FALSE(f.Visible()) << "shown by Run";
  EXPECT_NE(GetWindowLongPtr(f.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongPtr(f.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

  // The second tick looks at the screen, the fifth closes the main form.
  TTestForm1::CloseAfter = 5;
  COLORREF left = 0, right = 0, outside = 0;
  f.Timer1->SetOnTimer([&](TObject* Sender) {
    f.Timer1Timer(Sender);
    if (f.Ticks != 2) return;
    const TPoint o = ClientOnScreen(f);
    left = desktop::ScreenPixel(o.X + 10, o.Y + 100);
    right = desktop::ScreenPixel(o.X + 290, o.Y + 100);
    outside = desktop::ScreenPixel(o.X - 20, o.Y + 100);
  });
  Application.Run();
  EXPECT_TRUE(Application.Terminated());
  EXPECT_EQ(f.Ticks, 5);
  EXPECT_EQ(left, RGB(255, 0, 0)) << "the stretched picture shows through the empty image above it";
  EXPECT_EQ(right, RGB(0, 0, 255));
  EXPECT_NE(outside, RGB(255, 0, 0));
  EXPECT_TRUE(responder->Shown.empty());
}

TEST_F(FormTest, CreateFormOrder) {
  Application.CreateForm(TestForm1);
  const std::vector<std::string> expected{
      "reference set",
      "body, fields set",
      "FormCreate, main form no, handle no",
  };
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(Application.MainForm(), TestForm1);
  EXPECT_TRUE(TestForm1->HandleAllocated());

  // A second form created by the application is not the main form.
  TTestForm1* first = TestForm1;
  TTestForm1* second = nullptr;
  Application.CreateForm(second);
  EXPECT_NE(second, first);
  EXPECT_EQ(Application.MainForm(), first);
  EXPECT_EQ(Screen.FormCount(), 2);
  EXPECT_EQ(Screen.Forms(1), second);

  // OldCreateOrder: OnCreate ends the resource load, before the body, once.
  Log().clear();
  TOldOrderForm* old = nullptr;
  Application.CreateForm(old);
  EXPECT_EQ(Log(), (std::vector<std::string>{"FormCreate", "body"}));
}

TEST_F(FormTest, ExceptionInOnCreateIsShownAndCreationGoesOn) {
  TTestForm1::FailCreate = true;
  Application.CreateForm(TestForm1);
  ASSERT_EQ(responder->Shown.size(), 1u);
  const DialogRequest& shown = responder->Shown[0];
  EXPECT_EQ(shown.Kind, DialogKind::Error);
  EXPECT_EQ(shown.Type, mtError);
  EXPECT_EQ(shown.Caption, FromUtf8("タイトル"));
  EXPECT_EQ(shown.Text, "creation failed");
  ASSERT_EQ(shown.Buttons.size(), 1u);
  EXPECT_EQ(shown.Buttons[0].Caption, "OK");
  EXPECT_EQ(Application.MainForm(), TestForm1) << "creation continued";
  EXPECT_TRUE(TestForm1->HandleAllocated());
  EXPECT_TRUE(Application.ErrorShown());
  EXPECT_EQ(Application.ExitCode(), 1);
}

TEST_F(FormTest, FailedResourceLeavesNoFormAndNoReference) {
  TBrokenForm* broken = reinterpret_cast<TBrokenForm*>(&Log());  // must be overwritten
  EXPECT_THROW(Application.CreateForm(broken), EReadError);
  EXPECT_EQ(broken, nullptr);
  EXPECT_EQ(Application.MainForm(), nullptr);
  EXPECT_EQ(Screen.FormCount(), 0);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
}

TEST_F(FormTest, CloseHidesAFormThatIsNotTheMainForm) {
  // Closing during OnCreate (not yet the main form) only hides.
  TTestForm1::CloseInCreate = true;
  Application.CreateForm(TestForm1);
  EXPECT_FALSE(Application.Terminated());
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "no quit was posted";

  TTestForm1* other = nullptr;
  TTestForm1::CloseInCreate = false;
  Application.CreateForm(other);
  other->Show();
  EXPECT_TRUE(IsWindowVisible(other->Handle()));
  other->Close();
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(IsWindowVisible(other->Handle()));
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(FormTest, TicksDuringOnCreateDialogsOnlyHideTheFormUntilItIsTheMainForm) {
  // Every tick closes the form, as a program without work to do does.
  TTestForm1::CloseAfter = 1;
  TTestForm1::AskInCreate = true;
  responder->Push(100, mrNo);
  Application.CreateForm(TestForm1);
  EXPECT_EQ(TestForm1->Answer, mrNo);
  EXPECT_EQ(TestForm1->Ticks, 5) << "the 20 ms timer ticked inside the question's loop";
  EXPECT_FALSE(TestForm1->Visible());
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "closing before Run only hid the form";
  Application.Run();
  EXPECT_EQ(TestForm1->Ticks, 6) << "the first tick after the form was shown ended the run";
  EXPECT_TRUE(Application.Terminated());
}

TEST_F(FormTest, CaptionCloseButtonEndsRunLikeClose) {
  Application.CreateForm(TestForm1);
  TestForm1->Timer1->SetEnabled(false);
  bool asked = false;
  TestForm1->OnCloseQuery = [&](TObject*, bool& CanClose) {
    asked = true;
    CanClose = true;
  };
  TestForm1->Show();
  desktop::Pump();
  // Press and release the close button at the caption bar's right end.
  TRect r;
  GetWindowRect(TestForm1->Handle(), &r);
  bool hit = false;
  for (int x = r.Right - 4; x > r.Right - 40 && !hit; --x) {
    const LRESULT where = SendMessage(TestForm1->Handle(), WM_NCHITTEST, 0, MAKELPARAM(x, r.Top + 10));
    if (where == HTCLOSE) {
      desktop::Click(x, r.Top + 10);
      hit = true;
    }
  }
  ASSERT_TRUE(hit) << "no close button on the caption bar";
  Application.Run();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(Application.Terminated());
  EXPECT_TRUE(IsWindow(TestForm1->Handle())) << "the form object keeps its window until it is destroyed";
}

TEST_F(FormTest, DraggingTheCaptionMovesTheFormAndItsBounds) {
  auto* f = TCustomForm::Create<TForm>(&Application);
  f->SetBorderStyle(bsSingle);
  f->SetBounds(100, 50, 300, 200);
  f->Show();
  desktop::Pump();
  desktop::MoveMouse(200, 60);  // on the caption bar
  desktop::PressMouse(desktop::MouseButton::Left);
  desktop::MoveMouse(240, 90);
  desktop::ReleaseMouse(desktop::MouseButton::Left);
  Application.ProcessMessages();
  EXPECT_EQ(f->BoundsRect(), Bounds(140, 80, 300, 200));
  TRect wr;
  GetWindowRect(f->Handle(), &wr);
  EXPECT_EQ(wr, f->BoundsRect());
  EXPECT_EQ(desktop::ScreenPixel(145, 250), ColorToRGB(clBtnFace)) << "drawn at the new place";
  TComponent::Destroy(f);
}

TEST_F(FormTest, ClientSizeSetsOuterSizeByBorderStyleAndRealignsAtOnce) {
  struct Case {
    TFormBorderStyle Style;
    int Width, Height;  // outer size for a 600 x 600 client area
  };
  const Case cases[] = {
      {bsToolWindow, 606, 623}, {bsSizeToolWin, 606, 623}, {bsSingle, 606, 625},
      {bsSizeable, 606, 625},   {bsDialog, 606, 625},      {bsNone, 600, 600},
  };
  for (const Case& c : cases) {
    for (bool withWindow : {false, true}) {
      SCOPED_TRACE(testing::Message() << "style " << static_cast<int>(c.Style) << (withWindow ? " with" : " without")
                                      << " window");
      auto* f = TCustomForm::Create<TForm>(&Application);
      auto* panel = TComponent::MakeOwned<TPanel>(f);
      panel->SetParent(f);
      panel->SetAlign(alClient);
      f->SetBorderStyle(c.Style);
      if (withWindow) f->HandleNeeded();
      f->SetClientWidth(600);
      f->SetClientHeight(600);
      EXPECT_EQ(f->Width(), c.Width);
      EXPECT_EQ(f->Height(), c.Height);
      EXPECT_EQ(f->ClientWidth(), 600);
      EXPECT_EQ(panel->Width(), 600) << "realigned before the setter returned";
      EXPECT_EQ(panel->Height(), 600);
      if (withWindow) {
        TRect wr;
        GetWindowRect(f->Handle(), &wr);
        EXPECT_EQ(wr.Width(), c.Width);
        EXPECT_EQ(wr.Height(), c.Height);
      }
      f->SetClientWidth(250);
      EXPECT_EQ(f->Width(), c.Width - 350);
      EXPECT_EQ(panel->Width(), 250);
      TComponent::Destroy(f);
    }
  }
}

TEST_F(FormTest, PlacementMovesTheWindowAtOnceAndScreenReadsTheDesktop) {
  EXPECT_EQ(Screen.Width(), 1024);
  EXPECT_EQ(Screen.Height(), 768);
  EXPECT_EQ(Screen.PixelsPerInch(), 96);
  auto* f = TCustomForm::Create<TForm>(&Application);
  f->SetBorderStyle(bsToolWindow);
  f->Show();
  f->SetTop(-620);
  f->SetLeft(Screen.Width() + 620);
  TRect r;
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Left, 1644);
  EXPECT_EQ(r.Top, -620);
  f->SetLeft(f->Left() - 32);
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Left, 1612);

  f->SetPosition(poScreenCenter);
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Left, (1024 - f->Width()) / 2);
  EXPECT_EQ(r.Top, (768 - f->Height()) / 2);

  ResetDesktop(DesktopOptions{640, 480, false});  // read afresh
  EXPECT_EQ(Screen.Width(), 640);
  EXPECT_EQ(Screen.Height(), 480);
  TComponent::Destroy(f);
}

// A white 40 x 30 tool window holding a blue 20 x 10 panel at (10, 10).
std::pair<TForm*, TPanel*> WhiteFormWithBluePanel() {
  auto* f = TCustomForm::Create<TForm>(&Application);
  f->SetBorderStyle(bsToolWindow);
  f->SetColor(clWhite);
  f->SetClientWidth(40);
  f->SetClientHeight(30);
  auto* panel = TComponent::MakeOwned<TPanel>(f);
  panel->SetParent(f);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clBlue);
  panel->SetBounds(10, 10, 20, 10);
  return {f, panel};
}

TEST_F(FormTest, CanvasReadsWhatTheClientAreaShows) {
  auto* f = WhiteFormWithBluePanel().first;
  f->Show();
  desktop::Pump();
  EXPECT_EQ(f->Canvas().Pixels(5, 5), clWhite);

  TBitmap copy;
  copy.SetSize(40, 30);
  copy.Canvas().CopyRect(TRect{0, 0, 40, 30}, f->Canvas(), TRect{0, 0, 40, 30});
  EXPECT_EQ(copy.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(copy.Canvas().Pixels(29, 19), clBlue) << "the child window is part of what the client area shows";
  EXPECT_EQ(copy.Canvas().Pixels(30, 19), clWhite);
  TComponent::Destroy(f);
}

// A child window cut by a region shows its parent's background outside the
// region, on screen and in what the form's canvas reads back.
TEST_F(FormTest, ChildWindowRegionShowsTheParentBackgroundOnScreenAndInTheCanvas) {
  auto [f, panel] = WhiteFormWithBluePanel();
  // Keep only the panel's left half.
  ASSERT_NE(SetWindowRgn(panel->Handle(), CreateRectRgn(0, 0, 10, 10), TRUE), 0);
  f->Show();
  desktop::Pump();

  TPoint origin{0, 0};
  ClientToScreen(f->Handle(), &origin);
  struct Probe {
    int X, Y;
    COLORREF Want;
  };
  const Probe probes[] = {{12, 12, RGB(0, 0, 255)}, {19, 19, RGB(0, 0, 255)}, {20, 12, RGB(255, 255, 255)},
                          {29, 19, RGB(255, 255, 255)}, {5, 5, RGB(255, 255, 255)}};
  TBitmap copy;
  copy.SetSize(40, 30);
  copy.Canvas().CopyRect(TRect{0, 0, 40, 30}, f->Canvas(), TRect{0, 0, 40, 30});
  for (const Probe& p : probes) {
    EXPECT_EQ(desktop::ScreenPixel(origin.X + p.X, origin.Y + p.Y), p.Want) << "screen at " << p.X << "," << p.Y;
    EXPECT_EQ(ColorToRGB(copy.Canvas().Pixels(p.X, p.Y)), p.Want) << "canvas at " << p.X << "," << p.Y;
  }
  TComponent::Destroy(f);
}

TEST_F(FormTest, RunEndsWhenIdleOnlyWhenAsked) {
  Application.CreateForm(TestForm1);
  TestForm1->Timer1->SetEnabled(false);
  EXPECT_THROW(Application.Run(), EInvalidOperation) << "nothing can ever happen: no silent hang";

  Application.SetCloseWhenIdle(true);
  bool closing = false;
  TestForm1->OnClose = [&](TObject*, TCloseAction&) { closing = true; };
  Application.Run();
  EXPECT_TRUE(closing) << "closed as the close button would";
  EXPECT_TRUE(Application.Terminated());
  EXPECT_FALSE(Application.ErrorShown());

  // A main form that refuses to close does not keep an idle loop alive.
  Application.Reset();
  Application.SetCloseWhenIdle(true);
  Application.CreateForm(TestForm1);
  TestForm1->Timer1->SetEnabled(false);
  TestForm1->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
  Application.Run();
  EXPECT_TRUE(Application.Terminated());
}

TEST_F(FormTest, OnDestroyAndReleasedForms) {
  std::vector<std::string> events;
  auto* f = TCustomForm::Create<TForm>(&Application);
  f->OnDestroy = [&](TObject*) { events.push_back("destroy"); };
  f->OnClose = [&](TObject*, TCloseAction& Action) {
    events.push_back("close");
    Action = caFree;
  };
  f->Show();
  f->Close();
  EXPECT_EQ(Screen.FormCount(), 1) << "released after the current message";
  Application.ProcessMessages();
  PostMessage(nullptr, WM_NULL, 0, 0);
  Application.ProcessMessages();
  EXPECT_EQ(Screen.FormCount(), 0);
  const std::vector<std::string> expected{"close", "destroy"};
  EXPECT_EQ(events, expected);
}

TEST_F(FormTest, WrittenResourceKeepsTheSettingsAndLeavesDefaultsOut) {
  Application.CreateForm(TestForm1);
  const std::string text = WriteComponentText(TestForm1);
  for (const char* line : {"  BorderStyle = bsToolWindow\n", "  ClientHeight = 200\n", "  ClientWidth = 300\n",
                           "  Color = clWhite\n", "  FormStyle = fsStayOnTop\n", "  HorzScrollBar.Visible = False\n",
                           "  OldCreateOrder = False\n", "  OnCreate = FormCreate\n", "  PixelsPerInch = 96\n",
                           "  TextHeight = 12\n", "    Align = alClient\n", "      Stretch = True\n",
                           "      Anchors = []\n", "      Visible = False\n", "    Interval = 20\n",
                           "    OnTimer = Timer1Timer\n", "      AutoSize = True\n", "      Picture.Data = {"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " missing in\n" << text;
  // The outer size follows from the client size; defaults are not written.
  for (const char* line : {"\n  Width = ", "\n  Height = ", "Enabled = True", "Visible = True", "Position =",
                           "BevelOuter = bvRaised"})
    EXPECT_EQ(text.find(line), std::string::npos) << line << " written in\n" << text;
  EXPECT_EQ(FormatFormText(ParseFormText(text)), text);
}

TEST_F(FormTest, NoHandleLeaksOverCreateShowDestroy) {
  // The fixture compares every handle kind before and after; exercise
  // painting, the canvas and the timer in between.
  Application.CreateForm(TestForm1);
  TestForm1->Show();
  TestForm1->Image2->Canvas().SetPixels(0, 0, clRed);
  desktop::RunFor(100);
  (void)TestForm1->Canvas().Pixels(1, 1);
  EXPECT_GT(TestForm1->Ticks, 0);
  TComponent::Destroy(TestForm1);
  EXPECT_EQ(Application.MainForm(), nullptr);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
}

}  // namespace
}  // namespace bellcut::test

namespace bellcut::test {
namespace {

// A released form that its released owner destroys first must not be
// destroyed a second time when the released list is worked off.
TEST_F(FormTest, ReleasedFormDestroyedByItsReleasedOwnerIsNotDestroyedAgain) {
  std::vector<std::string> events;
  auto* owner = TCustomForm::Create<TForm>(&Application);
  auto* owned = TCustomForm::Create<TForm>(owner);
  owner->OnDestroy = [&](TObject*) { events.push_back("owner"); };
  owned->OnDestroy = [&](TObject*) { events.push_back("owned"); };
  owned->Release();
  owner->Release();
  PostMessage(nullptr, WM_NULL, 0, 0);
  Application.ProcessMessages();
  EXPECT_EQ(Screen.FormCount(), 0);
  // The owned form goes with its owner, whose OnDestroy fires first.
  EXPECT_EQ(events, (std::vector<std::string>{"owner", "owned"}));
}

}  // namespace
}  // namespace bellcut::test
