// Timers, images and panels.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/graphics/Picture.h"

namespace bellcut {

// Calls OnTimer every Interval milliseconds while Enabled, from the message
// loop only (a modal dialog's loop included). The timer is armed only while
// it is enabled, has an interval and has a handler; changing any of the
// three re-arms it, so the next tick comes a full interval later. An
// exception escaping OnTimer goes to the application's error display and
// the loop goes on. At most one tick is ever pending, and a timer that has
// been disabled never ticks again, even if a tick was due.
class TTimer : public TComponent {
 public:
  BELLCUT_CLASS_NAME(TTimer)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  [[nodiscard]] unsigned Interval() const { return interval_; }
  void SetInterval(unsigned Value);
  [[nodiscard]] const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent Value);
  // Whether the window system holds a timer for this object now.
  [[nodiscard]] bool Armed() const { return armed_; }

  void Loaded() override;

 protected:
  // One tick: fires OnTimer.
  virtual void Timer();

 private:
  friend struct TTimerPublished;
  void UpdateTimer();
  void Tick();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  HWND window_ = nullptr;  // hidden utility window that receives WM_TIMER
  bool armed_ = false;
  std::shared_ptr<bool> alive_;  // the window procedure checks it
};

// Shows a picture: at its natural size from the top-left corner, centred, or
// stretched over the whole control.
class TImage : public TGraphicControl {
 public:
  BELLCUT_CLASS_NAME(TImage)
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  [[nodiscard]] TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const TPicture* Value) { picture_->Assign(Value); }
  // The canvas of the image's bitmap. On first use, when the picture is
  // empty, it makes a bitmap of the image's current size with every pixel
  // white and holds it as the picture. EInvalidOperation when the picture
  // holds another kind of graphic.
  [[nodiscard]] TCanvas& Canvas();

  [[nodiscard]] bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  [[nodiscard]] bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  [[nodiscard]] bool Center() const { return center_; }
  void SetCenter(bool Value);
  [[nodiscard]] bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  [[nodiscard]] bool IncrementalDisplay() const { return incrementalDisplay_; }
  void SetIncrementalDisplay(bool Value) { incrementalDisplay_ = Value; }

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  // Where the picture goes in client coordinates.
  [[nodiscard]] TRect DestRect() const;

  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool incrementalDisplay_ = false;
  bool drawing_ = false;  // the bitmap canvas is being set up
};

enum class TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
using enum TPanelBevel;
enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

// A container with a colour, bevels and a caption drawn centred.
class TPanel : public TCustomControl {
 public:
  BELLCUT_CLASS_NAME(TPanel)
  explicit TPanel(TComponent* AOwner);

  void Dispatch(TMessage& Message) override;

  [[nodiscard]] TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel Value);
  [[nodiscard]] TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel Value);
  [[nodiscard]] int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int Value);
  [[nodiscard]] int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int Value);
  [[nodiscard]] TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  [[nodiscard]] bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool Value) { fullRepaint_ = Value; }

 protected:
  void Paint() override;
  void AdjustClientRect(TRect& Rect) const override;
  void CreateParams(TCreateParams& Params) override;

 private:
  void Changed();

  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TAlignment alignment_ = taCenter;
  bool fullRepaint_ = true;
};

}  // namespace bellcut
