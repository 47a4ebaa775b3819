#include "platform/windowing/Clock.h"

#include <chrono>
#include <thread>

namespace bellcut {

void VirtualClock::WaitUntil(std::uint64_t deadline) {
  if (deadline > now_) now_ = deadline;
}

namespace {
std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

RealClock::RealClock() : startNs_(SteadyNs()) {}

std::uint64_t RealClock::Now() const { return static_cast<std::uint64_t>((SteadyNs() - startNs_) / 1'000'000); }

void RealClock::WaitUntil(std::uint64_t deadline) {
  while (Now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(deadline - Now()));
}

}  // namespace bellcut
