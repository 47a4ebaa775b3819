#include "platform/graphics/Text.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/gdi/FontObjects.h"
#include "platform/gdi/Region.h"
#include "platform/graphics/FontEngine.h"

namespace bellcut {
namespace {

// A character as laid out: the accelerator rule may ask for it to be underlined.
struct LaidChar {
  char32_t Code = 0;
  bool Underlined = false;
};
using LineText = std::vector<LaidChar>;

struct DcFont {
  const ResolvedFont* Font;
  bool Underline;
  bool StrikeOut;
};

DcFont FontOf(const DeviceContext& dc) {
  const LogFont* logical = dc.Font != nullptr ? LogFontFromHandle(dc.Font) : nullptr;
  // A DC without a (live) font draws with the default GUI font, as a fresh DC does.
  const LogFont& font = logical != nullptr ? *logical : DefaultGuiLogFont();
  return {&FontEngine::Instance().Resolve(font), font.Underline, font.StrikeOut};
}

std::string_view TextView(const char* text, int count) {
  if (text == nullptr) return {};
  if (count < 0) return std::string_view(text);
  return {text, static_cast<std::size_t>(count)};
}

bool IsLineBreak(char32_t c) { return c == U'\r' || c == U'\n'; }
bool IsSpace(char32_t c) { return c == U' ' || c == U'\t'; }
// Japanese text has no spaces; a line may break between any two of its characters.
bool IsIdeographic(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// The accelerator rule: "&x" shows x underlined, "&&" shows "&", a lone
// trailing "&" shows nothing.
LineText ApplyPrefix(const std::u32string& text, bool prefix) {
  LineText out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (!prefix || c != U'&') {
      out.push_back({c, false});
      continue;
    }
    if (++i >= text.size()) break;
    const char32_t next = text[i];
    out.push_back({next, next != U'&' && !IsLineBreak(next)});
  }
  return out;
}

// A line ends at CR, LF or CR LF; a last line without a break counts only
// when it holds something, so "a\n" is one line and "" none.
std::vector<LineText> SplitLines(const LineText& text, bool singleLine) {
  std::vector<LineText> lines;
  if (singleLine) {
    if (!text.empty()) lines.push_back(text);
    return lines;
  }
  LineText current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i].Code;
    if (!IsLineBreak(c)) {
      current.push_back(text[i]);
      continue;
    }
    if (c == U'\r' && i + 1 < text.size() && text[i + 1].Code == U'\n') ++i;
    lines.push_back(std::move(current));
    current.clear();
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

class LineMeasure {
 public:
  LineMeasure(const ResolvedFont& font, bool expandTabs)
      : font_(font), tabWidth_(expandTabs ? std::max(1, 8 * font.Metrics().AveCharWidth) : 0) {}

  // Advance of c when the pen stands x pixels from the line's start.
  [[nodiscard]] int Advance(char32_t c, int x) const {
    if (c == U'\t' && tabWidth_ > 0) return (x / tabWidth_ + 1) * tabWidth_ - x;
    return font_.Advance(c);
  }
  [[nodiscard]] int Width(const LineText& line) const {
    int x = 0;
    for (const LaidChar& c : line) x += Advance(c.Code, x);
    return x;
  }

 private:
  const ResolvedFont& font_;
  int tabWidth_;
};

// Greedy breaking: a line takes as much as fits in maxWidth and breaks at the
// last opportunity (after a space, or next to a Japanese character). A word
// wider than maxWidth stays whole and overhangs, as the platform leaves it.
void WrapLine(const LineText& line, const LineMeasure& measure, int maxWidth, std::vector<LineText>& out) {
  const std::size_t n = line.size();
  auto opportunity = [&](std::size_t i) {
    return IsSpace(line[i - 1].Code) || IsIdeographic(line[i].Code) || IsIdeographic(line[i - 1].Code);
  };
  std::size_t start = 0;
  do {
    std::size_t end = n;
    std::size_t last = start;
    int x = 0;
    for (std::size_t i = start; i < n; ++i) {
      if (i > start && opportunity(i) && !IsSpace(line[i].Code)) {
        if (x > maxWidth) {
          end = i;
          break;
        }
        last = i;
      }
      const int advance = measure.Advance(line[i].Code, x);
      if (x + advance > maxWidth && !IsSpace(line[i].Code) && last > start) {
        end = last;
        break;
      }
      x += advance;
    }
    std::size_t stop = end;
    while (stop > start && IsSpace(line[stop - 1].Code)) --stop;  // spaces at a break vanish
    out.emplace_back(line.begin() + static_cast<std::ptrdiff_t>(start),
                     line.begin() + static_cast<std::ptrdiff_t>(stop));
    start = end;
  } while (start < n);
}

// Writes text pixels onto a surface within a set of clip rectangles (surface
// coordinates). 24- and 32-bit rows are written directly; indexed surfaces
// go through the Dib, which takes the nearest entry of the surface's palette.
class TextPainter {
 public:
  TextPainter(Dib& surface, std::vector<TRect> clip, COLORREF color)
      : surface_(surface),
        clip_(std::move(clip)),
        color_(color),
        direct_(surface.BitCount() == 24 || surface.BitCount() == 32),
        bytes_(surface.BitCount() / 8) {}

