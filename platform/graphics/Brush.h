// TBrush: the fill of a canvas (colour and style), handing out a GDI brush.
#pragma once

#include <cstdint>

#include "platform/base/Classes.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Types.h"

namespace bellcut {

// Hatched styles are accepted and fill solidly in the brush colour.
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
using enum TBrushStyle;

class TBrush : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TBrush)
  TBrush() = default;
  ~TBrush() override;

  void Assign(const TPersistent* Source) override;

  [[nodiscard]] TColor Color() const { return color_; }
  void SetColor(TColor value);
  [[nodiscard]] TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);

  // A GDI brush for the current settings, owned by the TBrush and replaced
  // when a setting changes (a clear brush is the stock NULL_BRUSH).
  [[nodiscard]] HBRUSH Handle() const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  void ReleaseHandle() const;

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  mutable HBRUSH handle_ = nullptr;
  mutable bool ownsHandle_ = false;
};

}  // namespace bellcut
