// Input: hit testing through regions, mouse messages and their
// coordinates, capture, double clicks, key state, focus, the close button.
#include "platform/gdi/RegionApi.h"
#include "windowing/WindowingFixture.h"

namespace bellcut::test {
namespace {

using InputTest = WindowingTest;
using desktop::MouseButton;

// Parent 200 x 200 at (100, 100); child (20, 20)-(120, 120) cut to its left
// half; a hidden child and a disabled child side by side below it.
struct HitScene {
  HWND parent, shaped, hidden, disabled;
};

class HitTest : public InputTest {
 protected:
  HitScene Build() {
    HitScene s;
    s.parent = TopLevel(Bounds(100, 100, 200, 200), 0);
    s.shaped = Child(s.parent, Rect(20, 20, 120, 120), 0);
    SetWindowRgn(s.shaped, CreateRectRgn(0, 0, 50, 100), TRUE);
    s.hidden = Child(s.parent, Rect(20, 150, 60, 190), 0);
    ShowWindow(s.hidden, SW_HIDE);
    s.disabled = Child(s.parent, Rect(100, 150, 140, 190), 0);
    EnableWindow(s.disabled, FALSE);
    return s;
  }
};

TEST_F(HitTest, WindowFromPointHonoursRegionsVisibilityAndEnabling) {
  const HitScene s = Build();
  HWND shapedTop = TopLevel(Bounds(250, 250, 100, 100), 0);
  SetWindowRgn(shapedTop, CreateRectRgn(50, 50, 100, 100), TRUE);
  struct Case {
    TPoint screen;
    HWND expected;
  } cases[] = {
      {{130, 130}, s.shaped},      // inside the child's region
      {{190, 130}, s.parent},      // in the child's rectangle, outside its region
      {{130, 260}, s.parent},      // over the hidden child
      {{210, 260}, s.parent},      // over the disabled child
      {{260, 260}, s.parent},      // outside the upper top-level window's region
      {{320, 320}, shapedTop},     // inside it
      {{99, 99}, nullptr},         // the bare desktop
  };
  for (const Case& c : cases) EXPECT_EQ(WindowFromPoint(c.screen), c.expected) << c.screen.X << "," << c.screen.Y;

  EXPECT_EQ(ChildWindowFromPoint(s.parent, {30, 160}), s.hidden);  // not skipped without flags
  EXPECT_EQ(ChildWindowFromPointEx(s.parent, {30, 160}, CWP_SKIPINVISIBLE), s.parent);
  EXPECT_EQ(ChildWindowFromPoint(s.parent, {110, 160}), s.disabled);
  EXPECT_EQ(ChildWindowFromPointEx(s.parent, {110, 160}, CWP_SKIPDISABLED), s.parent);
  EXPECT_EQ(ChildWindowFromPoint(s.parent, {90, 30}), s.parent);  // outside the child's region
  EXPECT_EQ(ChildWindowFromPoint(s.parent, {250, 30}), nullptr);
}

TEST_F(HitTest, ClicksGoWhereHitTestingSays) {
  const HitScene s = Build();
  desktop::Pump();
  log.clear();
  desktop::Click(130, 140);  // the shaped child, client (10, 20)
  desktop::Click(190, 130);  // outside its region: the parent, client (90, 30)
  desktop::Click(210, 260);  // over the disabled child: the parent
  desktop::Pump();
  std::vector<std::tuple<HWND, UINT, int, int>> downs;
  for (const auto& r : log)
    if (r.message == WM_LBUTTONDOWN) downs.emplace_back(r.hwnd, r.message, GET_X_LPARAM(r.lParam), GET_Y_LPARAM(r.lParam));
  const std::vector<std::tuple<HWND, UINT, int, int>> expected{
      {s.shaped, WM_LBUTTONDOWN, 10, 20}, {s.parent, WM_LBUTTONDOWN, 90, 30}, {s.parent, WM_LBUTTONDOWN, 110, 160}};
  EXPECT_EQ(downs, expected);
  for (UINT m : MessagesOf(s.disabled)) EXPECT_FALSE(m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) << m;
}

TEST_F(InputTest, CaptureTakenOnPressGovernsLaterQueuedInput) {
  HWND a = TopLevel(Bounds(0, 0, 100, 100), 0);
  HWND b = TopLevel(Bounds(200, 0, 100, 100), 0);
  std::vector<std::tuple<HWND, UINT, int, int>> mouse;
  std::vector<LPARAM> captureChanged;
  SetWindowProc(a, [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_LBUTTONDOWN) SetCapture(h);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    if (m == WM_CAPTURECHANGED) captureChanged.push_back(l);
    if (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) mouse.emplace_back(h, m, GET_X_LPARAM(l), GET_Y_LPARAM(l));
    return DefWindowProc(h, m, w, l);
  });
  SetWindowProc(b, [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) mouse.emplace_back(h, m, GET_X_LPARAM(l), GET_Y_LPARAM(l));
    return DefWindowProc(h, m, w, l);
  });
  desktop::Pump();
  // All of it is queued before the loop runs: the press must set the
  // capture before the moves are given a target.
  desktop::MoveMouse(50, 50);
  desktop::PressMouse(MouseButton::Left);
  desktop::MoveMouse(250, 50);   // over b, but a holds the capture
  desktop::MoveMouse(-10, -20);  // beyond a's left and top edges
  desktop::ReleaseMouse(MouseButton::Left);
  desktop::MoveMouse(260, 60);   // capture released: b again
  desktop::Pump();
  const std::vector<std::tuple<HWND, UINT, int, int>> expected{
      {a, WM_MOUSEMOVE, 50, 50},  {a, WM_LBUTTONDOWN, 50, 50}, {a, WM_MOUSEMOVE, 250, 50},
      {a, WM_MOUSEMOVE, -10, -20}, {a, WM_LBUTTONUP, -10, -20}, {b, WM_MOUSEMOVE, 60, 60}};
  EXPECT_EQ(mouse, expected);
  EXPECT_EQ(captureChanged, (std::vector<LPARAM>{0}));
  EXPECT_EQ(GetCapture(), nullptr);

