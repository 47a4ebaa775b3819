// A region handle for the region-building code of the shaped controls:
// deleted on every path unless handed over (to a window, which then owns it).
#pragma once

#include "platform/base/Exceptions.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/RegionApi.h"

namespace bellcut::clear_detail {

class OwnedRgn {
 public:
  OwnedRgn() : rgn_(CreateRectRgn(0, 0, 0, 0)) {
    if (rgn_ == nullptr) throw EOutOfResources("Out of system resources");
  }
  OwnedRgn(const OwnedRgn&) = delete;
  OwnedRgn& operator=(const OwnedRgn&) = delete;
  ~OwnedRgn() {
    if (rgn_ != nullptr) DeleteObject(rgn_);
  }
  [[nodiscard]] HRGN Get() const { return rgn_; }
  // Gives the handle away (to a window).
  [[nodiscard]] HRGN Release() {
    HRGN r = rgn_;
    rgn_ = nullptr;
    return r;
  }

 private:
  HRGN rgn_;
};

}  // namespace bellcut::clear_detail
