#include "platform/graphics/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/gdi/FontObjects.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Handles.h"
#include "platform/graphics/FontEngine.h"

namespace bellcut {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

LogFont MakeFont(const std::string& name, int height, int weight = 400) {
  LogFont lf;
  lf.FaceName = name;
  lf.Height = height;
  lf.Weight = weight;
  return lf;
}

// Every pixel whose colour is not bg, as a bounding box (empty when none).
TRect InkBounds(const Dib& dib, COLORREF bg) {
  TRect r{dib.Width(), dib.Height(), 0, 0};
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x)
      if (dib.GetPixel(x, y) != bg)
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
  return r.IsEmpty() ? TRect{} : r;
}

std::vector<COLORREF> Pixels(const Dib& dib) {
  std::vector<COLORREF> out;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) out.push_back(dib.GetPixel(x, y));
  return out;
}

// A white 24-bit surface with a DC drawing black text in a chosen font, on a
// clear background.
class TextSurface : public ::testing::Test {
 protected:
  void Use(const LogFont& lf, int width = 200, int height = 80, int bits = 24) {
    Release();
    surface_ = Dib(width, height, bits);
    if (bits <= 8) surface_.Palette() = StandardPalette16();
    surface_.Fill(kWhite);
    dc_ = CreateSurfaceDC(&surface_);
    font_ = CreateFontIndirect(lf);
    SelectObject(dc_, font_);
    SetTextColor(dc_, kBlack);
    SetBkMode(dc_, TRANSPARENT);
  }
  void SetUp() override { Use(MakeFont("MS Sans Serif", -16)); }
  void TearDown() override { Release(); }
  void Release() {
    if (dc_ != nullptr) DeleteDC(dc_);
    if (font_ != nullptr) DeleteObject(font_);
    dc_ = nullptr;
    font_ = nullptr;
  }
  TSize Extent(const std::string& text) {
    TSize size;
    EXPECT_TRUE(GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size));
    return size;
  }
  TEXTMETRICA Metrics() {
    TEXTMETRICA tm;
    EXPECT_TRUE(GetTextMetricsA(dc_, &tm));
    return tm;
  }
  TRect CalcRect(const std::string& text, unsigned format = 0, TRect start = {}) {
    const int height = DrawTextA(dc_, text.c_str(), -1, &start, format | DT_CALCRECT);
    EXPECT_EQ(height, start.Height());
    return start;
  }

  Dib surface_;
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
};

bool FaceHasGlyphs(const std::string& file, int index, std::u32string_view text) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face = nullptr;
  bool all = FT_New_Face(library, file.c_str(), index, &face) == 0;
  if (all) {
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    for (char32_t c : text) all = all && FT_Get_Char_Index(face, c) != 0;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return all;
}

TEST(FontEngine, PlatformFamilyNamesResolveToInstalledFaces) {
  struct Case {
    const char* name;
    std::vector<std::string> families;  // acceptable matches
    std::u32string mustHave;
  };
  const Case cases[] = {
      {"ＭＳ Ｐゴシック", {"IPAPGothic"}, U"保存アイコン"},
      {"MS PGothic", {"IPAPGothic"}, U"保存アイコン"},
      {"ＭＳ ゴシック", {"IPAGothic"}, U"保存アイコン"},
      {"ＭＳ Ｐ明朝", {"IPAPMincho", "IPAPGothic"}, U"保存アイコン"},
      {"MS Sans Serif", {"DejaVu Sans"}, U"Save"},
      {"tahoma", {"DejaVu Sans"}, U"Save"},
      {"Courier New", {"DejaVu Sans Mono"}, U"Save"},
  };
  for (const Case& c : cases) {
    const FaceMatch m = FontEngine::Instance().Match(c.name, 400, false, DEFAULT_CHARSET);
    EXPECT_NE(std::find(c.families.begin(), c.families.end(), m.Family), c.families.end())
        << c.name << " matched " << m.Family << " (" << m.File << ")";
    EXPECT_TRUE(FaceHasGlyphs(m.File, m.Index, c.mustHave)) << c.name << " -> " << m.File;
  }
  // A name nobody knows still gets Japanese glyphs when the charset is Japanese.
  const FaceMatch unknown = FontEngine::Instance().Match("No Such Face", 400, false, SHIFTJIS_CHARSET);
  EXPECT_TRUE(FaceHasGlyphs(unknown.File, unknown.Index, U"保存アイコン")) << unknown.File;
}

