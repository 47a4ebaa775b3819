#include "platform/graphics/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <tuple>

#include "platform/base/CodePage.h"
#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

// The platform's family names and the installed families that stand in for
// them, best first. Debian ships no aliases for these names, and without them
// fontconfig would answer with its default face, which has no Japanese
// glyphs. The Mincho names fall back to the Gothic face when the Mincho
// package is absent: a Japanese face of the wrong style beats boxes.
struct Alias {
  std::string_view Name;
  std::array<std::string_view, 3> Families;
};

constexpr std::array kAliases{
    Alias{"ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic", ""}},
    Alias{"MS PGothic", {"IPAPGothic", "IPAGothic", ""}},
    Alias{"ＭＳ ゴシック", {"IPAGothic", "IPAPGothic", ""}},
    Alias{"MS Gothic", {"IPAGothic", "IPAPGothic", ""}},
    Alias{"ＭＳ Ｐ明朝", {"IPAPMincho", "IPAMincho", "IPAPGothic"}},
    Alias{"MS PMincho", {"IPAPMincho", "IPAMincho", "IPAPGothic"}},
    Alias{"ＭＳ 明朝", {"IPAMincho", "IPAPMincho", "IPAPGothic"}},
    Alias{"MS Mincho", {"IPAMincho", "IPAPMincho", "IPAPGothic"}},
    Alias{"ＭＳ ＵＩ Ｇｏｔｈｉｃ", {"IPAPGothic", "IPAGothic", ""}},
    Alias{"MS UI Gothic", {"IPAPGothic", "IPAGothic", ""}},
    Alias{"MS Sans Serif", {"DejaVu Sans", "", ""}},
    Alias{"MS Shell Dlg", {"DejaVu Sans", "", ""}},
    Alias{"MS Shell Dlg 2", {"DejaVu Sans", "", ""}},
    Alias{"Tahoma", {"DejaVu Sans", "", ""}},
    Alias{"Arial", {"DejaVu Sans", "", ""}},
    Alias{"Verdana", {"DejaVu Sans", "", ""}},
    Alias{"System", {"DejaVu Sans", "", ""}},
    Alias{"Courier New", {"DejaVu Sans Mono", "", ""}},
    Alias{"Courier", {"DejaVu Sans Mono", "", ""}},
    Alias{"Times New Roman", {"DejaVu Serif", "", ""}},
};

// Family names compare without regard to ASCII case, as the platform's do.
bool SameFamily(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Fallbacks for glyphs the matched face lacks: Japanese first (the program's
// texts are Japanese), then a face with wide Latin, Greek and symbol coverage.
constexpr std::array<std::string_view, 2> kFallbackFamilies{"IPAPGothic", "DejaVu Sans"};

const FcChar8* FcStr(std::string_view s, std::string& holder) {
  holder.assign(s);
  return reinterpret_cast<const FcChar8*>(holder.c_str());
}

int RoundToInt(double v) { return static_cast<int>(std::lround(v)); }

FT_Face AsFace(void* face) { return static_cast<FT_Face>(face); }

}  // namespace

// --- FontFace ------------------------------------------------------------------

FontFace::FontFace(void* library, const FaceMatch& match, long emSize64) : match_(match), emSize64_(emSize64) {
  FT_Face face = nullptr;
  if (FT_New_Face(static_cast<FT_Library>(library), match.File.c_str(), match.Index, &face) != 0)
    throw EOutOfResources("Cannot load font file " + match.File);
  face_ = face;
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);  // a face without one keeps its own
  if (FT_Set_Char_Size(face, 0, std::max<long>(emSize64, 64), 72, 72) != 0 && face->num_fixed_sizes > 0)
    FT_Select_Size(face, 0);
  if (match.SyntheticItalic) {
    // The oblique slant the platform gives an upright face: about 12 degrees.
    FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
  }
}

FontFace::~FontFace() { FT_Done_Face(AsFace(face_)); }

bool FontFace::HasGlyph(char32_t codePoint) const { return FT_Get_Char_Index(AsFace(face_), codePoint) != 0; }

