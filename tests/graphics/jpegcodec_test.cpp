#include "platform/graphics/JpegCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"
#include "support/TestData.h"
#include "tests/graphics/jpeg_test_tools.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::SamePixels;

fs::path JpegDir() { return test::TestDataDir() / "jpeg"; }

std::vector<fs::path> FilesIn(const std::string& sub, const std::string& ext = ".jpg") {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(JpegDir() / sub))
    if (e.path().extension() == ext) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

bool IsInkFile(const fs::path& p) { return p.filename().string().find("cmyk") != std::string::npos; }

// libjpeg's message format up to its first parameter: what a report of that
// message starts with whatever the parameters were.
std::string FixedPrefix(int code) {
  const std::string text = JpegMessageText(code);
  return text.substr(0, text.find('%'));
}

// djpeg_rc and djpeg_message of properties.tsv, by file name relative to jpeg/.
std::map<std::string, std::pair<int, std::string>> DjpegOutcomes() {
  std::map<std::string, std::pair<int, std::string>> out;
  std::ifstream in(JpegDir() / "properties.tsv");
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    if (cols.size() >= 13 && !cols[11].empty()) out[cols[0]] = {std::stoi(cols[11]), cols[12]};
  }
  return out;
}

// ---------------------------------------------------------------------------
// Decoding good files

TEST(JpegDecode, GoodFilesMatchDjpegPixelForPixel) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  const bool haveDjpeg = test::CommandExists("djpeg");
  for (const fs::path& file : FilesIn("good")) {
    SCOPED_TRACE(file.filename().string());
    const auto data = ReadBytes(file);
    const JpegHeader header = ReadJpegHeader(data);
    const Dib dib = DecodeJpeg(data);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Width(), header.Width);
    EXPECT_EQ(dib.Height(), header.Height);
    if (!haveDjpeg || IsInkFile(file)) continue;
    const auto ppm = test::RunCapture("djpeg -ppm " + test::Quoted(file));
    ASSERT_TRUE(ppm.has_value());
    EXPECT_TRUE(SamePixels(test::ParsePnm(*ppm), dib));
  }
  if (!haveDjpeg) GTEST_SKIP() << "djpeg not installed: sizes checked, pixels not compared";
}

TEST(JpegDecode, HeaderDescribesTheFrame) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  struct Case {
    const char* file;
    int width, height, components;
    JpegColorModel model;
    bool progressive, arithmetic;
  };
  const Case cases[] = {
      {"testorig.jpg", 227, 149, 3, JpegColorModel::YCbCr, false, false},
      {"testimgari.jpg", 227, 149, 3, JpegColorModel::YCbCr, false, true},
      {"testorig_grayscale_q80_rst8.jpg", 227, 149, 1, JpegColorModel::Grayscale, false, false},
      {"testorig_rgb_444_floatdct_q100_test3icc.jpg", 227, 149, 3, JpegColorModel::RGB, false, false},
      {"testorig_rot180_cmyk_411_q50_opt_rst1B_test1icc.jpg", 227, 149, 4, JpegColorModel::YCCK, false, false},
      {"testorig_rot270_420_fastdct_q75_prog_rst100.jpg", 149, 227, 3, JpegColorModel::YCbCr, true, false},
      {"testorig_transverse_422_q95_prog_ari.jpg", 149, 227, 3, JpegColorModel::YCbCr, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const JpegHeader h = ReadJpegHeader(ReadBytes(JpegDir() / "good" / c.file));
    EXPECT_EQ(h.Width, c.width);
    EXPECT_EQ(h.Height, c.height);
    EXPECT_EQ(h.Components, c.components);
    EXPECT_EQ(h.ColorModel, c.model);
    EXPECT_EQ(h.Progressive, c.progressive);
    EXPECT_EQ(h.Arithmetic, c.arithmetic);
  }
}