TEST(FontEngine, FaceNameIsReadInTheActiveCodePage) {
  const CodePage saved = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  const ResolvedFont& font = FontEngine::Instance().Resolve(MakeFont(FromUtf8("ＭＳ Ｐゴシック"), -12));
  SetActiveCodePage(saved);
  EXPECT_EQ(font.Primary().Match().Family, "IPAPGothic");
}

TEST(FontEngine, MissingGlyphsComeFromTheJapaneseFallback) {
  FontEngine& engine = FontEngine::Instance();
  const ResolvedFont& latin = engine.Resolve(MakeFont("MS Sans Serif", -16));
  const ResolvedFont& japanese = engine.Resolve(MakeFont("ＭＳ Ｐゴシック", -16));
  ASSERT_FALSE(latin.Primary().HasGlyph(U'保')) << "the test needs a primary face without Japanese";
  for (char32_t c : std::u32string_view(U"保存アイコン")) {
    EXPECT_EQ(latin.Glyph(c).Coverage, japanese.Glyph(c).Coverage) << static_cast<unsigned>(c);
    EXPECT_GT(latin.Glyph(c).Advance, 0);
  }
  // Nothing has this one: the primary face's box stands in, with a width.
  EXPECT_GT(latin.Glyph(U'\U0010FFFD').Advance, 0);
  EXPECT_EQ(latin.Glyph(U'\n').Advance, 0) << "control characters take no room";
}

TEST(FontEngine, HeightSignSelectsCharacterOrCellHeight) {
  for (const char* name : {"ＭＳ Ｐゴシック", "MS Sans Serif", "Courier New"}) {
    int previousWidth = 0;
    for (int h : {8, 12, 16, 20, 33}) {
      const FontMetrics& byEm = FontEngine::Instance().Resolve(MakeFont(name, -h)).Metrics();
      EXPECT_GE(byEm.Height, h) << name << " -" << h;
      EXPECT_EQ(byEm.Height - byEm.InternalLeading, h) << name << " -" << h;
      EXPECT_EQ(byEm.Ascent + byEm.Descent, byEm.Height);
      const ResolvedFont& byCell = FontEngine::Instance().Resolve(MakeFont(name, h));
      EXPECT_EQ(byCell.Metrics().Height, h) << name << " +" << h;
      EXPECT_EQ(byCell.Metrics().Ascent + byCell.Metrics().Descent, h);
      const int width = FontEngine::Instance().Resolve(MakeFont(name, -h)).Width(U"Save 保存");
      EXPECT_GT(width, previousWidth) << name << ": text grows with the height";
      previousWidth = width;
    }
  }
}

TEST_F(TextSurface, ExtentGrowsWithTextAndStyle) {
  const TSize a = Extent("a"), ab = Extent("ab"), abc = Extent("abc");
  EXPECT_LT(0, a.cx);
  EXPECT_LT(a.cx, ab.cx);
  EXPECT_LT(ab.cx, abc.cx);
  EXPECT_EQ(a.cy, Metrics().tmHeight);
  EXPECT_EQ(Extent("").cx, 0);
  const TSize plain = Extent("Hello");

  Use(MakeFont("MS Sans Serif", -16, 700));
  EXPECT_GT(Extent("Hello").cx, plain.cx) << "bold is wider";
  Use(MakeFont("ＭＳ Ｐゴシック", -16));
  const TSize gothic = Extent("保存");
  Use(MakeFont("ＭＳ Ｐゴシック", -16, 700));
  EXPECT_GT(Extent("保存").cx, gothic.cx) << "emboldened face is wider";
  EXPECT_EQ(Metrics().tmWeight, 700);
}

TEST_F(TextSurface, TextIsReadInTheActiveCodePage) {
  Use(MakeFont("ＭＳ Ｐゴシック", -16));
  const TRect utf8 = CalcRect("保存&A");
  const CodePage saved = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  const TRect cp932 = CalcRect(FromUtf8("保存&A"));
  SetActiveCodePage(saved);
  EXPECT_EQ(cp932, utf8);
  EXPECT_EQ(utf8.Right, Extent("保存A").cx);
}

