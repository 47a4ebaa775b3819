#include "platform/graphics/BmpCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/base/Streams.h"
#include "platform/graphics/Png.h"
#include "support/TestData.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;

fs::path Suite() { return test::TestDataDir() / "bmpsuite"; }

BmpImage DecodeFile(const fs::path& path) { return DecodeBmp(ReadWholeFile(path.string())); }

std::string DecodeError(const std::vector<std::uint8_t>& file) {
  try {
    (void)DecodeBmp(file);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "";
}

// The colour and (where the picture has one) alpha of a pixel, from any
// surface: indexed surfaces go through their palette.
struct Rgba {
  int r, g, b, a;
};
Rgba PixelOf(const Dib& dib, int x, int y, bool hasAlpha) {
  const COLORREF c = dib.GetPixel(x, y);
  const int a = (hasAlpha && dib.BitCount() == 32) ? dib.ScanLine(y)[4 * x + 3] : 255;
  return {GetRValue(c), GetGValue(c), GetBValue(c), a};
}

// Compares a decode with a reference PNG. Where the reference carries alpha,
// alpha must agree and colour is compared only where the pixel is visible
// (a fully transparent pixel's colour means nothing). Returns "" on a match.
std::string CompareWithReference(const BmpImage& img, const fs::path& reference, int tolerance) {
  const Dib ref = ReadPng(reference.string());
  const Dib& got = img.Pixels;
  if (ref.Width() != got.Width() || ref.Height() != got.Height())
    return "size " + std::to_string(got.Width()) + "x" + std::to_string(got.Height()) + ", reference " +
           std::to_string(ref.Width()) + "x" + std::to_string(ref.Height());
  const bool refAlpha = ref.BitCount() == 32;
  if (refAlpha && !img.HasAlpha) {
    // A reference with an all-opaque alpha channel needs no alpha from us.
    for (int y = 0; y < ref.Height(); ++y)
      for (int x = 0; x < ref.Width(); ++x)
        if (ref.ScanLine(y)[4 * x + 3] != 255) return "reference has transparency, decode has no alpha";
  }
  for (int y = 0; y < ref.Height(); ++y) {
    for (int x = 0; x < ref.Width(); ++x) {
      const Rgba want = PixelOf(ref, x, y, refAlpha);
      const Rgba have = PixelOf(got, x, y, img.HasAlpha);
      const bool visible = want.a != 0;
      const bool ok = std::abs(want.a - have.a) <= tolerance &&
                      (!visible || (std::abs(want.r - have.r) <= tolerance && std::abs(want.g - have.g) <= tolerance &&
                                    std::abs(want.b - have.b) <= tolerance));
      if (!ok)
        return "pixel (" + std::to_string(x) + "," + std::to_string(y) + ") is " + std::to_string(have.r) + "," +
               std::to_string(have.g) + "," + std::to_string(have.b) + "," + std::to_string(have.a) + ", reference " +
               std::to_string(want.r) + "," + std::to_string(want.g) + "," + std::to_string(want.b) + "," +
               std::to_string(want.a);
    }
  }
  return "";
}

struct Expected {
  const char* file;
  const char* reference;  // under html/
  int outBits;            // bit count of the decoded surface
  int tolerance;          // per channel, for channels the suite rescales
};

// Every good file of the suite, with the reading the suite's own references
// give. Channels narrower than 8 bits are scaled exactly as the references do,
// so only channels wider than 8 bits (whose references went through 16-bit
// PNG samples) get a tolerance.
const Expected kGood[] = {
    {"g/pal1.bmp", "pal1.png", 1, 0},           {"g/pal1wb.bmp", "pal1.png", 1, 0},
    {"g/pal1bg.bmp", "pal1bg.png", 1, 0},       {"g/pal4.bmp", "pal4.png", 4, 0},
    {"g/pal4gs.bmp", "pal4gs.png", 4, 0},       {"g/pal4rle.bmp", "pal4.png", 4, 0},
    {"g/pal8.bmp", "pal8.png", 8, 0},           {"g/pal8-0.bmp", "pal8.png", 8, 0},
    {"g/pal8gs.bmp", "pal8gs.png", 8, 0},       {"g/pal8rle.bmp", "pal8.png", 8, 0},
    {"g/pal8w126.bmp", "pal8w126.png", 8, 0},   {"g/pal8w125.bmp", "pal8w125.png", 8, 0},
    {"g/pal8w124.bmp", "pal8w124.png", 8, 0},   {"g/pal8topdown.bmp", "pal8.png", 8, 0},
    {"g/pal8nonsquare.bmp", "pal8nonsquare-e.png", 8, 0},
    {"g/pal8os2.bmp", "pal8.png", 8, 0},        {"g/pal8v4.bmp", "pal8.png", 8, 0},
    {"g/pal8v5.bmp", "pal8.png", 8, 0},         {"g/rgb16.bmp", "rgb16.png", 24, 0},
    {"g/rgb16bfdef.bmp", "rgb16.png", 24, 0},   {"g/rgb16-565.bmp", "rgb16-565.png", 24, 0},
    {"g/rgb16-565pal.bmp", "rgb16-565.png", 24, 0},
    {"g/rgb24.bmp", "rgb24.png", 24, 0},        {"g/rgb24pal.bmp", "rgb24.png", 24, 0},
    {"g/rgb32.bmp", "rgb24.png", 32, 0},        {"g/rgb32bfdef.bmp", "rgb24.png", 24, 0},
    {"g/rgb32bf.bmp", "rgb24.png", 24, 0},
};

// The questionable files we read, with the reading we chose where the suite
// allows several: pixels an RLE stream skips take palette colour 0 (the
// "-0" references), the unused bits of 16/32-bit BI_RGB pixels are not alpha,
// and embedded colour profiles are not applied (so rgb24prof2 keeps its
// swapped channels and has no reference here).
const Expected kQuestionableRead[] = {
    {"q/pal1p1.bmp", "pal1p1.png", 1, 0},
    {"q/pal2.bmp", "pal2.png", 4, 0},
    {"q/pal2color.bmp", "pal2color.png", 4, 0},
    {"q/pal4rletrns.bmp", "pal4rletrns-0.png", 4, 0},
    {"q/pal4rlecut.bmp", "pal4rlecut-0.png", 4, 0},
    {"q/pal8rletrns.bmp", "pal8rletrns-0.png", 8, 0},
    {"q/pal8rlecut.bmp", "pal8rlecut-0.png", 8, 0},
    {"q/pal8offs.bmp", "pal8.png", 8, 0},
    {"q/pal8oversizepal.bmp", "pal8.png", 8, 0},
    {"q/pal8os2-sz.bmp", "pal8.png", 8, 0},
    {"q/pal8os2-hs.bmp", "pal8.png", 8, 0},
    {"q/pal8os2sp.bmp", "pal8.png", 8, 0},
    {"q/pal8os2v2.bmp", "pal8.png", 8, 0},
    {"q/pal8os2v2-16.bmp", "pal8.png", 8, 0},
    {"q/pal8os2v2-sz.bmp", "pal8.png", 8, 0},
    {"q/pal8os2v2-40sz.bmp", "pal8.png", 8, 0},
    {"q/rgb24rle24.bmp", "pal8.png", 24, 0},
    {"q/rgb16faketrns.bmp", "rgb16.png", 24, 0},
    {"q/rgb16-231.bmp", "rgb16-231.png", 24, 0},
    {"q/rgb16-3103.bmp", "rgb16-3103.png", 24, 1},
    {"q/rgba16-4444.bmp", "rgba16-4444.png", 32, 0},
    {"q/rgba16-5551.bmp", "rgba16-5551.png", 32, 0},
    {"q/rgba16-1924.bmp", "rgba16-1924.png", 32, 1},
    {"q/rgb24largepal.bmp", "rgb24.png", 24, 0},
    {"q/rgb24prof.bmp", "rgb24.png", 24, 0},
    {"q/rgb24lprof.bmp", "rgb24.png", 24, 0},
    {"q/rgb32h52.bmp", "rgb24.png", 24, 0},
    {"q/rgb32-xbgr.bmp", "rgb24.png", 24, 0},
    {"q/rgb32fakealpha.bmp", "rgb24.png", 32, 0},
    {"q/rgb32-111110.bmp", "rgb24.png", 24, 1},
    {"q/rgb32-7187.bmp", "rgb32-7187.png", 24, 1},
    {"q/rgba32-1.bmp", "rgba32.png", 32, 0},
    {"q/rgba32-2.bmp", "rgba32.png", 32, 0},
    {"q/rgba32-1010102.bmp", "rgba32-1010102.png", 32, 1},
    {"q/rgba32-81284.bmp", "rgba32-81284.png", 32, 1},
    {"q/rgba32-61754.bmp", "rgba32-61754.png", 32, 1},
    {"q/rgba32abf.bmp", "rgba32.png", 32, 0},
    {"q/rgba32h56.bmp", "rgba32.png", 32, 0},
};

// The questionable files we refuse, and the reason the message must name.
const std::map<std::string, std::string> kQuestionableRejected = {
    {"q/pal1huffmsb.bmp", "Huffman"},
    {"q/rgb24jpeg.bmp", "JPEG"},
    {"q/rgb24png.bmp", "PNG"},
    {"q/rgba64.bmp", "64 bits per pixel"},
};

void ExpectMatches(const Expected& e) {
  SCOPED_TRACE(e.file);
  const BmpImage img = DecodeFile(Suite() / e.file);
  EXPECT_EQ(img.Pixels.BitCount(), e.outBits);
  EXPECT_EQ(CompareWithReference(img, Suite() / "html" / e.reference, e.tolerance), "");
}

std::set<std::string> FilesIn(const fs::path& dir, const std::string& prefix) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".bmp") names.insert(prefix + entry.path().filename().string());
  return names;
}

