// Controls on the headless desktop: a top-level "form" with windowed and
// windowless children; alignment and anchors, child-list messages, painting
// (read back from the screen and from an off-screen buffer), the pointer
// rules (capture, click, enter/leave) and handle bookkeeping.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Handles.h"
#include "platform/windowing/Desktop.h"
#include "platform/windowing/WinUser.h"

namespace bellcut {
namespace {

using Log = std::vector<std::string>;

std::string NameOf(LPARAM p) {
  auto* c = reinterpret_cast<TControl*>(p);
  return c == nullptr ? std::string("-") : c->Name();
}

// Appends the pointer and enter/leave traffic of a control to a log.
template <class Base>
class TLogged : public Base {
 public:
  TLogged(TComponent* owner, const std::string& name, Log* log) : Base(owner), log_(log) { this->SetName(name); }
  TColor Fill = clNone;
  bool CheckCaptureInClick = false;
  bool CaptureSeenInClick = true;

  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE)
      Add(std::string(m.Msg == CM_MOUSEENTER ? "enter" : "leave") + "(" + NameOf(m.LParam) + ")");
    if (m.Msg == CM_CONTROLCHANGE) {
      auto* child = reinterpret_cast<TControl*>(m.WParam);
      bool listed = false;
      if constexpr (std::is_base_of_v<TWinControl, Base>)
        for (int i = 0; i < this->ControlCount(); ++i) listed = listed || this->Controls(i) == child;
      Add(std::string(m.LParam != 0 ? "insert " : "remove ") + child->Name() + (listed ? " listed" : " unlisted"));
    }
    Base::Dispatch(m);
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    Add(std::string(s.Contains(ssDouble) ? "double " : "") + "down " + std::to_string(x) + "," + std::to_string(y));
    Base::MouseDown(b, s, x, y);
  }
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
    Add("up " + std::to_string(x) + "," + std::to_string(y));
    Base::MouseUp(b, s, x, y);
  }
  void DblClick() override {
    Add("dblclick");
    Base::DblClick();
  }
  void Click() override {
    if (CheckCaptureInClick) CaptureSeenInClick = GetCapture() != nullptr;
    Add("click");
    Base::Click();
  }

 protected:
  void Paint() override {
    if (Fill == clNone) return;
    // Deliberately larger than the control: the clip must hold it in.
    this->Canvas().Brush().SetColor(Fill);
    this->Canvas().FillRect(Rect(-40, -40, this->Width() + 40, this->Height() + 40));
    this->Canvas().SetPixels(0, 0, clBlack);  // marks where the origin went
  }

 private:
  void Add(std::string s) {
    if (log_ != nullptr) log_->push_back(this->Name() + ": " + s);
  }
  Log* log_;
};

using TPanelCtl = TLogged<TCustomControl>;
using TSwatch = TLogged<TGraphicControl>;

// A borderless top-level window, so that client and window coordinates agree.
class TForm : public TPanelCtl {
 public:
  TForm(Log* log, int x, int y, int w, int h) : TPanelCtl(nullptr, "form", log) {
    SetVisible(false);
    SetColor(clWhite);
    SetBounds(x, y, w, h);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TPanelCtl::CreateParams(p);
    p.Style = WS_POPUP | WS_CLIPCHILDREN;
  }
};

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDesktop(DesktopOptions{800, 600, false});
    windows_ = LiveHandleCount(HandleKind::Window);
    dcs_ = LiveHandleCount(HandleKind::DC);
  }
  void TearDown() override {
    form_.reset();
    FreeDeviceContexts();
    EXPECT_EQ(LiveHandleCount(HandleKind::Window), windows_);
    EXPECT_EQ(LiveHandleCount(HandleKind::DC), dcs_);
  }
  TForm& MakeForm(int x = 100, int y = 100, int w = 200, int h = 150) {
    form_ = std::make_unique<TForm>(&log_, x, y, w, h);
    return *form_;
  }
  template <class T>
  T* Child(TWinControl& parent, const std::string& name, TRect r, TColor fill = clNone) {
    T* c = TComponent::MakeOwned<T>(form_.get(), name, &log_);
    c->Fill = fill;
    c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    c->SetParent(&parent);
    return c;
  }
  void ShowAndPaint() {
    form_->Show();
    desktop::Pump();
    log_.clear();  // only what the test does next
  }

  Log log_;
  std::unique_ptr<TForm> form_;
  std::size_t windows_ = 0;
  std::size_t dcs_ = 0;
};

// --- alignment and anchors -------------------------------------------------------

