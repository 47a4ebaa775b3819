#include "platform/graphics/Png.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/base/Streams.h"
#include "support/TestData.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;

// A private folder for written files, removed afterwards.
class PngFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("bellcut_png_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(PngFiles, WrittenColoursReadBackFromEveryDepth) {
  std::mt19937 gen(77);
  for (const int bits : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE(bits);
    Dib dib(13, 5, bits);
    if (bits <= 8)
      for (RgbQuad& q : dib.Palette())
        q = RgbQuad{static_cast<std::uint8_t>(gen()), static_cast<std::uint8_t>(gen()), static_cast<std::uint8_t>(gen()), 0};
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) dib.SetRaw(x, y, static_cast<std::uint32_t>(gen()));
    WritePng(dib, Path("out.png"));
    const Dib back = ReadPng(Path("out.png"));
    ASSERT_EQ(back.BitCount(), 24);  // written as RGB: the fourth byte is not kept
    ASSERT_EQ(back.Width(), 13);
    ASSERT_EQ(back.Height(), 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(back.GetPixel(x, y), dib.GetPixel(x, y)) << x << "," << y;
  }
}

TEST_F(PngFiles, FailuresRaiseThePlatformsExceptions) {
  EXPECT_THROW((void)ReadPng(Path("missing.png")), EFOpenError);
  // A valid PNG cut in the middle of its data, and a file that is no PNG.
  WritePng(Dib(40, 40, 24), Path("whole.png"));
  std::vector<std::uint8_t> bytes = ReadWholeFile(Path("whole.png"));
  bytes.resize(bytes.size() / 2);
  WriteFileReplacing(Path("cut.png"), bytes);
  EXPECT_THROW((void)ReadPng(Path("cut.png")), EInvalidGraphic);
  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'p', 'n', 'g'};
  WriteFileReplacing(Path("text.png"), text);
  EXPECT_THROW((void)ReadPng(Path("text.png")), EInvalidGraphic);
  EXPECT_THROW(WritePng(Dib(), Path("empty.png")), EInvalidGraphicOperation);
  EXPECT_THROW(WritePng(Dib(2, 2, 24), Path("no/such/folder/x.png")), EFCreateError);
}

// The suite's reference pictures cover the colour types a PNG reader meets.
TEST(PngRead, ExpandsEveryColourType) {
  BELLCUT_REQUIRE_TESTDATA("bmpsuite");
  const fs::path html = test::TestDataDir() / "bmpsuite" / "html";
  struct Case {
    const char* file;  // colour type in the comment
    int bits;
    int x, y;
    COLORREF colour;
    int alpha;  // -1: no alpha channel expected
  };
  // Pixel values read independently of libpng from the files' own samples.
  const Case cases[] = {
      {"pal1.png", 24, 0, 0, RGB(255, 255, 255), -1},        // 1-bit grey
      {"pal2.png", 24, 0, 0, RGB(170, 170, 170), -1},        // 2-bit grey
      {"pal2.png", 24, 126, 63, RGB(85, 85, 85), -1},        //
      {"pal8gs.png", 24, 126, 63, RGB(99, 99, 99), -1},      // 8-bit grey
      {"pal4.png", 24, 0, 0, RGB(255, 0, 0), -1},            // 4-bit palette
      {"rgb24.png", 24, 126, 63, RGB(96, 96, 126), -1},      // 8-bit RGB
      {"rgb32-7187.png", 24, 126, 63, RGB(96, 96, 126), -1}, // 16-bit RGB
      {"rgba32.png", 32, 27, 33, RGB(255, 0, 0), 20},        // 8-bit RGBA, straight alpha
      {"rgba32.png", 32, 126, 63, RGB(96, 96, 126), 255},    //
      {"rgba32-81284.png", 32, 27, 34, RGB(255, 0, 0), 34},  // 16-bit RGBA
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Dib dib = ReadPng((html / c.file).string());
    EXPECT_EQ(dib.Width(), 127);
    EXPECT_EQ(dib.Height(), 64);
    ASSERT_EQ(dib.BitCount(), c.bits);
    EXPECT_EQ(dib.GetPixel(c.x, c.y), c.colour);
    if (c.alpha >= 0) {
      EXPECT_EQ(dib.ScanLine(c.y)[4 * c.x + 3], c.alpha);
    }
  }
}

}  // namespace
}  // namespace bellcut
