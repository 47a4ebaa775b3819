// TBitmap: a picture held as pixels, with a canvas to draw on it.
//
// The pixels live in a GDI bitmap (Handle) whose Dib is Surface(); rows are
// top-first and ScanLine(y) reaches their bytes directly. A device-dependent
// bitmap (bmDDB) has the display's format, 32 bits (pfDevice); any explicit
// pixel format makes it device-independent (bmDIB).
//
// A new bitmap is empty (0 x 0, pfDevice). Growing a bitmap keeps the pixels
// that overlap and fills the new ones with white, so a bitmap sized for a
// picture shows white where nothing has been drawn yet.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Dib.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

namespace bellcut {

enum class TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
using enum TPixelFormat;

enum class TBitmapHandleType : std::uint8_t { bmDIB, bmDDB };
using enum TBitmapHandleType;

enum class TTransparentMode : std::uint8_t { tmAuto, tmFixed };
using enum TTransparentMode;

class TBitmap;

// The canvas of a bitmap: its DC is a memory DC with the bitmap selected,
// and drawing on it fires the bitmap's change notification.
class TBitmapCanvas : public TCanvas {
 public:
  BELLCUT_CLASS_NAME(TBitmapCanvas)
  explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override;
  // Releases the memory DC (the bitmap is deselected).
  void FreeContext();

 protected:
  void CreateHandle() override;
  void Changed() override;

 private:
  TBitmap& bitmap_;
  HDC ownDc_ = nullptr;
};

class TBitmap : public TGraphic {
 public:
  BELLCUT_CLASS_NAME(TBitmap)
  TBitmap();
  // A bitmap of the given size in the display format, white.
  TBitmap(int width, int height);
  ~TBitmap() override;

  void Assign(const TPersistent* Source) override;

  [[nodiscard]] int Width() const override;
  [[nodiscard]] int Height() const override;
  [[nodiscard]] bool Empty() const override;
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  void SetSize(int width, int height);

  [[nodiscard]] TPixelFormat PixelFormat() const;
  // Converts keeping every pixel's colour (nearest palette entry for indexed
  // formats). pf15bit, pf16bit and pfCustom are refused with EInvalidGraphicOperation.
  void SetPixelFormat(TPixelFormat value);
  [[nodiscard]] TBitmapHandleType HandleType() const { return handleType_; }
  void SetHandleType(TBitmapHandleType value);
  [[nodiscard]] bool Monochrome() const;
  // True converts to one bit per pixel: white to set bits, black to clear
  // ones, other colours to the nearer of the two. False converts to pfDevice.
  void SetMonochrome(bool value);

  // Row y (0 is the top) of the pixels. Raises EInvalidGraphicOperation for
  // a row outside the bitmap.
  [[nodiscard]] std::uint8_t* ScanLine(int y);
  [[nodiscard]] const std::uint8_t* ScanLine(int y) const;

  [[nodiscard]] TCanvas& Canvas();

  // The colour a transparent draw skips: the fixed one when set, otherwise
  // the bottom-left pixel's colour (white for a monochrome bitmap; clNone for
  // an empty one).
  [[nodiscard]] TColor TransparentColor() const;
  // Fixes the transparent colour; clDefault returns to the automatic one.
  void SetTransparentColor(TColor value);
  [[nodiscard]] TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);

  // The GDI bitmap holding the pixels (owned by the TBitmap).
  [[nodiscard]] HBITMAP Handle() const { return handle_; }
  // Releases the pixels: the bitmap becomes empty, keeping its format.
  void FreeImage();
  // Like FreeImage, also for formats and transparency: back to a new bitmap's state.
  void Clear();

  [[nodiscard]] const Dib& Surface() const;
  // Takes over pixels (any Dib bit count); the format follows them and the bitmap becomes bmDIB.
  void SetSurface(Dib pixels);

  void LoadFromStream(TStream& stream) override;
  // Large uncompressed files are mapped rather than read: their rows are
  // read from the file only when drawn (see DecodeBmpInPlace).
  void LoadFromFile(const std::string& path) override;
  void SaveToStream(TStream& stream) const override;

  void Draw(TCanvas& canvas, const TRect& rect) const override;

  // The canvas reports drawing through this.
  void CanvasChanged() { Changed(); }

 private:
  [[nodiscard]] Dib& Pixels();
  void Resize(int width, int height);
  void ReplacePixels(Dib pixels);

  HBITMAP handle_ = nullptr;
  // The handle's pixels. The bitmap object behind the handle lives as long
  // as the handle and replacing the pixels keeps it, so the address is
  // looked up once rather than at every Width() or ScanLine() a pixel loop
  // makes.
  Dib* pixels_ = nullptr;
  TBitmapHandleType handleType_ = bmDDB;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

}  // namespace bellcut
