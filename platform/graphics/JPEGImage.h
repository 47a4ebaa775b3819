// TJPEGImage: a picture held as JPEG data.
//
// The image holds either compressed data (after LoadFromStream/LoadFromFile:
// Width and Height come from the frame header and nothing is decoded at load
// time) or pixels assigned to it from a TBitmap, which are compressed only
// when the data is asked for (SaveToStream/SaveToFile), with the
// CompressionQuality in effect at that moment.
//
// Drawing decodes only what the canvas can show: the destination rectangle
// clipped to the canvas's clip rectangle. At natural size that part is
// decoded as a window of the picture; scaled, the source rows and columns the
// visible part samples (nearest neighbour, the same rule as StretchBlt) are
// decoded and sampled.
//
// Errors: damaged data raises EJPEG when it is read (the header at load
// time, the pixels when they are first decoded; see JpegCodec.h for the
// rule on libjpeg's warnings). Saving encodes completely in memory before
// anything is written, so an encoder error leaves no file and an existing
// file untouched.
//
// The picture's size follows its data or pixels only: SetWidth and
// SetHeight raise EInvalidGraphicOperation.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/JpegCodec.h"

namespace bellcut {

class TJPEGImage : public TGraphic {
 public:
  BELLCUT_CLASS_NAME(TJPEGImage)
  static constexpr int kDefaultQuality = 90;

  TJPEGImage() = default;

  // Accepts a TBitmap (its pixels are copied), another TJPEGImage (data,
  // pixels and settings are copied) and null (the image becomes empty).
  void Assign(const TPersistent* Source) override;

  [[nodiscard]] int Width() const override;
  [[nodiscard]] int Height() const override;
  [[nodiscard]] bool Empty() const override;
  void SetWidth(int value) override;
  void SetHeight(int value) override;

  // Quality (1..100, values outside are clamped) for the next compression
  // of assigned pixels; loaded data is saved as it was loaded.
  [[nodiscard]] int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int value);

  // Decodes compressed data as luminance only (grey pixels).
  [[nodiscard]] bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool value);

  void LoadFromStream(TStream& stream) override;
  // Writes the compressed data, compressing assigned pixels first when
  // needed. An empty image raises EJPEG (libjpeg refuses an empty picture).
  void SaveToStream(TStream& stream) const override;

  void Draw(TCanvas& canvas, const TRect& rect) const override;

  // The whole picture's pixels: the assigned pixels, or a full decode of the
  // data (kept until the data or the grayscale setting changes).
  [[nodiscard]] const Dib& Surface() const;
  // Decodes the data now (raising EJPEG for damaged data) rather than at the
  // first drawing.
  void DIBNeeded() const { (void)Surface(); }
  // Compresses assigned pixels now with the current quality.
  void JPEGNeeded() const;
  // The compressed data (empty until loaded or compressed).
  [[nodiscard]] const std::vector<std::uint8_t>& Data() const { return data_; }

 private:
  void Clear();

  // Compressed data: loaded, or compressed from pixels_ at dataQuality_.
  mutable std::vector<std::uint8_t> data_;
  mutable int dataQuality_ = 0;
  // True when the pixels are the original (assigned) and data_ derives from them.
  bool pixelsAreSource_ = false;
  // Assigned pixels, or the cached full decode of data_.
  mutable std::optional<Dib> pixels_;
  JpegHeader header_;
  int quality_ = kDefaultQuality;
  bool grayscale_ = false;
};

}  // namespace bellcut
