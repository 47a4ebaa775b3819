// Painting and composition: children clipped by their regions, by siblings
// and by the parent's client area, read back both from the window's DC and
// from the composed screen; top-level windows composed in z-order through
// their regions; the frame drawn by the window system.
#include "platform/gdi/RegionApi.h"
#include "windowing/WindowingFixture.h"

namespace bellcut::test {
namespace {

using PaintingTest = WindowingTest;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// A region of two separate rectangles, in window coordinates.
HRGN TwoBars(int w, int h) {
  HRGN a = CreateRectRgn(0, 0, w, h / 3);
  HRGN b = CreateRectRgn(0, 2 * h / 3, w, h);
  CombineRgn(a, a, b, RGN_OR);
  DeleteObject(b);
  return a;
}

// Parent 120 x 100 at (20, 30), white. Red child A (10, 10)-(70, 70) cut to
// two horizontal bars; blue child B (40, 40)-(140, 90) above A and reaching
// past the parent's right edge, cut to a left and a right block; green
// grandchild G inside B at (0, 0)-(50, 50) of B, cut to B's region only by B.
struct Scene {
  HWND parent, a, b, g;
};

class ClippingTest : public PaintingTest {
 protected:
  Scene Build() {
    Scene s;
    s.parent = TopLevel(Bounds(20, 30, 120, 100), kWhite);
    s.a = Child(s.parent, Rect(10, 10, 70, 70), kRed);
    s.b = Child(s.parent, Rect(40, 40, 140, 90), kBlue);
    s.g = Child(s.b, Rect(0, 0, 50, 50), kGreen);
    SetWindowRgn(s.a, TwoBars(60, 60), TRUE);
    HRGN blocks = CreateRectRgn(0, 0, 20, 50);
    HRGN right = CreateRectRgn(40, 0, 100, 50);
    CombineRgn(blocks, blocks, right, RGN_OR);
    DeleteObject(right);
    SetWindowRgn(s.b, blocks, TRUE);
    desktop::Pump();
    return s;
  }

  // What the parent's client pixel (x, y) must show.
  static COLORREF Expected(int x, int y) {
    auto inA = [](int px, int py) {
      if (px < 10 || px >= 70 || py < 10 || py >= 70) return false;
      const int ly = py - 10;
      return ly < 20 || ly >= 40;
    };
    auto inB = [](int px, int py) {
      if (px < 40 || px >= 120 || py < 40 || py >= 90) return false;  // B clipped to the parent
      const int lx = px - 40;
      return lx < 20 || lx >= 40;
    };
    auto inG = [&](int px, int py) { return inB(px, py) && px < 90 && py < 90; };
    if (inG(x, y)) return kGreen;
    if (inB(x, y)) return kBlue;
    if (inA(x, y)) return kRed;
    return kWhite;
  }
};

TEST_F(ClippingTest, ScreenShowsChildrenThroughRegionsSiblingsAndParent) {
  const Scene s = Build();
  const Dib screen = desktop::ComposeScreen();
  const COLORREF desk = GetSysColor(COLOR_BACKGROUND);
  int mismatches = 0;
  for (int y = 20; y < 140; ++y) {
    for (int x = 10; x < 170; ++x) {
      const bool inParent = x >= 20 && x < 140 && y >= 30 && y < 130;
      const COLORREF want = inParent ? Expected(x - 20, y - 30) : desk;
      if (screen.GetPixel(x, y) != want && ++mismatches < 5)
        ADD_FAILURE() << "screen (" << x << ", " << y << ") " << std::hex << screen.GetPixel(x, y) << " != " << want;
    }
  }
  EXPECT_EQ(mismatches, 0);
  (void)s;
}

TEST_F(ClippingTest, ClientDcReadsWhatIsDisplayed) {
  const Scene s = Build();
  // Copy the parent's client area out through its DC, as a capture does.
  HDC src = GetDC(s.parent);
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(120, 100, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  ASSERT_TRUE(BitBlt(mem, 0, 0, 120, 100, src, 0, 0, SRCCOPY));
  int mismatches = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x) mismatches += GetPixel(mem, x, y) != Expected(x, y) ? 1 : 0;
  EXPECT_EQ(mismatches, 0);
  // A child's DC has its own client origin and reaches only what of the
  // child is seen: not its own child, not outside its region.
  HDC childDc = GetDC(s.b);
  EXPECT_EQ(GetPixel(childDc, 60, 5), kBlue);
  EXPECT_EQ(GetPixel(childDc, 5, 5), CLR_INVALID);
  EXPECT_EQ(GetPixel(childDc, 30, 5), CLR_INVALID);
  ReleaseDC(s.b, childDc);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  EXPECT_EQ(ReleaseDC(s.parent, src), 1);
}

TEST_F(ClippingTest, ParentRepaintDoesNotCoverChildren) {
  const Scene s = Build();
  InvalidateRect(s.parent, nullptr, TRUE);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(20 + 15, 30 + 15), kRed);
  EXPECT_EQ(desktop::ScreenPixel(20 + 15, 30 + 35), kWhite);  // between A's bars
  EXPECT_EQ(desktop::ScreenPixel(20 + 110, 30 + 45), kBlue);
  // Drawing on the parent through GetDC is clipped the same way.
  HDC dc = GetDC(s.parent);
  TRect all{0, 0, 120, 100};
  HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, all, black);
  DeleteObject(black);
  ReleaseDC(s.parent, dc);
  EXPECT_EQ(desktop::ScreenPixel(20 + 15, 30 + 15), kRed);
  EXPECT_EQ(desktop::ScreenPixel(20 + 15, 30 + 35), RGB(0, 0, 0));
}

