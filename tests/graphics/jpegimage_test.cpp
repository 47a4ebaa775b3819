#include "platform/graphics/JPEGImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>

#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "support/TestData.h"
#include "tests/graphics/jpeg_test_tools.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;

fs::path Good(const char* name) { return test::TestDataDir() / "jpeg" / "good" / name; }

// A fresh folder per test, removed afterwards.
class TempDir {
 public:
  TempDir() : path_(fs::temp_directory_path() / ("bellcut_jpegimage_" + std::to_string(::getpid()) + "_" +
                                                 std::to_string(counter_++))) {
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  [[nodiscard]] const fs::path& Path() const { return path_; }
  [[nodiscard]] std::vector<fs::path> Files() const {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path());
    return out;
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

Dib Gradient(int w, int h) {
  Dib dib(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dib.SetPixel(x, y, RGB(x * 255 / w, y * 255 / h, (x ^ y) & 0xFF));
  return dib;
}

std::unique_ptr<TBitmap> BitmapOf(Dib pixels) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSurface(std::move(pixels));
  return bitmap;
}

// What the canvas of a white width x height bitmap shows after draw(canvas),
// with the canvas clipped to clip when given.
template <class DrawFn>
Dib Painted(int width, int height, const TRect* clip, DrawFn draw) {
  TBitmap target(width, height);
  TCanvas& canvas = target.Canvas();
  if (clip != nullptr) IntersectClipRect(canvas.Handle(), clip->Left, clip->Top, clip->Right, clip->Bottom);
  draw(canvas);
  return target.Surface().Converted(24);
}

// ---------------------------------------------------------------------------
// Loading and saving

TEST(TJPEGImage, LoadKeepsTheDataAndReadsOnlyTheHeader) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  TJPEGImage image;
  EXPECT_TRUE(image.Empty());
  int changes = 0;
  image.OnChange = [&](TObject*) { ++changes; };
  image.LoadFromFile(Good("testorig.jpg").string());
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(image.Empty());
  EXPECT_EQ(image.Width(), 227);
  EXPECT_EQ(image.Height(), 149);
  EXPECT_EQ(image.Data(), ReadBytes(Good("testorig.jpg")));
  EXPECT_EQ(image.CompressionQuality(), 90);

  // Loaded data is saved as it was loaded, whatever the quality says.
  image.SetCompressionQuality(20);
  TMemoryStream out;
  image.SaveToStream(out);
  EXPECT_EQ(out.Data(), ReadBytes(Good("testorig.jpg")));
}

// A file whose entropy data is damaged but whose markers are sound loads
// (nothing is decoded then) and fails when its pixels are needed; a damaged
// header, broken markers or a file that ends early fail at once, with
// libjpeg's own code, and leave the image as it was.
TEST(TJPEGImage, DamageShowsWhenItIsRead) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/corrupt");
  const fs::path corrupt = test::TestDataDir() / "jpeg" / "corrupt";
  TJPEGImage image;
  image.LoadFromFile((corrupt / "afl_warn_corrupt_jpeg_data_bad_arithmetic_code.jpg").string());
  EXPECT_GT(image.Width(), 0);
  EXPECT_THROW(image.DIBNeeded(), EJPEG);
  EXPECT_THROW((void)Painted(40, 40, nullptr, [&](TCanvas& c) { c.Draw(0, 0, image); }), EJPEG);

