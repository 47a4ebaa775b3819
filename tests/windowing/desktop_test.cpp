// The desktop: screen size from the environment, system metrics, beeps,
// opening addresses, screenshots.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/base/Exceptions.h"
#include "platform/graphics/Png.h"
#include "platform/windowing/Clock.h"
#include "platform/windowing/ScreenBackend.h"
#include "windowing/WindowingFixture.h"

namespace bellcut::test {
namespace {

using DesktopTest = WindowingTest;

TEST(ScreenSizeTest, ParsesOnlyPlainSizes) {
  struct Case {
    const char* text;
    std::optional<TPoint> expected;
  } cases[] = {
      {"1024x768", TPoint{1024, 768}},
      {"800X600", TPoint{800, 600}},
      {"1x1", TPoint{1, 1}},
      {"16384x16384", TPoint{16384, 16384}},
      {"16385x100", std::nullopt},
      {"0x100", std::nullopt},
      {"-800x600", std::nullopt},
      {"+800x600", std::nullopt},
      {"800 x 600", std::nullopt},
      {"800x600x2", std::nullopt},
      {"800x", std::nullopt},
      {"x600", std::nullopt},
      {"800*600", std::nullopt},
      {"", std::nullopt},
      {"99999999999x1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseScreenSize(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ScreenSizeTest, EnvironmentOverridesAndBadValuesAreReported) {
  ASSERT_EQ(setenv("BELLCUT_SCREEN", "1024x768", 1), 0);
  std::ostringstream quiet;
  DesktopOptions o = DesktopOptionsFromEnvironment(quiet);
  EXPECT_EQ(o.Width, 1024);
  EXPECT_EQ(o.Height, 768);
  EXPECT_TRUE(quiet.str().empty());

  ASSERT_EQ(setenv("BELLCUT_SCREEN", "huge", 1), 0);
  std::ostringstream report;
  o = DesktopOptionsFromEnvironment(report);
  EXPECT_EQ(o.Width, 1920);
  EXPECT_EQ(o.Height, 1080);
  EXPECT_NE(report.str().find("BELLCUT_SCREEN"), std::string::npos);
  EXPECT_NE(report.str().find("huge"), std::string::npos);

  ASSERT_EQ(unsetenv("BELLCUT_SCREEN"), 0);
  std::ostringstream none;
  o = DesktopOptionsFromEnvironment(none);
  EXPECT_EQ(o.Width, 1920);
  EXPECT_TRUE(none.str().empty());

  ResetDesktop(DesktopOptions{1024, 768, false});
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  EXPECT_THROW(ResetDesktop(DesktopOptions{0, 768, false}), EInvalidOperation);
}

TEST_F(DesktopTest, BeepsAreCounted) {
  EXPECT_EQ(desktop::BeepCount(), 0);
  MessageBeep(0);
  MessageBeep(MB_ICONHAND);
  EXPECT_EQ(desktop::BeepCount(), 2);
}

TEST_F(DesktopTest, ShellExecuteOpensWithOneArgumentAndNoShell) {
  std::vector<std::pair<std::string, std::string>> started;
  desktop::SetShellExecuteHook([&](const std::string& program, const std::string& argument) {
    started.emplace_back(program, argument);
  });
  ASSERT_EQ(unsetenv("BELLCUT_OPEN"), 0);
  EXPECT_GT(ShellExecute(nullptr, "OPEN", "http://example.invalid/info.php?pf=w&sn=a b", nullptr, nullptr, 1), 32);
  EXPECT_EQ(ShellExecute(nullptr, "print", "x", nullptr, nullptr, 1), SE_ERR_NOASSOC);
  EXPECT_EQ(ShellExecute(nullptr, "open", nullptr, nullptr, nullptr, 1), SE_ERR_NOASSOC);
  ASSERT_EQ(setenv("BELLCUT_OPEN", "my-browser", 1), 0);
  ShellExecute(nullptr, "open", "u", nullptr, nullptr, 1);
  const std::vector<std::pair<std::string, std::string>> expected{
      {"xdg-open", "http://example.invalid/info.php?pf=w&sn=a b"}, {"my-browser", "u"}};
  EXPECT_EQ(started, expected);

  // The real start: a script that records its arguments, given an address
  // full of shell syntax that must arrive untouched as one argument.
  desktop::SetShellExecuteHook({});
  const auto dir = std::filesystem::temp_directory_path() / ("bellcut-open-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto script = dir / "opener.sh";
  const auto out = dir / "args.txt";
  {
    std::ofstream s(script);
    s << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << out.string() << ".tmp' && mv '" << out.string() << ".tmp' '"
      << out.string() << "'\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  ASSERT_EQ(setenv("BELLCUT_OPEN", script.c_str(), 1), 0);
  const std::string address = "http://x/?a=1&b=$(touch pwned);c d";
  EXPECT_GT(ShellExecute(nullptr, "open", address.c_str(), nullptr, nullptr, 1), 32);
  // The opener runs detached; wait for its record (not a timing check).
  for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::ifstream in(out);
  std::string recorded((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(recorded, "1|" + address + "|");
  EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned"));
  // A program that does not exist is ignored without harm.
  ASSERT_EQ(setenv("BELLCUT_OPEN", (dir / "missing").c_str(), 1), 0);
  ShellExecute(nullptr, "open", "u", nullptr, nullptr, 1);
  unsetenv("BELLCUT_OPEN");
  std::filesystem::remove_all(dir);
}

// A back-end that shows pixels: it records what it is given to show.
class RecordingScreen final : public ScreenBackend {
 public:
  [[nodiscard]] int Width() const override { return 64; }
  [[nodiscard]] int Height() const override { return 48; }
  [[nodiscard]] Clock& GetClock() override { return clock_; }
  [[nodiscard]] bool ShowsPixels() const override { return true; }
  void Present(const Dib& composed, const TRect& area) override {
    ++presents;
    lastArea = area;
    lastPixel = composed.GetPixel(5, 5);
  }
  [[nodiscard]] bool HasOutsideInput() const override { return false; }
  void Wait(std::optional<std::uint64_t> deadline) override {
    if (deadline) clock_.WaitUntil(*deadline);
  }
  void Beep() override {}

  int presents = 0;
  TRect lastArea{};
  COLORREF lastPixel = 0;

 private:
  VirtualClock clock_;
};

TEST_F(DesktopTest, DisplayBackEndIsShownTheScreenBeforeTheLoopWaits) {
  auto owned = std::make_unique<RecordingScreen>();
  RecordingScreen* screen = owned.get();
  ResetDesktop(std::move(owned));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 64);
  HWND h = TopLevel(Bounds(0, 0, 20, 20), RGB(0, 0, 255));
  SetTimer(h, 1, 20);
  MSG m;
  ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);  // the paint: nothing to wait for yet
  DispatchMessage(&m);
  EXPECT_EQ(screen->presents, 0);
  ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);  // the tick: the loop waited for it
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(screen->presents, 1);
  EXPECT_EQ(screen->lastArea, (TRect{0, 0, 64, 48}));
  EXPECT_EQ(screen->lastPixel, RGB(0, 0, 255));
  EXPECT_THROW(ResetDesktop(std::unique_ptr<ScreenBackend>()), EInvalidOperation);
}

TEST_F(DesktopTest, ScreenshotsAreWrittenAsPng) {
  HWND h = TopLevel(Bounds(10, 10, 40, 30), RGB(255, 0, 0));
  desktop::Pump();
  const auto dir = std::filesystem::temp_directory_path() / ("bellcut-shot-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  desktop::SaveScreenshot((dir / "screen.png").string());
  desktop::SaveWindowScreenshot(h, (dir / "window.png").string());
  const Dib screen = ReadPng((dir / "screen.png").string());
  const Dib window = ReadPng((dir / "window.png").string());
  EXPECT_EQ(screen.Width(), 800);
  EXPECT_EQ(screen.Height(), 600);
  EXPECT_EQ(screen.GetPixel(20, 20), RGB(255, 0, 0));
  EXPECT_EQ(window.Width(), 40);
  EXPECT_EQ(window.Height(), 30);
  EXPECT_EQ(window.GetPixel(0, 0), RGB(255, 0, 0));
  std::filesystem::remove_all(dir);
  EXPECT_THROW(desktop::CaptureWindow(nullptr), EInvalidOperation);
}

}  // namespace
}  // namespace bellcut::test
