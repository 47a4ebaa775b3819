// The text form format: a component tree as readable text.
//
//   object MainForm1: TMainForm1
//     Left = 164
//     Caption = 'Title '#12479#12523
//     Font.Name = 'Arial'
//     Anchors = [akLeft, akTop]
//     Picture.Data = {
//       07544269746D6170...}
//     object Timer1: TTimer
//       OnTimer = Timer1Timer
//     end
//   end
//
// Values: integers (decimal with an optional sign, or $hex; up to eight hex
// digits are a 32-bit pattern, so $8000000F is clBtnFace), identifiers
// (True/False, enumeration values, colour names, method and component
// names), sets of identifiers in brackets, strings and binary data in braces.
// A string is a run of quoted segments ('' stands for a quote) and #n
// character codes (Unicode code points, decimal or #$hex), joined by '+'
// across lines. The writer puts only printable ASCII inside quotes, so the
// text is ASCII whatever the active code page; the reader also takes UTF-8
// inside quotes. Nested objects' properties use dotted names.
//
// Parsing and formatting work on a plain tree (TFormObject) that knows
// nothing about classes; the reader and writer (StreamingReader.h,
// StreamingWriter.h) map it to components.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Exceptions.h"

namespace bellcut {

// A syntax error in a form text; the message ends with " on line N".
class EParserError : public EReadError {
 public:
  EParserError(const std::string& message, int line);
  [[nodiscard]] int Line() const noexcept { return line_; }

 private:
  int line_;
};

enum class TFormValueType : std::uint8_t { Integer, Ident, String, Set, Binary };

struct TFormValue {
  TFormValueType Type = TFormValueType::Integer;
  std::int64_t Int = 0;
  std::string Text;                // Ident: the name; String: the text in UTF-8
  std::vector<std::string> Items;  // Set
  std::vector<std::uint8_t> Bytes; // Binary
  bool operator==(const TFormValue&) const = default;
};

struct TFormProperty {
  std::string Path;  // "Left", "Font.Name"
  TFormValue Value;
  int Line = 0;
  bool operator==(const TFormProperty& o) const { return Path == o.Path && Value == o.Value; }
};

struct TFormObject {
  std::string Name;  // may be empty
  std::string ClassName;
  int Line = 0;
  std::vector<TFormProperty> Properties;
  std::vector<TFormObject> Children;
  bool operator==(const TFormObject& o) const {
    return Name == o.Name && ClassName == o.ClassName && Properties == o.Properties && Children == o.Children;
  }
};

// Objects nest at most this deep; deeper text is refused rather than read
// with unbounded recursion.
inline constexpr int MaxFormNesting = 256;

// EParserError on any malformed text.
[[nodiscard]] TFormObject ParseFormText(std::string_view text);
// Text that ParseFormText reads back to the same tree. EWriteError when the
// tree holds something the format cannot express (a name that is not an
// identifier, a string that is not valid UTF-8).
[[nodiscard]] std::string FormatFormText(const TFormObject& root);

// A picture property's data: the graphic's class name as a length-prefixed
// byte string, the 32-bit little-endian length of the file, then the file.
[[nodiscard]] std::vector<std::uint8_t> EncodePictureData(std::string_view className,
                                                          std::span<const std::uint8_t> file);
struct TPictureData {
  std::string ClassName;
  std::vector<std::uint8_t> File;
};
// EReadError when the data is truncated or its length does not match.
[[nodiscard]] TPictureData DecodePictureData(std::span<const std::uint8_t> data);

}  // namespace bellcut
