#include "platform/windowing/ScreenBackend.h"

#include <unistd.h>

namespace bellcut {

HeadlessScreen::HeadlessScreen(int width, int height, bool realClock)
    : width_(width), height_(height) {
  if (realClock) {
    clock_ = std::make_unique<RealClock>();
  } else {
    clock_ = std::make_unique<VirtualClock>();
  }
}

void HeadlessScreen::Wait(std::optional<std::uint64_t> deadline) {
  // Nothing can arrive from outside, so only a deadline ends a wait; the
  // window system never asks to wait without one here.
  if (deadline) clock_->WaitUntil(*deadline);
}

void HeadlessScreen::Beep() {
  ++beeps_;
  // A terminal rings its bell; a log file or a pipe gets no stray byte.
  if (isatty(STDERR_FILENO) == 1) {
    [[maybe_unused]] const auto written = write(STDERR_FILENO, "\a", 1);
  }
}

}  // namespace bellcut
