// Windows: geometry and frames, z-order, destruction, handle counts, regions.
#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/base/Exceptions.h"
#include "platform/gdi/RegionApi.h"
#include "windowing/WindowingFixture.h"

namespace bellcut::test {
namespace {

using WindowsTest = WindowingTest;

TEST_F(WindowsTest, ToolWindowFrameAroundClientArea) {
  TRect r{0, 0, 600, 600};
  const DWORD style = WS_CAPTION | WS_SYSMENU;
  ASSERT_TRUE(AdjustWindowRectEx(&r, style, FALSE, WS_EX_TOOLWINDOW));
  EXPECT_EQ(r, (TRect{-3, -20, 603, 603}));
  EXPECT_EQ(r.Width(), 606);
  EXPECT_EQ(r.Height(), 623);

  HWND h = TopLevel(Bounds(100, 50, 606, 623), RGB(255, 255, 255), style | WS_VISIBLE, WS_EX_TOOLWINDOW);
  TRect client, window;
  ASSERT_TRUE(GetClientRect(h, &client));
  ASSERT_TRUE(GetWindowRect(h, &window));
  EXPECT_EQ(client, (TRect{0, 0, 600, 600}));
  EXPECT_EQ(window, (TRect{100, 50, 706, 673}));
  auto size = std::find_if(log.begin(), log.end(), [&](const Received& r) { return r.hwnd == h && r.message == WM_SIZE; });
  ASSERT_NE(size, log.end());  // a new window learns its client size
  EXPECT_EQ(size->lParam, MAKELPARAM(600, 600));
  TPoint p{0, 0};
  ClientToScreen(h, &p);
  EXPECT_EQ(p, (TPoint{103, 70}));
  ScreenToClient(h, &p);
  EXPECT_EQ(p, (TPoint{0, 0}));
}

TEST_F(WindowsTest, FrameInsetsByStyle) {
  struct Case {
    DWORD style, ex;
    TRect expected;  // around the client rectangle (0, 0, 10, 10)
  } cases[] = {
      {WS_POPUP, 0, {0, 0, 10, 10}},
      {WS_POPUP | WS_BORDER, 0, {-1, -1, 11, 11}},
      {WS_CAPTION, 0, {-3, -22, 13, 13}},
      {WS_CAPTION, WS_EX_TOOLWINDOW, {-3, -20, 13, 13}},
      {WS_POPUP | WS_DLGFRAME, 0, {-3, -3, 13, 13}},
  };
  for (const Case& c : cases) {
    TRect r{0, 0, 10, 10};
    AdjustWindowRectEx(&r, c.style, FALSE, c.ex);
    EXPECT_EQ(r, c.expected) << std::hex << c.style << " " << c.ex;
  }
}

TEST_F(WindowsTest, ChildCoordinatesFollowParentsClientOrigin) {
  HWND top = TopLevel(Bounds(10, 20, 206, 223), 0, WS_CAPTION | WS_VISIBLE, WS_EX_TOOLWINDOW);
  HWND child = Child(top, Bounds(5, 6, 50, 40), 0);
  HWND grandchild = Child(child, Bounds(1, 2, 10, 10), 0);
  TRect r;
  GetWindowRect(grandchild, &r);
  EXPECT_EQ(r, Bounds(10 + 3 + 5 + 1, 20 + 20 + 6 + 2, 10, 10));
  EXPECT_EQ(GetParent(grandchild), child);
  EXPECT_TRUE(IsChild(top, grandchild));
  EXPECT_EQ(GetTopLevelWindow(grandchild), top);
  MoveWindow(child, 0, 0, 50, 40, TRUE);
  GetWindowRect(grandchild, &r);
  EXPECT_EQ(r.Left, 10 + 3 + 1);
}

TEST_F(WindowsTest, ZOrderAmongSiblings) {
  HWND parent = TopLevel(Bounds(0, 0, 100, 100), 0);
  HWND a = Child(parent, Bounds(0, 0, 10, 10), 0);
  HWND b = Child(parent, Bounds(0, 0, 10, 10), 0);
  HWND c = Child(parent, Bounds(0, 0, 10, 10), 0);
  auto order = [&] {  // top first
    std::vector<HWND> out;
    for (HWND h = GetWindow(parent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
    return out;
  };
  EXPECT_EQ(order(), (std::vector<HWND>{c, b, a}));  // new children on top
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{c, b, a}));
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // directly below a
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
  SetWindowPos(a, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
}

TEST_F(WindowsTest, StayOnTopWindowsStayAboveOthers) {
  HWND onTop = TopLevel(Bounds(0, 0, 10, 10), 0, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  HWND normal = TopLevel(Bounds(0, 0, 10, 10), 0);
  EXPECT_EQ(GetTopWindow(nullptr), onTop);
  BringWindowToTop(normal);
  EXPECT_EQ(GetTopWindow(nullptr), onTop);
  SetWindowPos(normal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), normal);
  EXPECT_NE(GetWindowLongPtr(normal, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  SetWindowPos(onTop, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  HWND third = TopLevel(Bounds(0, 0, 10, 10), 0);
  EXPECT_EQ(GetTopWindow(nullptr), normal);
  EXPECT_EQ(GetWindow(normal, GW_HWNDNEXT), third);
  EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), onTop);
}

TEST_F(WindowsTest, DestroyTellsParentFirstAndReleasesChildrenFirst) {
  HWND top = TopLevel(Bounds(0, 0, 100, 100), 0);
  HWND child = Child(top, Bounds(0, 0, 10, 10), 0);
  HWND grandchild = Child(child, Bounds(0, 0, 5, 5), 0);
  log.clear();
  ASSERT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> seen;
  for (const auto& r : log)
    if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) seen.emplace_back(r.hwnd, r.message);
  const std::vector<std::pair<HWND, UINT>> expected{
      {top, WM_DESTROY},           {child, WM_DESTROY},     {grandchild, WM_DESTROY},
      {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY},   {top, WM_NCDESTROY}};
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(grandchild));
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_FALSE(ShowWindow(top, SW_SHOW));
}

TEST_F(WindowsTest, HandleCountsReturnToZeroOnEveryPath) {
  // Plain create/destroy, a window refused by WM_CREATE, a window that
  // destroys itself from inside its own procedure, and a timer, a posted
  // message, a DC and a region left behind on a destroyed window.
  HWND a = TopLevel(Bounds(0, 0, 10, 10), 0);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 1u);
  DestroyWindow(a);