  image.LoadFromFile(Good("testorig.jpg").string());
  const std::pair<const char*, int> atLoad[] = {
      {"afl_warn_premature_end_of_jpeg_file.jpg", 120},        // JWRN_JPEG_EOF
      {"afl_warn_corrupt_jpeg_data_bad_huffman_code.jpg", 118},  // libjpeg's code, not the walk's
      {"afl_fatal_bogus_dac_value_0xnn.jpg", 29},
  };
  for (const auto& [name, code] : atLoad) {
    SCOPED_TRACE(name);
    try {
      image.LoadFromFile((corrupt / name).string());
      ADD_FAILURE() << "loaded";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Code(), code);
    }
    EXPECT_EQ(image.Width(), 227);
  }
  for (const char* name : {"afl_fatal_bogus_marker_length.jpg", "afl_fatal_maximum_supported_image_dimension_is_n_pixels.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(image.LoadFromFile((corrupt / name).string()), EJPEG);
    EXPECT_EQ(image.Width(), 227);
    EXPECT_EQ(image.Data(), ReadBytes(Good("testorig.jpg")));
  }
  TMemoryStream notJpeg(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
  EXPECT_THROW(image.LoadFromStream(notJpeg), EJPEG);
  EXPECT_EQ(image.Width(), 227);
}

TEST(TJPEGImage, AssignedBitmapIsCompressedWithTheQualityInEffectWhenSaved) {
  const Dib pixels = Gradient(61, 35);
  const auto bitmap = BitmapOf(pixels.Clone());
  struct Case {
    const char* what;
    std::vector<int> qualities;  // set one after another, the last one in effect
    int expected;
  };
  const Case cases[] = {{"default", {}, 90}, {"80", {80}, 80}, {"changed after a save", {80, 50}, 50},
                        {"clamped high", {250}, 100}, {"clamped low", {0}, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TJPEGImage jpeg;
    jpeg.Assign(bitmap.get());
    EXPECT_EQ(jpeg.Width(), 61);
    EXPECT_EQ(jpeg.Height(), 35);
    for (int q : c.qualities) {
      jpeg.SetCompressionQuality(q);
      TMemoryStream ignored;
      jpeg.SaveToStream(ignored);  // an earlier compression must not stick
    }
    TMemoryStream out;
    jpeg.SaveToStream(out);
    EXPECT_EQ(out.Data(), EncodeJpeg(pixels, c.expected));
  }
}

TEST(TJPEGImage, AssignCopiesJpegImagesAndRefusesOtherObjects) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  TJPEGImage loaded;
  loaded.LoadFromFile(Good("testorig.jpg").string());
  loaded.SetCompressionQuality(70);
  TJPEGImage copy;
  copy.Assign(&loaded);
  EXPECT_EQ(copy.Width(), 227);
  EXPECT_EQ(copy.CompressionQuality(), 70);
  EXPECT_EQ(copy.Data(), loaded.Data());

  // A copy of assigned pixels is independent of the original.
  const auto bitmap = BitmapOf(Gradient(9, 7));
  TJPEGImage fromBitmap;
  fromBitmap.Assign(bitmap.get());
  copy.Assign(&fromBitmap);
  fromBitmap.Assign(nullptr);
  EXPECT_TRUE(fromBitmap.Empty());
  EXPECT_EQ(copy.Width(), 9);
  EXPECT_TRUE(test::SamePixels(bitmap->Surface().Converted(24), copy.Surface().Converted(24)));

  TCanvas notAGraphic;
  EXPECT_THROW(copy.Assign(&notAGraphic), EConvertError);
  EXPECT_EQ(copy.Width(), 9);
  EXPECT_THROW(copy.SetWidth(5), EInvalidGraphicOperation);
  EXPECT_THROW(copy.SetHeight(5), EInvalidGraphicOperation);
  EXPECT_EQ(copy.Width(), 9);
}

TEST(TJPEGImage, BitmapTakesTheDecodedPicture) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Good("testorig_rot90_441_q25_scan_script.jpg").string());
  TBitmap bitmap;
  bitmap.Assign(&jpeg);
  EXPECT_TRUE(test::SamePixels(DecodeJpeg(ReadBytes(Good("testorig_rot90_441_q25_scan_script.jpg"))),
                               bitmap.Surface().Converted(24)));
}

TEST(TJPEGImage, GrayscaleDecodesLuminanceOnly) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Good("testorig.jpg").string());
  const Dib colour = jpeg.Surface().Clone();
  jpeg.SetGrayscale(true);
  EXPECT_TRUE(test::SamePixels(DecodeJpeg(jpeg.Data(), true), jpeg.Surface()));
  EXPECT_FALSE(test::SamePixels(colour, jpeg.Surface()));
}

TEST(TJPEGImage, SaveToFileWritesTheFileOrLeavesEverythingAsItWas) {
  TempDir dir;
  const fs::path target = dir.Path() / "out.jpg";
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'};

  // Success replaces an existing file with the complete data.
  WriteBytes(target, old);
  const auto good = BitmapOf(Gradient(40, 30));
  TJPEGImage jpeg;
  jpeg.Assign(good.get());
  jpeg.SetCompressionQuality(80);
  jpeg.SaveToFile(target.string());
  EXPECT_EQ(ReadBytes(target), EncodeJpeg(good->Surface(), 80));

  // An encoder error (wider than JPEG allows) leaves the old file, and no
  // file where there was none.
  WriteBytes(target, old);
  const auto tooWide = BitmapOf(Dib(65501, 1, 24));
  jpeg.Assign(tooWide.get());
  EXPECT_THROW(jpeg.SaveToFile(target.string()), EJPEG);
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_THROW(jpeg.SaveToFile((dir.Path() / "new.jpg").string()), EJPEG);
  EXPECT_EQ(dir.Files(), std::vector<fs::path>{target});

  // An empty image has nothing to encode.
  TJPEGImage empty;
  EXPECT_THROW(empty.SaveToFile((dir.Path() / "empty.jpg").string()), EJPEG);
  EXPECT_EQ(dir.Files(), std::vector<fs::path>{target});

  // A folder that does not exist: the platform's creation error.
  jpeg.Assign(good.get());
  const std::string missing = (dir.Path() / "no such folder" / "x.jpg").string();
  try {
    jpeg.SaveToFile(missing);
    ADD_FAILURE() << "saved";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), FileCreateError(missing).Message());
  }
}

