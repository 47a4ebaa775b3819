// The run-time library's text, number and file-name functions. Texts are byte
// strings in the active code page (CodePage.h); every function that looks for
// a delimiter walks the text by characters, so the trail byte of a double-byte
// character (0x5C in "表" under code page 932) is never taken for one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bellcut {

// Which characters separate the parts of a path. The program runs on Linux,
// so Posix ('/') is the process default; Windows ('\\' and ':') is there for
// paths written the Windows way.
enum class PathConvention { Posix, Windows };

[[nodiscard]] PathConvention DefaultPathConvention();
void SetDefaultPathConvention(PathConvention convention);

// The extension: from the last '.' that follows the last delimiter to the end
// (trailing blanks included); empty when there is no such '.'.
[[nodiscard]] std::string ExtractFileExt(std::string_view name,
                                         PathConvention convention = DefaultPathConvention());
// The text after the last delimiter.
[[nodiscard]] std::string ExtractFileName(std::string_view name,
                                          PathConvention convention = DefaultPathConvention());
// The text up to and including the last delimiter; empty when there is none.
[[nodiscard]] std::string ExtractFilePath(std::string_view name,
                                          PathConvention convention = DefaultPathConvention());
// Replaces the extension (see ExtractFileExt) by extension; appends it when
// the name has none. An empty extension removes the old one.
[[nodiscard]] std::string ChangeFileExt(std::string_view name, std::string_view extension,
                                        PathConvention convention = DefaultPathConvention());

// Compares whole texts ignoring letter case: ASCII letters among themselves
// and full-width Latin letters among themselves (a full-width letter never
// equals an ASCII one). 0 when equal, otherwise -1 or 1 like a comparison of
// the case-folded texts.
[[nodiscard]] int AnsiCompareText(std::string_view a, std::string_view b);
// Letter case of ASCII and full-width Latin letters; other characters, and
// the bytes of characters that do not decode, are kept as they are.
[[nodiscard]] std::string AnsiUpperCase(std::string_view text);
[[nodiscard]] std::string AnsiLowerCase(std::string_view text);

// Decimal with an optional sign, or hexadecimal after '$' ("$FF", "-$10");
// leading blanks are allowed. Hexadecimal takes all 32 bits, so "$FFFFFFFF"
// is -1. Anything else, and values outside 32 bits, raise EConvertError
// "'<text>' is not a valid integer value".
[[nodiscard]] std::int32_t StrToInt(std::string_view text);
[[nodiscard]] std::string IntToStr(std::int64_t value);

// True when name is an existing file that is not a directory. As the Windows
// file system does, blanks at the end of the last path component are
// disregarded ("a.jpg  " finds "a.jpg"); a file whose name really ends in
// some or all of those blanks counts as well, the longest name first.
[[nodiscard]] bool FileExists(std::string_view name);
[[nodiscard]] bool DirectoryExists(std::string_view name);

}  // namespace bellcut
