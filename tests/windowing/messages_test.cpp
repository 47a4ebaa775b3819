// The message queue: posting and filters, coalescing by look-up, WM_QUIT,
// timers on the virtual clock, nested loops, paint generation, idleness.
#include <stdexcept>

#include "platform/windowing/Clock.h"
#include "windowing/WindowingFixture.h"

namespace bellcut::test {
namespace {

using MessagesTest = WindowingTest;

constexpr UINT CM_UPDATERGN = 0xBBAB;

TEST_F(MessagesTest, PeekFiltersByWindowAndRange) {
  HWND a = TopLevel(Bounds(0, 0, 10, 10), 0);
  HWND b = TopLevel(Bounds(0, 0, 10, 10), 0);
  desktop::Pump();  // first paints
  PostMessage(a, WM_USER + 1, 1, 0);
  PostMessage(b, WM_USER + 2, 2, 0);
  PostMessage(nullptr, WM_USER + 3, 3, 0);
  PostMessage(a, WM_USER + 4, 4, 0);
  EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(std::intptr_t{0x7776}), WM_USER, 0, 0));

  struct Case {
    HWND filter;
    UINT min, max;
    WPARAM expected;  // 0: nothing
  } cases[] = {
      {nullptr, 0, 0, 1},
      {b, 0, 0, 2},
      {HWND_THREAD_ONLY, 0, 0, 3},
      {a, WM_USER + 2, WM_USER + 9, 4},
      {nullptr, WM_USER + 3, WM_USER + 3, 3},
      {b, WM_USER + 3, WM_USER + 9, 0},
      {nullptr, WM_APP, WM_APP + 5, 0},
  };
  for (const Case& c : cases) {
    MSG m{};
    const BOOL found = PeekMessage(&m, c.filter, c.min, c.max, PM_NOREMOVE);
    EXPECT_EQ(found != 0, c.expected != 0) << "expected " << c.expected;
    if (found) {
      EXPECT_EQ(m.wParam, c.expected);
    }
  }
  // Removal takes exactly the message found, in posting order per filter.
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 4u);
  EXPECT_FALSE(PeekMessage(&m, a, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 2u);
}

TEST_F(MessagesTest, BurstOfRequestsCoalescesToTheLastOne) {
  // The shaped controls' pattern: each request is posted; a handler that
  // sees another one still waiting does nothing.
  int builds = 0;
  CreateParams p;
  p.WndProc = [&](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    if (msg == CM_UPDATERGN) {
      MSG waiting;
      if (!PeekMessage(&waiting, h, CM_UPDATERGN, CM_UPDATERGN, PM_NOREMOVE)) ++builds;
      return 0;
    }
    return DefWindowProc(h, msg, w, l);
  };
  HWND h = CreateWindowEx(p);
  for (int i = 0; i < 10; ++i) PostMessage(h, CM_UPDATERGN, 0, 0);
  desktop::Pump();
  EXPECT_EQ(builds, 1);
}