const GlyphBitmap& FontFace::Glyph(char32_t codePoint) const {
  if (auto it = glyphs_.find(codePoint); it != glyphs_.end()) return it->second;
  GlyphBitmap glyph;
  if (codePoint >= 0x20 && codePoint != 0x7F) {
    FT_Face face = AsFace(face_);
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    // Outlines, not embedded bitmaps: the embedded ones are one-bit and
    // would skip the smoothing every other size gets.
    FT_Error error = FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP);
    if (error != 0) error = FT_Load_Glyph(face, index, FT_LOAD_DEFAULT);
    if (error == 0) {
      if (match_.SyntheticBold) FT_GlyphSlot_Embolden(face->glyph);
      if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_Bitmap& bm = face->glyph->bitmap;
        glyph.Left = face->glyph->bitmap_left;
        glyph.Top = face->glyph->bitmap_top;
        glyph.Width = static_cast<int>(bm.width);
        glyph.Rows = static_cast<int>(bm.rows);
        glyph.Coverage.resize(static_cast<std::size_t>(glyph.Width) * static_cast<std::size_t>(glyph.Rows));
        for (int y = 0; y < glyph.Rows; ++y) {
          const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
          std::uint8_t* dst =
              glyph.Coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.Width);
          for (int x = 0; x < glyph.Width; ++x) {
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
              dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
              dst[x] = static_cast<std::uint8_t>(bm.num_grays == 256 ? src[x]
                                                                     : src[x] * 255 / std::max(1, bm.num_grays - 1));
          }
        }
      }
      glyph.Advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
  }
  return glyphs_.emplace(codePoint, std::move(glyph)).first->second;
}

double FontFace::CellPerEm() const {
  FT_Face face = AsFace(face_);
  if (face->units_per_EM == 0) return 1.0;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double cell = 0;
  if (os2 != nullptr && os2->version != 0xFFFF) cell = double(os2->usWinAscent) + double(os2->usWinDescent);
  if (cell <= 0) cell = double(face->ascender) - double(face->descender);
  return cell > 0 ? cell / face->units_per_EM : 1.0;
}