TEST(BmpSuite, GoodFilesMatchTheirReferences) {
  BELLCUT_REQUIRE_TESTDATA("bmpsuite");
  std::set<std::string> covered;
  for (const Expected& e : kGood) {
    ExpectMatches(e);
    covered.insert(e.file);
  }
  EXPECT_EQ(covered, FilesIn(Suite() / "g", "g/")) << "a good file of the suite has no entry here";
}

TEST(BmpSuite, QuestionableFilesDecodeOrAreRejectedForTheirReason) {
  BELLCUT_REQUIRE_TESTDATA("bmpsuite");
  std::set<std::string> covered = {"q/rgb24prof2.bmp"};
  for (const Expected& e : kQuestionableRead) {
    ExpectMatches(e);
    covered.insert(e.file);
  }
  for (const auto& [file, reason] : kQuestionableRejected) {
    SCOPED_TRACE(file);
    const std::string message = DecodeError(ReadWholeFile((Suite() / file).string()));
    EXPECT_NE(message.find(reason), std::string::npos) << message;
    covered.insert(file);
  }
  // The profile is ignored: red and green stay as stored, swapped against rgb24.
  const BmpImage prof2 = DecodeFile(Suite() / "q/rgb24prof2.bmp");
  const BmpImage plain = DecodeFile(Suite() / "g/rgb24.bmp");
  ASSERT_EQ(prof2.Pixels.Width(), plain.Pixels.Width());
  for (int x = 0; x < plain.Pixels.Width(); x += 7) {
    const COLORREF a = prof2.Pixels.GetPixel(x, 10), b = plain.Pixels.GetPixel(x, 10);
    EXPECT_EQ(RGB(GetGValue(a), GetRValue(a), GetBValue(a)), b) << "x=" << x;
  }
  EXPECT_EQ(covered, FilesIn(Suite() / "q", "q/")) << "a questionable file of the suite has no entry here";
}