TEST_F(MessagesTest, QuitComesAfterPostedMessagesAndPassesFilters) {
  HWND h = TopLevel(Bounds(0, 0, 10, 10), 0);
  desktop::Pump();
  PostMessage(h, WM_USER, 0, 0);
  PostQuitMessage(3);
  MSG m;
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_EQ(GetMessage(&m, h, WM_APP, WM_APP), 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(MessagesTest, TimerNeverHoldsMoreThanOneTick) {
  HWND h = TopLevel(Bounds(0, 0, 10, 10), 0);
  desktop::Pump();
  EXPECT_EQ(NextTimerDue(), std::nullopt);
  ASSERT_EQ(SetTimer(h, 5, 20), 5u);
  EXPECT_EQ(NextTimerDue(), std::optional<std::uint64_t>(20));
  desktop::AdvanceClock(1000);  // fifty intervals pass while nobody looks
  EXPECT_EQ(NextTimerDue(), std::optional<std::uint64_t>(20)) << "overdue, still one tick";
  EXPECT_EQ(desktop::Pump(), 1);
  EXPECT_EQ(Count(h, WM_TIMER), 1);
  EXPECT_EQ(NextTimerDue(), std::optional<std::uint64_t>(1020));
  desktop::AdvanceClock(19);
  EXPECT_EQ(desktop::Pump(), 0);  // the next tick counts from the last delivery
  desktop::AdvanceClock(1);
  EXPECT_EQ(desktop::Pump(), 1);
  const UINT_PTR thread = SetTimer(nullptr, 0, 15);
  ASSERT_NE(thread, 0u);
  EXPECT_EQ(NextTimerDue(), std::optional<std::uint64_t>(1035)) << "the earliest of all timers";
  EXPECT_TRUE(KillTimer(nullptr, thread));
  EXPECT_TRUE(KillTimer(h, 5));
  EXPECT_EQ(NextTimerDue(), std::nullopt);
  EXPECT_FALSE(KillTimer(h, 5));
  desktop::AdvanceClock(100);
  EXPECT_EQ(desktop::Pump(), 0);
}

TEST_F(MessagesTest, VirtualClockRunsAreDeterministic) {
  // Two timers of different periods; the sequence of (time, id) must be the
  // same on every run and follow the periods exactly.
  auto run = [this] {
    ResetDesktop(DesktopOptions{800, 600, false});
    std::vector<std::pair<DWORD, WPARAM>> ticks;
    CreateParams p;
    p.WndProc = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_TIMER) ticks.emplace_back(GetMessageTime(), w);
      return DefWindowProc(h, m, w, l);
    };
    HWND h = CreateWindowEx(p);
    SetTimer(h, 1, 20);
    SetTimer(h, 2, 50);
    desktop::RunFor(100);
    return ticks;
  };
  const auto first = run();
  const std::vector<std::pair<DWORD, WPARAM>> expected{{20, 1}, {40, 1}, {50, 2}, {60, 1},
                                                        {80, 1}, {100, 1}, {100, 2}};
  EXPECT_EQ(first, expected);
  EXPECT_EQ(run(), first);
  EXPECT_EQ(DesktopTime(), 100u);
}

TEST_F(MessagesTest, NestedLoopKeepsTimersTicking) {
  // A modal loop run from inside a tick handler goes on receiving ticks of
  // the same timer; the outer loop resumes afterwards.
  std::vector<int> depthAtTick;
  int depth = 0;
  CreateParams p;
  p.WndProc = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_TIMER) {
      depthAtTick.push_back(depth);
      if (depthAtTick.size() == 1) {
        ++depth;
        MSG msg;
        while (depthAtTick.size() < 4 && GetMessage(&msg, nullptr, 0, 0) > 0) DispatchMessage(&msg);
        --depth;
      } else if (depthAtTick.size() == 5) {
        PostQuitMessage(0);
      }
      return 0;
    }
    return DefWindowProc(h, m, w, l);
  };
  HWND h = CreateWindowEx(p);
  SetTimer(h, 1, 20);
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) DispatchMessage(&msg);
  EXPECT_EQ(depthAtTick, (std::vector<int>{0, 1, 1, 1, 0}));
  EXPECT_EQ(DesktopTime(), 100u);
}

TEST_F(MessagesTest, LoopWithNothingToWaitForReportsIdleForever) {
  EXPECT_TRUE(IsIdleForever());
  MSG m;
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), -1);
  EXPECT_FALSE(WaitMessage());

  HWND h = TopLevel(Bounds(0, 0, 10, 10), 0);
  EXPECT_FALSE(IsIdleForever());  // it needs painting
  desktop::Pump();
  EXPECT_TRUE(IsIdleForever());
  SetTimer(h, 1, 30);
  EXPECT_FALSE(IsIdleForever());
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(DesktopTime(), 30u);
  // A filter no timer can satisfy cannot wait either.
  EXPECT_EQ(GetMessage(&m, h, WM_USER, WM_USER), -1);
}