// The YCCK file holds testorig rotated by 180 degrees; converted by the ink
// formula it must look like the original (a wrong inversion or channel order
// is off by far more than the q50 coding error).
TEST(JpegDecode, InkFileConvertsToTheOriginalColours) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  const Dib original = test::ParsePnm(ReadBytes(JpegDir() / "good" / "testorig.ppm"));
  const Dib ink = DecodeJpeg(ReadBytes(JpegDir() / "good" / "testorig_rot180_cmyk_411_q50_opt_rst1B_test1icc.jpg"));
  ASSERT_EQ(ink.Width(), original.Width());
  ASSERT_EQ(ink.Height(), original.Height());
  std::array<double, 3> error{};
  for (int y = 0; y < ink.Height(); ++y)
    for (int x = 0; x < ink.Width(); ++x)
      for (int ch = 0; ch < 3; ++ch)
        error[ch] += std::abs(int{ink.ScanLine(y)[3 * x + ch]} -
                              int{original.ScanLine(original.Height() - 1 - y)[3 * (original.Width() - 1 - x) + ch]});
  for (int ch = 0; ch < 3; ++ch) {
    const double mean = error[ch] / (ink.Width() * ink.Height());
    EXPECT_LT(mean, 8.0) << "channel " << ch;
  }
}

TEST(JpegDecode, GrayscaleOptionMatchesDjpegGrayscale) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  if (!test::CommandExists("djpeg")) GTEST_SKIP() << "djpeg not installed";
  for (const char* name : {"testorig.jpg", "testorig_rgb_444_floatdct_q100_test3icc.jpg",
                           "testorig_grayscale_q80_rst8.jpg", "testorig_rot90_441_q25_scan_script.jpg"}) {
    SCOPED_TRACE(name);
    const fs::path file = JpegDir() / "good" / name;
    const auto pgm = test::RunCapture("djpeg -grayscale -pnm " + test::Quoted(file));
    ASSERT_TRUE(pgm.has_value());
    EXPECT_TRUE(SamePixels(test::ParsePnm(*pgm), DecodeJpeg(ReadBytes(file), true)));
  }
}

// ---------------------------------------------------------------------------
// Files that must be refused

TEST(JpegDecode, UnsupportedFilesRaiseEjpeg) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/unsupported");
  const std::map<std::string, std::string> reason = {
      {"testorig12.jpg", "Unsupported JPEG data precision 12"},
      {"lossless_sof3_8bit_94x97.jpg", "Unsupported JPEG process: SOF type 0xc3"},
      {"tables_only_no_image.jpg", "JPEG datastream contains no image"},
  };
  for (const fs::path& file : FilesIn("unsupported")) {
    SCOPED_TRACE(file.filename().string());
    const auto data = ReadBytes(file);
    EXPECT_THROW((void)ReadJpegHeader(data), EJPEG);
    try {
      (void)DecodeJpeg(data);
      ADD_FAILURE() << "decoded";
    } catch (const EJPEG& e) {
      EXPECT_EQ(FixedPrefix(e.Code()), reason.at(file.filename().string()).substr(0, FixedPrefix(e.Code()).size()));
      EXPECT_EQ(e.Message(), "JPEG \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC #" + std::to_string(e.Code()));
    }
  }
}

// Warnings are refused like errors, so every damaged file fails, and it fails
// on the first problem libjpeg reports: the one djpeg prints first.
TEST(JpegDecode, DamagedFilesFailOnTheirFirstProblem) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/corrupt");
  const auto outcomes = DjpegOutcomes();
  int warnings = 0, fatal = 0;
  for (const fs::path& file : FilesIn("corrupt")) {
    const std::string name = "corrupt/" + file.filename().string();
    SCOPED_TRACE(name);
    const auto data = ReadBytes(file);
    try {
      (void)DecodeJpeg(data);
      ADD_FAILURE() << "decoded";
    } catch (const EJPEG& e) {
      const std::string prefix = FixedPrefix(e.Code());
      ASSERT_FALSE(prefix.empty()) << "code " << e.Code();
      const auto it = outcomes.find(name);
      ASSERT_NE(it, outcomes.end());
      EXPECT_EQ(it->second.second.substr(0, prefix.size()), prefix) << "djpeg: " << it->second.second;
      (it->second.first == 2 ? warnings : fatal)++;
    }
  }
  // Both kinds of damage are part of the material.
  EXPECT_GT(warnings, 0);
  EXPECT_GT(fatal, 0);
}

