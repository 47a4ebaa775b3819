// The push button, and the drawing of button faces and 3-D edges that the
// buttons and dialogs share.
#pragma once

#include <string>

#include "platform/controls/Controls.h"

namespace bellcut {

// A 1-pixel 3-D edge: TopLeft along the top and left sides, BottomRight
// along the bottom and right. Rect shrinks by one pixel on every side.
void Frame3D(HDC DC, TRect& Rect, TColor TopLeft, TColor BottomRight);

// A push button's face: button-face fill, raised edges (sunken while
// pressed), a dark outline for the default button and the caption centred
// (the "&" marks an accelerator; greyed when disabled). Font may be null
// (the DC's font).
void DrawButtonFace(HDC DC, const TRect& Rect, const std::string& Caption, HFONT Font, bool Pressed, bool IsDefault,
                    bool Enabled);

class TButton : public TWinControl {
 public:
  BELLCUT_CLASS_NAME(TButton)
  explicit TButton(TComponent* AOwner);

  void Dispatch(TMessage& Message) override;

  [[nodiscard]] bool Default() const { return default_; }
  void SetDefault(bool Value);
  [[nodiscard]] bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  [[nodiscard]] int ModalResult() const { return modalResult_; }
  void SetModalResult(int Value) { modalResult_ = Value; }
  // Whether the face is drawn pressed now (pointer down over the button).
  [[nodiscard]] bool Pressed() const { return pressed_ && pointerInside_; }

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void PaintWindow(HDC DC) override;

 private:
  void SetPressedLook(bool Pressed, bool Inside);

  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
  bool pressed_ = false;
  bool pointerInside_ = false;
};

}  // namespace bellcut