TEST_F(ControlTest, AlignedChildrenShareTheClientAreaInAlignOrder) {
  TForm& f = MakeForm(0, 0, 200, 150);
  struct Case {
    TAlign align;
    TRect start;
    TRect expected;
  };
  const Case cases[] = {
      {alClient, {5, 5, 6, 6}, {30, 10, 160, 130}},  // inserted first, still gets what is left
      {alTop, {0, 0, 10, 10}, {0, 0, 200, 10}},
      {alBottom, {0, 0, 10, 20}, {0, 130, 200, 150}},
      {alLeft, {0, 0, 30, 10}, {0, 10, 30, 130}},
      {alRight, {0, 0, 40, 10}, {160, 10, 200, 130}},
  };
  std::vector<TControl*> made;
  for (const Case& c : cases) {
    std::string name(1, 's');  // (operator+ on a literal trips a GCC 12 false -Wrestrict)
    name += std::to_string(made.size());
    TSwatch* s = Child<TSwatch>(f, name, c.start);
    s->SetAlign(c.align);
    made.push_back(s);
  }
  for (std::size_t i = 0; i < made.size(); ++i) EXPECT_EQ(made[i]->BoundsRect(), cases[i].expected) << i;
  // A hidden aligned child gives its space back.
  made[1]->Hide();
  EXPECT_EQ(made[0]->BoundsRect(), (TRect{30, 0, 160, 130}));
}

TEST_F(ControlTest, ResizeRealignsChildrenBeforeOnResize) {
  TForm& f = MakeForm(0, 0, 200, 150);
  auto* panel = Child<TPanelCtl>(f, "panel", {0, 0, 10, 10});
  panel->SetAlign(alClient);
  auto* inner = Child<TSwatch>(*panel, "inner", {0, 0, 10, 10});
  inner->SetAlign(alClient);
  ShowAndPaint();
  std::vector<TRect> seen;
  panel->OnResize = [&](TObject*) { seen.push_back(inner->BoundsRect()); };
  f.SetBounds(0, 0, 300, 220);
  EXPECT_EQ(panel->BoundsRect(), (TRect{0, 0, 300, 220}));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (TRect{0, 0, 300, 220}));
  // Moving without resizing neither realigns nor fires OnResize.
  f.SetBounds(10, 10, 300, 220);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(ControlTest, AnchorsDecideHowAChildFollowsItsParent) {
  struct Case {
    TAnchors anchors;
    TRect expected;  // child at (264, 290, 74 x 20) in 600 x 600, parent resized to 300 x 400
  };
  const Case cases[] = {
      {{akLeft, akTop}, Bounds(264, 290, 74, 20)},
      {{}, Bounds(113, 190, 74, 20)},  // the centre keeps its relative place: 301 * 300 / 600 - 37, 300 * 400 / 600 - 10
      {{akRight, akBottom}, Bounds(-36, 90, 74, 20)},
      {{akLeft, akRight, akTop}, Bounds(264, 290, 0, 20)},
      {{akLeft, akTop, akBottom}, Bounds(264, 290, 74, 0)},
  };
  for (const Case& c : cases) {
    TForm& f = MakeForm(0, 0, 600, 600);
    auto* panel = Child<TPanelCtl>(f, "panel", {0, 0, 600, 600});
    auto* button = Child<TPanelCtl>(*panel, "button", Bounds(264, 290, 74, 20));
    button->SetAnchors(c.anchors);
    panel->SetBounds(0, 0, 300, 400);
    EXPECT_EQ(button->BoundsRect(), c.expected) << c.anchors.Bits();
    // Growing back restores the original place.
    panel->SetBounds(0, 0, 600, 600);
    EXPECT_EQ(button->BoundsRect(), Bounds(264, 290, 74, 20)) << c.anchors.Bits();
    form_.reset();
  }
}

TEST_F(ControlTest, AlignmentWaitsWhileDisabled) {
  TForm& f = MakeForm(0, 0, 200, 150);
  auto* s = Child<TSwatch>(f, "s", {5, 5, 10, 10});
  f.DisableAlign();
  s->SetAlign(alClient);
  EXPECT_EQ(s->BoundsRect(), (TRect{5, 5, 10, 10}));
  f.EnableAlign();
  EXPECT_EQ(s->BoundsRect(), (TRect{0, 0, 200, 150}));
}

// --- child list ------------------------------------------------------------------

TEST_F(ControlTest, ControlChangeIsSentOnInsertAndBeforeRemoval) {
  TForm& f = MakeForm();
  auto* s = Child<TSwatch>(f, "swatch", {0, 0, 10, 10});
  auto* p = Child<TPanelCtl>(f, "panel", {0, 0, 10, 10});
  s->SetParent(nullptr);
  p->SetParent(nullptr);
  const Log expected = {"form: insert swatch listed", "form: insert panel listed", "form: remove swatch listed",
                        "form: remove panel listed"};
  EXPECT_EQ(log_, expected);
  EXPECT_EQ(f.ControlCount(), 0);
  EXPECT_EQ(s->Parent(), nullptr);
  TComponent::Destroy(s);
  TComponent::Destroy(p);
}