TEST(JpegDecode, WindowOfADamagedFileFailsToo) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/corrupt");
  for (const char* name : {"afl_warn_premature_end_of_jpeg_file.jpg", "afl_fatal_bogus_marker_length.jpg",
                           "cve-2013-6629_turbo-dht.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW((void)DecodeJpegRect(ReadBytes(JpegDir() / "corrupt" / name), Bounds(5, 20, 10, 12)), EJPEG);
  }
}

TEST(JpegDecode, NonJpegInputRaisesEjpeg) {
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {}, {0xFF}, {0xFF, 0xD8}, {'B', 'M', 0, 0, 0, 0}, std::vector<std::uint8_t>(1000, 0xFF)};
  for (const auto& data : inputs) {
    SCOPED_TRACE(data.size());
    EXPECT_THROW((void)ReadJpegHeader(data), EJPEG);
    EXPECT_THROW((void)DecodeJpeg(data), EJPEG);
    EXPECT_THROW((void)DecodeJpegRect(data, Bounds(0, 0, 1, 1)), EJPEG);
  }
}

// The bomb declares 32544 x 255 pixels in 504 bytes; its first warning comes
// when decoding starts, before any surface for the picture is made.
TEST(JpegDecode, BombFailsBeforeDecoding) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/bomb");
  const auto data = ReadBytes(JpegDir() / "bomb" / "afl_warn_large_declared_32544x255.jpg");
  const JpegHeader h = ReadJpegHeader(data);
  EXPECT_EQ(h.Width, 32544);
  EXPECT_EQ(h.Height, 255);
  for (const bool window : {false, true}) {
    try {
      (void)(window ? DecodeJpegRect(data, Bounds(1000, 100, 50, 50)) : DecodeJpeg(data));
      ADD_FAILURE() << "decoded";
    } catch (const EJPEG& e) {
      EXPECT_EQ(FixedPrefix(e.Code()), "Invalid SOS parameters for sequential JPEG");
    }
  }
}

// A picture larger than any surface may be is refused from its header alone.
TEST(JpegDecode, OversizedDeclarationIsRefusedBeforeAllocation) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  auto data = ReadBytes(JpegDir() / "good" / "testorig.jpg");
  std::size_t sof = 2;
  while (!(data[sof] == 0xFF && data[sof + 1] == 0xC0)) sof += 2 + (data[sof + 2] << 8 | data[sof + 3]);
  // 60000 x 60000 (below libjpeg's own limit of 65500 per side).
  data[sof + 5] = data[sof + 7] = 60000 >> 8;
  data[sof + 6] = data[sof + 8] = 60000 & 0xFF;
  const JpegHeader h = ReadJpegHeader(data);
  EXPECT_EQ(h.Width, 60000);
  EXPECT_EQ(h.Height, 60000);
  EXPECT_THROW((void)DecodeJpeg(data), EOutOfResources);
  EXPECT_THROW((void)DecodeJpegRect(data, Bounds(0, 0, 10, 10)), EOutOfResources);
}

// ---------------------------------------------------------------------------
// Windowed decoding equals the same part of a full decode

