// The face builder of TClearControl: the content image (picture and
// caption), the light, shadow and face masks that follow the content's
// outline, the four face images and the two base regions traced from them.
//
// All images are 24-bit and handled through their rows; the platform draws
// only the picture and the caption text. A pixel is transparent when its
// colour value equals FTransparentColor as stored (see PixelRuns.h).
#include <cstring>
#include <memory>
#include <string>

#include "clearctrl/ClearColors.h"
#include "clearctrl/ClearControl.h"
#include "clearctrl/OwnedRgn.h"
#include "clearctrl/PixelRuns.h"
#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Text.h"

namespace bellcut {
namespace {

using clear_detail::ForEachOpaqueRun;
using clear_detail::TransparentKey;

// A new 24-bit image of the given size, every pixel Fill (resolved).
std::unique_ptr<TBitmap> NewImage(int Width, int Height, TColor Fill) {
  auto image = std::make_unique<TBitmap>();
  // Every pixel is written by the fill, so the block need not be zeroed first.
  Dib pixels = Dib::Uninitialized(Width, Height, 24);
  pixels.Fill(ColorToRGB(Fill));
  image->SetSurface(std::move(pixels));
  return image;
}

void MarkTransparent(TBitmap& image, TColor Key) {
  image.SetTransparentColor(Key);
  image.SetTransparent(true);
}

void PutPixel(std::uint8_t* p, COLORREF c) {
  p[0] = static_cast<std::uint8_t>(GetBValue(c));
  p[1] = static_cast<std::uint8_t>(GetGValue(c));
  p[2] = static_cast<std::uint8_t>(GetRValue(c));
}

// Draws Source onto Dest with its top-left pixel at (DX, DY), clipped to
// Dest, skipping the pixels whose raw colour equals Skip (resolved RGB).
void StampImage(TBitmap& Dest, const TBitmap& Source, int DX, int DY, COLORREF Skip) {
  const int x0 = std::max(0, DX);
  const int y0 = std::max(0, DY);
  const int x1 = std::min(Dest.Width(), DX + Source.Width());
  const int y1 = std::min(Dest.Height(), DY + Source.Height());
  if (x0 >= x1 || y0 >= y1) return;
  // Skip is a resolved colour, so as a key it always can match.
  const TransparentKey skip(static_cast<TColor>(Skip & 0xFFFFFFu));
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* s = Source.ScanLine(y - DY);
    std::uint8_t* d = Dest.ScanLine(y);
    // Runs of kept pixels move as blocks.
    ForEachOpaqueRun(s, x0 - DX, x1 - DX - 1, skip, [&](int a, int b) {
      std::memcpy(d + static_cast<std::ptrdiff_t>(a + DX) * 3, s + static_cast<std::ptrdiff_t>(a) * 3,
                  static_cast<std::size_t>(b - a) * 3);
    });
  }
}

// Rewrites every opaque pixel of Image through Map.
template <class F>
void MapOpaquePixels(TBitmap& Image, TColor Transparent, F&& Map) {
  const TransparentKey key(Transparent);
  const int width = Image.Width();
  const int height = Image.Height();
  // Neighbouring pixels mostly share a colour: the last mapping is reused.
  TColor lastIn = -1;
  COLORREF lastOut = 0;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = Image.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      if (key.IsTransparent(p)) continue;
      const TColor in = TripleToColor(p);
      if (in != lastIn) {
        lastIn = in;
        lastOut = ColorToRGB(Map(in));
      }
      PutPixel(p, lastOut);
    }
  }
}

}  // namespace

// --- content and masks ---------------------------------------------------------

