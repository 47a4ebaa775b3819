// The text form format on its own: values, strings, binary data, nesting
// limits, and the picture data layout.
#include <gtest/gtest.h>

#include <random>

#include "platform/controls/StreamingText.h"

namespace bellcut {
namespace {

TFormValue ParseOne(const std::string& value) {
  TFormObject obj = ParseFormText("object A: TA\n  P = " + value + "\nend\n");
  EXPECT_EQ(obj.Properties.size(), 1u);
  return obj.Properties.at(0).Value;
}

TFormValue Int(std::int64_t v) { return {TFormValueType::Integer, v, {}, {}, {}}; }
TFormValue Ident(std::string s) { return {TFormValueType::Ident, 0, std::move(s), {}, {}}; }
TFormValue Str(std::string s) { return {TFormValueType::String, 0, std::move(s), {}, {}}; }
TFormValue SetOf(std::vector<std::string> items) { return {TFormValueType::Set, 0, {}, std::move(items), {}}; }
TFormValue Bin(std::vector<std::uint8_t> b) { return {TFormValueType::Binary, 0, {}, {}, std::move(b)}; }

TEST(FormText, ValuesParse) {
  const std::vector<std::pair<std::string, TFormValue>> cases = {
      {"0", Int(0)},
      {"-12", Int(-12)},
      {"+7", Int(7)},
      {"-9223372036854775808", Int(INT64_MIN)},
      {"$FF", Int(255)},
      {"$8000000F", Int(-2147483633)},  // eight digits: a 32-bit pattern (clBtnFace)
      {"$100000000", Int(0x100000000)},
      {"clBtnFace", Ident("clBtnFace")},
      {"[]", SetOf({})},
      {"[ akLeft ,akTop ]", SetOf({"akLeft", "akTop"})},
      {"''", Str("")},
      {"'it''s'", Str("it's")},
      {"'a'#13#10'b'", Str("a\r\nb")},
      {"#$41#66", Str("AB")},
      {"#12354'x'", Str("\xE3\x81\x82x")},
      {"'鐘'", Str("鐘")},  // UTF-8 inside quotes is taken as it is
      {"'ab' +\n    'cd' +\n  #33", Str("abcd!")},
      {"{}", Bin({})},
      {"{\n  0A1b\n  FF}", Bin({0x0A, 0x1B, 0xFF})},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ParseOne(text), want) << text;
}

TEST(FormText, NumbersOutOfRangeAreErrors) {
  for (const char* text : {"9223372036854775808", "-9223372036854775809", "-$8000000000000000", "$10000000000000000"})
    EXPECT_THROW((void)ParseOne(text), EParserError) << text;
}

TEST(FormText, StructureAndLines) {
  TFormObject root = ParseFormText(
      "object Form1: TForm1\n"
      "  Font.Name = 'Arial'\n"
      "  object TTimer\n"
      "  end\n"
      "  OBJECT B: TB\n"
      "    Caption =\n"
      "      'x'\n"
      "  END\n"
      "end");
  EXPECT_EQ(root.Name, "Form1");
  EXPECT_EQ(root.ClassName, "TForm1");
  ASSERT_EQ(root.Properties.size(), 1u);
  EXPECT_EQ(root.Properties[0].Path, "Font.Name");
  ASSERT_EQ(root.Children.size(), 2u);
  EXPECT_EQ(root.Children[0].Name, "");  // an unnamed component
  EXPECT_EQ(root.Children[0].ClassName, "TTimer");
  EXPECT_EQ(root.Children[1].Line, 5);
  EXPECT_EQ(root.Children[1].Properties[0].Line, 6);
}

TEST(FormText, FormatReadsBackToTheSameTree) {
  TFormObject root;
  root.Name = "F";
  root.ClassName = "TF";
  std::string longText;
  for (int i = 0; i < 100; ++i) longText += (i % 7 == 0) ? "\xE3\x81\x82" : "a'";  // あ and quotes
  std::vector<std::uint8_t> bytes(100);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37);
  root.Properties = {{"N", Int(-5), 0},         {"E", Ident("alClient"), 0},   {"S", SetOf({"a", "b"}), 0},
                     {"T", Str(longText), 0},   {"Ctl", Str("\t\x01"), 0},     {"B", Bin(bytes), 0},
                     {"Font.Style", SetOf({}), 0}};
  TFormObject child;
  child.ClassName = "TC";
  root.Children.push_back(child);
  const std::string text = FormatFormText(root);
  EXPECT_EQ(ParseFormText(text), root) << text;
  EXPECT_EQ(FormatFormText(ParseFormText(text)), text);
  // 32 bytes per hex line; long strings wrap into '+' continuations.
  std::string firstHexLine;
  for (std::size_t i = 0; i < 32; ++i) {
    firstHexLine += "0123456789ABCDEF"[bytes[i] >> 4];
    firstHexLine += "0123456789ABCDEF"[bytes[i] & 15];
  }
  EXPECT_NE(text.find("  B = {\n    " + firstHexLine + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("' +\n"), std::string::npos);
  EXPECT_NE(text.find("  Ctl = #9#1\n"), std::string::npos);
  for (char c : text) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "the text is ASCII";
}

TEST(FormText, FormatRefusesWhatCannotBeReadBack) {
  TFormObject root;
  root.ClassName = "TF";
  root.Name = "bad name";
  EXPECT_THROW((void)FormatFormText(root), EWriteError);
  root.Name = "F";
  root.Properties = {{"P", Str("\xFF"), 0}};  // not UTF-8
  EXPECT_THROW((void)FormatFormText(root), EWriteError);
  root.Properties = {{"A..B", Int(1), 0}};
  EXPECT_THROW((void)FormatFormText(root), EWriteError);
}

TEST(FormText, DeepNestingIsRefusedNotRecursedInto) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "object A: T\n";
  try {
    (void)ParseFormText(text);
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Line(), MaxFormNesting + 1);
    EXPECT_NE(std::string(e.what()).find("nested too deeply"), std::string::npos);
  }
  std::string ok;
  for (int i = 0; i < MaxFormNesting; ++i) ok += "object A: T\n";
  for (int i = 0; i < MaxFormNesting; ++i) ok += "end\n";
  EXPECT_NO_THROW((void)ParseFormText(ok));
}