TEST(BmpSuite, BadFilesRaiseInvalidGraphic) {
  BELLCUT_REQUIRE_TESTDATA("bmpsuite");
  for (const std::string& file : FilesIn(Suite() / "b", "b/")) {
    SCOPED_TRACE(file);
    const std::string message = DecodeError(ReadWholeFile((Suite() / file).string()));
    EXPECT_EQ(message.rfind("Bitmap image is not valid: ", 0), 0u) << message;
  }
}

TEST(BmpSuite, OtherWritersFilesDecode) {
  BELLCUT_REQUIRE_TESTDATA("bmp-extra");
  struct Case {
    const char* file;
    int width, height, bits;
    bool alpha;
  };
  const Case cases[] = {
      {"sdl2-image/palette.bmp", 23, 42, 8, false}, {"sdl2-image/sample.bmp", 23, 42, 24, false},
      {"sdl2-image/svg-class.bmp", 82, 82, 32, true}, {"sdl2-image/svg.bmp", 32, 32, 32, true},
      {"sdl2-image/svg64.bmp", 64, 64, 32, true},   {"libjpeg-turbo/shira_bird8.bmp", 192, 144, 24, false},
      {"libjpeg-turbo/vgl_6434_0018a.bmp", 119, 96, 24, false},
      {"libjpeg-turbo/vgl_6548_0026a.bmp", 128, 95, 24, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::uint8_t> file = ReadWholeFile((test::TestDataDir() / "bmp-extra" / c.file).string());
    const BmpImage img = DecodeBmp(file);
    EXPECT_EQ(img.Pixels.Width(), c.width);
    EXPECT_EQ(img.Pixels.Height(), c.height);
    EXPECT_EQ(img.Pixels.BitCount(), c.bits);
    EXPECT_EQ(img.HasAlpha, c.alpha);
    // Plain bottom-up 24-bit files are exactly what the encoder writes:
    // re-encoding must give the same pixel bytes back.
    if (c.bits == 24 && img.HeaderSize == 40) {
      const std::vector<std::uint8_t> again = EncodeBmp(img.Pixels, img.XPelsPerMeter, img.YPelsPerMeter);
      ASSERT_EQ(again.size(), file.size());
      EXPECT_TRUE(std::equal(again.begin() + 54, again.end(), file.begin() + 54));
    }
  }
}

TEST(BmpSuite, FuzzedFilesDecodeOrFailCleanly) {
  BELLCUT_REQUIRE_TESTDATA("bmp-extra/afl");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(test::TestDataDir() / "bmp-extra/afl")) {
    if (entry.path().extension() != ".bmp") continue;
    ++files;
    SCOPED_TRACE(entry.path().filename().string());
    try {
      const BmpImage img = DecodeBmp(ReadWholeFile(entry.path().string()));
      EXPECT_FALSE(img.Pixels.Empty());
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfResources&) {
    }
  }
  EXPECT_GT(files, 0);
}