TEST_F(ControlTest, MisuseGivesClearErrors) {
  TForm& f = MakeForm();
  auto* p = Child<TPanelCtl>(f, "panel", {0, 0, 10, 10});
  EXPECT_THROW(f.SetParent(p), EInvalidOperation);  // a child as parent
  EXPECT_THROW(p->SetParent(p), EInvalidOperation);
  EXPECT_EQ(p->Parent(), &f);
  EXPECT_THROW((void)f.Controls(1), EListError);
  EXPECT_THROW((void)f.Controls(-1), EListError);
  // A windowless control has nothing to draw on without a parent.
  auto* loose = TComponent::MakeOwned<TSwatch>(&f, "loose", &log_);
  EXPECT_THROW(loose->Canvas().FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW((void)loose->ClientToScreen({0, 0}), EInvalidOperation);
}

TEST_F(ControlTest, TabOrderIsThePlaceAmongWindowedSiblings) {
  TForm& f = MakeForm();
  auto* a = Child<TPanelCtl>(f, "a", {0, 0, 5, 5});
  Child<TSwatch>(f, "g", {0, 0, 5, 5});  // windowless: not in the tab order
  auto* b = Child<TPanelCtl>(f, "b", {0, 0, 5, 5});
  auto* c = Child<TPanelCtl>(f, "c", {0, 0, 5, 5});
  EXPECT_EQ((std::vector<int>{a->TabOrder(), b->TabOrder(), c->TabOrder()}), (std::vector<int>{0, 1, 2}));
  c->SetTabOrder(0);
  EXPECT_EQ((std::vector<int>{a->TabOrder(), b->TabOrder(), c->TabOrder()}), (std::vector<int>{1, 2, 0}));
  a->SetTabOrder(99);  // beyond the end: last
  EXPECT_EQ((std::vector<int>{a->TabOrder(), b->TabOrder(), c->TabOrder()}), (std::vector<int>{2, 1, 0}));
  c->SetParent(nullptr);
  EXPECT_EQ((std::vector<int>{a->TabOrder(), b->TabOrder()}), (std::vector<int>{1, 0}));
  // An order given while loading waits for the siblings.
  f.SetLoading(true);
  a->SetLoading(true);
  a->SetTabOrder(0);
  a->Loaded();
  f.Loaded();
  EXPECT_EQ((std::vector<int>{a->TabOrder(), b->TabOrder()}), (std::vector<int>{0, 1}));
  TComponent::Destroy(c);
}

TEST_F(ControlTest, WindowsComeAndGoWithoutLeaks) {
  {
    TForm& f = MakeForm();
    auto* p = Child<TPanelCtl>(f, "panel", {10, 10, 50, 50});
    Child<TPanelCtl>(*p, "inner", {1, 1, 5, 5});
    Child<TSwatch>(*p, "swatch", {1, 1, 5, 5});
    ShowAndPaint();
    EXPECT_TRUE(p->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(p->Handle()));
    EXPECT_EQ(FindControl(p->Handle()), p);
    EXPECT_EQ(LiveHandleCount(HandleKind::Window), windows_ + 3);
    // Taking a windowed child out destroys its windows (its own child too).
    p->SetParent(nullptr);
    EXPECT_FALSE(p->HandleAllocated());
    EXPECT_EQ(LiveHandleCount(HandleKind::Window), windows_ + 1);
    p->SetParent(&f);
    EXPECT_EQ(LiveHandleCount(HandleKind::Window), windows_ + 3);
    f.Hide();
    EXPECT_FALSE(p->Showing());
    form_.reset();  // destroys the children with their windows
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), windows_);
}

TEST_F(ControlTest, DestroyedWindowIsForgottenByItsControl) {
  TForm& f = MakeForm();
  auto* p = Child<TPanelCtl>(f, "panel", {10, 10, 50, 50});
  ShowAndPaint();
  HWND h = f.Handle();
  DestroyWindow(h);  // the window system takes the children's windows along
  EXPECT_FALSE(f.HandleAllocated());
  EXPECT_FALSE(p->HandleAllocated());
  EXPECT_EQ(FindControl(h), nullptr);
}

// --- painting --------------------------------------------------------------------