TEST_F(ClippingTest, MovingAndDestroyingChildrenRepaintWhatTheyUncover) {
  const Scene s = Build();
  MoveWindow(s.b, 200, 200, 100, 50, TRUE);  // entirely outside the parent now
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(20 + 45, 30 + 55), kRed);    // A shows where B was
  EXPECT_EQ(desktop::ScreenPixel(20 + 100, 30 + 50), kWhite);
  DestroyWindow(s.a);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(20 + 15, 30 + 15), kWhite);
  ShowWindow(s.b, SW_HIDE);
  MoveWindow(s.b, 0, 0, 100, 50, TRUE);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(20 + 5, 30 + 5), kWhite);  // hidden: nothing of it shows
  ShowWindow(s.b, SW_SHOW);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(20 + 5, 30 + 5), kGreen);
}

TEST_F(PaintingTest, TopLevelWindowsComposeInZOrderThroughRegions) {
  HWND below = TopLevel(Bounds(0, 0, 100, 100), kRed);
  HWND shaped = TopLevel(Bounds(50, 50, 100, 100), kBlue);
  HWND onTop = TopLevel(Bounds(90, 90, 20, 20), kGreen, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  SetWindowRgn(shaped, CreateRectRgn(0, 0, 30, 30), TRUE);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(60, 60), kBlue);
  EXPECT_EQ(desktop::ScreenPixel(85, 60), kRed);    // outside the region: the window below
  EXPECT_EQ(desktop::ScreenPixel(140, 140), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(desktop::ScreenPixel(95, 95), kGreen);
  BringWindowToTop(below);
  EXPECT_EQ(desktop::ScreenPixel(60, 60), kRed);
  EXPECT_EQ(desktop::ScreenPixel(95, 95), kGreen);  // stay-on-top stays above
  // Moving a top-level window needs no repaint: its surface moves with it.
  const int before = paints[shaped];
  MoveWindow(shaped, 300, 300, 100, 100, TRUE);
  EXPECT_EQ(desktop::Pump(), 0);
  EXPECT_EQ(paints[shaped], before);
  EXPECT_EQ(desktop::ScreenPixel(310, 310), kBlue);
  ShowWindow(onTop, SW_HIDE);
  EXPECT_EQ(desktop::ScreenPixel(95, 95), kRed);
  // A window beyond the screen's edge is still captured whole.
  MoveWindow(below, -50, -50, 100, 100, TRUE);
  const Dib shot = desktop::CaptureWindow(below);
  EXPECT_EQ(shot.Width(), 100);
  EXPECT_EQ(shot.GetPixel(10, 10), kRed);
}

TEST_F(PaintingTest, FrameIsDrawnByTheWindowSystem) {
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  HWND h = TopLevel(Bounds(0, 0, 206, 223), kWhite, style, WS_EX_TOOLWINDOW);
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(0, 0), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(desktop::ScreenPixel(1, 100), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(desktop::ScreenPixel(3, 4), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(desktop::ScreenPixel(3, 20), kWhite);  // the client area begins at (3, 20)
  EXPECT_EQ(desktop::ScreenPixel(202, 219), kWhite);
  EXPECT_EQ(desktop::ScreenPixel(203, 219), GetSysColor(COLOR_BTNFACE));
  EXPECT_GE(Count(h, WM_NCPAINT), 1);
  // The caption text is drawn into the bar, left of the close button.
  SetWindowText(h, "\xE3\x82\xBF\xE3\x83\xAB\xE3\x83\x8D\xE3\x83\xA2 Caption");
  desktop::Pump();
  const Dib shot = desktop::CaptureWindow(h);
  int textPixels = 0;
  for (int y = 3; y < 19; ++y)
    for (int x = 3; x < 180; ++x) textPixels += shot.GetPixel(x, y) != GetSysColor(COLOR_ACTIVECAPTION) ? 1 : 0;
  EXPECT_GT(textPixels, 20);
  EXPECT_EQ(GetWindowText(h), "\xE3\x82\xBF\xE3\x83\xAB\xE3\x83\x8D\xE3\x83\xA2 Caption");
}

TEST_F(PaintingTest, EraseBackgroundUsesTheWindowColour) {
  CreateParams p;
  p.Style = WS_POPUP | WS_VISIBLE;
  p.Width = 30;
  p.Height = 30;
  p.Background = kGreen;
  HWND h = CreateWindowEx(p);  // DefWindowProc only: erase, then an empty paint
  desktop::Pump();
  EXPECT_EQ(desktop::ScreenPixel(10, 10), kGreen);
  EXPECT_TRUE(IsWindow(h));
}

}  // namespace
}  // namespace bellcut::test

namespace bellcut::test {
namespace {

// A window DC's device coordinates are the window's client coordinates:
// the viewport origin and a selected clip region count from the client
// corner, for a child window and a framed top-level window alike.
TEST_F(PaintingTest, ViewportOriginAndClipRegionCountFromTheClientArea) {
  const HWND top = TopLevel(Bounds(10, 10, 200, 150), kWhite, WS_POPUP | WS_VISIBLE | WS_CAPTION);
  const HWND child = Child(top, Bounds(30, 20, 100, 80), kWhite);
  UpdateWindow(top);
  UpdateWindow(child);
  // Where each window gets a clip square: inside its own client area and,
  // for the top-level window, clear of the child.
  const std::pair<HWND, TPoint> cases[] = {{child, {40, 40}}, {top, {150, 105}}};
  for (const auto& [h, at] : cases) {
    HDC dc = GetDC(h);
    TPoint old{};
    ASSERT_TRUE(SetViewportOrgEx(dc, 5, 6, &old));
    EXPECT_EQ(old, (TPoint{0, 0}));
    TPoint org{};
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org, (TPoint{5, 6}));
    EXPECT_EQ(SetPixel(dc, 0, 0, kRed), kRed);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    HRGN clip = CreateRectRgn(at.X, at.Y, at.X + 10, at.Y + 10);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(dc, TRect{0, 0, 200, 150}, blue);
    DeleteObject(blue);
    ReleaseDC(h, dc);

    HDC check = GetDC(h);
    EXPECT_EQ(GetPixel(check, 5, 6), kRed) << "viewport origin in client coordinates";
    EXPECT_EQ(GetPixel(check, at.X + 5, at.Y + 5), kBlue) << "clip region in client coordinates";
    EXPECT_EQ(GetPixel(check, at.X - 1, at.Y - 1), kWhite);
    EXPECT_EQ(GetPixel(check, at.X + 10, at.Y + 10), kWhite);
    ReleaseDC(h, check);
  }
}

}  // namespace
}  // namespace bellcut::test