// ---- hand-made files for behaviours the suite does not pin down ----

void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = static_cast<std::uint8_t>(x);
  v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

// A file with a 40-byte header, the given palette entries (grey levels 0,
// 16, 32, ...), optional bit masks and the pixel bytes as given.
std::vector<std::uint8_t> MakeBmp(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression, int colours,
                                  const std::vector<std::uint8_t>& pixels, std::vector<std::uint32_t> masks = {}) {
  const std::size_t offBits = 54 + 4 * masks.size() + 4 * static_cast<std::size_t>(colours);
  std::vector<std::uint8_t> f(offBits + pixels.size(), 0);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<std::uint32_t>(f.size()));
  Put32(f, 10, static_cast<std::uint32_t>(offBits));
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<std::uint32_t>(w));
  Put32(f, 22, static_cast<std::uint32_t>(h));
  Put16(f, 26, 1);
  Put16(f, 28, static_cast<std::uint32_t>(bits));
  Put32(f, 30, compression);
  Put32(f, 34, static_cast<std::uint32_t>(pixels.size()));
  Put32(f, 46, static_cast<std::uint32_t>(colours));
  for (std::size_t i = 0; i < masks.size(); ++i) Put32(f, 54 + 4 * i, masks[i]);
  for (int i = 0; i < colours; ++i)
    for (int c = 0; c < 3; ++c) f[54 + 4 * masks.size() + 4 * static_cast<std::size_t>(i) + static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(16 * i);
  std::copy(pixels.begin(), pixels.end(), f.begin() + static_cast<std::ptrdiff_t>(offBits));
  return f;
}

