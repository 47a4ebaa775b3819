#include "platform/controls/StreamingText.h"

#include <cctype>
#include <limits>

#include "platform/base/CodePage.h"

namespace bellcut {
namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool SameKeyword(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// A recursive-descent reader over the text with a line counter. Every
// failure is an EParserError naming the line.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  TFormObject ParseRoot() {
    SkipBlanks();
    TFormObject root = ParseObject(1);
    SkipBlanks();
    if (pos_ < text_.size()) Fail("End of text expected after the root object's end");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { throw EParserError(what, line_); }

  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }
  [[nodiscard]] char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipBlanks() {
    while (!AtEnd()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        break;
      }
      ++pos_;
    }
  }

  std::string Describe() const {
    if (AtEnd()) return "end of text";
    char c = Peek();
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return "a character code " + std::to_string(static_cast<unsigned char>(c));
    return std::string("'") + c + "'";
  }

  std::string Ident(const char* what) {
    SkipBlanks();
    if (!IsIdentStart(Peek())) Fail(std::string(what) + " expected but " + Describe() + " found");
    std::size_t start = pos_;
    while (!AtEnd() && IsIdentChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  void Expect(char c) {
    SkipBlanks();
    if (Peek() != c) Fail(std::string("'") + c + "' expected but " + Describe() + " found");
    ++pos_;
  }

  TFormObject ParseObject(int depth) {
    if (depth > MaxFormNesting) Fail("Objects nested too deeply");
    SkipBlanks();
    TFormObject obj;
    obj.Line = line_;
    std::string keyword = Ident("'object'");
    if (!SameKeyword(keyword, "object")) Fail("'object' expected but " + keyword + " found");
    std::string first = Ident("Component name");
    SkipBlanks();
    if (Peek() == ':') {
      ++pos_;
      obj.Name = std::move(first);
      obj.ClassName = Ident("Class name");
    } else {
      obj.ClassName = std::move(first);
    }
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail("'end' expected but end of text found");
      int line = line_;
      std::string word = Ident("Property name, 'object' or 'end'");
      if (SameKeyword(word, "end")) return obj;
      if (SameKeyword(word, "object")) {
        pos_ -= word.size();
        obj.Children.push_back(ParseObject(depth + 1));
        continue;
      }
      TFormProperty prop;
      prop.Line = line;
      prop.Path = std::move(word);
      while (Peek() == '.') {
        ++pos_;
        prop.Path += '.';
        if (!IsIdentStart(Peek())) Fail("Property name expected after '.' but " + Describe() + " found");
        prop.Path += Ident("Property name");
      }
      Expect('=');
      prop.Value = ParseValue();
      obj.Properties.push_back(std::move(prop));
    }
  }

  TFormValue ParseValue() {
    SkipBlanks();
    TFormValue v;
    char c = Peek();
    if (c == '-' || c == '+' || IsDigit(c) || c == '$') {
      v.Type = TFormValueType::Integer;
      v.Int = ParseInteger();
    } else if (c == '\'' || c == '#') {
      v.Type = TFormValueType::String;
      v.Text = ParseString();
    } else if (IsIdentStart(c)) {
      v.Type = TFormValueType::Ident;
      v.Text = Ident("Value");
    } else if (c == '[') {
      v.Type = TFormValueType::Set;
      ++pos_;
      SkipBlanks();
      if (Peek() != ']') {
        for (;;) {
          v.Items.push_back(Ident("Set element"));
          SkipBlanks();
          if (Peek() == ']') break;
          Expect(',');
        }
      }
      ++pos_;
    } else if (c == '{') {
      v.Type = TFormValueType::Binary;
      ++pos_;
      v.Bytes = ParseBinary();
    } else if (c == '(' || c == '<') {
      Fail("Lists and collections are not supported");
    } else {
      Fail("Property value expected but " + Describe() + " found");
    }
    return v;
  }

  std::int64_t ParseInteger() {
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Peek() == '-';
      ++pos_;
    }
    std::uint64_t magnitude = 0;
    if (Peek() == '$') {
      ++pos_;
      int digits = 0;
      while (!AtEnd() && HexValue(text_[pos_]) >= 0) {
        if (++digits > 16) Fail("Hexadecimal number too long");
        magnitude = magnitude * 16 + static_cast<unsigned>(HexValue(text_[pos_++]));
      }
      if (digits == 0) Fail("Hexadecimal digits expected after '$'");
      if (IsIdentChar(Peek()) || Peek() == '.') Fail("Invalid number");
      // Up to eight digits give a 32-bit pattern, as colours are written.
      std::int64_t value = digits <= 8 ? static_cast<std::int64_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude)))
                                       : static_cast<std::int64_t>(magnitude);
      if (negative && value == std::numeric_limits<std::int64_t>::min()) Fail("Number out of range");
      return negative ? -value : value;
    }
    if (!IsDigit(Peek())) Fail("Number expected but " + Describe() + " found");
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    while (!AtEnd() && IsDigit(text_[pos_])) {
      unsigned d = static_cast<unsigned>(text_[pos_++] - '0');
      if (magnitude > (limit - d) / 10) Fail("Number out of range");
      magnitude = magnitude * 10 + d;
    }
    if (Peek() == '.' || IsIdentChar(Peek())) Fail("Invalid number (only whole numbers are supported)");
    if (negative) return magnitude == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                                               : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(magnitude);
  }

  // Segments and codes of one string, continued by '+' on following lines.
  std::string ParseString() {
    std::string out;
    for (;;) {
      SkipBlanks();
      char c = Peek();
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (AtEnd() || text_[pos_] == '\n' || text_[pos_] == '\r') Fail("Unterminated string");
          if (text_[pos_] == '\'') {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
              out.push_back('\'');
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          std::size_t len = CharLength(text_, pos_, CodePage::Utf8);
          if (len == 1 && static_cast<unsigned char>(text_[pos_]) >= 0x80) Fail("Invalid UTF-8 in string");
          out.append(text_.substr(pos_, len));
          pos_ += len;
        }
      } else if (c == '#') {
        ++pos_;
        std::uint32_t cp = 0;
        int digits = 0;
        if (Peek() == '$') {
          ++pos_;
          while (!AtEnd() && HexValue(text_[pos_]) >= 0) {
            cp = cp * 16 + static_cast<unsigned>(HexValue(text_[pos_++]));
            if (++digits > 6) Fail("Character code too long");
          }
        } else {
          while (!AtEnd() && IsDigit(text_[pos_])) {
            cp = cp * 10 + static_cast<unsigned>(text_[pos_++] - '0');
            if (++digits > 7) Fail("Character code too long");
          }
        }
        if (digits == 0) Fail("Character code expected after '#'");
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) Fail("Invalid character code #" + std::to_string(cp));
        AppendUtf8(out, static_cast<char32_t>(cp));
      } else {
        Fail("String expected but " + Describe() + " found");
      }
      // Adjacent segments join directly; '+' joins across blanks and lines.
      char next = Peek();
      if (next == '\'' || next == '#') continue;
      std::size_t savePos = pos_;
      int saveLine = line_;
      SkipBlanks();
      if (Peek() == '+') {
        ++pos_;
        continue;
      }
      pos_ = savePos;
      line_ = saveLine;
      return out;
    }
  }

  std::vector<std::uint8_t> ParseBinary() {
    std::vector<std::uint8_t> bytes;
    int pending = -1;
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail("'}' expected but end of text found");
      char c = text_[pos_++];
      if (c == '}') break;
      int h = HexValue(c);
      if (h < 0) {
        --pos_;
        Fail("Hexadecimal digit expected but " + Describe() + " found");
      }
      if (pending < 0) {
        pending = h;
      } else {
        bytes.push_back(static_cast<std::uint8_t>(pending * 16 + h));
        pending = -1;
      }
    }
    if (pending >= 0) Fail("Binary data has an odd number of hexadecimal digits");
    return bytes;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

