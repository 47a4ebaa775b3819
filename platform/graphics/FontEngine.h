// The text renderer's font side: matching a logical font to an installed
// face with fontconfig and rasterising its glyphs with FreeType.
//
// The platform's family names ("ＭＳ Ｐゴシック", "MS Sans Serif", ...) are not
// known to a Linux system, so the engine maps them to installed families
// before asking fontconfig (see the alias table in FontEngine.cpp). A glyph
// that the matched face lacks is taken from a Japanese-capable fallback face,
// then from a general one, so Japanese captions never come out as boxes.
//
// Everything is cached for the life of the process: faces per font file and
// size, glyph bitmaps per code point. The engine belongs to the GUI thread;
// it is not meant to be used from several threads at once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/DeviceContext.h"

namespace bellcut {

// One glyph as 8-bit coverage, placed relative to the pen position on the
// baseline: the bitmap's top-left pixel is at (pen.x + Left, baseline - Top).
struct GlyphBitmap {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Rows = 0;
  int Advance = 0;                    // pixels the pen moves on
  std::vector<std::uint8_t> Coverage;  // Rows * Width, row-major, 0..255
};

// Cell metrics of a resolved font in whole pixels, in the platform's terms:
// Height = Ascent + Descent, InternalLeading = Height - em size.
struct FontMetrics {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int Weight = 400;
  bool Italic = false;
  // Lines drawn by the renderer: the underline's top row is UnderlineOffset
  // rows below the baseline; the strike-out's top row StrikeOutOffset rows above it.
  int UnderlineOffset = 1;
  int UnderlineThickness = 1;
  int StrikeOutOffset = 3;
  int StrikeOutThickness = 1;
};

// Where fontconfig sent a face name, after the engine's aliases.
struct FaceMatch {
  std::string File;
  int Index = 0;
  std::string Family;   // the matched face's first family name (UTF-8)
  bool SyntheticBold = false;    // bold asked for, the face is not bold
  bool SyntheticItalic = false;  // italic asked for, the face is upright
};

class FontFace;

// A logical font resolved to faces at one size: the matched face and its
// fallbacks. Handed out by FontEngine::Resolve and owned by the engine.
class ResolvedFont {
 public:
  ResolvedFont(std::vector<FontFace*> chain, const FontMetrics& metrics);

  [[nodiscard]] const FontMetrics& Metrics() const { return metrics_; }
  // The glyph for a code point, from the first face of the chain that has
  // one; the matched face's "missing glyph" box when none has. Control
  // characters are empty and do not advance the pen.
  [[nodiscard]] const GlyphBitmap& Glyph(char32_t codePoint) const;
  [[nodiscard]] int Advance(char32_t codePoint) const { return Glyph(codePoint).Advance; }
  // The sum of the advances.
  [[nodiscard]] int Width(std::u32string_view text) const;
  [[nodiscard]] const FontFace& Primary() const { return *chain_.front(); }

 private:
  std::vector<FontFace*> chain_;
  FontMetrics metrics_;
  // Which face serves a code point, remembered so a text does not ask every
  // face of the chain for every character again.
  mutable std::unordered_map<char32_t, const GlyphBitmap*> glyphs_;
};

class FontEngine {
 public:
  // The process's engine; the first call loads the fontconfig configuration.
  [[nodiscard]] static FontEngine& Instance();
  // For an object with static lifetime that may draw text in its destructor
  // (the application object, destroying forms at exit): called from its
  // constructor, it makes the engine's holder older than that object, so
  // the engine is released only after it. Cheap: loads nothing.
  static void OutliveCaller();

  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;
  ~FontEngine();

  // The faces and metrics for a logical font (cached). The face name is in
  // the active code page. Throws EOutOfResources when no face can be loaded
  // at all (no fonts installed).
  [[nodiscard]] const ResolvedFont& Resolve(const LogFont& font);
  // What a face name (UTF-8) matches, aliases applied.
  [[nodiscard]] FaceMatch Match(std::string_view familyUtf8, int weight, bool italic,
                                std::uint8_t charSet) const;
  // The installed families the engine puts in front of a platform family
  // name (UTF-8; empty for a name it does not know).
  [[nodiscard]] static std::vector<std::string> AliasesFor(std::string_view familyUtf8);

 private:
  FontEngine();
  FontFace& Face(const FaceMatch& match, long emSize64);

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The pixel height a logical font height stands for when nothing else is
// known: the default for Height 0 (the platform picks a readable size).
constexpr int kDefaultEmPixels = 12;
// The largest size the engine renders; larger heights are drawn at this
// size. Glyphs are cached for the life of the process, and a glyph of this
// size already takes a megabyte.
constexpr int kMaxEmPixels = 1024;

// A FreeType face at one size with its glyph cache (owned by the engine).
class FontFace {
 public:
  FontFace(void* library, const FaceMatch& match, long emSize64);
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;
  ~FontFace();

  [[nodiscard]] bool HasGlyph(char32_t codePoint) const;
  // The rendered glyph (cached); codePoints the face lacks give its box.
  [[nodiscard]] const GlyphBitmap& Glyph(char32_t codePoint) const;
  [[nodiscard]] const FaceMatch& Match() const { return match_; }
  // The FreeType face (FT_Face), for callers that inspect the font itself.
  [[nodiscard]] void* NativeFace() const { return face_; }
  // Metrics of this face at its size; Height follows the platform's cell
  // rule (the Windows ascent and descent of the font's OS/2 table when present).
  [[nodiscard]] FontMetrics ComputeMetrics(int weight, bool italic) const;
  // Cell height (ascent + descent) per em, to size a face by its cell.
  [[nodiscard]] double CellPerEm() const;

 private:
  void* face_ = nullptr;  // FT_Face; kept opaque so users need no FreeType headers
  FaceMatch match_;
  long emSize64_;
  mutable std::unordered_map<char32_t, GlyphBitmap> glyphs_;
};

}  // namespace bellcut