TEST_F(ControlTest, ParentPaintsGraphicChildrenUnderWindowedOnes) {
  TForm& f = MakeForm(100, 100, 200, 150);
  Child<TSwatch>(f, "low", {20, 20, 80, 60}, clRed);
  Child<TSwatch>(f, "high", {60, 40, 120, 100}, clYellow);
  Child<TPanelCtl>(f, "win", {100, 10, 150, 50}, clBlue);
  ShowAndPaint();
  const auto at = [](int x, int y) { return desktop::ScreenPixel(100 + x, 100 + y); };
  EXPECT_EQ(at(30, 30), RGB(255, 0, 0));      // low alone
  EXPECT_EQ(at(70, 50), RGB(255, 255, 0));    // high over low
  EXPECT_EQ(at(110, 45), RGB(0, 0, 255));     // the windowed child over high
  EXPECT_EQ(at(20, 20), RGB(0, 0, 0));        // each child's origin at its top-left
  EXPECT_EQ(at(60, 40), RGB(0, 0, 0));
  EXPECT_EQ(at(19, 30), RGB(255, 255, 255));  // nothing leaks past a child's rectangle
  EXPECT_EQ(at(30, 60), RGB(255, 255, 255));
  EXPECT_EQ(at(125, 70), RGB(255, 255, 255));
}

TEST_F(ControlTest, MovingAndRestackingGraphicChildrenRepaintsTheParent) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* low = Child<TSwatch>(f, "low", {20, 20, 80, 60}, clRed);
  auto* high = Child<TSwatch>(f, "high", {60, 40, 120, 100}, clYellow);
  ShowAndPaint();
  low->BringToFront();
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(170, 150), RGB(255, 0, 0));
  high->BringToFront();
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(170, 150), RGB(255, 255, 0));
  low->SendToBack();  // already at the back: nothing changes
  high->SetBounds(130, 100, 60, 40);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(170, 150), RGB(255, 0, 0));     // uncovered at the old place
  EXPECT_EQ(desktop::ScreenPixel(215, 190), RGB(255, 255, 255));  // the old area is cleaned
  EXPECT_EQ(desktop::ScreenPixel(235, 205), RGB(255, 255, 0));    // drawn at the new place
  high->Hide();
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(235, 205), RGB(255, 255, 255));
}

class BufferDC {
 public:
  BufferDC(int w, int h, COLORREF fill) : dc_(CreateCompatibleDC(nullptr)), bmp_(CreateBitmap(w, h, 1, 32, nullptr)) {
    old_ = SelectObject(dc_, bmp_);
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dc_, TRect{0, 0, w, h}, b);
    DeleteBrush(b);
  }
  ~BufferDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteBitmap(bmp_);
  }
  BufferDC(const BufferDC&) = delete;
  BufferDC& operator=(const BufferDC&) = delete;
  [[nodiscard]] HDC dc() const { return dc_; }
  [[nodiscard]] COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

TEST_F(ControlTest, PaintMessageWithBufferRendersGraphicChildrenIntoIt) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* low = Child<TSwatch>(f, "low", {20, 20, 80, 60}, clRed);
  Child<TSwatch>(f, "high", {60, 40, 120, 100}, clYellow);
  Child<TPanelCtl>(f, "win", {100, 10, 150, 50}, clBlue);
  auto* hidden = Child<TSwatch>(f, "hidden", {0, 100, 30, 130}, clLime);
  hidden->Hide();
  ShowAndPaint();
  const COLORREF magenta = RGB(255, 0, 255);
  {
    BufferDC buf(200, 150, magenta);
    f.Perform(WM_PAINT, reinterpret_cast<WPARAM>(buf.dc()), 0);
    EXPECT_EQ(buf.at(30, 30), RGB(255, 0, 0));
    EXPECT_EQ(buf.at(70, 50), RGB(255, 255, 0));
    EXPECT_EQ(buf.at(20, 20), RGB(0, 0, 0));
    EXPECT_EQ(buf.at(110, 45), RGB(255, 255, 0));  // windowed children are not in the buffer
    EXPECT_EQ(buf.at(5, 110), magenta);            // hidden children neither
    EXPECT_EQ(buf.at(19, 30), magenta);            // clipped to each child
    EXPECT_EQ(buf.at(130, 30), magenta);
  }
  {
    // PaintControls from a given child on: the earlier ones stay unpainted.
    BufferDC buf(200, 150, magenta);
    f.PaintControls(buf.dc(), f.Controls(1));
    EXPECT_EQ(buf.at(30, 30), magenta);
    EXPECT_EQ(buf.at(70, 50), RGB(255, 255, 0));
    f.PaintControls(buf.dc(), low);
    EXPECT_EQ(buf.at(30, 30), RGB(255, 0, 0));
  }
}

