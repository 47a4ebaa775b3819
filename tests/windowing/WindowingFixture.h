// A fresh headless desktop per test, windows that paint one colour and
// record the messages they get, and a check that nothing leaks.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Handles.h"
#include "platform/windowing/Desktop.h"
#include "platform/windowing/WinUser.h"

namespace bellcut::test {

struct Received {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class WindowingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDesktop(DesktopOptions{800, 600, false});
    ASSERT_EQ(LiveHandleCount(HandleKind::Window), 0u);
  }
  void TearDown() override {
    ResetDesktop(DesktopOptions{800, 600, false});
    EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
    EXPECT_EQ(LiveHandleCount(HandleKind::DC), dcsAtStart_);
    EXPECT_EQ(LiveHandleCount(HandleKind::Region), regionsAtStart_);
  }

  // A window proc that records every message and fills its paint area with colour.
  WNDPROC Recorder(COLORREF colour) {
    return [this, colour](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      log.push_back({h, m, w, l});
      if (m == WM_PAINT) {
        ++paints[h];
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        TRect client;
        GetClientRect(h, &client);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, client, brush);
        DeleteObject(brush);
        EndPaint(h, &ps);
        return 0;
      }
      return DefWindowProc(h, m, w, l);
    };
  }

  HWND TopLevel(TRect r, COLORREF colour, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0) {
    CreateParams p;
    p.Style = style;
    p.ExStyle = exStyle;
    p.X = r.Left;
    p.Y = r.Top;
    p.Width = r.Width();
    p.Height = r.Height();
    p.WndProc = Recorder(colour);
    return CreateWindowEx(p);
  }

  HWND Child(HWND parent, TRect r, COLORREF colour, UINT classStyle = 0) {
    CreateParams p;
    p.Style = WS_CHILD | WS_VISIBLE;
    p.ClassStyle = classStyle;
    p.Parent = parent;
    p.X = r.Left;
    p.Y = r.Top;
    p.Width = r.Width();
    p.Height = r.Height();
    p.WndProc = Recorder(colour);
    return CreateWindowEx(p);
  }

  std::vector<UINT> MessagesOf(HWND h) const {
    std::vector<UINT> out;
    for (const auto& r : log)
      if (r.hwnd == h) out.push_back(r.message);
    return out;
  }
  int Count(HWND h, UINT message) const {
    int n = 0;
    for (const auto& r : log) n += r.hwnd == h && r.message == message ? 1 : 0;
    return n;
  }

  std::vector<Received> log;
  std::map<HWND, int> paints;

 private:
  std::size_t dcsAtStart_ = LiveHandleCount(HandleKind::DC);
  std::size_t regionsAtStart_ = LiveHandleCount(HandleKind::Region);
};

}  // namespace bellcut::test