  CreateParams refused;
  refused.WndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    return m == WM_CREATE ? -1 : DefWindowProc(h, m, w, l);
  };
  EXPECT_EQ(CreateWindowEx(refused), nullptr);

  CreateParams selfDestroying;
  selfDestroying.WndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER) {
      DestroyWindow(h);
      return 7;  // the procedure still runs to its end safely
    }
    return DefWindowProc(h, m, w, l);
  };
  HWND s = CreateWindowEx(selfDestroying);
  EXPECT_EQ(SendMessage(s, WM_USER, 0, 0), 7);
  EXPECT_FALSE(IsWindow(s));

  HWND b = TopLevel(Bounds(0, 0, 10, 10), 0);
  SetTimer(b, 1, 10);
  PostMessage(b, WM_USER, 0, 0);
  HDC dc = GetDC(b);
  SetWindowRgn(b, CreateRectRgn(0, 0, 5, 5), TRUE);
  DestroyWindow(b);
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
  desktop::AdvanceClock(100);
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  EXPECT_EQ(ReleaseDC(b, dc), 1);  // a DC outliving its window is still released
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
  EXPECT_EQ(LiveHandleCount(HandleKind::Region), 0u);
}

TEST_F(WindowsTest, FailingHandlersLeaveNoHalfWindows) {
  CreateParams throwsOnCreate;
  throwsOnCreate.WndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_CREATE) throw std::runtime_error("create");
    return DefWindowProc(h, m, w, l);
  };
  EXPECT_THROW((void)CreateWindowEx(throwsOnCreate), std::runtime_error);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);

  // A child whose WM_DESTROY handler throws: the whole tree still goes,
  // then the failure reaches the caller.
  HWND top = TopLevel(Bounds(0, 0, 10, 10), 0);
  CreateParams throwsOnDestroy;
  throwsOnDestroy.Style = WS_CHILD;
  throwsOnDestroy.Parent = top;
  throwsOnDestroy.WndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_DESTROY) throw std::runtime_error("destroy");
    return DefWindowProc(h, m, w, l);
  };
  HWND child = CreateWindowEx(throwsOnDestroy);
  ASSERT_NE(child, nullptr);
  EXPECT_THROW(DestroyWindow(top), std::runtime_error);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_EQ(Count(top, WM_NCDESTROY), 1);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
}

