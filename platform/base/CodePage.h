// The process's ANSI code page. Program text is a byte string in this code
// page: UTF-8 on Linux by default, code page 932 (Shift_JIS as Windows writes
// it) when the locale's character set asks for it. Every function here that
// walks a text does so by characters of the active code page, so a trail byte
// of a double-byte character is never taken for a delimiter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bellcut {

enum class CodePage { Utf8, Cp932 };

// The active code page, chosen once from the locale (LC_ALL, LC_CTYPE, LANG):
// a character set named SJIS, Shift_JIS, CP932, MS932 or WINDOWS-31J selects
// code page 932; everything else selects UTF-8.
[[nodiscard]] CodePage ActiveCodePage();
// Overrides the choice (tests, and the rare program that must fix it).
void SetActiveCodePage(CodePage page);
[[nodiscard]] CodePage CodePageFromLocaleName(std::string_view locale);

// Conversions between the active code page and UTF-8. Bytes that do not
// convert become '?' rather than ending the text.
[[nodiscard]] std::string FromUtf8(std::string_view utf8);
[[nodiscard]] std::string ToUtf8(std::string_view ansi);
[[nodiscard]] std::string Convert(std::string_view text, CodePage from, CodePage to);

// Length in bytes of the character that starts at byte i: at least 1 inside
// the text, never reaching past its end, and 0 at or past the end. A broken
// multi-byte sequence counts as a single byte.
[[nodiscard]] std::size_t CharLength(std::string_view text, std::size_t i, CodePage page);
[[nodiscard]] inline std::size_t CharLength(std::string_view text, std::size_t i) {
  return CharLength(text, i, ActiveCodePage());
}

// UTF-32 code points of a text in the given code page (for text rendering).
[[nodiscard]] std::u32string ToCodePoints(std::string_view text, CodePage page);
[[nodiscard]] inline std::u32string ToCodePoints(std::string_view text) {
  return ToCodePoints(text, ActiveCodePage());
}

}  // namespace bellcut
