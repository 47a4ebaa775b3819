#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/Exceptions.h"
#include "platform/base/MappedFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/Picture.h"

namespace bellcut {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pfDevice: return 32;
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    case pf32bit: return 32;
    case pf15bit:
    case pf16bit:
    case pfCustom: break;
  }
  throw EInvalidGraphicOperation("Unsupported pixel format");
}

// An empty surface that still remembers its format (and palette).
Dib EmptyLike(const Dib& pixels) {
  Dib out(0, 0, pixels.BitCount() == 0 ? 32 : pixels.BitCount());
  if (!pixels.Palette().empty()) out.Palette() = pixels.Palette();
  return out;
}

// The same pixels in another bit count; monochrome targets are black and white.
Dib ConvertBits(const Dib& pixels, int bits) {
  if (bits == 1) {
    const std::vector<RgbQuad> mono{RgbQuad{0, 0, 0, 0}, RgbQuad{255, 255, 255, 0}};
    return pixels.Converted(1, &mono);
  }
  return pixels.Converted(bits);
}

}  // namespace

// --- TBitmapCanvas -------------------------------------------------------------

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::FreeContext() {
  SetHandle(nullptr);
  if (ownDc_ != nullptr) {
    DeleteDC(ownDc_);
    ownDc_ = nullptr;
  }
}

void TBitmapCanvas::CreateHandle() {
  if (ownDc_ == nullptr) {
    ownDc_ = CreateCompatibleDC(nullptr);
    SelectObject(ownDc_, bitmap_.Handle());
  }
  SetHandle(ownDc_);
}

void TBitmapCanvas::Changed() {
  bitmap_.CanvasChanged();
  TCanvas::Changed();
}

// --- TBitmap -------------------------------------------------------------------

TBitmap::TBitmap() : handle_(CreateBitmapFromDib(Dib(0, 0, 32))), pixels_(DibFromBitmap(handle_)) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() {
  canvas_.reset();  // releases the DC, which frees the bitmap for deletion
  DeleteBitmap(handle_);
}

Dib& TBitmap::Pixels() { return *pixels_; }
const Dib& TBitmap::Surface() const { return *pixels_; }

int TBitmap::Width() const { return Surface().Width(); }
int TBitmap::Height() const { return Surface().Height(); }
bool TBitmap::Empty() const { return Surface().Empty(); }

void TBitmap::SetWidth(int value) { SetSize(value, Height()); }
void TBitmap::SetHeight(int value) { SetSize(Width(), value); }

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0)
    throw EInvalidGraphicOperation("Invalid bitmap size: " + std::to_string(width) + " x " + std::to_string(height));
  if (width == Width() && height == Height()) return;
  Resize(width, height);
  Changed();
}

void TBitmap::Resize(int width, int height) {
  const Dib& old = Surface();
  const int bits = old.BitCount();
  Dib next(width, height, bits);
  if (!old.Palette().empty()) next.Palette() = old.Palette();
  next.Fill(kWhite);
  const int w = std::min(width, old.Width());
  const int h = std::min(height, old.Height());
  if (w > 0 && h > 0) {
    if (bits >= 8) {
      const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(bits / 8);
      for (int y = 0; y < h; ++y) std::memcpy(next.ScanLine(y), old.ScanLine(y), bytes);
    } else {
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) next.SetRaw(x, y, old.GetRaw(x, y));
    }
  }
  ReplacePixels(std::move(next));
}

void TBitmap::ReplacePixels(Dib pixels) {
  // The Dib object stays where it is, so a DC with this bitmap selected keeps
  // drawing on the new pixels.
  Pixels() = std::move(pixels);
}

TPixelFormat TBitmap::PixelFormat() const {
  switch (Surface().BitCount()) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 32: return handleType_ == bmDDB ? pfDevice : pf32bit;
    default: return pfCustom;
  }
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  const int bits = BitsOf(value);
  const TBitmapHandleType type = value == pfDevice ? bmDDB : bmDIB;
  if (bits == Surface().BitCount() && type == handleType_) return;
  if (bits != Surface().BitCount()) ReplacePixels(ConvertBits(Surface(), bits));
  handleType_ = type;
  Changed();
}

