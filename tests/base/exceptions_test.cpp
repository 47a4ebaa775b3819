#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include "platform/base/CodePage.h"

namespace bellcut {
namespace {

// The platform's texts, spelled out byte by byte in each code page.
TEST(ExceptionTexts, JpegAndFileCreationInBothCodePages) {
  struct Case {
    CodePage page;
    const char* jpeg42;
    const char* createPrefix;
    const char* createSuffix;
  };
  const Case cases[] = {
      {CodePage::Utf8, "JPEG エラー #42", "ファイル ", " を作成できません"},
      {CodePage::Cp932, "JPEG \x83\x47\x83\x89\x81\x5B #42", "\x83\x74\x83\x40\x83\x43\x83\x8B ",
       " \x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"},
  };
  const CodePage before = ActiveCodePage();
  for (const auto& c : cases) {
    SetActiveCodePage(c.page);
    const EJPEG jpeg(42);
    EXPECT_STREQ(jpeg.what(), c.jpeg42);
    EXPECT_EQ(jpeg.Code(), 42);
    // The path is already in the active code page and goes in unchanged,
    // a 0x5C trail byte included.
    const std::string path = c.page == CodePage::Cp932 ? "C:\\\x95\x5C\\a.jpg" : "/p/表/a.jpg";
    const EFCreateError create = FileCreateError(path);
    EXPECT_EQ(create.Message(), c.createPrefix + path + c.createSuffix);
  }
  SetActiveCodePage(before);

  // Catchable as their platform bases.
  EXPECT_THROW(throw EJPEG(1), EInvalidGraphic);
  EXPECT_THROW(throw FileCreateError("x"), EStreamError);
}

}  // namespace
}  // namespace bellcut