  void Fill(const TRect& area, COLORREF color) {
    for (const TRect& c : clip_) {
      const TRect r = area.Intersect(c);
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) Put(x, y, color);
    }
  }

  void Glyph(const GlyphBitmap& glyph, int left, int top) {
    if (glyph.Width == 0 || glyph.Rows == 0) return;
    const TRect box{left, top, left + glyph.Width, top + glyph.Rows};
    for (const TRect& c : clip_) {
      const TRect r = box.Intersect(c);
      for (int y = r.Top; y < r.Bottom; ++y) {
        const std::uint8_t* coverage =
            glyph.Coverage.data() + static_cast<std::size_t>(y - top) * static_cast<std::size_t>(glyph.Width);
        for (int x = r.Left; x < r.Right; ++x) {
          const unsigned a = coverage[x - left];
          if (a != 0) Blend(x, y, a);
        }
      }
    }
  }

  [[nodiscard]] COLORREF Color() const { return color_; }

 private:
  static std::uint8_t Mix(int text, int under, unsigned a) {
    return static_cast<std::uint8_t>(
        (static_cast<unsigned>(text) * a + static_cast<unsigned>(under) * (255 - a) + 127) / 255);
  }

  void Put(int x, int y, COLORREF color) {
    if (direct_) {
      std::uint8_t* p = surface_.ScanLine(y) + static_cast<std::ptrdiff_t>(x) * bytes_;
      p[0] = static_cast<std::uint8_t>(GetBValue(color));
      p[1] = static_cast<std::uint8_t>(GetGValue(color));
      p[2] = static_cast<std::uint8_t>(GetRValue(color));
    } else {
      surface_.SetPixel(x, y, color);
    }
  }

  void Blend(int x, int y, unsigned a) {
    if (a >= 255) {
      Put(x, y, color_);
      return;
    }
    if (direct_) {
      std::uint8_t* p = surface_.ScanLine(y) + static_cast<std::ptrdiff_t>(x) * bytes_;
      p[0] = Mix(GetBValue(color_), p[0], a);
      p[1] = Mix(GetGValue(color_), p[1], a);
      p[2] = Mix(GetRValue(color_), p[2], a);
    } else {
      const COLORREF under = surface_.GetPixel(x, y);
      surface_.SetPixel(x, y,
                        RGB(Mix(GetRValue(color_), GetRValue(under), a), Mix(GetGValue(color_), GetGValue(under), a),
                            Mix(GetBValue(color_), GetBValue(under), a)));
    }
  }

  Dib& surface_;
  std::vector<TRect> clip_;
  COLORREF color_;
  bool direct_;
  int bytes_;
};

// What drawing may touch, in surface coordinates: the surface, the window
// system's visible region, the application's clip region and, when given,
// the caller's rectangle.
std::vector<TRect> ClipRects(const DeviceContext& dc, const TRect* limit) {
  Region clip(dc.Surface->BoundsRect());
  if (dc.VisRgn) clip.Intersect(*dc.VisRgn);
  if (dc.ClipRgn) clip.Intersect(*dc.ClipRgn);
  if (limit != nullptr) clip.Intersect(*limit);
  return clip.Rects();
}

// Draws one line with its cell's top-left corner at (x, y), surface coordinates.
void PaintLine(TextPainter& painter, const DeviceContext& dc, const DcFont& font, const LineMeasure& measure,
               const LineText& line, int x, int y) {
  const FontMetrics& m = font.Font->Metrics();
  const int width = measure.Width(line);
  if (dc.BkMode == OPAQUE) painter.Fill({x, y, x + width, y + m.Height}, dc.BkColor);
  const int baseline = y + m.Ascent;
  int pen = 0;
  for (const LaidChar& c : line) {
    const int advance = measure.Advance(c.Code, pen);
    if (c.Code != U'\t') {
      const GlyphBitmap& glyph = font.Font->Glyph(c.Code);
      painter.Glyph(glyph, x + pen + glyph.Left, baseline - glyph.Top);
    }
    if (c.Underlined) {
      const int top = baseline + m.UnderlineOffset;
      painter.Fill({x + pen, top, x + pen + advance, top + m.UnderlineThickness}, painter.Color());
    }
    pen += advance;
  }
  if (font.Underline) {
    const int top = baseline + m.UnderlineOffset;
    painter.Fill({x, top, x + width, top + m.UnderlineThickness}, painter.Color());
  }
  if (font.StrikeOut) {
    const int top = baseline - m.StrikeOutOffset;
    painter.Fill({x, top, x + width, top + m.StrikeOutThickness}, painter.Color());
  }
}

// Coordinates beyond this lie far outside any surface; clamping them there
// keeps the layout arithmetic (centring, the DC's origin, line advances)
// inside int without moving anything that can be seen.
constexpr int kTextCoordLimit = 1 << 28;
int ClampTextCoord(int v) { return std::clamp(v, -kTextCoordLimit, kTextCoordLimit); }

}  // namespace