std::vector<int> Indexes(const Dib& dib) {
  std::vector<int> v;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) v.push_back(static_cast<int>(dib.GetRaw(x, y)));
  return v;
}

TEST(BmpRle, EscapesPlacePixelsAndSkippedOnesTakeColourZero) {
  // 5x3 RLE8, rows listed bottom-first in the stream.
  const std::vector<std::uint8_t> rle = {
      3, 7,                 // bottom row: 7 7 7, then an early end of row
      0, 0,                 //
      0, 2, 1, 0,           // move right by 1 on the middle row
      0, 3, 1, 2, 3, 0,     // literal 1 2 3 (padded to a word)
      9, 5,                 // a run of 9 clipped at the right edge: one 5
      0, 0,                 //
      2, 4,                 // top row: 4 4, the rest left by the end of picture
      0, 1,
  };
  const BmpImage img = DecodeBmp(MakeBmp(5, 3, 8, 1, 16, rle));
  EXPECT_EQ(Indexes(img.Pixels), (std::vector<int>{4, 4, 0, 0, 0,  //
                                                   0, 1, 2, 3, 5,  //
                                                   7, 7, 7, 0, 0}));
  // RLE4: runs alternate their two nibbles; literals read nibbles in order.
  const std::vector<std::uint8_t> rle4 = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1};
  const BmpImage img4 = DecodeBmp(MakeBmp(5, 2, 4, 2, 16, rle4));
  EXPECT_EQ(Indexes(img4.Pixels), (std::vector<int>{10, 11, 12, 0, 0, 1, 2, 1, 2, 1}));
}

TEST(BmpRle, BrokenStreamsAreRejected) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> stream;
    const char* reason;
  };
  const Case cases[] = {
      {"move below the picture", {0, 2, 0, 9, 0, 1}, "leaves the picture"},
      {"move past the right edge", {0, 2, 6, 0, 0, 1}, "leaves the picture"},
      {"no end code", {2, 1, 0, 0}, "without an end-of-picture"},
      {"literal cut short", {0, 5, 1, 2}, "inside a literal"},
      {"rows past the last", {0, 0, 0, 0, 1, 1, 0, 1}, "past the last row"},
      {"index past the palette", {2, 200, 0, 1}, "palette"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(DecodeError(MakeBmp(5, 2, 8, 1, 16, c.stream)).find(c.reason), std::string::npos)
        << DecodeError(MakeBmp(5, 2, 8, 1, 16, c.stream));
  }
  std::vector<std::uint8_t> topDown = MakeBmp(5, -2, 8, 1, 16, {0, 1});
  EXPECT_NE(DecodeError(topDown).find("top-down"), std::string::npos);
}

