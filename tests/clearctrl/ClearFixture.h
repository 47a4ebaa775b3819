// Shaped controls on the headless desktop: a borderless top-level host (so
// client and window coordinates agree), a windowless picture child that
// paints its bitmap as an image control does, and region and pixel helpers
// that check results pixel by pixel against a predicate.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "clearctrl/ClearCtrl.h"
#include "platform/base/Exceptions.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Handles.h"
#include "platform/graphics/Bitmap.h"
#include "platform/windowing/Desktop.h"
#include "platform/windowing/WinUser.h"

namespace bellcut::test {

class THost : public TCustomControl {
 public:
  explicit THost(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clWhite);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_CLIPCHILDREN;
  }
};

// A windowless child showing a bitmap at its top-left corner, skipping its
// fuchsia pixels; an empty bitmap paints nothing.
class TPictureChild : public TGraphicControl {
 public:
  explicit TPictureChild(TComponent* owner) : TGraphicControl(owner) {
    Bitmap.SetTransparentColor(clFuchsia);
    Bitmap.SetTransparent(true);
  }
  TBitmap Bitmap;
  bool Fail = false;  // painting raises, as a broken picture would

 protected:
  void Paint() override {
    if (Fail) throw EInvalidGraphic("Broken picture");
    Canvas().Draw(0, 0, Bitmap);
  }
};

// A windowed child painting one colour.
class TSolidChild : public TCustomControl {
 public:
  explicit TSolidChild(TComponent* owner) : TCustomControl(owner) {}

 protected:
  void Paint() override {
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect(ClientRect());
  }
};

inline COLORREF PixelOf(const TBitmap& image, int x, int y) {
  const std::uint8_t* p = image.ScanLine(y) + x * 3;
  return RGB(p[2], p[1], p[0]);
}

// A 24-bit bitmap filled with one colour.
inline void FillBitmap(TBitmap& bitmap, int w, int h, TColor colour) {
  Dib pixels(w, h, 24);
  pixels.Fill(ColorToRGB(colour));
  bitmap.SetSurface(std::move(pixels));
}

inline void SetBitmapPixel(TBitmap& bitmap, int x, int y, TColor colour) {
  std::uint8_t* p = bitmap.ScanLine(y) + x * 3;
  const COLORREF c = ColorToRGB(colour);
  p[0] = static_cast<std::uint8_t>(GetBValue(c));
  p[1] = static_cast<std::uint8_t>(GetGValue(c));
  p[2] = static_cast<std::uint8_t>(GetRValue(c));
}

// Checks every pixel of area against inside(x, y); reports the first few
// differences with their coordinates.
inline ::testing::AssertionResult RegionMatches(HRGN rgn, TRect area, const std::function<bool(int, int)>& inside) {
  if (rgn == nullptr) return ::testing::AssertionFailure() << "no region";
  int bad = 0;
  std::string report;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x)
      if (PtInRegion(rgn, x, y) != inside(x, y)) {
        if (++bad <= 5)
          report += " (" + std::to_string(x) + "," + std::to_string(y) + (inside(x, y) ? " missing)" : " extra)");
      }
  if (bad == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << bad << " pixels differ:" << report;
}

// The region a window holds now (a copy the caller deletes), or null.
inline HRGN WindowRegion(HWND hwnd) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(hwnd, rgn) == 0) {
    DeleteObject(rgn);
    return nullptr;
  }
  return rgn;
}

struct RgnHolder {
  HRGN rgn;
  explicit RgnHolder(HRGN r) : rgn(r) {}
  RgnHolder(const RgnHolder&) = delete;
  RgnHolder& operator=(const RgnHolder&) = delete;
  ~RgnHolder() {
    if (rgn != nullptr) DeleteObject(rgn);
  }
};

class ClearTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDesktop(DesktopOptions{800, 600, false});
    windows_ = LiveHandleCount(HandleKind::Window);
    regions_ = LiveHandleCount(HandleKind::Region);
    host_ = std::make_unique<THost>(nullptr);
    host_->SetBounds(10, 20, 400, 300);
  }
  void TearDown() override {
    host_.reset();
    FreeDeviceContexts();
    desktop::Pump();
    EXPECT_EQ(LiveHandleCount(HandleKind::Window), windows_);
    EXPECT_EQ(LiveHandleCount(HandleKind::Region), regions_);
  }

  // A child of parent at bounds; shaped controls get AutoSize False first
  // unless asked, since a parent's font reaching them would size them.
  template <class T>
  T* Make(TWinControl& parent, TRect bounds, bool autoSize = false) {
    T* c = TComponent::MakeOwned<T>(host_.get());
    if constexpr (std::is_base_of_v<TClearControl, T>) c->SetAutoSize(autoSize);
    c->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    c->SetParent(&parent);
    return c;
  }
  void Show() {
    host_->Show();
    desktop::Pump();
  }

  std::unique_ptr<THost> host_;
  std::size_t windows_ = 0;
  std::size_t regions_ = 0;
};

}  // namespace bellcut::test
