#include "platform/graphics/Font.h"

#include <cstdint>

#include "platform/gdi/FontObjects.h"

namespace bellcut {
namespace {

// a * b / c rounded half away from zero, as the platform's MulDiv rounds;
// this is what makes 8 points come out as -11 pixels at 96 pixels per inch.
int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  const std::int64_t num = static_cast<std::int64_t>(a) * b;
  const bool negative = (num < 0) != (c < 0);
  const std::int64_t an = num < 0 ? -num : num;
  const std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
  const std::int64_t q = (an * 2 + ac) / (ac * 2);
  return static_cast<int>(negative ? -q : q);
}

}  // namespace

TFont::TFont() : name_("MS Sans Serif"), height_(-11), color_(clWindowText), charset_(DEFAULT_CHARSET) {}

TFont::~TFont() { ReleaseHandle(); }

void TFont::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TFont*>(Source);
  if (other == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (other == this) return;
  // The handle follows the logical font only; dropping it here keeps a stale
  // face from surviving a copy that changed the name or height.
  if (name_ != other->name_ || height_ != other->height_ || style_ != other->style_ ||
      charset_ != other->charset_ || pitch_ != other->pitch_)
    ReleaseHandle();
  name_ = other->name_;
  height_ = other->height_;
  style_ = other->style_;
  charset_ = other->charset_;
  color_ = other->color_;
  pitch_ = other->pitch_;
  Changed();
}

void TFont::SetName(const std::string& value) {
  if (value.empty() || value == name_) return;  // an empty name keeps the current face
  name_ = value;
  ReleaseHandle();
  Changed();
}

void TFont::SetHeight(int value) {
  if (value == height_) return;
  height_ = value;
  ReleaseHandle();
  Changed();
}

int TFont::Size() const { return -MulDivRound(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int value) { SetHeight(-MulDivRound(value, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;  // the colour is the canvas's business: the handle stays
  Changed();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == style_) return;
  style_ = value;
  ReleaseHandle();
  Changed();
}

void TFont::SetCharset(TFontCharset value) {
  if (value == charset_) return;
  charset_ = value;
  ReleaseHandle();
  Changed();
}

void TFont::SetPitch(TFontPitch value) {
  if (value == pitch_) return;
  pitch_ = value;
  ReleaseHandle();
  Changed();
}

LogFont TFont::ToLogFont() const {
  LogFont f;
  f.Height = height_;
  f.Weight = style_.Contains(fsBold) ? 700 : 400;
  f.Italic = style_.Contains(fsItalic);
  f.Underline = style_.Contains(fsUnderline);
  f.StrikeOut = style_.Contains(fsStrikeOut);
  f.CharSet = charset_;
  f.FaceName = name_;
  return f;
}

HFONT TFont::Handle() const {
  if (handle_ == nullptr) handle_ = CreateFontIndirect(ToLogFont());
  return handle_;
}

void TFont::Changed() {
  if (OnChange) OnChange(this);
}

void TFont::ReleaseHandle() const {
  if (handle_ == nullptr) return;
  DeleteFont(handle_);
  handle_ = nullptr;
}

}  // namespace bellcut
