// TPicture: format choice by extension, copying, change notification.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/base/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

namespace bellcut {
namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::path(::testing::TempDir()) / name).string();
}

TEST(PictureTest, LoadsByExtensionInAnyCase) {
  TBitmap bitmap(3, 2);
  bitmap.Canvas().SetPixels(2, 1, clRed);
  const std::string path = TempPath("bellcut_picture_test.BmP");
  bitmap.SaveToFile(path);
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(path);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(picture.Height(), 2);
  EXPECT_EQ(changes, 1);
  // Drawing on the held bitmap is a change of the picture.
  picture.Bitmap().Canvas().SetPixels(0, 0, clBlue);
  EXPECT_EQ(changes, 2);
  std::filesystem::remove(path);
}

TEST(PictureTest, UnknownExtensionAndBrokenFilesLeaveThePicture) {
  TPicture picture;
  picture.Bitmap().SetSize(4, 4);
  try {
    picture.LoadFromFile(TempPath("whatever.xyz"));
    FAIL() << "expected EInvalidGraphic";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_THROW(picture.LoadFromFile(TempPath("noextension")), EInvalidGraphic);
  const std::string broken = TempPath("bellcut_broken.bmp");
  std::ofstream(broken) << "not a bitmap";
  EXPECT_THROW(picture.LoadFromFile(broken), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(TempPath("missing.bmp")), EFOpenError);
  EXPECT_EQ(picture.Width(), 4);
  std::filesystem::remove(broken);
}

TEST(PictureTest, JpegExtensionsAreRegistered) {
  // A broken .jpeg reaches the JPEG class, which reports a JPEG error, not an unknown extension.
  const std::string broken = TempPath("bellcut_broken.JPEG");
  std::ofstream(broken) << "not a jpeg";
  TPicture picture;
  try {
    picture.LoadFromFile(broken);
    // A lazily decoding class may accept the file now and fail on drawing.
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()).find("Unknown picture file extension"), std::string::npos) << e.what();
  }
  std::filesystem::remove(broken);
}

TEST(PictureTest, AssignCopiesAndBitmapReplacesOtherGraphics) {
  TPicture a, b;
  a.Bitmap().SetSize(2, 2);
  a.Bitmap().Canvas().SetPixels(0, 0, clGreen);
  b.Assign(&a);
  ASSERT_NE(b.Graphic(), a.Graphic());
  b.Bitmap().Canvas().SetPixels(0, 0, clRed);
  EXPECT_EQ(a.Bitmap().Canvas().Pixels(0, 0), clGreen);
  TBitmap direct(5, 1);
  b.Assign(&direct);
  EXPECT_EQ(b.Width(), 5);
  b.Assign(nullptr);
  EXPECT_EQ(b.Graphic(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_THROW(b.SaveToFile(TempPath("nothing.bmp")), EInvalidGraphicOperation);
  TBitmap target;
  target.Assign(&a);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clGreen);
}

}  // namespace
}  // namespace bellcut
