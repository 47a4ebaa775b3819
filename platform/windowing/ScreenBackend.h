// Where the desktop is shown. The window system composes the screen from the
// top-level windows' surfaces itself; a back-end supplies the screen's size
// and clock, shows changed areas, waits for outside input and beeps. The
// headless back-end (below) is the default and the test rig; a back-end for a
// real display fits behind the same interface.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Types.h"
#include "platform/windowing/Clock.h"

namespace bellcut {

class ScreenBackend {
 public:
  ScreenBackend() = default;
  ScreenBackend(const ScreenBackend&) = delete;
  ScreenBackend& operator=(const ScreenBackend&) = delete;
  virtual ~ScreenBackend() = default;

  [[nodiscard]] virtual int Width() const = 0;
  [[nodiscard]] virtual int Height() const = 0;
  [[nodiscard]] virtual Clock& GetClock() = 0;
  // Whether the back-end shows the screen's pixels anywhere. The window
  // system composes and presents the screen only for one that does.
  [[nodiscard]] virtual bool ShowsPixels() const = 0;
  // Shows the composed screen (area: what may have changed, screen
  // coordinates). Called when the loop is about to wait.
  virtual void Present(const Dib& composed, const TRect& area) = 0;
  // Does the back-end ever deliver input of its own while the loop waits?
  [[nodiscard]] virtual bool HasOutsideInput() const = 0;
  // Waits until deadline (or, with outside input, until input arrives first).
  // Without a deadline only a back-end with outside input may wait.
  virtual void Wait(std::optional<std::uint64_t> deadline) = 0;
  virtual void Beep() = 0;
};

// The in-memory screen: no display, a virtual clock (or a real one when asked
// for), input only through the test API, beeps written as BEL to a terminal.
class HeadlessScreen final : public ScreenBackend {
 public:
  HeadlessScreen(int width, int height, bool realClock);

  [[nodiscard]] int Width() const override { return width_; }
  [[nodiscard]] int Height() const override { return height_; }
  [[nodiscard]] Clock& GetClock() override { return *clock_; }
  [[nodiscard]] bool ShowsPixels() const override { return false; }
  void Present(const Dib&, const TRect&) override {}
  [[nodiscard]] bool HasOutsideInput() const override { return false; }
  void Wait(std::optional<std::uint64_t> deadline) override;
  void Beep() override;
  [[nodiscard]] int BeepCount() const { return beeps_; }

 private:
  int width_;
  int height_;
  std::unique_ptr<Clock> clock_;
  int beeps_ = 0;
};

}  // namespace bellcut
