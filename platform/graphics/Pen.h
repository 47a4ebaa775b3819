// TPen: the outline of a canvas (colour, style, width, mix mode), handing out
// a GDI pen.
#pragma once

#include <cstdint>

#include "platform/base/Classes.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Types.h"

namespace bellcut {

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;

// How the pen's colour meets the pixels under it (the binary raster operations).
enum class TPenMode : std::uint8_t {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
  pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
using enum TPenMode;

// The SetROP2 code of a pen mode.
[[nodiscard]] int PenModeToRop2(TPenMode mode);

class TPen : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TPen)
  TPen() = default;
  ~TPen() override;

  void Assign(const TPersistent* Source) override;

  [[nodiscard]] TColor Color() const { return color_; }
  void SetColor(TColor value);
  [[nodiscard]] TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value);
  [[nodiscard]] int Width() const { return width_; }
  void SetWidth(int value);
  [[nodiscard]] TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode value);

  // A GDI pen for the current settings, owned by the TPen and replaced when a
  // setting changes. The mode is not part of it: the canvas applies it with SetROP2.
  [[nodiscard]] HPEN Handle() const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  void ReleaseHandle() const;

  TColor color_ = clBlack;
  TPenStyle style_ = psSolid;
  int width_ = 1;
  TPenMode mode_ = pmCopy;
  mutable HPEN handle_ = nullptr;
};

}  // namespace bellcut
