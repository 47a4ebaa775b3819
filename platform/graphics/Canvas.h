// TCanvas: drawing with a brush, a pen and a font onto a device context.
//
// A canvas draws through a DC handle. It is either bound from outside
// (SetHandle: a paint message's DC, a window's DC) or made on demand by the
// virtual CreateHandle when a drawing call needs one (a bitmap's canvas
// selects its bitmap into a memory DC; controls override it). Before every
// drawing call the canvas selects its current brush, pen and font into the
// DC, so changes to them take effect at the next call.
//
// Locking: the component library runs on one GUI thread, so the lock is a
// counter that tells a region build (TryLock) that a paint holds the canvas.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Classes.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Types.h"
#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"
#include "platform/graphics/Text.h"

namespace bellcut {

class TGraphic;

using TCopyMode = std::uint32_t;

class TCanvas : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TCanvas)
  TCanvas();
  ~TCanvas() override;

  // The DC the canvas draws on; made by CreateHandle when none is bound.
  [[nodiscard]] HDC Handle();
  // Binds a DC made elsewhere (null unbinds). The canvas does not own it;
  // on unbinding it selects the DC's stock objects back.
  void SetHandle(HDC value);
  [[nodiscard]] bool HandleAllocated() const { return handle_ != nullptr; }

  void Lock() { ++lockCount_; }
  // Takes the lock only when nobody holds it.
  [[nodiscard]] bool TryLock();
  void Unlock();
  [[nodiscard]] int LockCount() const { return lockCount_; }

  [[nodiscard]] TBrush& Brush() { return brush_; }
  [[nodiscard]] TPen& Pen() { return pen_; }
  [[nodiscard]] TFont& Font() { return font_; }
  [[nodiscard]] const TBrush& Brush() const { return brush_; }
  [[nodiscard]] const TPen& Pen() const { return pen_; }
  [[nodiscard]] const TFont& Font() const { return font_; }
  void SetBrush(const TBrush& value) { brush_.Assign(&value); }
  void SetPen(const TPen& value) { pen_.Assign(&value); }
  void SetFont(const TFont& value) { font_.Assign(&value); }

  [[nodiscard]] TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode value) { copyMode_ = value; }

  [[nodiscard]] TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint value);

  // What drawing can reach, in logical coordinates (empty without a surface).
  [[nodiscard]] TRect ClipRect() const;

  // Fills rect (right and bottom excluded) with the brush.
  void FillRect(const TRect& rect);
  // A one-pixel frame just inside rect in the brush colour.
  void FrameRect(const TRect& rect);
  // Draws graphic at its natural size with its top-left corner at (X, Y);
  // nothing for a null or empty graphic. Transparent graphics skip their
  // transparent pixels.
  void Draw(int X, int Y, const TGraphic* graphic);
  void Draw(int X, int Y, const TGraphic& graphic) { Draw(X, Y, &graphic); }
  // Draws graphic scaled to rect (nearest neighbour).
  void StretchDraw(const TRect& rect, const TGraphic* graphic);
  void StretchDraw(const TRect& rect, const TGraphic& graphic) { StretchDraw(rect, &graphic); }
  // Copies source of canvas into dest with CopyMode, scaling when the sizes differ.
  void CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source);

  // One pixel's colour; -1 (CLR_INVALID) outside what drawing can reach.
  [[nodiscard]] TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor color);

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }

  // Text with the canvas's font (see graphics/Text.h for the rendering).
  void TextOut(int X, int Y, const std::string& text);
  void TextRect(const TRect& rect, int X, int Y, const std::string& text);
  [[nodiscard]] TSize TextExtent(const std::string& text);
  [[nodiscard]] int TextWidth(const std::string& text);
  [[nodiscard]] int TextHeight(const std::string& text);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Makes a DC for the canvas and binds it with SetHandle; the default makes
  // nothing (Handle then stays null and drawing does nothing).
  virtual void CreateHandle() {}
  // Fired around every drawing call.
  virtual void Changing();
  virtual void Changed();
  // Selects the current brush, pen and font and returns the DC (null: draw nothing).
  HDC RequiredState();
  void DeselectHandles();

 private:
  HDC handle_ = nullptr;
  int lockCount_ = 0;
  TBrush brush_;
  TPen pen_;
  TFont font_;
  TCopyMode copyMode_ = SRCCOPY;
  TPoint penPos_{};
};

}  // namespace bellcut