TEST(FormText, RandomBytesOnlyEverGiveParserErrors) {
  std::mt19937 gen(7u);
  const std::string pieces[] = {"object ", "end", "A", ": ", "T", " = ", "'", "''", "#", "$", "1", "-", "+", "[",
                                "]", ",", "{", "}", "0F", ".", "\n", " ", "\xE3\x81", "\x82", "\xFF", "("};
  for (int round = 0; round < 5000; ++round) {
    std::string text = "object A: T\n";
    const int n = static_cast<int>(gen() % 30);
    for (int i = 0; i < n; ++i) text += pieces[gen() % std::size(pieces)];
    try {
      TFormObject tree = ParseFormText(text);
      EXPECT_EQ(ParseFormText(FormatFormText(tree)), tree) << text;
    } catch (const EParserError&) {
    }
  }
}

TEST(FormText, PictureDataLayoutAndDamage) {
  const std::vector<std::uint8_t> file = {1, 2, 3, 4, 5};
  const auto data = EncodePictureData("TJPEGImage", file);
  ASSERT_EQ(data.size(), 1 + 10 + 4 + 5u);
  EXPECT_EQ(data[0], 10);
  EXPECT_EQ((std::vector<std::uint8_t>(data.begin() + 11, data.begin() + 15)), (std::vector<std::uint8_t>{5, 0, 0, 0}));
  const TPictureData back = DecodePictureData(data);
  EXPECT_EQ(back.ClassName, "TJPEGImage");
  EXPECT_EQ(back.File, file);

  auto shorter = data;
  shorter.pop_back();
  auto longer = data;
  longer.push_back(0);
  for (const auto& bad : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0, 0, 0, 0, 0},
                          std::vector<std::uint8_t>(data.begin(), data.begin() + 12), shorter, longer})
    EXPECT_THROW((void)DecodePictureData(bad), EReadError);
  EXPECT_THROW((void)EncodePictureData("", file), EWriteError);
}

}  // namespace
}  // namespace bellcut
