// Handles of the platform's GDI and window objects. A handle is an opaque
// value; a table per kind maps it to the object and counts the live ones, so
// tests can prove that a path releases everything it creates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace bellcut {

enum class HandleKind : std::uint8_t { Region, DC, Bitmap, Font, Brush, Pen, Window, Count };

// Live handles of one kind, across all tables of that kind.
[[nodiscard]] std::size_t LiveHandleCount(HandleKind kind);
void AdjustLiveHandleCount(HandleKind kind, int delta);

// Maps handle values to owned objects. H is a distinct pointer type per kind
// (struct HRGN__*), never dereferenced; values carry the kind in their low
// bits so a handle of one kind is never taken for another.
template <class H, class T, HandleKind Kind>
class HandleTable {
 public:
  H Add(std::unique_ptr<T> object) {
    const std::uintptr_t value = (nextValue_++ << 4) | static_cast<std::uintptr_t>(Kind);
    objects_.emplace(value, std::move(object));
    AdjustLiveHandleCount(Kind, +1);
    return reinterpret_cast<H>(value);
  }
  [[nodiscard]] T* Get(H handle) const {
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == objects_.end() ? nullptr : it->second.get();
  }
  // Removes and returns the object (null for an unknown handle).
  std::unique_ptr<T> Take(H handle) {
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == objects_.end()) return nullptr;
    std::unique_ptr<T> object = std::move(it->second);
    objects_.erase(it);
    AdjustLiveHandleCount(Kind, -1);
    return object;
  }
  [[nodiscard]] static bool IsKind(const void* handle) {
    return (reinterpret_cast<std::uintptr_t>(handle) & 0xF) == static_cast<std::uintptr_t>(Kind);
  }
  [[nodiscard]] std::size_t Size() const { return objects_.size(); }

 private:
  // Shared by every table of this kind and never reset: a table made to
  // replace another (a fresh desktop) must not hand out values the old one
  // gave, or a stale handle held somewhere would name a new object.
  static inline std::uintptr_t nextValue_ = 1;
  std::unordered_map<std::uintptr_t, std::unique_ptr<T>> objects_;
};

}  // namespace bellcut