TEST_F(MessagesTest, PaintIsGeneratedOnceForManyInvalidations) {
  HWND h = TopLevel(Bounds(0, 0, 50, 50), RGB(0, 0, 255));
  desktop::Pump();
  EXPECT_EQ(paints[h], 1);
  TRect r1{0, 0, 5, 5}, r2{10, 10, 20, 20};
  InvalidateRect(h, &r1, TRUE);
  InvalidateRect(h, &r2, TRUE);
  InvalidateRect(h, &r1, FALSE);
  PostMessage(h, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER);  // posted messages come before paints
  TRect update;
  EXPECT_TRUE(GetUpdateRect(h, &update, FALSE));
  EXPECT_EQ(update, (TRect{0, 0, 20, 20}));
  EXPECT_EQ(desktop::Pump(), 1);
  EXPECT_EQ(paints[h], 2);
  // Validation cancels a pending paint; UpdateWindow paints at once.
  InvalidateRect(h, nullptr, TRUE);
  ValidateRect(h, nullptr);
  EXPECT_EQ(desktop::Pump(), 0);
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
  EXPECT_EQ(paints[h], 3);
  EXPECT_EQ(desktop::Pump(), 0);
  // Hidden windows are not painted until shown.
  InvalidateRect(h, nullptr, TRUE);
  ShowWindow(h, SW_HIDE);
  EXPECT_EQ(desktop::Pump(), 0);
  ShowWindow(h, SW_SHOW);
  EXPECT_EQ(desktop::Pump(), 1);
}

TEST_F(MessagesTest, PaintHandlerThatDoesNotValidateIsNotCalledForever) {
  int calls = 0;
  CreateParams p;
  p.Style = WS_POPUP | WS_VISIBLE;
  p.Width = 10;
  p.Height = 10;
  p.WndProc = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_PAINT) {
      ++calls;
      return 0;
    }
    return DefWindowProc(h, m, w, l);
  };
  ASSERT_NE(CreateWindowEx(p), nullptr);
  EXPECT_EQ(desktop::Pump(), 1);
  EXPECT_EQ(calls, 1);
}

TEST_F(MessagesTest, FailingPaintHandlerIsNotRetriedForTheSameArea) {
  int calls = 0;
  CreateParams p;
  p.Style = WS_POPUP | WS_VISIBLE;
  p.Width = 10;
  p.Height = 10;
  p.WndProc = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_PAINT) {
      ++calls;
      throw std::runtime_error("paint");
    }
    return DefWindowProc(h, m, w, l);
  };
  HWND h = CreateWindowEx(p);
  EXPECT_THROW(desktop::Pump(), std::runtime_error);
  EXPECT_EQ(desktop::Pump(), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
}

TEST_F(MessagesTest, RedrawWindowReachesChildrenAndPaintsAtOnce) {
  HWND top = TopLevel(Bounds(0, 0, 100, 100), 0);
  HWND child = Child(top, Rect(10, 10, 50, 50), 0);
  desktop::Pump();
  TRect area{0, 0, 20, 20};  // top's client: touches the child at (10, 10)-(20, 20)
  RedrawWindow(top, &area, nullptr, RDW_INVALIDATE);
  EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
  ValidateRect(top, nullptr);
  RedrawWindow(top, &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(paints[top], 2);
  EXPECT_EQ(paints[child], 2);
  TRect childArea{20, 20, 30, 30};
  RedrawWindow(child, &childArea, nullptr, RDW_INVALIDATE);
  TRect update;
  ASSERT_TRUE(GetUpdateRect(child, &update, FALSE));
  EXPECT_EQ(update, childArea);
  RedrawWindow(nullptr, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
  EXPECT_EQ(desktop::Pump(), 0);
}

TEST(RealClockTest, WaitsUntilTheDeadline) {
  RealClock clock;
  const std::uint64_t deadline = clock.Now() + 3;
  clock.WaitUntil(deadline);
  EXPECT_GE(clock.Now(), deadline);
}

TEST_F(MessagesTest, ThreadTimersAndUnknownWindows) {
  const UINT_PTR id = SetTimer(nullptr, 0, 5);  // below the minimum: 10 ms
  EXPECT_NE(id, 0u);
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(std::intptr_t{0x7776}), 1, 10), 0u);
  desktop::AdvanceClock(9);
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  desktop::AdvanceClock(1);
  ASSERT_TRUE(PeekMessage(&m, HWND_THREAD_ONLY, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_EQ(m.wParam, id);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

}  // namespace
}  // namespace bellcut::test