void TBitmap::SetHandleType(TBitmapHandleType value) {
  if (value == handleType_) return;
  // A device-dependent bitmap has the display's format, or is monochrome.
  if (value == bmDDB && Surface().BitCount() != 32 && Surface().BitCount() != 1)
    ReplacePixels(ConvertBits(Surface(), 32));
  handleType_ = value;
  Changed();
}

bool TBitmap::Monochrome() const { return Surface().BitCount() == 1; }

void TBitmap::SetMonochrome(bool value) {
  if (value == Monochrome()) return;
  ReplacePixels(ConvertBits(Surface(), value ? 1 : 32));
  Changed();
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return Pixels().ScanLine(y);
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  if (y < 0 || y >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return Surface().ScanLine(y);
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return *canvas_;
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clNone;
  if (Monochrome()) return clWhite;
  return static_cast<TColor>(Surface().GetPixel(0, Height() - 1));
}

void TBitmap::SetTransparentColor(TColor value) {
  const TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
  if (mode == transparentMode_ && value == transparentColor_) return;
  transparentMode_ = mode;
  transparentColor_ = value;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_) return;
  // Fixing keeps the colour in effect now; going automatic forgets it.
  if (value == tmFixed) SetTransparentColor(TransparentColor());
  else SetTransparentColor(clDefault);
}

void TBitmap::FreeImage() {
  if (Empty()) return;
  ReplacePixels(EmptyLike(Surface()));
  Changed();
}

void TBitmap::Clear() {
  ReplacePixels(Dib(0, 0, 32));
  handleType_ = bmDDB;
  transparentMode_ = tmAuto;
  transparentColor_ = clDefault;
  Changed();
}

void TBitmap::SetSurface(Dib pixels) {
  ReplacePixels(pixels.BitCount() == 0 ? Dib(0, 0, 32) : std::move(pixels));
  handleType_ = bmDIB;
  Changed();
}

void TBitmap::Assign(const TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Clear();
    return;
  }
  if (const auto* other = dynamic_cast<const TBitmap*>(Source)) {
    // A deep copy: later writes to either leave the other alone.
    ReplacePixels(other->Surface().Clone());
    if (Surface().BitCount() == 0) ReplacePixels(Dib(0, 0, 32));
    handleType_ = other->handleType_;
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    if (Transparent() != other->Transparent()) TGraphic::SetTransparent(other->Transparent());
    Changed();
    return;
  }
  if (const auto* picture = dynamic_cast<const TPicture*>(Source)) {
    Assign(picture->Graphic());
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
    // Any other picture: drawn onto a white bitmap of its size.
    Dib pixels(graphic->Width(), graphic->Height(), 32);
    pixels.Fill(kWhite);
    ReplacePixels(std::move(pixels));
    handleType_ = bmDDB;
    if (!graphic->Empty()) Canvas().Draw(0, 0, graphic);
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::vector<std::uint8_t> bytes = stream.ReadRest();
  BmpImage image = DecodeBmp(bytes);  // raises before anything here changes
  SetSurface(std::move(image.Pixels));
}

void TBitmap::LoadFromFile(const std::string& path) {
  // Below this size reading the file costs less than mapping it.
  constexpr std::size_t kMapFrom = std::size_t{1} << 20;
  MappedFile file = MapFileCopyOnWrite(path);
  if (file.Bytes.size() < kMapFrom) {
    TGraphic::LoadFromFile(path);
    return;
  }
  BmpImage image = DecodeBmpInPlace(file.Bytes, std::move(file.Holder));  // raises before anything here changes
  SetSurface(std::move(image.Pixels));
}

void TBitmap::SaveToStream(TStream& stream) const {
  const std::vector<std::uint8_t> bytes = EncodeBmp(Surface());
  stream.WriteBuffer(bytes.data(), bytes.size());
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return;
  HDC dc = canvas.Handle();
  if (dc == nullptr) return;
  const Dib& pixels = Surface();
  if (Transparent())
    TransparentDIBits(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, pixels.Width(), pixels.Height(),
                      pixels, SRCCOPY, ColorToRGB(TransparentColor()));
  else
    StretchDIBits(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, pixels.Width(), pixels.Height(), pixels,
                  canvas.CopyMode());
}

}  // namespace bellcut
