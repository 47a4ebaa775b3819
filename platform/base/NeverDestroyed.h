// Storage for a process-wide registry that is built on first use and never
// destroyed.
//
// Objects with static lifetime outlive main: the application object destroys
// the forms a program left alive, and those forms release windows, device
// contexts, brushes, fonts and controls while the process exits. A
// function-local static registry touched after the application object was
// built would be destroyed before it, and the forms would then work on a dead
// registry. A registry kept here is never destroyed, so no order of static
// destruction can leave a user without it. What it holds at exit stays
// reachable from static storage, so leak checkers do not count it as lost.
//
//   DcTable& Dcs() {
//     static NeverDestroyed<DcTable> table;
//     return *table;
//   }
#pragma once

#include <memory>
#include <new>
#include <utility>

namespace bellcut {

template <class T>
class NeverDestroyed {
 public:
  template <class... Args>
  explicit NeverDestroyed(Args&&... args) {
    std::construct_at(reinterpret_cast<T*>(storage_), std::forward<Args>(args)...);
  }
  NeverDestroyed(const NeverDestroyed&) = delete;
  NeverDestroyed& operator=(const NeverDestroyed&) = delete;
  // Trivial on purpose: T's destructor never runs, and a static of this type
  // registers nothing to run at exit.
  ~NeverDestroyed() = default;

  [[nodiscard]] T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }
  [[nodiscard]] T& operator*() { return get(); }
  [[nodiscard]] T* operator->() { return &get(); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace bellcut