FontMetrics FontFace::ComputeMetrics(int weight, bool italic) const {
  FT_Face face = AsFace(face_);
  FontMetrics m;
  m.Weight = weight;
  m.Italic = italic;
  const double em = emSize64_ / 64.0;
  if (face->units_per_EM == 0) {  // a bitmap-only face: take its size's own metrics
    m.Ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    m.Descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    m.Height = m.Ascent + m.Descent;
    m.AveCharWidth = m.MaxCharWidth = static_cast<int>(face->size->metrics.max_advance >> 6);
    m.StrikeOutOffset = m.Ascent / 3;
    return m;
  }
  const double scale = em / face->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool haveOs2 = os2 != nullptr && os2->version != 0xFFFF;
  double ascent = face->ascender;
  double descent = -face->descender;
  if (haveOs2 && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  m.Ascent = RoundToInt(ascent * scale);
  m.Descent = RoundToInt(descent * scale);
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = std::max(0, m.Height - RoundToInt(em));
  m.MaxCharWidth = RoundToInt(face->max_advance_width * scale);
  if (haveOs2 && os2->xAvgCharWidth > 0)
    m.AveCharWidth = RoundToInt(os2->xAvgCharWidth * scale);
  else
    m.AveCharWidth = Glyph(U'x').Advance;
  if (match_.SyntheticBold) {
    m.AveCharWidth += 1;
    m.MaxCharWidth += 1;
  }

  m.UnderlineThickness = std::max(1, RoundToInt(face->underline_thickness * scale));
  const int underline = RoundToInt(-face->underline_position * scale - face->underline_thickness * scale / 2);
  // Keep the line inside the cell, where the platform draws it.
  m.UnderlineOffset = std::clamp(underline, 1, std::max(1, m.Descent - m.UnderlineThickness));
  if (haveOs2 && os2->yStrikeoutSize > 0) {
    m.StrikeOutThickness = std::max(1, RoundToInt(os2->yStrikeoutSize * scale));
    m.StrikeOutOffset = RoundToInt(os2->yStrikeoutPosition * scale) + m.StrikeOutThickness - 1;
  } else {
    m.StrikeOutThickness = m.UnderlineThickness;
    m.StrikeOutOffset = RoundToInt(m.Ascent * 0.3);
  }
  m.StrikeOutOffset = std::clamp(m.StrikeOutOffset, 0, std::max(0, m.Ascent - 1));
  return m;
}

// --- ResolvedFont --------------------------------------------------------------

ResolvedFont::ResolvedFont(std::vector<FontFace*> chain, const FontMetrics& metrics)
    : chain_(std::move(chain)), metrics_(metrics) {}

const GlyphBitmap& ResolvedFont::Glyph(char32_t codePoint) const {
  if (auto it = glyphs_.find(codePoint); it != glyphs_.end()) return *it->second;
  const GlyphBitmap* glyph = nullptr;
  for (const FontFace* face : chain_) {
    if (face->HasGlyph(codePoint)) {
      glyph = &face->Glyph(codePoint);
      break;
    }
  }
  if (glyph == nullptr) glyph = &chain_.front()->Glyph(codePoint);
  glyphs_.emplace(codePoint, glyph);
  return *glyph;
}

int ResolvedFont::Width(std::u32string_view text) const {
  int width = 0;
  for (char32_t c : text) width += Advance(c);
  return width;
}

// --- FontEngine ----------------------------------------------------------------

struct FontEngine::Impl {
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  // Faces per file, index, size and synthesis.
  std::map<std::tuple<std::string, int, long, bool, bool>, std::unique_ptr<FontFace>> faces;
  // Resolved fonts per logical font (face name, height, weight class, italic, charset).
  std::map<std::tuple<std::string, int, bool, bool, std::uint8_t>, std::unique_ptr<ResolvedFont>> resolved;
};

namespace {

// Holds the engine, built on first use. Its own lifetime starts when the
// holder is first touched, which OutliveCaller lets a static user do early;
// the engine must be destroyed (and not merely abandoned at exit) because
// fontconfig keeps allocations that only FcConfigDestroy gives back.
std::unique_ptr<FontEngine>& EngineHolder() {
  static std::unique_ptr<FontEngine> holder;
  return holder;
}

}  // namespace

FontEngine& FontEngine::Instance() {
  auto& holder = EngineHolder();
  if (!holder) holder.reset(new FontEngine());
  return *holder;
}

void FontEngine::OutliveCaller() { (void)EngineHolder(); }

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) throw EOutOfResources("Cannot initialise FreeType");
  // Our own configuration, so that what the program matches depends on the
  // installed fonts and our aliases only, not on what else in the process
  // did to fontconfig's current configuration.
  impl_->config = FcInitLoadConfigAndFonts();
  if (impl_->config == nullptr) {
    FT_Done_FreeType(impl_->library);
    throw EOutOfResources("Cannot load the fontconfig configuration");
  }
}

FontEngine::~FontEngine() {
  impl_->resolved.clear();
  impl_->faces.clear();  // before the library that made them
  FT_Done_FreeType(impl_->library);
  FcConfigDestroy(impl_->config);
}

std::vector<std::string> FontEngine::AliasesFor(std::string_view familyUtf8) {
  std::vector<std::string> out;
  for (const Alias& alias : kAliases) {
    if (!SameFamily(alias.Name, familyUtf8)) continue;
    for (std::string_view f : alias.Families)
      if (!f.empty()) out.emplace_back(f);
    break;
  }
  return out;
}

