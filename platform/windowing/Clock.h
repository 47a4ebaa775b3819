// The time the message loop runs on. Timers are due at clock times; when the
// loop has nothing to do it asks the clock to wait for the next due timer.
#pragma once

#include <cstdint>

namespace bellcut {

class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;

  // Milliseconds since the clock started.
  [[nodiscard]] virtual std::uint64_t Now() const = 0;
  // Returns once Now() >= deadline.
  virtual void WaitUntil(std::uint64_t deadline) = 0;
};

// Time that passes only when the loop waits: waiting jumps straight to the
// deadline, so a run is deterministic and takes no wall time.
class VirtualClock final : public Clock {
 public:
  [[nodiscard]] std::uint64_t Now() const override { return now_; }
  void WaitUntil(std::uint64_t deadline) override;
  // Moves time forward by ms (tests: let time pass between injected events).
  void Advance(std::uint64_t ms) { now_ += ms; }

 private:
  std::uint64_t now_ = 0;
};

// The steady wall clock, for real displays.
class RealClock final : public Clock {
 public:
  RealClock();
  [[nodiscard]] std::uint64_t Now() const override;
  void WaitUntil(std::uint64_t deadline) override;

 private:
  std::int64_t startNs_;
};

}  // namespace bellcut
