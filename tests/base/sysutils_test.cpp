#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;

// Runs a test under a given code page and puts the previous one back.
class CodePageScope {
 public:
  explicit CodePageScope(CodePage page) : before_(ActiveCodePage()) { SetActiveCodePage(page); }
  ~CodePageScope() { SetActiveCodePage(before_); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;

 private:
  CodePage before_;
};

struct PathCase {
  std::string name;
  std::string ext, fileName, filePath, withoutExt, withJpg;
};

void CheckPaths(const PathCase& c, PathConvention convention) {
  EXPECT_EQ(ExtractFileExt(c.name, convention), c.ext) << c.name;
  EXPECT_EQ(ExtractFileName(c.name, convention), c.fileName) << c.name;
  EXPECT_EQ(ExtractFilePath(c.name, convention), c.filePath) << c.name;
  EXPECT_EQ(ChangeFileExt(c.name, "", convention), c.withoutExt) << c.name;
  EXPECT_EQ(ChangeFileExt(c.name, ".jpg", convention), c.withJpg) << c.name;
}

TEST(PathFunctions, WindowsConventionOnCp932CharacterBoundaries) {
  CodePageScope cp932(CodePage::Cp932);
  const std::string hyo = "\x95\x5C";  // "表": its second byte is '\'
  const std::string so = "\x83\x5C";   // "ソ": likewise
  const PathCase cases[] = {
      {"C:\\My Pictures\\a.JPEG", ".JPEG", "a.JPEG", "C:\\My Pictures\\", "C:\\My Pictures\\a",
       "C:\\My Pictures\\a.jpg"},
      {"C:\\My Pictures\\a.jpg ", ".jpg ", "a.jpg ", "C:\\My Pictures\\", "C:\\My Pictures\\a",
       "C:\\My Pictures\\a.jpg"},
      {"C:\\" + hyo + "\\a.bmp", ".bmp", "a.bmp", "C:\\" + hyo + "\\", "C:\\" + hyo + "\\a",
       "C:\\" + hyo + "\\a.jpg"},
      {"C:\\x.d\\" + hyo, "", hyo, "C:\\x.d\\", "C:\\x.d\\" + hyo, "C:\\x.d\\" + hyo + ".jpg"},
      {"d.e\\" + so + ".txt", ".txt", so + ".txt", "d.e\\", "d.e\\" + so, "d.e\\" + so + ".jpg"},
      {"C:a.b.c", ".c", "a.b.c", "C:", "C:a.b", "C:a.b.jpg"},
      {"C:\\pics.d\\name ", "", "name ", "C:\\pics.d\\", "C:\\pics.d\\name ", "C:\\pics.d\\name .jpg"},
      {"a.jpg", ".jpg", "a.jpg", "", "a", "a.jpg"},
      {"", "", "", "", "", ".jpg"},
      {"x/y.z", ".z", "x/y.z", "", "x/y", "x/y.jpg"},  // '/' is no delimiter here
  };
  for (const auto& c : cases) CheckPaths(c, PathConvention::Windows);
}

TEST(PathFunctions, WindowsConventionDoesNotSplitUtf8Characters) {
  CodePageScope utf8(CodePage::Utf8);
  CheckPaths({"C:\\表\\a.bmp", ".bmp", "a.bmp", "C:\\表\\", "C:\\表\\a", "C:\\表\\a.jpg"}, PathConvention::Windows);
}

TEST(PathFunctions, PosixConvention) {
  CodePageScope utf8(CodePage::Utf8);
  const PathCase cases[] = {
      {"/home/u/My Pictures/a.JPEG", ".JPEG", "a.JPEG", "/home/u/My Pictures/", "/home/u/My Pictures/a",
       "/home/u/My Pictures/a.jpg"},
      {"/p/a.jpg ", ".jpg ", "a.jpg ", "/p/", "/p/a", "/p/a.jpg"},
      {"/p.d/name", "", "name", "/p.d/", "/p.d/name", "/p.d/name.jpg"},
      {"/p/表.bmp", ".bmp", "表.bmp", "/p/", "/p/表", "/p/表.jpg"},
      {"/", "", "", "/", "/", "/.jpg"},
      {"a\\b:c.d", ".d", "a\\b:c.d", "", "a\\b:c", "a\\b:c.jpg"},  // no Windows delimiters here
  };
  for (const auto& c : cases) CheckPaths(c, PathConvention::Posix);
}

TEST(PathFunctions, DefaultConventionIsPosixAndCanBeChanged) {
  EXPECT_EQ(DefaultPathConvention(), PathConvention::Posix);
  EXPECT_EQ(ExtractFileName("a\\b/c"), "c");
  SetDefaultPathConvention(PathConvention::Windows);
  EXPECT_EQ(ExtractFileName("a\\b/c"), "b/c");
  SetDefaultPathConvention(PathConvention::Posix);
}

TEST(AnsiCompareText, IgnoresCaseOfAsciiAndFullWidthLettersOnWholeTexts) {
  for (CodePage page : {CodePage::Utf8, CodePage::Cp932}) {
    CodePageScope scope(page);
    const std::string fullUpper = FromUtf8(".ＪＰＧ ");
    const std::string fullLower = FromUtf8(".ｊｐｇ ");
    EXPECT_EQ(AnsiCompareText(".jpg ", ".JPG "), 0);
    EXPECT_EQ(AnsiCompareText(".Jpeg ", ".JPEG "), 0);
    EXPECT_EQ(AnsiCompareText("", ""), 0);
    EXPECT_EQ(AnsiCompareText(fullUpper, fullLower), 0);
    EXPECT_NE(AnsiCompareText(fullUpper, ".JPG "), 0);
    EXPECT_NE(AnsiCompareText(fullLower, ".jpg "), 0);
    EXPECT_NE(AnsiCompareText(".jpe ", ".JPEG "), 0);
    EXPECT_NE(AnsiCompareText(".jpg", ".JPG "), 0);
    EXPECT_LT(AnsiCompareText(".bmp ", ".JPG "), 0);
    EXPECT_GT(AnsiCompareText(".JPG ", ".bmp "), 0);
    EXPECT_LT(AnsiCompareText(".jpg", ".JPG "), 0);
    EXPECT_NE(AnsiCompareText("[", "{"), 0);  // not letters: no case to ignore
  }
}

TEST(AnsiCompareText, Cp932TrailBytesAreNotLetters) {
  CodePageScope cp932(CodePage::Cp932);
  // 0x8341 and 0x8361 are "ア" and "ヂ": their trail bytes look like 'A' and
  // 'a' but the characters differ.
  EXPECT_NE(AnsiCompareText("\x83\x41", "\x83\x61"), 0);
  EXPECT_EQ(AnsiUpperCase("\x83\x61x"), "\x83\x61X");
  EXPECT_EQ(AnsiLowerCase("\x83\x41X\x82\x60"), "\x83\x41x\x82\x81");
  // Bytes that do not decode keep their identity.
  EXPECT_NE(AnsiCompareText("\x95", "\x96"), 0);
}

TEST(AnsiCase, ConvertsAsciiAndFullWidthLetters) {
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_EQ(AnsiUpperCase("a.jpg ｊｐｇ 表"), "A.JPG ＪＰＧ 表");
  EXPECT_EQ(AnsiLowerCase("A.JPG ＪＰＧ Ｚ"), "a.jpg ｊｐｇ ｚ");
}

TEST(StrToInt, DecimalAndDollarHexadecimalWithin32Bits) {
  const std::pair<const char*, std::int32_t> good[] = {
      {"0", 0},           {"42", 42},          {"-42", -42},
      {"+7", 7},          {"  12", 12},        {"007", 7},
      {"$FF", 255},       {"$ff", 255},        {"-$10", -16},
      {"2147483647", 2147483647},              {"-2147483648", -2147483647 - 1},
      {"$7FFFFFFF", 2147483647},               {"$FFFFFFFF", -1},
      {"$80000000", -2147483647 - 1},
  };
  for (const auto& [text, value] : good) EXPECT_EQ(StrToInt(text), value) << text;

  const char* bad[] = {"",   " ",      "-",     "+",   "$",  "12a",        "a12",        "1 ",        "1.5",
                       "--1", "+-1",   "$-5",   "- 5", "0x10", "2147483648", "-2147483649", "$100000000",
                       "99999999999999999999999", "１２"};
  for (const char* text : bad) {
    try {
      (void)StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(IntToStr, DecimalText) {
  EXPECT_EQ(IntToStr(600), "600");
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(StrToInt(IntToStr(-2147483647 - 1)), -2147483647 - 1);
}

class FileFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("bellcut-sysutils-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "pics.jpg");
    std::ofstream(dir_ / "a.jpg") << "x";
    std::ofstream(dir_ / "b.jpg ") << "x";  // a name that really ends in a blank
    fs::create_symlink(dir_ / "missing", dir_ / "dangling");
  }
  void TearDown() override { fs::remove_all(dir_); }
  [[nodiscard]] std::string P(const std::string& rest) const { return (dir_ / rest).string(); }
  fs::path dir_;
};

TEST_F(FileFunctions, FileExistsFindsFilesNotFoldersAndIgnoresTrailingBlanks) {
  const std::pair<std::string, bool> cases[] = {
      {P("a.jpg"), true},       {P("a.jpg "), true},       {P("a.jpg   "), true},
      {P("b.jpg "), true},      {P("b.jpg"), false},       {P("b.jpg  "), true},
      {P("c.jpg"), false},      {P("pics.jpg"), false},    {P("pics.jpg "), false},
      {P(" a.jpg"), false},     {P("a.jpg/"), false},      {dir_.string(), false},
      {P("dangling"), false},   {P("   "), false},         {"", false},
      {P("a.jpg") + std::string(1, '\0') + "zz", false},
  };
  for (const auto& [name, exists] : cases) EXPECT_EQ(FileExists(name), exists) << '"' << name << '"';
}

TEST_F(FileFunctions, BlanksAreOnlyIgnoredInTheLastComponent) {
  fs::create_directories(dir_ / "sub");
  std::ofstream(dir_ / "sub" / "f") << "x";
  EXPECT_TRUE(FileExists(P("sub/f ")));
  EXPECT_FALSE(FileExists(P("sub /f")));
}

TEST_F(FileFunctions, DirectoryExists) {
  EXPECT_TRUE(DirectoryExists(P("pics.jpg")));
  EXPECT_TRUE(DirectoryExists(dir_.string()));
  EXPECT_FALSE(DirectoryExists(P("a.jpg")));
  EXPECT_FALSE(DirectoryExists(P("nothing")));
  EXPECT_FALSE(DirectoryExists(""));
}

}  // namespace
}  // namespace bellcut