std::unique_ptr<TBitmap> TClearControl::MakeContentImage() {
  const int b = BorderWidth();
  const bool bevel = FOptions.Contains(sioBorderAndShadow);
  const int cw = bevel ? Width() - 2 - 2 * b : Width();
  const int ch = bevel ? Height() - 2 - 2 * b : Height();
  auto content = NewImage(cw, ch, FTransparentColor);

  if (const TGraphic* graphic = FPicture->Graphic(); graphic != nullptr && !graphic->Empty()) {
    if (FStretch)
      content->Canvas().StretchDraw(Rect(0, 0, cw, ch), graphic);
    else
      content->Canvas().Draw((cw - graphic->Width()) / 2, (ch - graphic->Height()) / 2, graphic);
  }

  if (!Caption().empty()) {
    // Auxiliary colours that can never be confused with the transparent one.
    const TColor bg = FTransparentColor == clWhite ? clSilver : clWhite;
    const TColor fg = FTransparentColor == clBlack ? clSilver : clBlack;
    TBitmap text;
    text.SetPixelFormat(pf4bit);
    TCanvas& canvas = text.Canvas();
    HDC dc = canvas.Handle();
    if (dc == nullptr) throw EOutOfResources("Out of system resources");
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    TRect extent{0, 0, 0, 0};
    DrawTextA(dc, Caption().c_str(), -1, &extent, DT_CALCRECT);
    SelectObject(dc, oldFont);
    text.SetSize(extent.Right + 1, extent.Bottom + 1);
    canvas.Brush().SetColor(bg);
    canvas.FillRect(Rect(0, 0, text.Width(), text.Height()));
    dc = canvas.Handle();
    oldFont = SelectObject(dc, Font().Handle());
    SetTextColor(dc, ColorToRGB(fg));
    SetBkMode(dc, TRANSPARENT);
    TRect area = Rect(0, 0, text.Width(), text.Height());
    DrawTextA(dc, Caption().c_str(), -1, &area, 0);
    SelectObject(dc, oldFont);
    text.SetPixelFormat(pf24bit);

    // Background to the transparent colour, text to the font colour;
    // smoothing colours stay as the 16-colour palette gave them.
    const COLORREF bgRgb = ColorToRGB(bg);
    const COLORREF fgRgb = ColorToRGB(fg);
    const COLORREF transparentRgb = ColorToRGB(FTransparentColor);
    const COLORREF fontRgb = ColorToRGB(Font().Color());
    const int textWidth = text.Width();
    const int textHeight = text.Height();
    for (int y = 0; y < textHeight; ++y) {
      std::uint8_t* p = text.ScanLine(y);
      for (int x = 0; x < textWidth; ++x, p += 3) {
        const COLORREF c = RGB(p[2], p[1], p[0]);
        if (c == bgRgb)
          PutPixel(p, transparentRgb);
        else if (c == fgRgb)
          PutPixel(p, fontRgb);
      }
    }
    const int X = FCaptionLeft == -1 ? (Width() - text.Width()) / 2 - (b + 1) : FCaptionLeft;
    const int Y = FCaptionTop == -1 ? (Height() - text.Height()) / 2 - (b + 1) : FCaptionTop;
    StampImage(*content, text, X, Y, transparentRgb);
  }
  MarkTransparent(*content, FTransparentColor);
  return content;
}

std::unique_ptr<TBitmap> TClearControl::MakeLightMask(const TBitmap& Content, TColor Light) {
  const int W = Width();
  const int H = Height();
  auto mask = NewImage(W, H, FTransparentColor);
  const int d = BorderWidth() + 1;
  const COLORREF light = ColorToRGB(Light);
  const TransparentKey key(FTransparentColor);
  for (int y = 0; y < Content.Height(); ++y) {
    const int my = y + d;
    if (my < 0 || my >= H) continue;
    std::uint8_t* row = mask->ScanLine(my);
    ForEachOpaqueRun(Content.ScanLine(y), 0, Content.Width() - 1, key, [&](int x0, int x1) {
      const int from = std::max(0, x0 + d);
      const int to = std::min(W, x1 + d);
      for (int x = from; x < to; ++x) PutPixel(row + static_cast<std::ptrdiff_t>(x) * 3, light);
    });
  }
  MarkTransparent(*mask, FTransparentColor);
  return mask;
}

std::unique_ptr<TBitmap> TClearControl::RecolorImage(const TBitmap& Mask, TColor Key, TColor Fill) {
  auto image = NewImage(Mask.Width(), Mask.Height(), Fill);
  StampImage(*image, Mask, 0, 0, ColorToRGB(Key));
  MarkTransparent(*image, FTransparentColor);
  return image;
}

std::unique_ptr<TBitmap> TClearControl::MakeFaceImage(TFaceState State, const TBitmap& Content, const TBitmap* Light,
                                                      const TBitmap* Shadow, const TBitmap* Face) {
  const int b = BorderWidth();
  const bool bevel = FOptions.Contains(sioBorderAndShadow) && Light != nullptr && Shadow != nullptr && Face != nullptr;
  const bool down = State == TFaceState::Down;
  const int s = down && FStyle != sbsImage ? 1 : 0;
  const COLORREF skip = ColorToRGB(FTransparentColor);
  auto face = NewImage(Width(), Height(), FTransparentColor);
  const auto stamp = [&](const TBitmap* mask, int dx, int dy) { StampImage(*face, *mask, dx, dy, skip); };

  if (bevel && FStyle == sbsPushBtn && !down) {
    for (int dy = b; dy <= b + 1; ++dy)
      for (int dx = b; dx <= b + 1; ++dx) stamp(Shadow, dx, dy);
    for (int dy = -1 - b; dy <= b; ++dy)
      for (int dx = -1 - b; dx <= b; ++dx) stamp(Light, dx, dy);
  } else if (bevel && FStyle == sbsPushBtn && down && b == 1) {
    stamp(Shadow, -1, -1);
    stamp(Shadow, 0, -1);
    stamp(Shadow, -1, 0);
  } else if (bevel && FStyle == sbsPushBtn && down && b == 0) {
    stamp(Shadow, 0, 0);
  } else if (bevel && FStyle == sbsFloatBtn && !down) {
    stamp(Shadow, 2 * b + 1, 2 * b + 1);
  }
  if (bevel && b == 1)
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) stamp(Face, dx + s, dy + s);
  const int k = FOptions.Contains(sioBorderAndShadow) ? 1 : 0;
  StampImage(*face, Content, s + b + k, s + b + k, skip);
  return face;
}