TEST(JpegDecodeRect, WindowsEqualTheFullDecode) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  const char* files[] = {
      "testorig.jpg",                                          // 4:2:0 baseline
      "testimgari.jpg",                                        // arithmetic
      "testorig_rot270_420_fastdct_q75_prog_rst100.jpg",       // progressive, restarts
      "testorig_rot90_441_q25_scan_script.jpg",                // progressive 1x4
      "testorig_transverse_422_q95_prog_ari.jpg",              // progressive arithmetic 4:2:2
      "testorig_transpose_440_q90_ari_rst1.jpg",               // 4:4:0
      "testorig_vflip_410_q10_baseline.jpg",                   // 4:1:0
      "testorig_hflip_2x4_q1_rst16.jpg",                       // 2x4 luma
      "testorig_grayscale_q80_rst8.jpg",                       // one component
      "testorig_rgb_444_floatdct_q100_test3icc.jpg",           // RGB coded
      "testorig_rot180_cmyk_411_q50_opt_rst1B_test1icc.jpg",   // YCCK
      "sdl_sample_progressive_23x42.jpg",                      // odd size
      "afl_valid_arith_88x1952_4x1_1x4.jpg",                   // odd sampling, tall
      "mozilla_kitty2_icc.jpg",                                // 32x29
      "2x2_410.jpg",
      "1x1_420.jpg",
  };
  std::mt19937 generator(20240611);  // fixed generator state: the same windows every run
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const auto data = ReadBytes(JpegDir() / "good" / name);
    const Dib full = DecodeJpeg(data);
    const int w = full.Width(), h = full.Height();
    std::vector<TRect> windows = {
        {0, 0, w, h},         Bounds(0, 0, 1, 1),     Bounds(w - 1, 0, 1, 1), Bounds(0, h - 1, 1, 1),
        Bounds(w - 1, h - 1, 1, 1), Bounds(0, 0, 1, h), Bounds(w - 1, 0, 1, h), Bounds(0, 0, w, 1),
        Bounds(0, h - 1, w, 1), Bounds(w / 2, h / 2, 1, 1)};
    for (int i = 0; i < 60; ++i) {
      std::uniform_int_distribution<int> left(0, w - 1), top(0, h - 1);
      const int x = left(generator), y = top(generator);
      const int maxW = i % 4 == 0 ? 1 : w - x, maxH = i % 4 == 0 ? 1 : h - y;
      windows.push_back(Bounds(x, y, std::uniform_int_distribution<int>(1, maxW)(generator),
                               std::uniform_int_distribution<int>(1, maxH)(generator)));
    }
    for (const TRect& r : windows) {
      SCOPED_TRACE(testing::Message() << "window " << r.Left << "," << r.Top << " " << r.Width() << "x"
                                      << r.Height());
      ASSERT_TRUE(SamePixels(test::CropOf(full, r), DecodeJpegRect(data, r)));
    }
  }
}

TEST(JpegDecodeRect, GrayscaleWindowsEqualTheGrayscaleDecode) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  for (const char* name : {"testorig.jpg", "testorig_rot180_cmyk_411_q50_opt_rst1B_test1icc.jpg"}) {
    SCOPED_TRACE(name);
    const auto data = ReadBytes(JpegDir() / "good" / name);
    const Dib full = DecodeJpeg(data, true);
    for (const TRect r : {Bounds(0, 0, 17, 9), Bounds(101, 33, 60, 70), Bounds(226, 148, 1, 1)})
      EXPECT_TRUE(SamePixels(test::CropOf(full, r), DecodeJpegRect(data, r, true)));
  }
}

TEST(JpegDecodeRect, WindowIsClippedToThePicture) {
  BELLCUT_REQUIRE_TESTDATA("jpeg/good");
  const auto data = ReadBytes(JpegDir() / "good" / "testorig.jpg");
  const Dib full = DecodeJpeg(data);
  EXPECT_TRUE(SamePixels(test::CropOf(full, Rect(200, 100, 227, 149)), DecodeJpegRect(data, Rect(200, 100, 400, 300))));
  EXPECT_TRUE(SamePixels(test::CropOf(full, Rect(0, 0, 10, 5)), DecodeJpegRect(data, Rect(-50, -20, 10, 5))));
  for (const TRect r : {Rect(227, 0, 300, 10), Rect(-10, -10, 0, 0), Rect(5, 5, 5, 50), TRect{}}) {
    const Dib none = DecodeJpegRect(data, r);
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.BitCount(), 24);
  }
}