TEST(BmpDecode, HeaderAndSizeFaultsAreRejectedWithTheirReason) {
  const std::vector<std::uint8_t> pixels(8, 0);  // 2x2 at 8 bits
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    const char* reason;
  };
  auto with = [&](auto edit) {
    std::vector<std::uint8_t> f = MakeBmp(2, 2, 8, 0, 4, pixels);
    edit(f);
    return f;
  };
  const Case cases[] = {
      {"signature", with([](auto& f) { f[1] = 'X'; }), "signature"},
      {"tiny", {'B', 'M', 0, 0}, "signature"},
      {"header size", with([](auto& f) { Put32(f, 14, 66); }), "header size 66"},
      {"planes", with([](auto& f) { Put16(f, 26, 2); }), "plane count"},
      {"bit count", with([](auto& f) { Put16(f, 28, 7); }), "7 bits per pixel"},
      {"zero width", with([](auto& f) { Put32(f, 18, 0); }), "no pixels"},
      {"negative width", with([](auto& f) { Put32(f, 18, static_cast<std::uint32_t>(-2)); }), "no pixels"},
      {"huge size", with([](auto& f) { Put32(f, 18, 100000); Put32(f, 22, 100000); }), "too large"},
      {"huge but in limits", with([](auto& f) { Put32(f, 18, 60000); Put32(f, 22, 9000); }), "too large"},
      {"truncated pixels", with([](auto& f) { Put32(f, 22, 3); Put32(f, 34, 0); }), "truncated"},
      {"declared file size", with([](auto& f) { Put32(f, 2, 1u << 30); }), "declares"},
      {"declared pixel size", with([](auto& f) { Put32(f, 34, 1u << 30); }), "pixel data size"},
      {"palette past the end", with([](auto& f) { Put32(f, 46, 1u << 28); }), "palette of"},
      {"offset into header", with([](auto& f) { Put32(f, 10, 20); }), "points into the header"},
      {"offset past the end", with([](auto& f) { Put32(f, 10, 5000); Put32(f, 34, 0); }), "past the end"},
      {"density", with([](auto& f) { Put32(f, 38, 30'000'000); }), "density"},
      {"index past palette", with([](auto& f) { f[f.size() - 4] = 4; }), "colour 4 of a palette with 4"},
      {"jpeg", with([](auto& f) { Put32(f, 30, 4); }), "JPEG"},
      {"unknown compression", with([](auto& f) { Put32(f, 30, 11); }), "unknown compression"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = DecodeError(c.file);
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
  }
}

TEST(BmpDecode, BitFieldMasksAreValidatedAndScaled) {
  // 2x1 at 16 bits, 5-6-5: full red, then 1/31 red with 62/63 green.
  const std::vector<std::uint8_t> px = {0x00, 0xF8, 0xC1, 0x0F};
  const BmpImage img = DecodeBmp(MakeBmp(2, 1, 16, 3, 0, px, {0xF800, 0x07E0, 0x001F}));
  ASSERT_EQ(img.Pixels.BitCount(), 24);
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_EQ(img.Pixels.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(img.Pixels.GetPixel(1, 0), RGB(8, 251, 8));  // round(1*255/31), round(62*255/63)
  struct Case {
    const char* what;
    std::vector<std::uint32_t> masks;
    const char* reason;
  };
  const Case bad[] = {
      {"empty blue", {0xFF00, 0x00FF, 0}, "blue bit mask is empty"},
      {"holes", {0xF00F, 0x0F00, 0x00F0}, "red bit mask is not contiguous"},
      {"overlap", {0xF800, 0x0FE0, 0x001F}, "red and green bit masks overlap"},
      {"too wide", {0x1F0000, 0x07E0, 0x001F}, "outside the pixel"},
  };
  for (const Case& c : bad) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(DecodeError(MakeBmp(2, 1, 16, 3, 0, px, c.masks)).find(c.reason), std::string::npos);
  }
}