TEST_F(WindowsTest, SurfaceTooLargeFailsCleanly) {
  // 16384 x 16384 at 32 bits is beyond what one surface may take.
  HWND h = TopLevel(Bounds(0, 0, 50, 50), RGB(0, 0, 255));
  EXPECT_THROW(SetWindowPos(h, nullptr, 0, 0, 16384, 16384, SWP_NOZORDER), EOutOfResources);
  TRect r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (TRect{0, 0, 50, 50}));
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(10, 10), RGB(0, 0, 255));
  EXPECT_THROW((void)TopLevel(Bounds(0, 0, 16384, 16384), 0), EOutOfResources);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 1u);
}

TEST_F(WindowsTest, WindowRegionOwnershipAndCopies) {
  HWND h = TopLevel(Bounds(0, 0, 50, 50), 0);
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(h, out), ERROR);  // no region yet
  const std::size_t before = LiveHandleCount(HandleKind::Region);
  HRGN given = CreateRectRgn(0, 0, 10, 10);
  HRGN part = CreateRectRgn(20, 0, 30, 10);
  CombineRgn(given, given, part, RGN_OR);
  DeleteObject(part);
  ASSERT_TRUE(SetWindowRgn(h, given, TRUE));
  EXPECT_EQ(LiveHandleCount(HandleKind::Region), before);  // the window took it over
  EXPECT_FALSE(DeleteObject(given));
  EXPECT_EQ(GetWindowRgn(h, out), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(out, 25, 5));
  EXPECT_FALSE(PtInRegion(out, 15, 5));
  // The copy is the caller's: changing it leaves the window's region alone.
  OffsetRgn(out, 100, 100);
  HRGN again = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(h, again);
  EXPECT_TRUE(PtInRegion(again, 25, 5));
  ASSERT_TRUE(SetWindowRgn(h, nullptr, TRUE));
  EXPECT_EQ(GetWindowRgn(h, again), ERROR);
  EXPECT_FALSE(SetWindowRgn(h, reinterpret_cast<HRGN>(std::intptr_t{0x7770}), TRUE));
  DeleteObject(out);
  DeleteObject(again);
}

TEST_F(WindowsTest, PlacementSendsSizeAndMoveAndVisibilityFollowsAncestors) {
  HWND top = TopLevel(Bounds(0, 0, 100, 100), 0, WS_POPUP);
  HWND child = Child(top, Bounds(0, 0, 10, 10), 0);
  EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  log.clear();
  SetWindowPos(child, nullptr, 5, 6, 20, 30, SWP_NOZORDER);
  auto sizeMsg = std::find_if(log.begin(), log.end(), [](const Received& r) { return r.message == WM_SIZE; });
  auto moveMsg = std::find_if(log.begin(), log.end(), [](const Received& r) { return r.message == WM_MOVE; });
  ASSERT_NE(sizeMsg, log.end());
  ASSERT_NE(moveMsg, log.end());
  EXPECT_EQ(sizeMsg->lParam, MAKELPARAM(20, 30));
  EXPECT_EQ(moveMsg->lParam, MAKELPARAM(5, 6));
  log.clear();
  SetWindowPos(child, nullptr, 5, 6, 20, 30, SWP_NOZORDER);  // no change: no WM_SIZE
  EXPECT_EQ(Count(child, WM_SIZE), 0);
  // Sizes are kept within range.
  SetWindowPos(child, nullptr, 0, 0, -5, 1 << 30, SWP_NOZORDER);
  TRect r;
  GetClientRect(child, &r);
  EXPECT_EQ(r, (TRect{0, 0, 0, 16384}));
  EXPECT_TRUE(EnableWindow(child, FALSE) == FALSE);
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_EQ(Count(child, WM_ENABLE), 1);
}

}  // namespace
}  // namespace bellcut::test

