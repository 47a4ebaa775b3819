#include "platform/base/SysUtils.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "platform/base/CodePage.h"
#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

PathConvention& DefaultConvention() {
  static PathConvention convention = PathConvention::Posix;
  return convention;
}

bool IsDelimiter(char c, PathConvention convention) {
  if (convention == PathConvention::Posix) return c == '/';
  return c == '\\' || c == ':';
}

// Byte positions of the last delimiter and of the last '.' after it, found
// by walking whole characters of the active code page.
struct PathMarks {
  std::size_t lastDelimiter = std::string_view::npos;
  std::size_t extensionDot = std::string_view::npos;
};

PathMarks FindMarks(std::string_view name, PathConvention convention) {
  PathMarks marks;
  const CodePage page = ActiveCodePage();
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t len = CharLength(name, i, page);
    if (len == 1) {
      if (IsDelimiter(name[i], convention)) {
        marks.lastDelimiter = i;
        marks.extensionDot = std::string_view::npos;
      } else if (name[i] == '.') {
        marks.extensionDot = i;
      }
    }
    i += len;
  }
  return marks;
}

enum class LetterCase { Upper, Lower };

// Changes the case of one character given as its bytes in the code page.
// Full-width Latin letters are double-byte characters whose last byte
// differs between the cases by a fixed amount in both code pages.
void AppendWithCase(std::string& out, std::string_view ch, CodePage page, LetterCase to) {
  if (ch.size() == 1) {
    const char c = ch[0];
    if (to == LetterCase::Lower && c >= 'A' && c <= 'Z') {
      out.push_back(static_cast<char>(c - 'A' + 'a'));
    } else if (to == LetterCase::Upper && c >= 'a' && c <= 'z') {
      out.push_back(static_cast<char>(c - 'a' + 'A'));
    } else {
      out.push_back(c);
    }
    return;
  }
  std::string folded(ch);
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(ch[k]); };
  auto& last = folded.back();
  if (page == CodePage::Cp932 && ch.size() == 2 && b(0) == 0x82) {
    // 0x8260..0x8279 is 'Ａ'..'Ｚ', 0x8281..0x829A is 'ａ'..'ｚ'.
    if (to == LetterCase::Lower && b(1) >= 0x60 && b(1) <= 0x79) last = static_cast<char>(b(1) + 0x21);
    if (to == LetterCase::Upper && b(1) >= 0x81 && b(1) <= 0x9A) last = static_cast<char>(b(1) - 0x21);
  } else if (page == CodePage::Utf8 && ch.size() == 3 && b(0) == 0xEF) {
    // U+FF21..U+FF3A is EF BC A1..BA, U+FF41..U+FF5A is EF BD 81..9A.
    if (to == LetterCase::Lower && b(1) == 0xBC && b(2) >= 0xA1 && b(2) <= 0xBA) {
      folded[1] = static_cast<char>(0xBD);
      last = static_cast<char>(b(2) - 0x20);
    } else if (to == LetterCase::Upper && b(1) == 0xBD && b(2) >= 0x81 && b(2) <= 0x9A) {
      folded[1] = static_cast<char>(0xBC);
      last = static_cast<char>(b(2) + 0x20);
    }
  }
  out += folded;
}

std::string ChangeCase(std::string_view text, LetterCase to) {
  const CodePage page = ActiveCodePage();
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = CharLength(text, i, page);
    AppendWithCase(out, text.substr(i, len), page, to);
    i += len;
  }
  return out;
}

[[noreturn]] void InvalidInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

bool IsNonDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

PathConvention DefaultPathConvention() { return DefaultConvention(); }
void SetDefaultPathConvention(PathConvention convention) { DefaultConvention() = convention; }

std::string ExtractFileExt(std::string_view name, PathConvention convention) {
  const PathMarks marks = FindMarks(name, convention);
  if (marks.extensionDot == std::string_view::npos) return {};
  return std::string(name.substr(marks.extensionDot));
}

std::string ExtractFileName(std::string_view name, PathConvention convention) {
  const PathMarks marks = FindMarks(name, convention);
  if (marks.lastDelimiter == std::string_view::npos) return std::string(name);
  return std::string(name.substr(marks.lastDelimiter + 1));
}

std::string ExtractFilePath(std::string_view name, PathConvention convention) {
  const PathMarks marks = FindMarks(name, convention);
  if (marks.lastDelimiter == std::string_view::npos) return {};
  return std::string(name.substr(0, marks.lastDelimiter + 1));
}

std::string ChangeFileExt(std::string_view name, std::string_view extension, PathConvention convention) {
  const PathMarks marks = FindMarks(name, convention);
  std::string out(name.substr(0, marks.extensionDot));  // npos keeps the whole name
  out += extension;
  return out;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  // Folding to lower case keeps every byte that is not a letter, so texts
  // that differ in anything but case (bytes that do not decode included)
  // stay different.
  const std::string fa = AnsiLowerCase(a);
  const std::string fb = AnsiLowerCase(b);
  const int c = fa.compare(fb);  // char_traits<char> compares as unsigned bytes
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string AnsiUpperCase(std::string_view text) { return ChangeCase(text, LetterCase::Upper); }
std::string AnsiLowerCase(std::string_view text) { return ChangeCase(text, LetterCase::Lower); }

std::int32_t StrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  const std::string_view digits = text.substr(i);
  // from_chars would take a sign of its own; the digits must start with one.
  if (digits.empty() || !std::isxdigit(static_cast<unsigned char>(digits[0]))) InvalidInteger(text);
  std::uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) InvalidInteger(text);
  if (base == 16) {
    // Hexadecimal spells the 32 bits of the value, the sign bit included.
    if (magnitude > 0xFFFFFFFFu) InvalidInteger(text);
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - static_cast<std::uint32_t>(magnitude)
                                                          : static_cast<std::uint32_t>(magnitude));
    return static_cast<std::int32_t>(bits);
  }
  const std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
  if (magnitude > limit) InvalidInteger(text);
  return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                  : static_cast<std::int32_t>(magnitude);
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

bool FileExists(std::string_view name) {
  // A NUL would cut the name short and make it name another file.
  if (name.empty() || name.find('\0') != std::string_view::npos) return false;
  std::string candidate(name);
  if (IsNonDirectory(candidate)) return true;
  // Try the name with fewer and fewer of its trailing blanks: the program
  // appends a blank to a name that may itself end in blanks, and the file
  // with the longest such name is the one meant.
  const std::size_t slash = candidate.rfind('/');
  const std::size_t componentStart = slash == std::string::npos ? 0 : slash + 1;
  while (candidate.size() > componentStart + 1 && candidate.back() == ' ') {
    candidate.pop_back();
    if (IsNonDirectory(candidate)) return true;
  }
  return false;
}

bool DirectoryExists(std::string_view name) {
  if (name.empty() || name.find('\0') != std::string_view::npos) return false;
  struct stat st {};
  return ::stat(std::string(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace bellcut