TEST_F(TextSurface, CalcRectMeasuresLinesWithoutDrawing) {
  const int h = Metrics().tmHeight;
  struct Case {
    const char* text;
    unsigned format;
    int lines;
    const char* widest;
  };
  const Case cases[] = {
      {"ab", 0, 1, "ab"},
      {"ab\nlonger line", 0, 2, "longer line"},
      {"longer line\r\nab", 0, 2, "longer line"},
      {"ab\r\rcd", 0, 3, "ab"},
      {"ab\n", 0, 1, "ab"},
      {"\n\n", 0, 2, ""},
      {"", 0, 0, ""},
      {"ab\ncd", DT_SINGLELINE, 1, "abcd"},
      {"word word word", 0, 1, "word word word"},  // no DT_WORDBREAK: never wraps
  };
  const auto before = Pixels(surface_);
  for (const Case& c : cases) {
    const TRect r = CalcRect(c.text, c.format, {7, 9, 8, 10});
    EXPECT_EQ(r, (TRect{7, 9, 7 + Extent(c.widest).cx, 9 + c.lines * h})) << '"' << c.text << '"';
  }
  EXPECT_EQ(Pixels(surface_), before);
}

TEST_F(TextSurface, WordBreakWrapsAtSpacesAndBetweenJapaneseCharacters) {
  const int h = Metrics().tmHeight;
  const int twoWords = Extent("aaa bbb").cx;
  TRect r = CalcRect("aaa bbb ccc", DT_WORDBREAK, {0, 0, twoWords, 0});
  EXPECT_EQ(r, (TRect{0, 0, twoWords, 2 * h}));
  // A word wider than the rectangle is not cut.
  r = CalcRect("abcdefgh ij", DT_WORDBREAK, {0, 0, 10, 0});
  EXPECT_EQ(r, (TRect{0, 0, Extent("abcdefgh").cx, 2 * h}));
  // Japanese has no spaces: a line may end after any character.
  Use(MakeFont("ＭＳ Ｐゴシック", -16));
  const int two = Extent("保存").cx;
  r = CalcRect("保存保存保", DT_WORDBREAK, {0, 0, two, 0});
  EXPECT_EQ(r.Bottom, 3 * Metrics().tmHeight);
  EXPECT_EQ(r.Right, two);
}

TEST_F(TextSurface, AmpersandMarksAnAcceleratorUnlessNoPrefix) {
  struct Case {
    const char* text;
    unsigned format;
    const char* shown;
  };
  for (const Case& c : {Case{"&Save", 0, "Save"}, Case{"A&&B", 0, "A&B"}, Case{"&&", 0, "&"}, Case{"ab&", 0, "ab"},
                        Case{"&Save", DT_NOPREFIX, "&Save"}, Case{"&保存", 0, "保存"}})
    EXPECT_EQ(CalcRect(c.text, c.format).Right, Extent(c.shown).cx) << c.text;

  // "&&" draws exactly what a literal "&" draws.
  TRect r{2, 2, 150, 60};
  DrawTextA(dc_, "x&&y", -1, &r, 0);
  const auto doubled = Pixels(surface_);
  surface_.Fill(kWhite);
  DrawTextA(dc_, "x&y", -1, &r, DT_NOPREFIX);
  EXPECT_EQ(Pixels(surface_), doubled);
}

TEST_F(TextSurface, AcceleratorUnderlinesTheMarkedCharacterOnly) {
  const TEXTMETRICA tm = Metrics();
  const int a = Extent("A").cx, b = Extent("B").cx;
  struct Case {
    const char* marked;
    int from, to;  // the underline's horizontal span
  };
  for (const Case c : {Case{"&ABC", 0, a}, Case{"A&BC", a, a + b}}) {
    surface_.Fill(kWhite);
    TRect r{0, 0, 200, 80};
    DrawTextA(dc_, "ABC", -1, &r, 0);
    const auto plain = Pixels(surface_);
    surface_.Fill(kWhite);
    DrawTextA(dc_, c.marked, -1, &r, 0);
    const auto marked = Pixels(surface_);
    TRect diff{200, 80, 0, 0};
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 200; ++x)
        if (plain[static_cast<std::size_t>(y * 200 + x)] != marked[static_cast<std::size_t>(y * 200 + x)])
          diff = {std::min(diff.Left, x), std::min(diff.Top, y), std::max(diff.Right, x + 1),
                  std::max(diff.Bottom, y + 1)};
    ASSERT_FALSE(diff.IsEmpty()) << c.marked << ": no underline";
    EXPECT_EQ(diff.Left, c.from) << c.marked;
    EXPECT_EQ(diff.Right, c.to) << c.marked;
    EXPECT_GE(diff.Top, tm.tmAscent) << c.marked << ": the underline is below the baseline";
    EXPECT_LE(diff.Bottom, tm.tmHeight) << c.marked << ": and inside the cell";
  }
}

