// Loading large uncompressed BMP files through a copy-on-write mapping: the
// same pixels as a full decode, the file never written, and the copy path
// wherever the rows cannot be borrowed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/base/MappedFile.h"
#include "platform/gdi/Dib.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpCodec.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Dib Pattern(int w, int h, int bits) {
  Dib dib(w, h, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dib.SetPixel(x, y, RGB((x * 7) & 255, (y * 3) & 255, (x ^ y) & 255));
  return dib;
}

bool SamePixels(const Dib& a, const Dib& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// A bottom-up file turned into a top-down one (negative height, rows reversed).
Bytes TopDown(const Bytes& file, int rowBytes, int height) {
  Bytes out = file;
  const std::uint32_t offset = file[10] | (file[11] << 8) | (file[12] << 16) | (std::uint32_t{file[13]} << 24);
  const std::int32_t negative = -height;
  std::memcpy(out.data() + 22, &negative, 4);
  for (int r = 0; r < height; ++r)
    std::memcpy(out.data() + offset + static_cast<std::size_t>(r) * rowBytes,
                file.data() + offset + static_cast<std::size_t>(height - 1 - r) * rowBytes, static_cast<std::size_t>(rowBytes));
  return out;
}

class MappedBmp : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bellcut-bmpmap-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path Write(const std::string& name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return dir / name;
  }
  static Bytes Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir;
};

TEST_F(MappedBmp, BorrowedRowsShowTheSamePixels) {
  struct Case {
    int W, H, Bits;
    bool TopDownRows;
  };
  // 24-bit widths with and without row padding; 32-bit; top-down files.
  const Case cases[] = {{701, 600, 24, false}, {700, 600, 24, false}, {701, 600, 24, true}, {520, 520, 32, false},
                        {520, 520, 32, true},  {1300, 900, 8, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H) + "x" + std::to_string(c.Bits) + (c.TopDownRows ? " top-down" : ""));
    const Dib picture = Pattern(c.W, c.H, c.Bits);
    Bytes file = EncodeBmp(picture);
    if (c.TopDownRows) file = TopDown(file, static_cast<int>(Dib::RowBytes(c.W, c.Bits)), c.H);
    const fs::path path = Write("p.bmp", file);
    ASSERT_GE(file.size(), std::size_t{1} << 20) << "large enough to be mapped";

    TBitmap bitmap;
    bitmap.LoadFromFile(path.string());
    EXPECT_TRUE(SamePixels(bitmap.Surface(), DecodeBmp(file).Pixels));
    // Drawing into the bitmap changes the bitmap only, never the file.
    bitmap.Canvas().SetPixels(3, 4, clRed);
    if (c.Bits >= 24) {
      EXPECT_EQ(bitmap.Canvas().Pixels(3, 4), clRed);
    }
    EXPECT_EQ(Read(path), file);
  }
}

TEST_F(MappedBmp, RowsThatCannotBeBorrowedAreCopied) {
  const Dib picture = Pattern(701, 600, 24);
  Bytes file = EncodeBmp(picture);
  // The last row without its padding: complete as a picture, but not as
  // whole rows, so the rows are copied (a borrowed row copy would read past
  // the file's end).
  file.resize(file.size() - 1);
  const auto size = static_cast<std::uint32_t>(file.size());
  std::memcpy(file.data() + 2, &size, 4);   // the declared file size
  std::memset(file.data() + 34, 0, 4);      // no declared pixel data size
  MappedFile mapped = MapFileCopyOnWrite(Write("short.bmp", file).string());
  BmpImage image = DecodeBmpInPlace(mapped.Bytes, mapped.Holder);
  EXPECT_TRUE(SamePixels(image.Pixels, picture));
  mapped = {};
  const Dib copy = image.Pixels.Clone();  // nothing of the mapping is needed any more
  EXPECT_TRUE(SamePixels(copy, picture));

  // Cut inside the pixel data: refused, as by a full decode.
  file.resize(file.size() - 5000);
  const auto cut = static_cast<std::uint32_t>(file.size());
  std::memcpy(file.data() + 2, &cut, 4);
  mapped = MapFileCopyOnWrite(Write("cut.bmp", file).string());
  EXPECT_THROW((void)DecodeBmpInPlace(mapped.Bytes, mapped.Holder), EInvalidGraphic);
  TBitmap bitmap;
  EXPECT_THROW(bitmap.LoadFromFile((dir / "cut.bmp").string()), EInvalidGraphic);
  EXPECT_TRUE(bitmap.Empty());
}

TEST_F(MappedBmp, FilesThatCannotBeMapped) {
  EXPECT_THROW((void)MapFileCopyOnWrite((dir / "missing.bmp").string()), EFOpenError);
  EXPECT_THROW((void)MapFileCopyOnWrite(dir.string()), EFOpenError);
  EXPECT_TRUE(MapFileCopyOnWrite(Write("empty.bmp", {}).string()).Bytes.empty());
  TBitmap bitmap;
  EXPECT_THROW(bitmap.LoadFromFile((dir / "empty.bmp").string()), EInvalidGraphic);
  EXPECT_THROW(bitmap.LoadFromFile(dir.string()), EFOpenError);
}

}  // namespace
}  // namespace bellcut