// --- base regions ----------------------------------------------------------------

void TClearControl::TraceRegion(HRGN& Target, const TBitmap& Face) {
  if (Target != nullptr) DeleteObject(Target);
  Target = nullptr;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (region == nullptr) throw EOutOfResources("Out of system resources");
  Target = region;
  clear_detail::OwnedRgn scratch;
  const TransparentKey key(FTransparentColor);
  for (int y = 0; y < Face.Height(); ++y)
    ForEachOpaqueRun(Face.ScanLine(y), 0, Face.Width() - 1, key, [&](int x0, int x1) {
      SetRectRgn(scratch.Get(), x0, y, x1, y + 1);
      CombineRgn(region, region, scratch.Get(), RGN_OR);
    });
}

// --- the build -----------------------------------------------------------------

void TClearControl::MakeBtnImageAndRgn() {
  const int b = BorderWidth();
  if (FUpdateCount != 0 || Loading() || !HandleAllocated() || Width() < 2 * b + 3 || Height() < 2 * b + 3) return;
  ++faceBuilds_;

  // Drawing and converting the picture must not start another build.
  FPicture->OnChange = nullptr;
  const auto finish = [this] {
    BindPictureNotification();
    Update();
  };
  try {
    const bool bevel = FOptions.Contains(sioBorderAndShadow);
    const bool hotOption = FOptions.Contains(sioHotTrackImage);
    std::unique_ptr<TBitmap> content = MakeContentImage();
    std::unique_ptr<TBitmap> light, shadow, face;
    TColor lightColor = static_cast<TColor>(ColorToRGB(FLightColor));
    if (bevel) {
      // The light edge must stay visible, so it may never equal the key.
      if (lightColor == FTransparentColor) lightColor = LightenColor(lightColor, 8);
      if (lightColor == FTransparentColor) lightColor = DarkenColor(lightColor, 8);
      light = MakeLightMask(*content, lightColor);
      shadow = RecolorImage(*light, lightColor, FShadowColor);
      face = RecolorImage(*light, lightColor, Color());
    }

    FUpImage = MakeFaceImage(TFaceState::Up, *content, light.get(), shadow.get(), face.get());
    TraceRegion(FUpRgn, *FUpImage);

    if (bevel && FStyle != sbsFloatBtn && b == 1) {
      face = RecolorImage(*face, Color(), DarkenColor(Color(), 32));
      shadow = RecolorImage(*shadow, FShadowColor, DarkenColor(FShadowColor, 64));
    }
    if (bevel) {
      FDownImage = MakeFaceImage(TFaceState::Down, *content, light.get(), shadow.get(), face.get());
      TraceRegion(FDownRgn, *FDownImage);
    }

    if (bevel && hotOption) {
      face = RecolorImage(*light, lightColor, LightenColor(Color(), FHotLightDepth / 2));
      shadow = RecolorImage(*light, lightColor, LightenColor(FShadowColor, FHotLightDepth / 4));
    }
    if (hotOption) {
      const int depth = FHotLightDepth;
      MapOpaquePixels(*content, FTransparentColor, [depth](TColor c) { return LightenColor(c, depth); });
      FHotImage = MakeFaceImage(TFaceState::Up, *content, light.get(), shadow.get(), face.get());
    } else {
      FHotImage.reset();
    }

    if (FOptions.Contains(sioDisableImage)) {
      auto disabled = std::make_unique<TBitmap>();
      disabled->Assign(FUpImage.get());
      MapOpaquePixels(*disabled, FTransparentColor, [](TColor c) { return GrayColor(c); });
      FDisabledImage = std::move(disabled);
    } else {
      FDisabledImage.reset();
    }
  } catch (...) {
    finish();
    throw;
  }

  // The window region follows the new base regions now, not through a
  // posted request.
  FRgnImmediate = true;
  try {
    UpdateRgn();
  } catch (...) {
    FRgnImmediate = false;
    finish();
    throw;
  }
  FRgnImmediate = false;
  finish();
}

}  // namespace bellcut
