#include "platform/graphics/JPEGImage.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/JpegStructure.h"

namespace bellcut {
namespace {

// The nearest-neighbour source index of destination index d when size src
// is stretched to size dst (the rule StretchBlt uses).
int SourceIndex(int d, int src, int dst) {
  return static_cast<int>((2 * static_cast<std::int64_t>(d) + 1) * src / (2 * static_cast<std::int64_t>(dst)));
}

}  // namespace

void TJPEGImage::Clear() {
  data_.clear();
  dataQuality_ = 0;
  pixelsAreSource_ = false;
  pixels_.reset();
  header_ = JpegHeader{};
}

void TJPEGImage::Assign(const TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Clear();
    Changed();
    return;
  }
  if (const auto* other = dynamic_cast<const TJPEGImage*>(Source)) {
    data_ = other->data_;
    dataQuality_ = other->dataQuality_;
    pixelsAreSource_ = other->pixelsAreSource_;
    pixels_.reset();
    if (other->pixels_) pixels_ = other->pixels_->Clone();
    header_ = other->header_;
    quality_ = other->quality_;
    grayscale_ = other->grayscale_;
    Changed();
    return;
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(Source)) {
    Dib pixels = bitmap->Surface().Clone();  // before anything here changes
    Clear();
    if (!pixels.Empty()) {
      pixels_ = std::move(pixels);
      pixelsAreSource_ = true;
    }
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

int TJPEGImage::Width() const {
  if (pixelsAreSource_) return pixels_->Width();
  return data_.empty() ? 0 : header_.Width;
}

int TJPEGImage::Height() const {
  if (pixelsAreSource_) return pixels_->Height();
  return data_.empty() ? 0 : header_.Height;
}

bool TJPEGImage::Empty() const { return !pixelsAreSource_ && data_.empty(); }

void TJPEGImage::SetWidth(int) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetCompressionQuality(int value) { quality_ = std::clamp(value, 1, 100); }

void TJPEGImage::SetGrayscale(bool value) {
  if (value == grayscale_) return;
  grayscale_ = value;
  if (!pixelsAreSource_) pixels_.reset();  // the cached decode no longer applies
  Changed();
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes = stream.ReadRest();
  // The checks raise before anything here changes.
  const JpegHeader header = ReadJpegHeader(bytes);
  Dib::CheckFits(header.Width, header.Height, 24);
  // Pixels are decoded only when drawn, so a file that ends early or has
  // broken markers is looked for now, where a load error belongs. The walk
  // only finds a suspect: libjpeg has the last word and its error is the one
  // raised, so a file it decodes cleanly is never refused. Its verdict comes
  // from decoding every row into a one-pixel-wide window, which reads all of
  // the data without holding the picture (a small damaged file may declare
  // a very large one).
  try {
    CheckJpegStructure(bytes);
  } catch (const EJPEG&) {
    (void)DecodeJpegRect(bytes, TRect{0, 0, 1, header.Height}, grayscale_);
  }
  Clear();
  data_ = std::move(bytes);
  header_ = header;
  Changed();
}

void TJPEGImage::JPEGNeeded() const {
  if (!pixelsAreSource_) return;
  if (!data_.empty() && dataQuality_ == quality_) return;
  std::vector<std::uint8_t> encoded = EncodeJpeg(*pixels_, quality_);
  data_ = std::move(encoded);
  dataQuality_ = quality_;
}

void TJPEGImage::SaveToStream(TStream& stream) const {
  if (Empty()) {
    (void)EncodeJpeg(Dib(), quality_);  // raises libjpeg's own refusal of an empty picture
    return;
  }
  JPEGNeeded();
  stream.WriteBuffer(data_.data(), data_.size());
}

const Dib& TJPEGImage::Surface() const {
  if (!pixels_) pixels_ = data_.empty() ? Dib(0, 0, 24) : DecodeJpeg(data_, grayscale_);
  return *pixels_;
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty() || rect.IsEmpty()) return;
  const TRect visible = rect.Intersect(canvas.ClipRect());
  if (visible.IsEmpty()) return;
  HDC dc = canvas.Handle();
  const int width = Width(), height = Height();
  const bool natural = rect.Width() == width && rect.Height() == height;

  if (pixels_) {
    // Pixels at hand: the GDI call clips and scales by the same rules.
    (void)StretchDIBits(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, width, height, *pixels_,
                        SRCCOPY);
    return;
  }
  if (natural) {
    const Dib part = DecodeJpegRect(data_, visible.Offset(-rect.Left, -rect.Top), grayscale_);
    (void)StretchDIBits(dc, visible.Left, visible.Top, part.Width(), part.Height(), 0, 0, part.Width(),
                        part.Height(), part, SRCCOPY);
    return;
  }

  // Scaled: decode the source rows and columns the visible part samples,
  // then sample them into a surface of the visible size.
  const int dx0 = visible.Left - rect.Left, dy0 = visible.Top - rect.Top;
  const int dw = visible.Width(), dh = visible.Height();
  const TRect source{SourceIndex(dx0, width, rect.Width()), SourceIndex(dy0, height, rect.Height()),
                     SourceIndex(dx0 + dw - 1, width, rect.Width()) + 1,
                     SourceIndex(dy0 + dh - 1, height, rect.Height()) + 1};
  const Dib part = DecodeJpegRect(data_, source, grayscale_);
  Dib out(dw, dh, 24);
  std::vector<int> columns(static_cast<std::size_t>(dw));
  for (int x = 0; x < dw; ++x) columns[x] = (SourceIndex(dx0 + x, width, rect.Width()) - source.Left) * 3;
  for (int y = 0; y < dh; ++y) {
    const std::uint8_t* src = part.ScanLine(SourceIndex(dy0 + y, height, rect.Height()) - source.Top);
    std::uint8_t* dst = out.ScanLine(y);
    for (int x = 0; x < dw; ++x, dst += 3) std::memcpy(dst, src + columns[x], 3);
  }
  (void)StretchDIBits(dc, visible.Left, visible.Top, dw, dh, 0, 0, dw, dh, out, SRCCOPY);
}

}  // namespace bellcut