TEST_F(TextSurface, AlignmentPlacesLinesAsTextOutWouldAtTheComputedPoint) {
  const int h = Metrics().tmHeight;
  const TRect box{20, 10, 180, 70};
  struct Case {
    const char* text;
    unsigned format;
    std::vector<TPoint> starts;  // where TextOutA must put each line
    int result;
  };
  const int wa = Extent("ab").cx, wl = Extent("longer").cx;
  const Case cases[] = {
      {"ab", DT_CENTER | DT_VCENTER | DT_SINGLELINE, {{20 + (160 - wa) / 2, 10 + (60 - h) / 2}}, (60 - h) / 2 + h},
      {"ab", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, {{180 - wa, 70 - h}}, 60},
      {"ab", DT_LEFT, {{20, 10}}, h},
      // Without DT_SINGLELINE vertical centring has no effect; each line is centred on its own.
      {"ab\nlonger", DT_CENTER | DT_VCENTER, {{20 + (160 - wa) / 2, 10}, {20 + (160 - wl) / 2, 10 + h}}, 2 * h},
      {"ab\nlonger", DT_RIGHT, {{180 - wa, 10}, {180 - wl, 10 + h}}, 2 * h},
  };
  for (const Case& c : cases) {
    surface_.Fill(kWhite);
    TRect r = box;
    EXPECT_EQ(DrawTextA(dc_, c.text, -1, &r, c.format), c.result) << c.text << " " << c.format;
    EXPECT_EQ(r, box) << "drawing leaves the rectangle alone";
    const auto drawn = Pixels(surface_);
    surface_.Fill(kWhite);
    std::string text = c.text;
    for (const TPoint p : c.starts) {
      const std::string line = text.substr(0, text.find('\n'));
      text.erase(0, line.size() + 1);
      EXPECT_TRUE(TextOutA(dc_, p.X, p.Y, line.c_str(), static_cast<int>(line.size())));
    }
    EXPECT_EQ(Pixels(surface_), drawn) << c.text << " " << c.format;
    EXPECT_FALSE(InkBounds(surface_, kWhite).IsEmpty());
  }
}

TEST_F(TextSurface, DrawingNeverLeavesTheRectOrTheClip) {
  Use(MakeFont("ＭＳ Ｐゴシック", -40), 120, 60);
  const std::string text = "保存WWWW\nアイコン";
  struct Case {
    const char* what;
    unsigned format;
    TRect rect, clip, allowed;  // clip: the DC clip (empty for none)
  };
  const Case cases[] = {
      {"rect", 0, {10, 5, 50, 30}, {}, {10, 5, 50, 30}},
      {"rect, centred", DT_CENTER | DT_VCENTER | DT_SINGLELINE, {30, 10, 70, 40}, {}, {30, 10, 70, 40}},
      {"no clip", DT_NOCLIP, {10, 5, 50, 30}, {}, {0, 0, 120, 60}},
      {"dc clip", DT_NOCLIP, {-30, -20, 50, 30}, {0, 0, 25, 60}, {0, 0, 25, 60}},
      {"both", 0, {10, 5, 50, 30}, {0, 20, 120, 60}, {10, 20, 50, 30}},
      {"off the surface", 0, {-15, -12, 900, 900}, {}, {0, 0, 120, 60}},
  };
  for (const Case& c : cases) {
    surface_.Fill(kWhite);
    SelectClipRgn(dc_, nullptr);
    if (!c.clip.IsEmpty()) IntersectClipRect(dc_, c.clip.Left, c.clip.Top, c.clip.Right, c.clip.Bottom);
    TRect r = c.rect;
    DrawTextA(dc_, text.c_str(), -1, &r, c.format);
    const TRect ink = InkBounds(surface_, kWhite);
    ASSERT_FALSE(ink.IsEmpty()) << c.what;
    EXPECT_EQ(ink.Intersect(c.allowed), ink)
        << c.what << ": ink " << ink.Left << "," << ink.Top << "-" << ink.Right << "," << ink.Bottom;
  }
  SelectClipRgn(dc_, nullptr);

  // The window system's visible region and the DC origin count too.
  surface_.Fill(kWhite);
  DCFromHandle(dc_)->VisRgn = Region(TRect{40, 0, 120, 60});
  SetViewportOrgEx(dc_, 30, 0, nullptr);
  TRect r{0, 0, 60, 60};
  DrawTextA(dc_, text.c_str(), -1, &r, 0);
  const TRect ink = InkBounds(surface_, kWhite);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.Left, 40);
  EXPECT_LE(ink.Right, 90);
}