int DrawTextOn(DeviceContext& dc, std::string_view text, TRect& callerRect, unsigned format) {
  TRect rect{ClampTextCoord(callerRect.Left), ClampTextCoord(callerRect.Top), ClampTextCoord(callerRect.Right),
             ClampTextCoord(callerRect.Bottom)};
  const DcFont font = FontOf(dc);
  const FontMetrics& m = font.Font->Metrics();
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  const LineMeasure measure(*font.Font, (format & DT_EXPANDTABS) != 0);

  const LineText all = ApplyPrefix(ToCodePoints(text), (format & DT_NOPREFIX) == 0);
  std::vector<LineText> lines = SplitLines(all, singleLine);
  if ((format & DT_WORDBREAK) != 0 && !singleLine) {
    std::vector<LineText> wrapped;
    for (const LineText& line : lines) WrapLine(line, measure, rect.Width(), wrapped);
    lines = std::move(wrapped);
  }
  const int total = static_cast<int>(lines.size()) * m.Height;

  if ((format & DT_CALCRECT) != 0) {
    int widest = 0;
    for (const LineText& line : lines) widest = std::max(widest, measure.Width(line));
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + total;
    callerRect = rect;
    return total;
  }

  int y = rect.Top;
  if (singleLine && (format & DT_VCENTER) != 0)
    y = rect.Top + (rect.Height() - m.Height) / 2;
  else if (singleLine && (format & DT_BOTTOM) != 0)
    y = rect.Bottom - m.Height;
  const int result = y - rect.Top + total;
  if (dc.Surface == nullptr || lines.empty()) return result;

  const TRect limit = rect.Offset(dc.Origin.X, dc.Origin.Y);
  TextPainter painter(*dc.Surface, ClipRects(dc, (format & DT_NOCLIP) != 0 ? nullptr : &limit), dc.TextColor);
  for (const LineText& line : lines) {
    const int width = measure.Width(line);
    int x = rect.Left;
    if ((format & DT_CENTER) != 0)
      x = rect.Left + (rect.Width() - width) / 2;
    else if ((format & DT_RIGHT) != 0)
      x = rect.Right - width;
    PaintLine(painter, dc, font, measure, line, x + dc.Origin.X, y + dc.Origin.Y);
    y += m.Height;
  }
  return result;
}

void TextOutOn(DeviceContext& dc, int x, int y, std::string_view text) {
  if (dc.Surface == nullptr) return;
  const DcFont font = FontOf(dc);
  const LineMeasure measure(*font.Font, false);
  LineText line;
  for (char32_t c : ToCodePoints(text)) line.push_back({c, false});
  TextPainter painter(*dc.Surface, ClipRects(dc, nullptr), dc.TextColor);
  PaintLine(painter, dc, font, measure, line, ClampTextCoord(x) + dc.Origin.X, ClampTextCoord(y) + dc.Origin.Y);
}

TSize TextExtentOn(const DeviceContext& dc, std::string_view text) {
  const DcFont font = FontOf(dc);
  return {font.Font->Width(ToCodePoints(text)), font.Font->Metrics().Height};
}

TEXTMETRICA TextMetricsOn(const DeviceContext& dc) {
  const DcFont font = FontOf(dc);
  const FontMetrics& m = font.Font->Metrics();
  TEXTMETRICA tm;
  tm.tmHeight = m.Height;
  tm.tmAscent = m.Ascent;
  tm.tmDescent = m.Descent;
  tm.tmInternalLeading = m.InternalLeading;
  tm.tmAveCharWidth = m.AveCharWidth;
  tm.tmMaxCharWidth = m.MaxCharWidth;
  tm.tmWeight = m.Weight;
  tm.tmItalic = m.Italic ? 1 : 0;
  tm.tmUnderlined = font.Underline ? 1 : 0;
  tm.tmStruckOut = font.StrikeOut ? 1 : 0;
  const LogFont* logical = dc.Font != nullptr ? LogFontFromHandle(dc.Font) : nullptr;
  tm.tmCharSet = logical != nullptr ? logical->CharSet : DEFAULT_CHARSET;
  // TMPF_VECTOR | TMPF_TRUETYPE: every face the engine loads is an outline face.
  tm.tmPitchAndFamily = 0x02 | 0x04;
  return tm;
}

int DrawTextA(HDC dc, const char* text, int count, TRect* rect, unsigned format) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || rect == nullptr || (text == nullptr && count != 0)) return 0;
  return DrawTextOn(*context, TextView(text, count), *rect, format);
}

bool TextOutA(HDC dc, int x, int y, const char* text, int count) {
  DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || count < 0 || (text == nullptr && count != 0)) return false;
  TextOutOn(*context, x, y, TextView(text, count));
  return true;
}

bool GetTextExtentPoint32A(HDC dc, const char* text, int count, TSize* size) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || size == nullptr || count < 0 || (text == nullptr && count != 0)) return false;
  *size = TextExtentOn(*context, TextView(text, count));
  return true;
}

bool GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  const DeviceContext* context = DCFromHandle(dc);
  if (context == nullptr || metrics == nullptr) return false;
  *metrics = TextMetricsOn(*context);
  return true;
}

}  // namespace bellcut