TEST_F(ControlTest, GraphicCanvasOutsidePaintDrawsOnParentAtTheControl) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* s = Child<TSwatch>(f, "s", {50, 50, 70, 60});
  ShowAndPaint();
  const std::size_t dcs = LiveHandleCount(HandleKind::DC);
  s->Canvas().Brush().SetColor(clGreen);
  s->Canvas().FillRect(Rect(-10, -10, 100, 100));
  EXPECT_EQ(desktop::ScreenPixel(150, 150), RGB(0, 128, 0));
  EXPECT_EQ(desktop::ScreenPixel(169, 159), RGB(0, 128, 0));
  EXPECT_EQ(desktop::ScreenPixel(170, 155), RGB(255, 255, 255));
  EXPECT_EQ(desktop::ScreenPixel(149, 155), RGB(255, 255, 255));
  // A windowed control's canvas draws on its own window.
  auto* p = Child<TPanelCtl>(f, "p", {100, 20, 140, 40});
  p->Canvas().Brush().SetColor(clBlue);
  p->Canvas().FillRect(Rect(-10, -10, 100, 100));
  EXPECT_EQ(desktop::ScreenPixel(200, 120), RGB(0, 0, 255));
  EXPECT_EQ(desktop::ScreenPixel(239, 139), RGB(0, 0, 255));
  EXPECT_EQ(desktop::ScreenPixel(240, 139), RGB(255, 255, 255));
  FreeDeviceContexts();
  EXPECT_EQ(LiveHandleCount(HandleKind::DC), dcs);
}

// --- pointer -----------------------------------------------------------------------

TEST_F(ControlTest, ReleaseInsideClicksBeforeMouseUpAndOutsideDoesNot) {
  for (bool windowed : {false, true}) {
    log_.clear();
    TForm& f = MakeForm(100, 100, 200, 150);
    TControl* target = nullptr;
    if (windowed) {
      auto* p = Child<TPanelCtl>(f, "t", {40, 40, 80, 70});
      p->CheckCaptureInClick = true;
      target = p;
    } else {
      auto* s = Child<TSwatch>(f, "t", {40, 40, 80, 70});
      s->CheckCaptureInClick = true;
      target = s;
    }
    ShowAndPaint();
    desktop::MoveMouse(150, 150);
    desktop::PressMouse(desktop::MouseButton::Left);
    desktop::Pump();
    EXPECT_EQ(GetCaptureControl(), target) << windowed;
    EXPECT_TRUE(target->MouseCapture());
    desktop::ReleaseMouse(desktop::MouseButton::Left);
    desktop::Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    const Log inside = {"t: down 10,10", "t: click", "t: up 10,10"};
    EXPECT_EQ(log_, inside) << windowed;
    if (windowed) EXPECT_FALSE(static_cast<TPanelCtl*>(target)->CaptureSeenInClick);
    else EXPECT_FALSE(static_cast<TSwatch*>(target)->CaptureSeenInClick);

    // Pressed inside, released outside (the capture keeps the messages coming).
    log_.clear();
    desktop::AdvanceClock(2000);  // a new press, not a double click
    desktop::PressMouse(desktop::MouseButton::Left);
    desktop::Pump();
    desktop::MoveMouse(120, 125);
    desktop::ReleaseMouse(desktop::MouseButton::Left);
    desktop::Pump();
    const Log outside = {"t: down 10,10", "t: up -20,-15"};
    EXPECT_EQ(log_, outside) << windowed;
    form_.reset();
  }
}

TEST_F(ControlTest, ControlWithoutClickEventsNeverClicks) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* s = Child<TSwatch>(f, "t", {40, 40, 80, 70});
  s->SetControlStyle(s->ControlStyle() - TControlStyle{csClickEvents, csCaptureMouse});
  ShowAndPaint();
  desktop::Click(150, 150);
  desktop::Pump();
  const Log expected = {"t: down 10,10", "t: up 10,10"};
  EXPECT_EQ(log_, expected);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlTest, DoubleClickClicksOnceUnlessTheControlTakesNoDoubleClicks) {
  struct Case {
    bool windowed;
    bool doubleClicks;
    Log expected;
  };
  const Log asDouble = {"t: down 10,10", "t: click", "t: up 10,10", "t: dblclick", "t: double down 10,10", "t: up 10,10"};
  const Log asTwo = {"t: down 10,10", "t: click", "t: up 10,10", "t: down 10,10", "t: click", "t: up 10,10"};
  const Case cases[] = {{false, true, asDouble}, {false, false, asTwo}, {true, true, asDouble}, {true, false, asTwo}};
  for (const Case& c : cases) {
    TForm& f = MakeForm(100, 100, 200, 150);
    TControl* t = c.windowed ? static_cast<TControl*>(Child<TPanelCtl>(f, "t", {40, 40, 80, 70}))
                             : static_cast<TControl*>(Child<TSwatch>(f, "t", {40, 40, 80, 70}));
    if (!c.doubleClicks) t->SetControlStyle(t->ControlStyle() - TControlStyle{csDoubleClicks});
    ShowAndPaint();
    desktop::Click(150, 150);
    desktop::Click(150, 150);
    desktop::Pump();
    EXPECT_EQ(log_, c.expected) << c.windowed << c.doubleClicks;
    form_.reset();
  }
}