TEST_F(TextSurface, IndexedSurfaceTakesTheNearestPaletteEntryOfTheSmoothedColour) {
  const std::string caption = "保存 アイコン &Save";
  Use(MakeFont("ＭＳ Ｐゴシック", -12), 140, 20, 24);
  TRect r{0, 0, 140, 20};
  DrawTextA(dc_, caption.c_str(), -1, &r, 0);
  const Dib truecolour = surface_.Clone();

  Use(MakeFont("ＭＳ Ｐゴシック", -12), 140, 20, 4);
  DrawTextA(dc_, caption.c_str(), -1, &r, 0);
  bool smoothed = false;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 140; ++x) {
      const COLORREF wanted = truecolour.GetPixel(x, y);
      EXPECT_EQ(static_cast<int>(surface_.GetRaw(x, y)), surface_.NearestIndex(wanted)) << x << "," << y;
      smoothed = smoothed || (wanted != kWhite && wanted != kBlack);
    }
  }
  EXPECT_TRUE(smoothed) << "the text is anti-aliased";
  for (const COLORREF c : Pixels(surface_))
    EXPECT_NE(std::find(StandardPalette16().begin(), StandardPalette16().end(), RgbQuad::From(c)),
              StandardPalette16().end());
}

TEST_F(TextSurface, TextOutFillsTheCellOnlyWhenOpaque) {
  Use(MakeFont("MS Sans Serif", -16), 100, 40, 32);
  // The fourth byte of 32-bit pixels is not the text's business.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) surface_.ScanLine(y)[x * 4 + 3] = 0xAB;
  const TSize cell = Extent("a b");
  SetBkColor(dc_, RGB(255, 0, 0));
  SetBkMode(dc_, OPAQUE);
  EXPECT_TRUE(TextOutA(dc_, 10, 5, "a b", 3));
  EXPECT_EQ(InkBounds(surface_, kWhite), (TRect{10, 5, 10 + cell.cx, 5 + cell.cy}));
  int red = 0;
  for (const COLORREF c : Pixels(surface_)) red += c == RGB(255, 0, 0);
  EXPECT_GT(red, cell.cx * cell.cy / 2) << "the gaps show the background colour";
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(surface_.ScanLine(y)[x * 4 + 3], 0xAB);

  surface_.Fill(kWhite);
  SetBkMode(dc_, TRANSPARENT);
  EXPECT_TRUE(TextOutA(dc_, 10, 5, "a b", 3));
  for (const COLORREF c : Pixels(surface_)) EXPECT_NE(c, RGB(255, 0, 0));
}

TEST_F(TextSurface, UnderlineAndStrikeOutStylesDrawFullLines) {
  for (const bool strike : {false, true}) {
    LogFont lf = MakeFont("MS Sans Serif", -20);
    lf.Underline = !strike;
    lf.StrikeOut = strike;
    Use(lf);
    const TEXTMETRICA tm = Metrics();
    EXPECT_EQ(tm.tmUnderlined, strike ? 0 : 1);
    EXPECT_EQ(tm.tmStruckOut, strike ? 1 : 0);
    const TSize cell = Extent("i i");
    EXPECT_TRUE(TextOutA(dc_, 0, 0, "i i", 3));
    // Some row of the cell is text-coloured all the way across: below the
    // baseline for the underline, above it for the strike-out.
    int fullRow = -1;
    for (int y = 0; y < cell.cy && fullRow < 0; ++y) {
      bool full = true;
      for (int x = 0; x < cell.cx; ++x) full = full && surface_.GetPixel(x, y) == kBlack;
      if (full) fullRow = y;
    }
    ASSERT_GE(fullRow, 0) << (strike ? "strike-out" : "underline");
    if (strike)
      EXPECT_LT(fullRow, tm.tmAscent);
    else
      EXPECT_GE(fullRow, tm.tmAscent);
  }
}

