// TFont: the font a canvas or control draws text with. It holds a logical
// font (name, height, style, charset) and hands out a GDI font handle made
// from it on demand; the text renderer matches the name to an installed font
// (see FontEngine.h).
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Classes.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Types.h"

namespace bellcut {

enum class TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle>;

enum class TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;

using TFontCharset = std::uint8_t;

class TFont : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TFont)
  // The platform's default font: "ＭＳ Ｐゴシック" is not assumed; the
  // default is the platform's "MS Sans Serif", height -11 (8 points at 96
  // pixels per inch), colour clWindowText, DEFAULT_CHARSET.
  TFont();
  ~TFont() override;

  void Assign(const TPersistent* Source) override;

  [[nodiscard]] const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  // Negative: character height in pixels; positive: cell height.
  [[nodiscard]] int Height() const { return height_; }
  void SetHeight(int value);
  // Points at PixelsPerInch: Size = -Height * 72 / PixelsPerInch (rounded).
  [[nodiscard]] int Size() const;
  void SetSize(int value);
  [[nodiscard]] TColor Color() const { return color_; }
  void SetColor(TColor value);
  [[nodiscard]] TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);
  [[nodiscard]] TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset value);
  [[nodiscard]] TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch value);
  [[nodiscard]] int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

  // A GDI font for the current settings; owned by the TFont and replaced when
  // a setting changes.
  [[nodiscard]] HFONT Handle() const;
  [[nodiscard]] LogFont ToLogFont() const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  void ReleaseHandle() const;

  std::string name_;
  int height_;
  TColor color_;
  TFontStyles style_;
  TFontCharset charset_;
  TFontPitch pitch_ = fpDefault;
  int pixelsPerInch_ = 96;
  mutable HFONT handle_ = nullptr;
};

}  // namespace bellcut
