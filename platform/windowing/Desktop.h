// The desktop the window system runs on: its screen back-end and size, and
// the test API that drives it (inject pointer and keyboard input, pump the
// message loop, read the composed screen back, count beeps, intercept the
// shell).
//
// The screen is 1920 x 1080 unless BELLCUT_SCREEN=WxH in the environment says
// otherwise (each side 1 to 16384); an invalid value is reported and ignored.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/Dib.h"
#include "platform/windowing/ScreenBackend.h"
#include "platform/windowing/WinTypes.h"

namespace bellcut {

struct DesktopOptions {
  int Width = 1920;
  int Height = 1080;
  bool RealClock = false;  // headless normally runs on the virtual clock
};

constexpr int kMaxScreenSide = 16384;

// "1024x768" (an 'X' also separates) into a size; nullopt for anything else:
// signs, blanks, zero, a side above kMaxScreenSide, trailing text.
[[nodiscard]] std::optional<TPoint> ParseScreenSize(std::string_view text);
// The default options with BELLCUT_SCREEN applied; an invalid value is
// reported on diagnostics (one line naming the variable and the value) and
// the default size is kept.
[[nodiscard]] DesktopOptions DesktopOptionsFromEnvironment(std::ostream& diagnostics);

// Replaces the desktop: every window is destroyed without messages, the
// queue, timers, capture, focus and input state are cleared, and a new
// headless screen with the given options takes over. The first use of the
// window system starts a desktop from the environment.
void ResetDesktop(const DesktopOptions& options);
void ResetDesktop();  // DesktopOptionsFromEnvironment(std::cerr)
// Runs the desktop on another back-end (a real display).
void ResetDesktop(std::unique_ptr<ScreenBackend> backend);
[[nodiscard]] ScreenBackend& DesktopBackend();
[[nodiscard]] std::uint64_t DesktopTime();  // the clock's milliseconds

// --- test API ----------------------------------------------------------------
namespace desktop {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Input is queued like a device's: the cursor moves at once (GetCursorPos),
// but targets, capture, key state and double clicks are settled when the
// loop retrieves the input, as the platform does.
void MoveMouse(int x, int y);
void PressMouse(MouseButton button);
void ReleaseMouse(MouseButton button);
void Click(int x, int y, MouseButton button = MouseButton::Left);  // move, press, release
void PressKey(int vkey);
void ReleaseKey(int vkey);
// WM_CHAR per byte of text, to the focused window.
void TypeText(std::string_view text);

// Dispatches every message that is ready now, without letting time pass;
// returns how many were dispatched. Stops early after WM_QUIT (returned in
// *quit when given). A loop that never settles (a million messages in a
// row) raises EInvalidOperation instead of hanging the caller.
int Pump(bool* quit = nullptr);
// Runs the loop for ms of clock time: dispatches what is ready, then waits
// for the next timer while it is due within the period. Stops early on WM_QUIT.
int RunFor(std::uint64_t ms, bool* quit = nullptr);
// Lets ms of virtual time pass without dispatching anything.
void AdvanceClock(std::uint64_t ms);

// The screen as composed now (32 bits per pixel), and one window as the
// screen shows it (its window rectangle; pixels outside its window region
// show what lies below).
[[nodiscard]] Dib ComposeScreen();
[[nodiscard]] Dib CaptureWindow(HWND hwnd);
[[nodiscard]] COLORREF ScreenPixel(int x, int y);
void SaveScreenshot(const std::string& path);
void SaveWindowScreenshot(HWND hwnd, const std::string& path);

// Beeps sounded since the desktop was reset.
[[nodiscard]] int BeepCount();
// Replaces the start of a program by ShellExecute: the hook gets the program
// and the one argument. An empty hook restores the real start.
void SetShellExecuteHook(std::function<void(const std::string& program, const std::string& argument)> hook);

}  // namespace desktop
}  // namespace bellcut