TEST_F(ControlTest, EnterAndLeavePassUpToTheParentNamingTheChild) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* panel = Child<TPanelCtl>(f, "panel", {20, 20, 120, 120});
  Child<TSwatch>(*panel, "swatch", {10, 10, 40, 40});
  ShowAndPaint();
  const auto moveTo = [](int x, int y) {
    desktop::MoveMouse(x, y);
    desktop::Pump();
    DoMouseIdle();
  };
  moveTo(110, 110);  // form
  moveTo(125, 125);  // panel
  moveTo(135, 135);  // swatch on the panel
  moveTo(110, 110);  // back to the form
  const Log expected = {
      "form: enter(-)",
      "form: leave(-)", "panel: enter(-)", "form: enter(panel)",
      "panel: leave(-)", "form: leave(panel)", "swatch: enter(-)", "panel: enter(swatch)", "form: enter(panel)",
      "swatch: leave(-)", "panel: leave(swatch)", "form: leave(panel)", "form: enter(-)",
  };
  EXPECT_EQ(log_, expected);
  // Staying put sends nothing.
  log_.clear();
  DoMouseIdle();
  EXPECT_TRUE(log_.empty());
}

TEST_F(ControlTest, EnterAndLeaveRespectTheCapture) {
  TForm& f = MakeForm(100, 100, 200, 150);
  Child<TSwatch>(f, "a", {10, 10, 50, 50});
  Child<TSwatch>(f, "b", {60, 10, 100, 50});
  ShowAndPaint();
  desktop::MoveMouse(120, 120);
  desktop::Pump();
  DoMouseIdle();
  desktop::PressMouse(desktop::MouseButton::Left);  // a captures
  desktop::Pump();
  log_.clear();
  desktop::MoveMouse(170, 120);  // over b while a holds the capture
  desktop::Pump();
  DoMouseIdle();
  // a, holding the capture, hears that it was left; b hears nothing.
  const Log expected = {"a: leave(-)", "form: leave(a)"};
  EXPECT_EQ(log_, expected);
  log_.clear();
  desktop::ReleaseMouse(desktop::MouseButton::Left);
  desktop::Pump();
  DoMouseIdle();
  // b is already the control last found: no late enter.
  const Log after = {"a: up 60,10"};
  EXPECT_EQ(log_, after);
}

TEST_F(ControlTest, DestroyedControlIsNotTrackedAnyMore) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* s = Child<TSwatch>(f, "s", {10, 10, 50, 50});
  ShowAndPaint();
  desktop::MoveMouse(120, 120);
  desktop::Pump();
  DoMouseIdle();
  EXPECT_EQ(MouseIdleControl(), s);
  TComponent::Destroy(s);
  EXPECT_EQ(MouseIdleControl(), nullptr);
  log_.clear();
  DoMouseIdle();  // no leave to the destroyed control
  const Log expected = {"form: enter(-)"};
  EXPECT_EQ(log_, expected);
}

TEST_F(ControlTest, FindDragTargetRespectsRegionsAndDisabledChildren) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* under = Child<TSwatch>(f, "under", {0, 0, 100, 100});
  auto* shaped = Child<TPanelCtl>(f, "shaped", {0, 0, 100, 100});
  auto* off = Child<TSwatch>(f, "off", {150, 100, 190, 140});
  off->SetEnabled(false);
  ShowAndPaint();
  SetWindowRgn(shaped->Handle(), CreateRectRgn(0, 0, 50, 100), TRUE);
  EXPECT_EQ(FindDragTarget({120, 120}, false), shaped);  // inside the region
  EXPECT_EQ(FindDragTarget({170, 120}, false), under);   // outside it: what lies below
  EXPECT_EQ(FindDragTarget({270, 220}, false), &f);
  EXPECT_EQ(FindDragTarget({270, 220}, true), off);
  EXPECT_EQ(FindDragTarget({10, 10}, true), nullptr);    // no control there
  EXPECT_EQ(FindVCLWindow({170, 120}), &f);
}

