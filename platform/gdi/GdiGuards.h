// Scope guards for device contexts and GDI objects, so that drawing code that
// may throw (text layout, a failing paint handler) gives back what it took on
// every path: the DC, the objects it made, and the objects it selected.
//
//   ScopedDC dc(CreateCompatibleDC(nullptr));          // DeleteDC at the end
//   ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
//   ScopedSelectObject select(dc.get(), pen.get());    // the old pen back first
//   ScopedSaveDC state(callersDc);                     // all its state back at the end
//
// Guards are destroyed in reverse order of declaration: declare an object's
// guard before the guard selecting it, so it is deselected before it is
// deleted (a selected object cannot be deleted).
#pragma once

#include <functional>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"

namespace bellcut {

// Owns a DC. Without a releaser the DC is a memory or surface DC and is
// deleted; a DC handed out for a window is given back through the releaser
// its window layer supplies (ReleaseDC, EndPaint, ...).
class ScopedDC {
 public:
  using Releaser = std::function<void(HDC)>;

  ScopedDC() = default;
  explicit ScopedDC(HDC dc) : dc_(dc) {}
  ScopedDC(HDC dc, Releaser release) : dc_(dc), release_(std::move(release)) {}
  ScopedDC(const ScopedDC&) = delete;
  ScopedDC& operator=(const ScopedDC&) = delete;
  ScopedDC(ScopedDC&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), release_(std::move(other.release_)) {}
  ScopedDC& operator=(ScopedDC&& other) noexcept {
    if (this != &other) {
      reset();
      dc_ = std::exchange(other.dc_, nullptr);
      release_ = std::move(other.release_);
    }
    return *this;
  }
  ~ScopedDC() { reset(); }

  [[nodiscard]] HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  // Gives up ownership: the caller releases the DC.
  [[nodiscard]] HDC release() { return std::exchange(dc_, nullptr); }
  // Releases the DC now.
  void reset() noexcept {
    const HDC dc = std::exchange(dc_, nullptr);
    if (dc == nullptr) return;
    if (release_) {
      // A releaser that fails while unwinding must not end the process.
      try {
        release_(dc);
      } catch (...) {
      }
    } else {
      DeleteDC(dc);
    }
  }

 private:
  HDC dc_ = nullptr;
  Releaser release_;
};

// Owns a brush, pen, font, bitmap or region handle made by a Create* call.
template <class H>
class ScopedGdiObject {
 public:
  ScopedGdiObject() = default;
  explicit ScopedGdiObject(H object) : object_(object) {}
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ScopedGdiObject(ScopedGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~ScopedGdiObject() { reset(); }

  [[nodiscard]] H get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  [[nodiscard]] H release() { return std::exchange(object_, nullptr); }
  void reset() noexcept {
    if (H object = std::exchange(object_, nullptr); object != nullptr) DeleteObject(object);
  }

 private:
  H object_ = nullptr;
};

// Selects an object into a DC for a scope and puts the previous one back.
// A null object (or a failed selection) selects nothing and restores nothing.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Saves a DC's state (selected objects, colours, modes, origin, clip) for a
// scope and restores it at the end, whatever the drawing in between did.
class ScopedSaveDC {
 public:
  explicit ScopedSaveDC(HDC dc) : dc_(dc), level_(SaveDC(dc)) {}
  ScopedSaveDC(const ScopedSaveDC&) = delete;
  ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;
  ~ScopedSaveDC() {
    if (level_ > 0) RestoreDC(dc_, level_);
  }

 private:
  HDC dc_;
  int level_;
};

}  // namespace bellcut
