#include "platform/gdi/GdiObjects.h"

#include <array>
#include <cstdint>
#include <utility>

namespace bellcut {
namespace {

std::array<GdiObjectDeleter, static_cast<std::size_t>(HandleKind::Count)>& Deleters() {
  static std::array<GdiObjectDeleter, static_cast<std::size_t>(HandleKind::Count)> deleters{};
  return deleters;
}

}  // namespace

GdiObjectDeleter RegisterGdiObjectKind(HandleKind kind, GdiObjectDeleter deleter) {
  if (kind >= HandleKind::Count) return nullptr;
  return std::exchange(Deleters()[static_cast<std::size_t>(kind)], deleter);
}

HandleKind GdiObjectKind(HGDIOBJ object) noexcept {
  const auto value = reinterpret_cast<std::uintptr_t>(object);
  // HandleTable numbers its handles from 1 upwards, shifted past the kind bits.
  if ((value >> 4) == 0) return HandleKind::Count;
  const auto kind = static_cast<std::uintptr_t>(value & 0xF);
  if (kind >= static_cast<std::uintptr_t>(HandleKind::Count)) return HandleKind::Count;
  return static_cast<HandleKind>(kind);
}

bool DeleteObject(HGDIOBJ object) noexcept {
  const HandleKind kind = GdiObjectKind(object);
  if (kind == HandleKind::Count) return false;
  const GdiObjectDeleter deleter = Deleters()[static_cast<std::size_t>(kind)];
  if (deleter == nullptr) return false;
  try {
    return deleter(object);
  } catch (...) {
    // A deleter reports through its result; nothing may escape into callers
    // that release objects on their error paths.
    return false;
  }
}

}  // namespace bellcut
