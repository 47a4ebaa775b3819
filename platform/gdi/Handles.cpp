#include "platform/gdi/Handles.h"

#include <array>

namespace bellcut {
namespace {

std::array<std::size_t, static_cast<std::size_t>(HandleKind::Count)>& Counts() {
  static std::array<std::size_t, static_cast<std::size_t>(HandleKind::Count)> counts{};
  return counts;
}

}  // namespace

std::size_t LiveHandleCount(HandleKind kind) { return Counts()[static_cast<std::size_t>(kind)]; }

void AdjustLiveHandleCount(HandleKind kind, int delta) {
  auto& n = Counts()[static_cast<std::size_t>(kind)];
  n = static_cast<std::size_t>(static_cast<long>(n) + delta);
}

}  // namespace bellcut
