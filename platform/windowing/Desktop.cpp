// The desktop: its options, its replacement, the system metrics, and the
// test API that drives the loop and reads the composed screen.
#include <charconv>
#include <cstdlib>
#include <iostream>

#include "platform/base/Exceptions.h"
#include "platform/graphics/Png.h"
#include "platform/windowing/WindowSystem.h"

namespace bellcut {

using windowing::WS;
using windowing::Window;
using windowing::WindowSystem;

std::optional<TPoint> ParseScreenSize(std::string_view text) {
  const auto sep = text.find_first_of("xX");
  if (sep == std::string_view::npos) return std::nullopt;
  auto side = [](std::string_view digits) -> std::optional<int> {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    for (const char c : digits)
      if (c < '0' || c > '9') return std::nullopt;
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (value < 1 || value > kMaxScreenSide) return std::nullopt;
    return value;
  };
  const auto w = side(text.substr(0, sep));
  const auto h = side(text.substr(sep + 1));
  if (!w || !h) return std::nullopt;
  return TPoint{*w, *h};
}

DesktopOptions DesktopOptionsFromEnvironment(std::ostream& diagnostics) {
  DesktopOptions options;
  const char* value = std::getenv("BELLCUT_SCREEN");
  if (value == nullptr) return options;
  if (const auto size = ParseScreenSize(value)) {
    options.Width = size->X;
    options.Height = size->Y;
  } else {
    diagnostics << "BELLCUT_SCREEN=\"" << value << "\" is not a screen size such as 1920x1080 (each side 1 to "
                << kMaxScreenSide << "); using " << options.Width << "x" << options.Height << "\n";
  }
  return options;
}

void ResetDesktop(const DesktopOptions& options) {
  if (options.Width < 1 || options.Height < 1 || options.Width > kMaxScreenSide || options.Height > kMaxScreenSide)
    throw EInvalidOperation("Screen size " + std::to_string(options.Width) + "x" + std::to_string(options.Height) +
                            " is out of range");
  WindowSystem::Replace(std::make_unique<HeadlessScreen>(options.Width, options.Height, options.RealClock));
}

void ResetDesktop() { ResetDesktop(DesktopOptionsFromEnvironment(std::cerr)); }

void ResetDesktop(std::unique_ptr<ScreenBackend> backend) {
  if (!backend) throw EInvalidOperation("A desktop needs a screen back-end");
  WindowSystem::Replace(std::move(backend));
}

ScreenBackend& DesktopBackend() { return WS().Backend(); }

std::uint64_t DesktopTime() { return WS().Now(); }

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return WS().Backend().Width();
    case SM_CYSCREEN: return WS().Backend().Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return windowing::kCaption;
    case SM_CYSMCAPTION: return windowing::kToolCaption;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return windowing::kFrame;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSIZE:
    case SM_CYSIZE: return windowing::kCaption - 2;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return windowing::kToolCaption - 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return windowing::kDoubleClickWidth;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_SWAPBUTTON: return 0;
    default: return 0;
  }
}

namespace desktop {
namespace {

// A loop that never settles (a handler that posts a message for each one it
// handles) would make a test hang; it fails instead.
constexpr int kMaxDispatches = 1'000'000;

}  // namespace

int Pump(bool* quit) {
  if (quit != nullptr) *quit = false;
  int count = 0;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      if (quit != nullptr) *quit = true;
      break;
    }
    DispatchMessage(&msg);
    if (++count >= kMaxDispatches)
      throw EInvalidOperation("The message loop does not settle: " + std::to_string(count) + " messages in a row");
  }
  return count;
}

int RunFor(std::uint64_t ms, bool* quit) {
  bool stopped = false;
  const std::uint64_t end = WS().Now() + ms;
  int count = Pump(&stopped);
  while (!stopped) {
    const std::optional<std::uint64_t> next = NextTimerDue();
    if (!next || *next > end) {
      WS().Backend().Wait(end);
      count += Pump(&stopped);
      break;
    }
    WS().Backend().Wait(*next);
    count += Pump(&stopped);
  }
  if (quit != nullptr) *quit = stopped;
  return count;
}

void AdvanceClock(std::uint64_t ms) { WS().Backend().Wait(WS().Now() + ms); }

Dib ComposeScreen() { return WS().Compose({0, 0, WS().Backend().Width(), WS().Backend().Height()}); }

Dib CaptureWindow(HWND hwnd) {
  TRect r;
  if (!GetWindowRect(hwnd, &r)) throw EInvalidOperation("CaptureWindow: not a window");
  return WS().Compose(r);
}

COLORREF ScreenPixel(int x, int y) { return WS().Compose({x, y, x + 1, y + 1}).GetPixel(0, 0); }

void SaveScreenshot(const std::string& path) { WritePng(ComposeScreen(), path); }

void SaveWindowScreenshot(HWND hwnd, const std::string& path) { WritePng(CaptureWindow(hwnd), path); }

int BeepCount() { return WS().Beeps; }

void SetShellExecuteHook(std::function<void(const std::string&, const std::string&)> hook) {
  WS().ShellHook = std::move(hook);
}

}  // namespace desktop
}  // namespace bellcut
