#include "platform/base/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace bellcut {
namespace {

struct CharLengthCase {
  const char* what;
  CodePage page;
  std::string text;
  std::size_t at;
  std::size_t expected;
};

TEST(CodePage, CharLengthWalksWholeCharactersAndStopsAtBrokenOnes) {
  const CharLengthCase cases[] = {
      {"ASCII", CodePage::Cp932, "a\\", 1, 1},
      {"kanji with 0x5C trail", CodePage::Cp932, "\x95\x5C", 0, 2},
      {"katakana So with 0x5C trail", CodePage::Cp932, "\x83\x5C" "a", 0, 2},
      {"half-width katakana is one byte", CodePage::Cp932, "\xB1\x5C", 0, 1},
      {"lead byte at the end", CodePage::Cp932, "a\x95", 1, 1},
      {"lead byte before a control byte", CodePage::Cp932, "\x95\x1F", 0, 1},
      {"lead byte before 0x7F", CodePage::Cp932, "\x95\x7F", 0, 1},
      {"0xE0 lead", CodePage::Cp932, "\xE0\x40", 0, 2},
      {"past the end", CodePage::Cp932, "ab", 2, 0},
      {"two-byte", CodePage::Utf8, "\xC3\xA9", 0, 2},
      {"three-byte", CodePage::Utf8, "\xE8\xA1\xA8/", 0, 3},
      {"four-byte", CodePage::Utf8, "\xF0\x9F\x98\x80", 0, 4},
      {"truncated three-byte", CodePage::Utf8, "\xE8\xA1", 0, 1},
      {"trail replaced by a slash", CodePage::Utf8, "\xE8\xA1/", 0, 1},
      {"overlong two-byte", CodePage::Utf8, "\xC0\xAF", 0, 1},
      {"overlong three-byte", CodePage::Utf8, "\xE0\x80\xAF", 0, 1},
      {"surrogate", CodePage::Utf8, "\xED\xA0\x80", 0, 1},
      {"beyond U+10FFFF", CodePage::Utf8, "\xF4\x90\x80\x80", 0, 1},
      {"stray trail byte", CodePage::Utf8, "\x80", 0, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CharLength(c.text, c.at, c.page), c.expected) << c.what;
}

TEST(CodePage, ConvertsBothWaysBetweenUtf8AndCp932) {
  struct Case {
    const char* utf8;
    const char* cp932;
  };
  const Case cases[] = {
      {"abc 123", "abc 123"},
      {"表", "\x95\x5C"},
      {"JPEG エラー #42", "JPEG \x83\x47\x83\x89\x81\x5B #42"},
      {"タルネモ ～ ", "\x83\x5E\x83\x8B\x83\x6C\x83\x82 \x81\x60 "},  // full-width tilde, 0x8160
      {"ｱ", "\xB1"},
      {"①", "\x87\x40"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Convert(c.utf8, CodePage::Utf8, CodePage::Cp932), c.cp932) << c.utf8;
    EXPECT_EQ(Convert(c.cp932, CodePage::Cp932, CodePage::Utf8), c.utf8) << c.utf8;
  }
}

TEST(CodePage, BytesThatDoNotConvertBecomeQuestionMarksAndTheRestSurvives) {
  // 'é' has no code page 932 form; a lone lead byte and an unassigned pair
  // do not decode; invalid UTF-8 does not decode either.
  EXPECT_EQ(Convert("aéb", CodePage::Utf8, CodePage::Cp932), "a?b");
  EXPECT_EQ(Convert("a\x95", CodePage::Cp932, CodePage::Utf8), "a?");
  EXPECT_EQ(Convert("\x85\x40x", CodePage::Cp932, CodePage::Utf8), "?x");
  EXPECT_EQ(Convert("x\xFFy\xC0\xAFz", CodePage::Utf8, CodePage::Cp932), "x?y??z");
}

TEST(CodePage, ActivePageFollowsTheOverrideForFromAndToUtf8) {
  const CodePage before = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  EXPECT_EQ(FromUtf8("表"), "\x95\x5C");
  EXPECT_EQ(ToUtf8("\x95\x5C"), "表");
  SetActiveCodePage(CodePage::Utf8);
  EXPECT_EQ(FromUtf8("表"), "表");
  SetActiveCodePage(before);
}

TEST(CodePage, LocaleNamesChooseThePage) {
  const std::pair<const char*, CodePage> cases[] = {
      {"ja_JP.SJIS", CodePage::Cp932},       {"ja_JP.Shift_JIS", CodePage::Cp932},
      {"ja_JP.sjis@euro", CodePage::Cp932},  {"ja_JP.CP932", CodePage::Cp932},
      {"ja_JP.MS932", CodePage::Cp932},      {"ja_JP.Windows-31J", CodePage::Cp932},
      {"ja_JP.UTF-8", CodePage::Utf8},       {"ja_JP.eucJP", CodePage::Utf8},
      {"C", CodePage::Utf8},                 {"POSIX", CodePage::Utf8},
      {"", CodePage::Utf8},                  {"C.UTF-8", CodePage::Utf8},
  };
  for (const auto& [name, page] : cases) EXPECT_EQ(CodePageFromLocaleName(name), page) << name;
}

TEST(CodePage, CodePointsOfBothPages) {
  EXPECT_EQ(ToCodePoints("a\x95\x5C\xB1", CodePage::Cp932), (std::u32string{U'a', U'表', U'ｱ'}));
  EXPECT_EQ(ToCodePoints("a表\xF0\x9F\x98\x80", CodePage::Utf8), (std::u32string{U'a', U'表', U'\U0001F600'}));
  // Broken bytes never decode to a code point they do not spell.
  const std::u32string broken = ToCodePoints("\xE0\x80\xAF\xED\xA0\x80", CodePage::Utf8);
  for (char32_t c : broken) {
    EXPECT_NE(c, U'/');
    EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF);
  }
}

}  // namespace
}  // namespace bellcut