// ---------------------------------------------------------------------------
// Encoding

// A picture with smooth and sharp detail and an odd size (partial MCUs).
Dib TestPicture(int w, int h) {
  Dib dib(w, h, 24);
  std::mt19937 generator(7);  // fixed generator state
  std::uniform_int_distribution<int> noise(-12, 12);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = dib.ScanLine(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / w + noise(generator), 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / h + noise(generator), 0, 255));
      p[2] = static_cast<std::uint8_t>(((x / 7 + y / 5) % 2) * 200 + 30);
    }
  return dib;
}

TEST(JpegEncode, BytesEqualCjpegWithTheSameSettings) {
  if (!test::CommandExists("cjpeg")) GTEST_SKIP() << "cjpeg not installed";
  struct Case {
    const char* what;
    int quality;
    Dib pixels;
  };
  std::vector<Case> cases;
  cases.push_back({"generated 37x23 q80", 80, TestPicture(37, 23)});
  cases.push_back({"generated 1x1 q80", 80, TestPicture(1, 1)});
  cases.push_back({"generated 200x131 q1", 1, TestPicture(200, 131)});
  cases.push_back({"generated 64x64 q100", 100, TestPicture(64, 64)});
  if (fs::is_directory(JpegDir() / "good"))
    cases.push_back({"testorig q80", 80, test::ParsePnm(ReadBytes(JpegDir() / "good" / "testorig.ppm"))});
  const fs::path ppm = fs::temp_directory_path() / ("bellcut_jpegcodec_" + std::to_string(::getpid()) + ".ppm");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::WritePpm(c.pixels, ppm);
    const auto expected = test::RunCapture("cjpeg -quality " + std::to_string(c.quality) +
                                           " -dct float -baseline " + test::Quoted(ppm));
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(EncodeJpeg(c.pixels, c.quality), *expected);
  }
  fs::remove(ppm);
}

// Quality 80 tables are the standard tables scaled by 40% with rounding.
std::array<int, 64> Q80(const std::array<int, 64>& standard) {
  std::array<int, 64> out{};
  for (int i = 0; i < 64; ++i) out[i] = std::clamp((standard[i] * 40 + 50) / 100, 1, 255);
  return out;
}

TEST(JpegEncode, WritesBaselineJfifWithQuality80TablesAnd420Sampling) {
  constexpr std::array<int, 64> kZigzag = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                           12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                           35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                           58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  constexpr std::array<int, 64> kLuma = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                         14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                         18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                         49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
  std::array<int, 64> chroma{};
  chroma.fill(99);
  const int chromaTop[4][4] = {{17, 18, 24, 47}, {18, 21, 26, 66}, {24, 26, 56, 99}, {47, 66, 99, 99}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) chroma[r * 8 + c] = chromaTop[r][c];

  const auto bytes = EncodeJpeg(TestPicture(50, 30), 80);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
  bool jfif = false, sof0 = false;
  std::map<int, std::array<int, 64>> tables;
  std::size_t pos = 2;
  while (pos + 4 <= bytes.size()) {
    ASSERT_EQ(bytes[pos], 0xFF);
    const int marker = bytes[pos + 1];
    const std::size_t length = bytes[pos + 2] << 8 | bytes[pos + 3];
    const std::uint8_t* body = bytes.data() + pos + 4;
    if (marker == 0xDA) break;  // start of scan: the header is over
    EXPECT_TRUE(marker == 0xE0 || marker == 0xDB || marker == 0xC0 || marker == 0xC4)
        << "unexpected marker " << std::hex << marker;
    if (marker == 0xE0) jfif = std::string(reinterpret_cast<const char*>(body), 5) == std::string("JFIF\0", 5);
    if (marker == 0xDB) {
      for (std::size_t t = 0; t + 65 <= length - 2; t += 65) {
        EXPECT_EQ(body[t] >> 4, 0) << "8-bit table";
        std::array<int, 64> natural{};
        for (int i = 0; i < 64; ++i) natural[kZigzag[i]] = body[t + 1 + i];
        tables[body[t] & 15] = natural;
      }
    }
    if (marker == 0xC0) {
      sof0 = true;
      EXPECT_EQ(body[0], 8);
      EXPECT_EQ(body[1] << 8 | body[2], 30);
      EXPECT_EQ(body[3] << 8 | body[4], 50);
      ASSERT_EQ(body[5], 3);
      EXPECT_EQ(body[6 + 1], 0x22);  // Y 2x2
      EXPECT_EQ(body[9 + 1], 0x11);
      EXPECT_EQ(body[12 + 1], 0x11);
      EXPECT_EQ(body[6 + 2], 0);
      EXPECT_EQ(body[9 + 2], 1);
      EXPECT_EQ(body[12 + 2], 1);
    }
    pos += 2 + length;
  }
  EXPECT_TRUE(jfif);
  EXPECT_TRUE(sof0);
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0], Q80(kLuma));
  EXPECT_EQ(tables[1], Q80(chroma));
  const JpegHeader h = ReadJpegHeader(bytes);
  EXPECT_FALSE(h.Progressive);
  EXPECT_FALSE(h.Arithmetic);
}

