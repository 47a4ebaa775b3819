// The speed button: a windowless button that can stay down, alone or as one
// of a radio-style group of buttons on the same parent.
//
// Groups. Buttons with the same GroupIndex (not 0) on one parent form a
// group. When a button of a group goes down (and whenever its GroupIndex or
// AllowAllUp changes) it sends CM_BUTTONPRESSED to every control of its
// parent, WParam = GroupIndex, LParam = the button; every other button of
// the group that is down pops up, and all of them take over the sender's
// AllowAllUp. Without AllowAllUp the down button of a group cannot be
// released by itself, only by another button of the group going down.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/graphics/Bitmap.h"

namespace bellcut {

enum class TButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;
enum class TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;

class TSpeedButton : public TGraphicControl {
 public:
  BELLCUT_CLASS_NAME(TSpeedButton)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  void Dispatch(TMessage& Message) override;
  void Loaded() override;

  [[nodiscard]] int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  [[nodiscard]] bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value);
  [[nodiscard]] bool Down() const { return down_; }
  // Outside a group a button never stays down.
  void SetDown(bool Value);
  [[nodiscard]] bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  [[nodiscard]] TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const TBitmap* Value);
  [[nodiscard]] int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int Value);
  [[nodiscard]] TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  [[nodiscard]] int Margin() const { return margin_; }
  void SetMargin(int Value);
  [[nodiscard]] int Spacing() const { return spacing_; }
  void SetSpacing(int Value);
  [[nodiscard]] bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);

  // The look of the moment (pressed, down, up or disabled).
  [[nodiscard]] TButtonState State() const { return state_; }
  [[nodiscard]] bool MouseInControl() const { return mouseInControl_; }

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Click() override;

 protected:
  void Paint() override;

 private:
  void UpdateExclusive();
  void UpdateTracking();
  [[nodiscard]] bool Inside(int X, int Y) const;

  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
  bool flat_ = false;
  std::unique_ptr<TBitmap> glyph_;
  int numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool transparent_ = true;
  TButtonState state_ = bsUp;
  bool dragging_ = false;
  bool mouseInControl_ = false;
};

}  // namespace bellcut