namespace bellcut::test {
namespace {

// Positions at the ends of the int range: the window's rectangle, its
// region, painting, hit testing and screen reads must all stay defined.
TEST_F(WindowsTest, ExtremePositionsStayDefined) {
  const int positions[] = {INT_MIN, INT_MIN + 1, -(1 << 30), 1 << 30, INT_MAX - 1, INT_MAX};
  for (int x : positions) {
    const HWND top = TopLevel(Bounds(0, 0, 50, 40), RGB(0, 200, 0));
    const HWND child = Child(top, Bounds(5, 5, 20, 20), RGB(200, 0, 0));
    ASSERT_NE(child, nullptr);
    SetWindowPos(top, nullptr, x, ~x, 60, 50, SWP_NOZORDER);
    SetWindowPos(child, nullptr, ~x, x, 30, 30, SWP_NOZORDER);
    MoveWindow(child, x, x, INT_MAX, INT_MAX, TRUE);
    SetWindowRgn(child, CreateRectRgn(0, 0, 10, 10), TRUE);
    InvalidateRect(child, nullptr, TRUE);
    UpdateWindow(top);
    UpdateWindow(child);
    TRect r;
    ASSERT_TRUE(GetWindowRect(top, &r));
    EXPECT_LE(r.Left, r.Right);
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_LE(r.Left, r.Right);
    TPoint p{x, x};
    ClientToScreen(child, &p);
    ScreenToClient(child, &p);
    for (const TPoint corner : {TPoint{INT_MIN, INT_MIN}, TPoint{INT_MAX, INT_MIN}, TPoint{INT_MIN, INT_MAX},
                                TPoint{INT_MAX, INT_MAX}}) {
      (void)WindowFromPoint(corner);
      (void)ChildWindowFromPoint(top, corner);
      desktop::MoveMouse(corner.X, corner.Y);
      desktop::PressMouse(desktop::MouseButton::Left);
      desktop::ReleaseMouse(desktop::MouseButton::Left);
      desktop::Pump();
    }
    HDC dc = GetDC(child);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(dc, TRect{0, 0, 10, 10}, brush);
    DeleteObject(brush);
    ReleaseDC(child, dc);
    DestroyWindow(top);
  }
  // Creation takes the same care as placement.
  CreateParams p;
  p.Style = WS_POPUP | WS_VISIBLE;
  p.X = INT_MAX;
  p.Y = INT_MIN;
  p.Width = 10;
  p.Height = 10;
  const HWND far = CreateWindowEx(p);
  ASSERT_NE(far, nullptr);
  TRect r;
  ASSERT_TRUE(GetWindowRect(far, &r));
  EXPECT_EQ(r.Width(), 10);
  EXPECT_EQ(r.Height(), 10);
  DestroyWindow(far);
}

// A handle kept from an earlier desktop never names a window of a later one,
// so an object that outlived its desktop cannot destroy or redirect someone
// else's window with it.
TEST_F(WindowsTest, HandlesFromAnEarlierDesktopStayInvalid) {
  std::vector<HWND> old;
  for (int i = 0; i < 3; ++i) old.push_back(TopLevel(Bounds(0, 0, 10, 10), RGB(0, 0, 0)));
  ResetDesktop(DesktopOptions{800, 600, false});
  std::vector<HWND> fresh;
  for (int i = 0; i < 3; ++i) fresh.push_back(TopLevel(Bounds(0, 0, 10, 10), RGB(0, 0, 0)));
  for (HWND h : old) {
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h));
  }
  for (HWND h : fresh) EXPECT_TRUE(IsWindow(h));
}

}  // namespace
}  // namespace bellcut::test