TEST(BmpDecode, ThirtyTwoBitKeepsTheFourthByteWithoutCallingItAlpha) {
  // Top-down 2x2: the rows arrive in display order.
  const std::vector<std::uint8_t> px = {1, 2, 3, 9, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
  const BmpImage img = DecodeBmp(MakeBmp(2, -2, 32, 0, 0, px));
  ASSERT_EQ(img.Pixels.BitCount(), 32);
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_EQ(img.Pixels.GetRaw(0, 0), 0x09030201u);
  EXPECT_EQ(img.Pixels.GetPixel(1, 1), RGB(12, 11, 10));
}

TEST(BmpDecode, ShortPaletteIsKeptAsItsFileHasIt) {
  // 3x1 at 4 bits using colours 0..2 of a 3-entry palette.
  const BmpImage img = DecodeBmp(MakeBmp(3, 1, 4, 0, 3, {0x12, 0x00, 0, 0}));
  EXPECT_EQ(img.Pixels.Palette().size(), 3u);
  EXPECT_EQ(Indexes(img.Pixels), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(img.Pixels.GetPixel(1, 0), RGB(32, 32, 32));
}

// ---- encoding ----

Dib RandomDib(int w, int h, int bits, std::mt19937& gen, std::size_t colours) {
  Dib dib(w, h, bits);
  std::uniform_int_distribution<int> byte(0, 255);
  if (bits <= 8) {
    dib.Palette().resize(colours);
    for (RgbQuad& q : dib.Palette())
      q = RgbQuad{static_cast<std::uint8_t>(byte(gen)), static_cast<std::uint8_t>(byte(gen)),
                  static_cast<std::uint8_t>(byte(gen)), 0};
    std::uniform_int_distribution<int> index(0, static_cast<int>(colours) - 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) dib.SetRaw(x, y, static_cast<std::uint32_t>(index(gen)));
  } else {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) dib.SetRaw(x, y, static_cast<std::uint32_t>(gen()));
  }
  // Garbage in the row padding must not reach the file.
  const std::size_t used = (static_cast<std::size_t>(w) * static_cast<std::size_t>(bits) + 7) / 8;
  for (int y = 0; y < h; ++y)
    for (std::size_t i = used; i < Dib::RowBytes(w, bits); ++i) dib.ScanLine(y)[i] = 0xAA;
  if ((w * bits) % 8 != 0)
    for (int y = 0; y < h; ++y) dib.ScanLine(y)[used - 1] |= static_cast<std::uint8_t>(0xFFu >> ((w * bits) % 8));
  return dib;
}

TEST(BmpEncode, RoundTripsEveryDepthAndWidth) {
  std::mt19937 gen(20240601);
  for (const int bits : {1, 4, 8, 24, 32}) {
    for (const int w : {1, 2, 3, 5, 7, 9, 31, 33}) {
      const std::size_t colours = bits <= 8 ? ((std::size_t{1} << bits) - (bits == 8 ? 56 : 0)) : 0;
      SCOPED_TRACE("bits " + std::to_string(bits) + " width " + std::to_string(w));
      const Dib original = RandomDib(w, 3, bits, gen, colours);
      const std::vector<std::uint8_t> file = EncodeBmp(original, 3780, 2835);
      const std::size_t stride = Dib::RowBytes(w, bits);
      ASSERT_EQ(file.size(), 54 + 4 * colours + 3 * stride);
      EXPECT_EQ(file[10] | (file[11] << 8), static_cast<int>(54 + 4 * colours));
      // Row padding (bytes and bits past the width) is written as zero.
      for (int row = 0; row < 3; ++row) {
        const std::size_t start = 54 + 4 * colours + stride * static_cast<std::size_t>(row);
        const std::size_t usedBits = static_cast<std::size_t>(w) * static_cast<std::size_t>(bits);
        for (std::size_t bit = usedBits; bit < stride * 8; ++bit)
          ASSERT_EQ((file[start + bit / 8] >> (7 - bit % 8)) & 1, 0) << "row " << row << " bit " << bit;
      }
      const BmpImage back = DecodeBmp(file);
      EXPECT_EQ(back.XPelsPerMeter, 3780);
      EXPECT_EQ(back.YPelsPerMeter, 2835);
      ASSERT_EQ(back.Pixels.BitCount(), bits);
      EXPECT_EQ(back.Pixels.Palette(), original.Palette());
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(back.Pixels.GetRaw(x, y), original.GetRaw(x, y)) << x << "," << y;
    }
  }
}

TEST(BmpEncode, RefusesWhatItCannotWrite) {
  EXPECT_THROW((void)EncodeBmp(Dib()), EInvalidGraphicOperation);
  EXPECT_THROW((void)EncodeBmp(Dib(0, 5, 24)), EInvalidGraphicOperation);
}

}  // namespace
}  // namespace bellcut
