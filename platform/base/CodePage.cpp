#include "platform/base/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>

namespace bellcut {
namespace {

std::optional<CodePage>& OverriddenPage() {
  static std::optional<CodePage> page;
  return page;
}

CodePage PageFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return CodePageFromLocaleName(value);
  }
  return CodePage::Utf8;
}

const char* IconvName(CodePage page) { return page == CodePage::Cp932 ? "CP932" : "UTF-8"; }

// Shift_JIS lead bytes of code page 932.
bool IsCp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

CodePage CodePageFromLocaleName(std::string_view locale) {
  // "ja_JP.SJIS@modifier": the character set sits between '.' and '@'.
  auto dot = locale.find('.');
  if (dot == std::string_view::npos) return CodePage::Utf8;
  std::string_view charset = locale.substr(dot + 1);
  charset = charset.substr(0, charset.find('@'));
  std::string upper;
  for (char c : charset)
    if (c != '-' && c != '_') upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  for (const char* sjis : {"SJIS", "SHIFTJIS", "CP932", "MS932", "WINDOWS31J", "IBM932"})
    if (upper == sjis) return CodePage::Cp932;
  return CodePage::Utf8;
}

CodePage ActiveCodePage() {
  static const CodePage fromEnvironment = PageFromEnvironment();
  return OverriddenPage().value_or(fromEnvironment);
}

void SetActiveCodePage(CodePage page) { OverriddenPage() = page; }

std::string Convert(std::string_view text, CodePage from, CodePage to) {
  if (from == to || text.empty()) return std::string(text);
  iconv_t cd = iconv_open(IconvName(to), IconvName(from));
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter installed: ASCII is the same in both pages, everything
    // else would be misread, so it becomes '?' like any unconvertible byte.
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
      const std::size_t len = CharLength(text, i, from);
      out.push_back(len == 1 && static_cast<unsigned char>(text[i]) < 0x80 ? text[i] : '?');
      i += len;
    }
    return out;
  }
  std::string out;
  out.resize(text.size() * 4 + 8);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {  // cannot happen with the 4x reserve, but stay safe
      size_t used = static_cast<size_t>(outPtr - out.data());
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    // An invalid or incomplete sequence: emit '?' for the character and go on.
    std::size_t skip = std::min(inLeft, CharLength(std::string_view(in, inLeft), 0, from));
    in += skip;
    inLeft -= skip;
    if (outLeft == 0) {
      size_t used = static_cast<size_t>(outPtr - out.data());
      out.resize(out.size() + 16);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
    }
    *outPtr++ = '?';
    --outLeft;
  }
  iconv_close(cd);
  out.resize(static_cast<size_t>(outPtr - out.data()));
  return out;
}

std::string FromUtf8(std::string_view utf8) { return Convert(utf8, CodePage::Utf8, ActiveCodePage()); }
std::string ToUtf8(std::string_view ansi) { return Convert(ansi, ActiveCodePage(), CodePage::Utf8); }

std::size_t CharLength(std::string_view text, std::size_t i, CodePage page) {
  if (i >= text.size()) return 0;
  const auto c = static_cast<unsigned char>(text[i]);
  auto byteAt = [&](std::size_t k) -> int {
    return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : -1;
  };
  if (page == CodePage::Cp932) {
    if (!IsCp932Lead(c)) return 1;
    const int t = byteAt(1);
    // A lead byte without a valid trail byte stands alone, so the byte after
    // it (perhaps a delimiter) is still seen as a character of its own.
    return (t >= 0x40 && t <= 0xFC && t != 0x7F) ? 2 : 1;
  }
  // UTF-8: only well-formed sequences count as one character (no overlong
  // forms, no surrogates, nothing beyond U+10FFFF); anything else is a
  // single stray byte, so nothing that follows is swallowed.
  std::size_t want = 1;
  int lo = 0x80, hi = 0xBF;  // allowed range of the first trail byte
  if (c >= 0xC2 && c <= 0xDF) {
    want = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    want = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    want = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  }
  if (want == 1) return 1;
  const int first = byteAt(1);
  if (first < lo || first > hi) return 1;
  for (std::size_t k = 2; k < want; ++k) {
    const int t = byteAt(k);
    if (t < 0x80 || t > 0xBF) return 1;
  }
  return want;
}

std::u32string ToCodePoints(std::string_view text, CodePage page) {
  std::string utf8 = Convert(text, page, CodePage::Utf8);
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::size_t len = CharLength(utf8, i, CodePage::Utf8);
    char32_t cp = c;
    if (len == 2) cp = c & 0x1F;
    if (len == 3) cp = c & 0x0F;
    if (len == 4) cp = c & 0x07;
    if (len == 1 && c >= 0x80) cp = U'\uFFFD';
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(cp);
    i += len;
  }
  return out;
}

}  // namespace bellcut