FaceMatch FontEngine::Match(std::string_view familyUtf8, int weight, bool italic, std::uint8_t charSet) const {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) throw EOutOfResources("Cannot create a font pattern");
  std::string holder;
  for (const std::string& family : AliasesFor(familyUtf8))
    FcPatternAddString(pattern, FC_FAMILY, FcStr(family, holder));
  if (!familyUtf8.empty()) FcPatternAddString(pattern, FC_FAMILY, FcStr(familyUtf8, holder));
  // A Japanese charset with a name nobody knows still deserves Japanese glyphs.
  if (charSet == SHIFTJIS_CHARSET) FcPatternAddString(pattern, FC_LANG, FcStr("ja", holder));
  FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(impl_->config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(impl_->config, pattern, &result);
  FcPatternDestroy(pattern);
  if (found == nullptr) throw EOutOfResources("No installed font matches \"" + std::string(familyUtf8) + "\"");

  FaceMatch match;
  FcChar8* text = nullptr;
  if (FcPatternGetString(found, FC_FILE, 0, &text) == FcResultMatch) match.File = reinterpret_cast<char*>(text);
  if (FcPatternGetString(found, FC_FAMILY, 0, &text) == FcResultMatch) match.Family = reinterpret_cast<char*>(text);
  int value = 0;
  if (FcPatternGetInteger(found, FC_INDEX, 0, &value) == FcResultMatch) match.Index = value;
  // The system configuration may already have decided to synthesise the
  // style (it then reports the asked-for weight and slant, with embolden or
  // a shear matrix); otherwise the face's own weight and slant tell.
  int foundWeight = FC_WEIGHT_REGULAR;
  FcPatternGetInteger(found, FC_WEIGHT, 0, &foundWeight);
  int foundSlant = FC_SLANT_ROMAN;
  FcPatternGetInteger(found, FC_SLANT, 0, &foundSlant);
  FcBool embolden = FcFalse;
  FcPatternGetBool(found, FC_EMBOLDEN, 0, &embolden);
  FcMatrix* matrix = nullptr;
  const bool sheared =
      FcPatternGetMatrix(found, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix != nullptr && matrix->xy != 0;
  FcPatternDestroy(found);
  if (match.File.empty()) throw EOutOfResources("No installed font matches \"" + std::string(familyUtf8) + "\"");
  match.SyntheticBold = weight >= 600 && (embolden == FcTrue || foundWeight < FC_WEIGHT_DEMIBOLD);
  match.SyntheticItalic = italic && (sheared || foundSlant == FC_SLANT_ROMAN);
  return match;
}

FontFace& FontEngine::Face(const FaceMatch& match, long emSize64) {
  auto key = std::make_tuple(match.File, match.Index, emSize64, match.SyntheticBold, match.SyntheticItalic);
  auto& slot = impl_->faces[key];
  if (!slot) {
    try {
      slot = std::make_unique<FontFace>(impl_->library, match, emSize64);
    } catch (...) {
      impl_->faces.erase(key);
      throw;
    }
  }
  return *slot;
}

const ResolvedFont& FontEngine::Resolve(const LogFont& font) {
  const bool bold = font.Weight >= 600;
  auto key = std::make_tuple(font.FaceName, font.Height, bold, font.Italic, font.CharSet);
  if (auto it = impl_->resolved.find(key); it != impl_->resolved.end()) return *it->second;

  const std::string family = ToUtf8(font.FaceName);
  const FaceMatch primaryMatch = Match(family, font.Weight, font.Italic, font.CharSet);

  // Negative heights give the em size; positive ones the cell, which the
  // face's own ascent and descent turn into an em size.
  long em64 = 64L * kDefaultEmPixels;
  if (font.Height < 0) {
    em64 = 64L * std::min(-static_cast<long>(font.Height), static_cast<long>(kMaxEmPixels));
  } else if (font.Height > 0) {
    const double cellPerEm = Face(primaryMatch, em64).CellPerEm();
    em64 = std::max(64L, std::lround(std::min(font.Height, kMaxEmPixels) * 64.0 / cellPerEm));
  }
  FontFace& primary = Face(primaryMatch, em64);
  std::vector<FontFace*> chain{&primary};
  for (std::string_view fallback : kFallbackFamilies) {
    FaceMatch m;
    try {
      m = Match(fallback, font.Weight, font.Italic, DEFAULT_CHARSET);
    } catch (const EOutOfResources&) {
      continue;  // a missing fallback only costs coverage
    }
    FontFace& face = Face(m, em64);
    if (std::find(chain.begin(), chain.end(), &face) == chain.end()) chain.push_back(&face);
  }

  FontMetrics metrics = primary.ComputeMetrics(bold ? 700 : 400, font.Italic);
  if (font.Height > 0) {
    // The platform gives exactly the cell height asked for.
    const double ascentShare = metrics.Height > 0 ? double(metrics.Ascent) / metrics.Height : 0.8;
    metrics.Ascent = std::clamp(RoundToInt(font.Height * ascentShare), 0, font.Height);
    metrics.Descent = font.Height - metrics.Ascent;
    metrics.Height = font.Height;
    metrics.InternalLeading = std::max(0, metrics.Height - static_cast<int>(em64 / 64));
  }
  auto resolved = std::make_unique<ResolvedFont>(std::move(chain), metrics);
  return *impl_->resolved.emplace(key, std::move(resolved)).first->second;
}

}  // namespace bellcut