  // Taking the capture from another window tells the old holder who took it.
  SetCapture(a);
  SetCapture(b);
  EXPECT_EQ(captureChanged.back(), reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(GetCapture(), b);
  DestroyWindow(b);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, DoubleClicksByTimeDistanceButtonAndClass) {
  struct Case {
    const char* name;
    UINT classStyle;
    std::uint64_t gap;  // ms between the two presses
    int dx;
    MouseButton first, second;
    UINT expectedFirst, expectedSecond;
  } cases[] = {
      {"quick, same place", CS_DBLCLKS, 100, 0, MouseButton::Left, MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK},
      {"at the time limit", CS_DBLCLKS, 500, 0, MouseButton::Left, MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK},
      {"too slow", CS_DBLCLKS, 501, 0, MouseButton::Left, MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONDOWN},
      {"2 pixels away", CS_DBLCLKS, 100, 2, MouseButton::Left, MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK},
      {"3 pixels away", CS_DBLCLKS, 100, 3, MouseButton::Left, MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONDOWN},
      {"other button", CS_DBLCLKS, 100, 0, MouseButton::Left, MouseButton::Right, WM_LBUTTONDOWN, WM_RBUTTONDOWN},
      {"right twice", CS_DBLCLKS, 100, 0, MouseButton::Right, MouseButton::Right, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK},
      {"class without double clicks", 0, 100, 0, MouseButton::Left, MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONDOWN},
  };
  for (const Case& c : cases) {
    ResetDesktop(DesktopOptions{800, 600, false});
    log.clear();
    CreateParams p;
    p.Style = WS_POPUP | WS_VISIBLE;
    p.ClassStyle = c.classStyle;
    p.Width = 100;
    p.Height = 100;
    p.WndProc = Recorder(0);
    HWND h = CreateWindowEx(p);
    desktop::Click(50, 50, c.first);
    desktop::AdvanceClock(c.gap);
    desktop::Click(50 + c.dx, 50, c.second);
    desktop::Pump();
    std::vector<UINT> presses;
    for (UINT m : MessagesOf(h))
      if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDOWN || m == WM_RBUTTONDBLCLK)
        presses.push_back(m);
    EXPECT_EQ(presses, (std::vector<UINT>{c.expectedFirst, c.expectedSecond})) << c.name;
  }
}