bool IsIdentifier(std::string_view s) {
  if (s.empty() || !IsIdentStart(s[0])) return false;
  for (char c : s)
    if (!IsIdentChar(c)) return false;
  return true;
}

bool IsPath(std::string_view s) {
  std::size_t start = 0;
  for (;;) {
    std::size_t dot = s.find('.', start);
    if (!IsIdentifier(s.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start)))
      return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

// Quoted runs of printable ASCII and #n codes for the rest, split into
// pieces of about this many characters so that long texts wrap.
constexpr std::size_t StringPieceLength = 64;

std::vector<std::string> EncodeString(std::string_view utf8) {
  std::vector<std::string> pieces;
  std::string piece;
  bool inQuote = false;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t len = CharLength(utf8, i, CodePage::Utf8);
    auto c = static_cast<unsigned char>(utf8[i]);
    if (len == 1 && c >= 0x80) throw EWriteError("A string to be written is not valid UTF-8");
    char32_t cp = c;
    if (len == 2) cp = c & 0x1F;
    if (len == 3) cp = c & 0x0F;
    if (len == 4) cp = c & 0x07;
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += len;
    if (cp >= 0x20 && cp < 0x7F) {
      if (!inQuote) piece.push_back('\'');
      inQuote = true;
      piece.push_back(static_cast<char>(cp));
      if (cp == '\'') piece.push_back('\'');
    } else {
      if (inQuote) piece.push_back('\'');
      inQuote = false;
      piece += '#' + std::to_string(static_cast<std::uint32_t>(cp));
    }
    if (piece.size() >= StringPieceLength && i < utf8.size()) {
      if (inQuote) piece.push_back('\'');
      inQuote = false;
      pieces.push_back(std::move(piece));
      piece.clear();
    }
  }
  if (inQuote) piece.push_back('\'');
  if (piece.empty()) piece = "''";
  pieces.push_back(std::move(piece));
  return pieces;
}