TEST_F(TextSurface, BadArgumentsFailWithoutTouchingAnything) {
  TRect r{0, 0, 50, 50};
  TSize size;
  TEXTMETRICA tm;
  EXPECT_EQ(DrawTextA(nullptr, "a", -1, &r, 0), 0);
  EXPECT_EQ(DrawTextA(dc_, "a", -1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextA(dc_, nullptr, 3, &r, 0), 0);
  EXPECT_FALSE(TextOutA(dc_, 0, 0, "a", -1));
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
  EXPECT_FALSE(GetTextExtentPoint32A(dc_, "a", 1, nullptr));
  EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
  EXPECT_EQ(InkBounds(surface_, kWhite), TRect{});

  // count limits the text even without a terminator; broken bytes still draw.
  EXPECT_EQ(DrawTextA(dc_, "abXYZ", 2, &r, DT_CALCRECT), Metrics().tmHeight);
  EXPECT_EQ(r.Right, Extent("ab").cx);
  r = {0, 0, 50, 50};
  EXPECT_GT(DrawTextA(dc_, "\xff\xfe\x80", -1, &r, 0), 0);

  // A font deleted while selected leaves the DC on the default font, not dangling.
  DeleteObject(font_);
  font_ = nullptr;
  EXPECT_TRUE(GetTextExtentPoint32A(dc_, "ab", 2, &size));
  EXPECT_GT(size.cx, 0);
}

TEST(Text, DrawingLeaksNoHandles) {
  const std::size_t fonts = LiveHandleCount(HandleKind::Font);
  const std::size_t dcs = LiveHandleCount(HandleKind::DC);
  {
    Dib dib(40, 20, 24);
    const HDC dc = CreateSurfaceDC(&dib);
    const HFONT font = CreateFontIndirect(MakeFont("ＭＳ Ｐゴシック", -12));
    SelectObject(dc, font);
    TRect r{0, 0, 40, 20};
    DrawTextA(dc, "保存", -1, &r, 0);
    DeleteDC(dc);
    DeleteObject(font);
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts);
  EXPECT_EQ(LiveHandleCount(HandleKind::DC), dcs);
}

}  // namespace
}  // namespace bellcut

namespace bellcut {
namespace {

// Rectangles and positions at the ends of the int range, with and without a
// far origin: the layout arithmetic stays defined.
TEST_F(TextSurface, ExtremeRectanglesAndPositionsStayDefined) {
  const TRect rects[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX},
                         {INT_MIN, 0, INT_MIN + 1, 10}, {INT_MAX, INT_MAX, INT_MIN, INT_MIN}};
  const unsigned formats[] = {DT_CENTER | DT_VCENTER | DT_SINGLELINE, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE,
                              DT_WORDBREAK, DT_CALCRECT, DT_NOCLIP};
  const int origins[] = {0, (1 << 30) - 1, -(1 << 30) + 1};
  for (int org : origins) {
    SetViewportOrgEx(dc_, org, org, nullptr);
    for (const TRect& r : rects)
      for (unsigned format : formats) {
        TRect copy = r;
        DrawTextA(dc_, "Ab &c\tde", -1, &copy, format);
      }
    for (int at : {INT_MIN, INT_MAX, -(1 << 29), 1 << 29}) TextOutA(dc_, at, at, "Ab", 2);
  }
  // Centred in the whole range, a line sits across the surface's corner, as
  // it would in a rectangle centred on (0, 0).
  SetViewportOrgEx(dc_, 0, 0, nullptr);
  surface_.Fill(kWhite);
  TRect all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  DrawTextA(dc_, "WWWW", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const TRect ink = InkBounds(surface_, kWhite);
  EXPECT_LT(ink.Left, Extent("W").cx) << ink.Left << "," << ink.Top << "," << ink.Right << "," << ink.Bottom;
  EXPECT_LT(ink.Right, Extent("WWWW").cx / 2 + 2);
  EXPECT_LT(ink.Bottom, Metrics().tmHeight / 2 + 2);
  EXPECT_FALSE(ink.IsEmpty());
}

}  // namespace
}  // namespace bellcut