TEST_F(InputTest, ThirdQuickClickStartsAFreshPair) {
  CreateParams p;
  p.Style = WS_POPUP | WS_VISIBLE;
  p.ClassStyle = CS_DBLCLKS;
  p.Width = 100;
  p.Height = 100;
  p.WndProc = Recorder(0);
  HWND h = CreateWindowEx(p);
  for (int i = 0; i < 4; ++i) desktop::Click(10, 10);
  desktop::Pump();
  std::vector<UINT> presses;
  for (UINT m : MessagesOf(h))
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) presses.push_back(m);
  EXPECT_EQ(presses, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
}

TEST_F(InputTest, KeyStateFollowsRetrievedInput) {
  HWND h = TopLevel(Bounds(0, 0, 100, 100), 0);
  desktop::Pump();
  SetFocus(h);
  desktop::PressKey(VK_SHIFT);
  desktop::MoveMouse(10, 10);
  desktop::PressMouse(MouseButton::Left);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);  // not retrieved yet
  log.clear();
  desktop::Pump();
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
  auto down = std::find_if(log.begin(), log.end(), [](const Received& r) { return r.message == WM_LBUTTONDOWN; });
  ASSERT_NE(down, log.end());
  EXPECT_EQ(down->wParam, WPARAM{MK_LBUTTON | MK_SHIFT});
  desktop::ReleaseMouse(MouseButton::Left);
  desktop::ReleaseKey(VK_SHIFT);
  desktop::Pump();
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  TPoint cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor, (TPoint{10, 10}));
}

TEST_F(InputTest, KeyboardGoesToTheFocusedWindow) {
  HWND a = TopLevel(Bounds(0, 0, 100, 100), 0);
  HWND b = Child(a, Rect(0, 0, 10, 10), 0);
  desktop::Pump();
  desktop::TypeText("x");  // no focus: dropped
  desktop::Pump();
  EXPECT_EQ(Count(a, WM_CHAR) + Count(b, WM_CHAR), 0);
  EXPECT_EQ(SetFocus(a), nullptr);
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(Count(a, WM_KILLFOCUS), 1);
  EXPECT_EQ(Count(b, WM_SETFOCUS), 1);
  log.clear();
  desktop::PressKey('A');
  desktop::TypeText("ab");
  desktop::ReleaseKey('A');
  desktop::Pump();
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const auto& r : log)
    if (r.hwnd == b && r.message >= WM_KEYFIRST && r.message <= WM_KEYLAST) keys.emplace_back(r.message, r.wParam);
  const std::vector<std::pair<UINT, WPARAM>> expected{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_CHAR, 'b'}, {WM_KEYUP, 'A'}};
  EXPECT_EQ(keys, expected);
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);  // a disabled window loses the focus
}