TEST_F(ControlTest, DesigningControlCountsAsNoneForEnterAndLeave) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* s = Child<TSwatch>(f, "s", {10, 10, 50, 50});
  s->SetDesigning(true);
  ShowAndPaint();
  desktop::MoveMouse(120, 120);
  desktop::Pump();
  DoMouseIdle();
  EXPECT_EQ(MouseIdleControl(), nullptr);
  EXPECT_TRUE(log_.empty());
}

TEST_F(ControlTest, RecreatedWindowOfAShownControlComesBackOnScreen) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* p = Child<TPanelCtl>(f, "panel", {10, 10, 50, 50}, clBlue);
  ShowAndPaint();
  p->DestroyHandle();
  EXPECT_FALSE(p->Showing());
  EXPECT_TRUE(IsWindowVisible(p->Handle()));  // made on demand, shown with its parent
  EXPECT_TRUE(p->Showing());
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(120, 120), RGB(0, 0, 255));
}

class TThrowing : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void MouseDown(TMouseButton, TShiftState, int, int) override { throw EInvalidOperation("pressed"); }
};

TEST_F(ControlTest, ExceptionFromAHandlerGoesToTheInstalledHandler) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* t = TComponent::MakeOwned<TThrowing>(&f);
  t->SetBounds(0, 0, 50, 50);
  t->SetParent(&f);
  ShowAndPaint();
  std::vector<std::string> caught;
  SetControlExceptionHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const Exception& x) {
      caught.push_back(x.Message());
    }
  });
  desktop::Click(110, 110);
  desktop::Pump();
  SetControlExceptionHandler(nullptr);
  EXPECT_EQ(caught, std::vector<std::string>{"pressed"});
  EXPECT_EQ(GetCapture(), nullptr);  // the release still came through
}

// --- messages --------------------------------------------------------------------------

TEST(IsAccelTest, MatchesTheMarkedCharacterIgnoringCase) {
  struct Case {
    unsigned vk;
    const char* caption;
    bool expected;
  };
  const Case cases[] = {
      {'O', "&Open", true}, {'o', "&Open", true}, {'P', "&Open", false}, {'P', "O&pen", true},
      {'O', "Open", false}, {'O', "&&Open", false}, {'O', "&&&Open", true}, {'&', "A&&", false},
      {'X', "", false},     {'X', "&", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsAccel(c.vk, c.caption), c.expected) << c.caption << " " << c.vk;
}

class TAccelSwatch : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int Hits = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_DIALOGCHAR && IsAccel(CharCode(m), Caption())) {
      ++Hits;
      m.Result = 1;
      return;
    }
    TGraphicControl::Dispatch(m);
  }
};

TEST_F(ControlTest, BroadcastStopsAtTheFirstControlThatAnswers) {
  TForm& f = MakeForm();
  std::vector<TAccelSwatch*> s;
  for (const char* caption : {"&Alpha", "&Beta", "&Bravo"}) {
    s.push_back(TComponent::MakeOwned<TAccelSwatch>(&f));
    s.back()->SetCaption(caption);
    s.back()->SetParent(&f);
  }
  EXPECT_EQ(f.Perform(CM_DIALOGCHAR, 'b', 0), 1);
  EXPECT_EQ(s[1]->Hits, 1);
  EXPECT_EQ(s[2]->Hits, 0);
  EXPECT_EQ(f.Perform(CM_DIALOGCHAR, 'z', 0), 0);
}

TEST_F(ControlTest, ParentColorAndFontReachChildrenThatFollowThem) {
  TForm& f = MakeForm();
  auto* follows = Child<TSwatch>(f, "follows", {0, 0, 5, 5});
  auto* own = Child<TSwatch>(f, "own", {0, 0, 5, 5});
  own->SetColor(clLime);
  EXPECT_EQ(follows->Color(), clWhite);
  f.SetColor(clNavy);
  f.Font().SetHeight(-20);
  EXPECT_EQ(follows->Color(), clNavy);
  EXPECT_TRUE(follows->ParentColor());
  EXPECT_EQ(follows->Font().Height(), -20);
  EXPECT_EQ(own->Color(), clLime);
  EXPECT_FALSE(own->ParentColor());
  // Setting the colour it already has keeps a child following its parent.
  follows->SetColor(clNavy);
  EXPECT_TRUE(follows->ParentColor());
  f.SetShowHint(true);
  EXPECT_TRUE(follows->ShowHint());
  EXPECT_TRUE(follows->ParentShowHint());
}

}  // namespace
}  // namespace bellcut

