// The names built from the command line, checked with the Windows path
// convention and code page 932, as the program's documented examples are
// written, and with the native convention the program runs on.
#include "app/FileNames.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/Params.h"
#include "platform/base/SysUtils.h"

namespace bellcut {
namespace {

class Cp932Names : public ::testing::Test {
 protected:
  void SetUp() override {
    before_ = ActiveCodePage();
    SetActiveCodePage(CodePage::Cp932);
  }
  void TearDown() override {
    SetActiveCodePage(before_);
    const char* none[] = {"/x"};
    SetProcessArguments(1, none);
  }
  // A path written in UTF-8 here, as the program sees it (code page 932).
  static std::string Ansi(std::string_view utf8) { return FromUtf8(utf8); }

 private:
  CodePage before_ = CodePage::Utf8;
};

TEST_F(Cp932Names, PrefixIsTheWordBlankWaveDashBlank) {
  // The wave dash is the full-width tilde, bytes 0x81 0x60 in code page 932.
  EXPECT_EQ(OutputPrefix(), "\x83\x5E\x83\x8B\x83\x6C\x83\x82 \x81\x60 ");
}

TEST_F(Cp932Names, OutputPathFromTheJoinedName) {
  const std::string prefix = OutputPrefix();
  const std::pair<std::string, std::string> cases[] = {
      {R"(C:\pics\a.jpg )", R"(C:\pics\)" + prefix + "a.jpg"},
      {R"(C:\pics\a.JPEG )", R"(C:\pics\)" + prefix + "a.jpg"},
      {R"(C:\pics\a.bmp )", R"(C:\pics\)" + prefix + "a.jpg"},
      {R"(C:\My Pictures\a.jpg )", R"(C:\My Pictures\)" + prefix + "a.jpg"},
      // A saved output run again gets the prefix a second time.
      {R"(C:\pics\)" + prefix + "a.jpg ", R"(C:\pics\)" + prefix + prefix + "a.jpg"},
      // No folder part: the current folder.
      {"a.jpg ", prefix + "a.jpg"},
      // The drive colon is a delimiter too.
      {"C:a.jpg ", "C:" + prefix + "a.jpg"},
      // No extension: ".jpg" goes after the trailing blank.
      {R"(C:\pics\a )", R"(C:\pics\)" + prefix + "a .jpg"},
      // A dot in a folder name is not an extension.
      {R"(C:\p.q\a )", R"(C:\p.q\)" + prefix + "a .jpg"},
      // "表" ends in byte 0x5C, which is not a delimiter there.
      {Ansi(R"(C:\表\表.jpg )"), Ansi(R"(C:\表\)") + prefix + Ansi("表.jpg")},
      {"", prefix + ".jpg"},
  };
  for (const auto& [input, output] : cases)
    EXPECT_EQ(OutputFileName(input, PathConvention::Windows), output) << ToUtf8(input);
}

TEST_F(Cp932Names, OutputPathNativeConvention) {
  EXPECT_EQ(OutputFileName("/home/u/My Pictures/a.JPG ", PathConvention::Posix),
            "/home/u/My Pictures/" + OutputPrefix() + "a.jpg");
  // A backslash is an ordinary character in a native name.
  EXPECT_EQ(OutputFileName(R"(/tmp/x\y.bmp )", PathConvention::Posix), "/tmp/" + OutputPrefix() + R"(x\y.jpg)");
}

TEST_F(Cp932Names, AcceptedExtensionsCarryTheTrailingBlank) {
  const std::pair<std::string, bool> cases[] = {
      {".bmp ", true},   {".BMP ", true},    {".jpg ", true},   {".Jpg ", true},  {".jpeg ", true},
      {".JPEG ", true},  {".jpe ", false},   {".png ", false},  {".jpg", false},  {".jpg  ", false},
      {"", false},       {" ", false},       {".gif ", false},
      {Ansi(".ＪＰＧ "), false},  // full-width letters are not the ASCII ones
  };
  for (const auto& [ext, accepted] : cases) EXPECT_EQ(IsAcceptedExtension(ext), accepted) << '"' << ToUtf8(ext) << '"';
  // As extracted from a joined name.
  EXPECT_TRUE(IsAcceptedExtension(ExtractFileExt(R"(C:\My Pictures\a.Jpeg )", PathConvention::Windows)));
  EXPECT_FALSE(IsAcceptedExtension(ExtractFileExt(R"(C:\pics.jpg\a )", PathConvention::Windows)));
}

TEST_F(Cp932Names, InfoPageAddressEndsWithTheProgramsBaseName) {
  const std::pair<std::string, std::string> cases[] = {
      {R"(C:\Program Files\viewer.exe)", "viewer"},
      {R"(C:\tools\bell.cut.exe)", "bell.cut"},
      {R"(C:\tools\noext)", "noext"},
      {Ansi(R"(C:\表\表.exe)"), Ansi("表")},  // appended as code-page bytes, unescaped
  };
  for (const auto& [program, name] : cases)
    EXPECT_EQ(InfoPageAddress(program, PathConvention::Windows), "http://example.com/info.php?pf=w&sn=" + name);
  EXPECT_EQ(InfoPageAddress("/usr/local/bin/bellcut", PathConvention::Posix),
            "http://example.com/info.php?pf=w&sn=bellcut");
}

TEST_F(Cp932Names, JoinedParametersRebuildTheDroppedPath) {
  const std::pair<std::string, std::string> cases[] = {
      // The platform splits an unquoted path at its blanks.
      {R"(bellcut.exe C:\My Pictures\a.jpg)", R"(C:\My Pictures\a.jpg )"},
      {R"(bellcut.exe "C:\My Pictures\a.JPEG")", R"(C:\My Pictures\a.JPEG )"},
      // Runs of blanks shrink to one.
      {"bellcut.exe C:\\My   Pictures\\a.jpg", R"(C:\My Pictures\a.jpg )"},
      // Several files give one text that names none of them.
      {R"(bellcut.exe a.jpg b.jpg)", "a.jpg b.jpg "},
      {"bellcut.exe", ""},
  };
  for (const auto& [line, joined] : cases) {
    SetCommandLine(line);
    EXPECT_EQ(JoinParameters(), joined) << line;
  }
}

TEST_F(Cp932Names, ReportNamesWidthFirst) {
  EXPECT_EQ(ReportText(400, 300), "400 x 300" + Ansi(" のタルネモ形式で保存しました。"));
}

}  // namespace
}  // namespace bellcut