TEST(JpegEncode, RoundTripKeepsColoursInPlace) {
  // Flat areas survive JPEG coding almost exactly, so a swapped channel shows.
  Dib dib(32, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) dib.SetPixel(x, y, x < 16 ? RGB(220, 20, 40) : RGB(10, 60, 200));
  const Dib back = DecodeJpeg(EncodeJpeg(dib, 95));
  ASSERT_EQ(back.Width(), 32);
  ASSERT_EQ(back.Height(), 16);
  for (const auto& [x, color] : {std::pair{4, RGB(220, 20, 40)}, std::pair{27, RGB(10, 60, 200)}}) {
    const COLORREF got = back.GetPixel(x, 8);
    EXPECT_NEAR(GetRValue(got), GetRValue(color), 3);
    EXPECT_NEAR(GetGValue(got), GetGValue(color), 3);
    EXPECT_NEAR(GetBValue(got), GetBValue(color), 3);
  }
}

TEST(JpegEncode, OtherBitCountsAreConvertedFirst) {
  for (const int bits : {1, 4, 8, 32}) {
    SCOPED_TRACE(bits);
    Dib dib(21, 13, bits);
    if (bits <= 8) dib.Palette() = bits == 1 ? std::vector<RgbQuad>{{0, 0, 0, 0}, {255, 255, 255, 0}}
                                  : bits == 4 ? StandardPalette16() : StandardPalette256();
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 21; ++x) dib.SetPixel(x, y, RGB(x * 12, y * 19, (x * y) % 256));
    EXPECT_EQ(EncodeJpeg(dib, 80), EncodeJpeg(dib.Converted(24), 80));
  }
}

TEST(JpegEncode, PicturesJpegCannotHoldRaiseEjpeg) {
  struct Case {
    const char* what;
    Dib pixels;
    const char* message;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", Dib(), "Empty JPEG image (DNL not supported)"});
  cases.push_back({"zero height", Dib(10, 0, 24), "Empty JPEG image (DNL not supported)"});
  cases.push_back({"65501 wide", Dib(65501, 1, 24), "Maximum supported image dimension is "});
  cases.push_back({"65501 high", Dib(1, 65501, 24), "Maximum supported image dimension is "});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      (void)EncodeJpeg(c.pixels, 80);
      ADD_FAILURE() << "encoded";
    } catch (const EJPEG& e) {
      EXPECT_EQ(FixedPrefix(e.Code()), c.message);
    }
  }
}

}  // namespace
}  // namespace bellcut