namespace bellcut {
namespace {

// Outside a paint, a windowless control's canvas takes its parent's DC and
// moves the origin to the control: counted from the parent's client area,
// also when that parent is a child window away from the form's corner.
TEST_F(ControlTest, GraphicCanvasOnANestedParentDrawsAtTheControl) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* panel = Child<TPanelCtl>(f, "panel", {30, 20, 150, 120}, clWhite);
  auto* s = Child<TSwatch>(*panel, "s", {10, 10, 30, 25});
  ShowAndPaint();
  s->Canvas().Brush().SetColor(clGreen);
  s->Canvas().FillRect(Rect(-10, -10, 100, 100));
  EXPECT_EQ(desktop::ScreenPixel(140, 130), RGB(0, 128, 0));  // form + panel + control
  EXPECT_EQ(desktop::ScreenPixel(159, 144), RGB(0, 128, 0));
  EXPECT_EQ(desktop::ScreenPixel(160, 144), RGB(255, 255, 255));
  EXPECT_EQ(desktop::ScreenPixel(139, 130), RGB(255, 255, 255));
  EXPECT_EQ(desktop::ScreenPixel(110, 110), RGB(255, 255, 255)) << "drawn at the form's corner instead";
  FreeDeviceContexts();
}

// Windowless children placed at the far ends of the coordinate range are
// off every surface: painting the parent and drawing on their canvases
// show nothing of them anywhere.
TEST_F(ControlTest, FarAwayGraphicChildrenPaintNothing) {
  TForm& f = MakeForm(100, 100, 200, 150);
  std::vector<TSwatch*> far;
  for (int at : {INT_MAX - 10, INT_MIN + 10, 1 << 30, -(1 << 30)}) {
    far.push_back(Child<TSwatch>(f, "far", {0, 0, 20, 20}, clRed));
    far.back()->SetBounds(at, at, 20, 20);
  }
  ShowAndPaint();
  for (TSwatch* s : far) {
    s->Canvas().Brush().SetColor(clRed);
    s->Canvas().FillRect(Rect(0, 0, 20, 20));
  }
  FreeDeviceContexts();
  for (int y = 100; y < 250; y += 7)
    for (int x = 100; x < 300; x += 7) ASSERT_EQ(desktop::ScreenPixel(x, y), RGB(255, 255, 255)) << x << "," << y;
}

}  // namespace
}  // namespace bellcut

namespace bellcut {
namespace {

// Positions set through SetBounds stay within ±kMaxControlCoord and sizes
// within 0 .. kMaxControlCoord, so that client origins summed along a chain
// of parents and bounds rectangles cannot overflow.
TEST_F(ControlTest, ExtremeBoundsAreClampedSoOriginArithmeticStaysInRange) {
  TForm& f = MakeForm(100, 100, 200, 150);
  auto* panel = Child<TPanelCtl>(f, "panel", {0, 0, 50, 50});
  auto* swatch = Child<TSwatch>(*panel, "swatch", {0, 0, 10, 10});
  ShowAndPaint();
  constexpr int M = kMaxControlCoord;
  struct Case {
    int left, top, width, height;
    TRect expected;
  };
  const Case cases[] = {
      {INT_MAX, INT_MIN, INT_MAX, INT_MIN, Bounds(M, -M, M, 0)},
      {INT_MIN, INT_MAX, -1, 5, Bounds(-M, M, 0, 5)},
      {M + 1, -M - 1, M + 1, 7, Bounds(M, -M, M, 7)},
      {M, -M, 20, 30, Bounds(M, -M, 20, 30)},
      {12, -34, 56, 78, Bounds(12, -34, 56, 78)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.left << "," << c.top << " " << c.width << "x" << c.height);
    swatch->SetBounds(c.left, c.top, c.width, c.height);
    EXPECT_EQ(swatch->BoundsRect(), c.expected);
    // Both the windowed parent and the windowless child, nested: every sum
    // below would overflow with the unclamped values.
    panel->SetBounds(c.left, c.top, 50, 50);
    const TPoint origin = swatch->ClientOrigin();
    EXPECT_EQ(origin, panel->ClientOrigin() + (TPoint{c.expected.Left, c.expected.Top}));
    EXPECT_EQ(swatch->ScreenToClient(swatch->ClientToScreen({3, 4})), (TPoint{3, 4}));
    swatch->Invalidate();
    desktop::MoveMouse(150, 150);
    desktop::Pump();
  }
  // Windowed controls agree with their window.
  panel->SetBounds(INT_MIN, INT_MAX, 50, 50);
  TRect wr;
  GetWindowRect(panel->Handle(), &wr);
  TPoint tl{wr.Left, wr.Top};
  ScreenToClient(f.Handle(), &tl);
  EXPECT_EQ(tl, (TPoint{panel->Left(), panel->Top()}));
  EXPECT_EQ(tl, (TPoint{-M, M}));
}

}  // namespace
}  // namespace bellcut