// ---------------------------------------------------------------------------
// Drawing

TEST(TJPEGImage, DrawAtNaturalSizeShowsTheDecodedPixelsInsideTheClip) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  for (const char* name : {"testorig.jpg", "testorig_transverse_422_q95_prog_ari.jpg"}) {
    SCOPED_TRACE(name);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Good(name).string());
    const Dib full = DecodeJpeg(jpeg.Data());
    const int w = full.Width(), h = full.Height();
    struct Case {
      TPoint at;
      std::optional<TRect> clip;
    };
    const Case cases[] = {{{10, 5}, std::nullopt}, {{-30, -20}, std::nullopt}, {{-101, 7}, Rect(3, 30, 50, 61)},
                          {{0, 0}, Rect(w - 1, h - 1, w, h)}};
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "at " << c.at.X << "," << c.at.Y);
      const Dib shown = Painted(300, 250, c.clip ? &*c.clip : nullptr, [&](TCanvas& canvas) {
        canvas.Draw(c.at.X, c.at.Y, jpeg);
      });
      const TRect onPicture = Bounds(c.at.X, c.at.Y, w, h);
      for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 300; ++x) {
          const bool drawn = onPicture.Contains(x, y) && (!c.clip || c.clip->Contains(x, y));
          const COLORREF expected = drawn ? full.GetPixel(x - c.at.X, y - c.at.Y) : RGB(255, 255, 255);
          ASSERT_EQ(shown.GetPixel(x, y), expected) << "pixel " << x << "," << y;
        }
    }
  }
}

// Scaled drawing must show what the GDI's own stretch of the full decode shows.
TEST(TJPEGImage, StretchDrawSamplesLikeTheGdi) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Good("testorig.jpg").string());
  const Dib full = DecodeJpeg(jpeg.Data());
  const TRect clip = Rect(20, 15, 170, 140);
  for (const TRect rect : {Rect(-40, -10, 414, 290), Rect(5, 9, 118, 83), Rect(0, 0, 227, 60), Rect(33, 12, 34, 13)}) {
    SCOPED_TRACE(testing::Message() << "rect " << rect.Left << "," << rect.Top << "," << rect.Right << ","
                                    << rect.Bottom);
    for (const TRect* c : {static_cast<const TRect*>(nullptr), &clip}) {
      const Dib expected = Painted(200, 160, c, [&](TCanvas& canvas) {
        StretchDIBits(canvas.Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, 227, 149, full,
                      SRCCOPY);
      });
      const Dib shown = Painted(200, 160, c, [&](TCanvas& canvas) { canvas.StretchDraw(rect, jpeg); });
      EXPECT_TRUE(test::SamePixels(expected, shown));
    }
  }
}

// The data below the visible rows is never read: a file whose entropy data
// stops early in its lower half (an end marker where the data breaks off, so
// its structure is sound and it loads) draws its top rows without error, and
// fails only when the damaged rows are needed.
TEST(TJPEGImage, DrawReadsOnlyTheRowsItShows) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  auto bytes = ReadBytes(Good("testorig.jpg"));
  const Dib full = DecodeJpeg(bytes);
  bytes.resize(bytes.size() * 2 / 3);
  bytes.push_back(0xFF);
  bytes.push_back(0xD9);
  TMemoryStream stream(bytes);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(stream);
  const TRect top = Rect(0, 0, 100, 24);
  const Dib shown = Painted(100, 100, &top, [&](TCanvas& canvas) { canvas.Draw(-50, 0, jpeg); });
  EXPECT_TRUE(test::SamePixels(test::CropOf(full, Rect(50, 0, 150, 24)), test::CropOf(shown, top)));
  EXPECT_THROW((void)Painted(100, 200, nullptr, [&](TCanvas& canvas) { canvas.Draw(-50, 0, jpeg); }), EJPEG);
}

}  // namespace
}  // namespace bellcut