void FormatValue(std::string& out, const TFormValue& v, const std::string& indent) {
  switch (v.Type) {
    case TFormValueType::Integer:
      out += ' ' + std::to_string(v.Int) + '\n';
      return;
    case TFormValueType::Ident:
      if (!IsIdentifier(v.Text)) throw EWriteError("'" + v.Text + "' is not an identifier");
      out += ' ' + v.Text + '\n';
      return;
    case TFormValueType::Set: {
      out += " [";
      for (std::size_t i = 0; i < v.Items.size(); ++i) {
        if (!IsIdentifier(v.Items[i])) throw EWriteError("'" + v.Items[i] + "' is not an identifier");
        if (i > 0) out += ", ";
        out += v.Items[i];
      }
      out += "]\n";
      return;
    }
    case TFormValueType::String: {
      auto pieces = EncodeString(v.Text);
      if (pieces.size() == 1) {
        out += ' ' + pieces[0] + '\n';
        return;
      }
      out += '\n';
      for (std::size_t i = 0; i < pieces.size(); ++i)
        out += indent + "  " + pieces[i] + (i + 1 < pieces.size() ? " +\n" : "\n");
      return;
    }
    case TFormValueType::Binary: {
      static const char* hex = "0123456789ABCDEF";
      out += " {";
      for (std::size_t i = 0; i < v.Bytes.size(); ++i) {
        if (i % 32 == 0) out += '\n' + indent + "  ";
        out += hex[v.Bytes[i] >> 4];
        out += hex[v.Bytes[i] & 15];
      }
      out += "}\n";
      return;
    }
  }
}

void FormatObject(std::string& out, const TFormObject& obj, const std::string& indent) {
  if (!obj.Name.empty() && !IsIdentifier(obj.Name)) throw EWriteError("'" + obj.Name + "' is not a component name");
  if (!IsIdentifier(obj.ClassName)) throw EWriteError("'" + obj.ClassName + "' is not a class name");
  out += indent + "object ";
  if (!obj.Name.empty()) out += obj.Name + ": ";
  out += obj.ClassName + '\n';
  const std::string inner = indent + "  ";
  for (const auto& p : obj.Properties) {
    if (!IsPath(p.Path)) throw EWriteError("'" + p.Path + "' is not a property name");
    out += inner + p.Path + " =";
    FormatValue(out, p.Value, inner);
  }
  for (const auto& child : obj.Children) FormatObject(out, child, inner);
  out += indent + "end\n";
}

}  // namespace

EParserError::EParserError(const std::string& message, int line)
    : EReadError(message + " on line " + std::to_string(line)), line_(line) {}

TFormObject ParseFormText(std::string_view text) { return Parser(text).ParseRoot(); }

std::string FormatFormText(const TFormObject& root) {
  std::string out;
  FormatObject(out, root, "");
  return out;
}

std::vector<std::uint8_t> EncodePictureData(std::string_view className, std::span<const std::uint8_t> file) {
  if (className.empty() || className.size() > 255) throw EWriteError("Invalid graphic class name");
  if (file.size() > 0xFFFFFFFFu) throw EWriteError("Picture too large for a form resource");
  std::vector<std::uint8_t> out;
  out.reserve(1 + className.size() + 4 + file.size());
  out.push_back(static_cast<std::uint8_t>(className.size()));
  out.insert(out.end(), className.begin(), className.end());
  const auto n = static_cast<std::uint32_t>(file.size());
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(n >> shift));
  out.insert(out.end(), file.begin(), file.end());
  return out;
}

TPictureData DecodePictureData(std::span<const std::uint8_t> data) {
  if (data.empty()) throw EReadError("Picture data is empty");
  const std::size_t nameLength = data[0];
  if (nameLength == 0 || data.size() < 1 + nameLength + 4) throw EReadError("Picture data is truncated");
  TPictureData out;
  out.ClassName.assign(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(nameLength));
  std::size_t at = 1 + nameLength;
  std::uint32_t length = 0;
  for (int k = 3; k >= 0; --k) length = (length << 8) | data[at + static_cast<std::size_t>(k)];
  at += 4;
  if (data.size() - at != length)
    throw EReadError("Picture data holds " + std::to_string(data.size() - at) + " bytes where its header says " +
                     std::to_string(length));
  out.File.assign(data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
  return out;
}

}  // namespace bellcut