TEST_F(InputTest, CloseButtonClosesAndCaptionDoesNot) {
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  HWND h = TopLevel(Bounds(0, 0, 206, 223), 0, style, WS_EX_TOOLWINDOW);
  desktop::Pump();
  TRect wr;
  GetWindowRect(h, &wr);
  // The close button is the square at the caption bar's right end.
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(wr.Right - 10, 10)), HTCLOSE);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(50, 10)), HTCAPTION);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(1, 100)), HTBORDER);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(50, 100)), HTCLIENT);
  desktop::Click(50, 10);
  desktop::Pump();
  EXPECT_TRUE(IsWindow(h));
  desktop::Click(wr.Right - 10, 10);
  desktop::Pump();
  EXPECT_EQ(Count(h, WM_CLOSE), 1);
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(InputTest, TransparentHitTestHandsThePointerToTheWindowBelow) {
  // Back: a top-level window; over it a second one holding two overlapping
  // children. The upper child, and the whole front window where it has no
  // child, answer HTTRANSPARENT.
  HWND back = TopLevel(Bounds(0, 0, 300, 300), 0);
  CreateParams p;
  p.Style = WS_POPUP | WS_VISIBLE;
  p.X = 50;
  p.Y = 50;
  p.Width = 200;
  p.Height = 200;
  WNDPROC record = Recorder(0);
  p.WndProc = [record](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_NCHITTEST) return HTTRANSPARENT;
    return record(h, m, w, l);
  };
  HWND front = CreateWindowEx(p);
  HWND lower = Child(front, Rect(0, 0, 100, 100), 0);
  p.Style = WS_CHILD | WS_VISIBLE;
  p.Parent = front;
  p.X = 50;
  p.Y = 50;
  p.Width = 100;
  p.Height = 100;
  HWND upper = CreateWindowEx(p);
  desktop::Pump();
  log.clear();
  desktop::Click(120, 120);  // upper over lower: lower, client (70, 70)
  desktop::Click(170, 170);  // upper alone, then the front window: back, client (170, 170)
  desktop::Click(280, 280);  // outside the front window: back
  desktop::Pump();
  std::vector<std::tuple<HWND, int, int>> downs;
  for (const auto& r : log)
    if (r.message == WM_LBUTTONDOWN) downs.emplace_back(r.hwnd, GET_X_LPARAM(r.lParam), GET_Y_LPARAM(r.lParam));
  const std::vector<std::tuple<HWND, int, int>> expected{{lower, 70, 70}, {back, 170, 170}, {back, 280, 280}};
  EXPECT_EQ(downs, expected);
  EXPECT_TRUE(MessagesOf(upper).empty());
  EXPECT_TRUE(MessagesOf(front).empty());
}

TEST_F(InputTest, CaptionDragMovesTheWindowAndTheCloseButtonStillCloses) {
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  HWND h = TopLevel(Bounds(100, 50, 206, 223), 0, style, WS_EX_TOOLWINDOW);
  SetFocus(h);
  desktop::Pump();
  const auto origin = [&] {
    TRect r;
    GetWindowRect(h, &r);
    return TPoint{r.Left, r.Top};
  };
  // Press on the caption bar, move in steps, release: the window follows.
  desktop::MoveMouse(150, 60);
  desktop::PressMouse(MouseButton::Left);
  desktop::MoveMouse(160, 65);
  desktop::MoveMouse(250, 160);
  desktop::ReleaseMouse(MouseButton::Left);
  desktop::MoveMouse(400, 400);  // after the release: no more moving
  desktop::Pump();
  EXPECT_EQ(origin(), (TPoint{200, 150}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Count(h, WM_LBUTTONUP), 0) << "the release belongs to the move";

  // Escape puts the window back where the drag started.
  desktop::MoveMouse(250, 160);
  desktop::PressMouse(MouseButton::Left);
  desktop::MoveMouse(300, 300);
  desktop::PressKey(VK_ESCAPE);
  desktop::ReleaseKey(VK_ESCAPE);
  desktop::ReleaseMouse(MouseButton::Left);
  desktop::Pump();
  EXPECT_EQ(origin(), (TPoint{200, 150}));

  // Input that runs out mid-drag ends the move where it got to.
  desktop::MoveMouse(250, 160);
  desktop::PressMouse(MouseButton::Left);
  desktop::MoveMouse(240, 150);
  desktop::Pump();
  EXPECT_EQ(origin(), (TPoint{190, 140}));
  EXPECT_EQ(GetCapture(), nullptr);
  desktop::ReleaseMouse(MouseButton::Left);
  desktop::Pump();

  // The close button at the caption bar's right end still closes.
  TRect wr;
  GetWindowRect(h, &wr);
  desktop::Click(wr.Right - 10, wr.Top + 10);
  desktop::Pump();
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(InputTest, DisabledTopLevelWindowGetsNoPointerInput) {
  HWND h = TopLevel(Bounds(0, 0, 100, 100), 0);
  desktop::Pump();
  EnableWindow(h, FALSE);
  log.clear();
  desktop::Click(10, 10);
  desktop::Pump();
  EXPECT_EQ(WindowFromPoint({10, 10}), h);
  EXPECT_EQ(Count(h, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(h, WM_MOUSEMOVE), 0);
}

}  // namespace
}  // namespace bellcut::test
