// The whole program, run in this process on the headless desktop: what it
// saves, reports and shows for good pictures, bad input and no input.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/Mainwindow1.h"
#include "platform/base/Exceptions.h"
#include "platform/gdi/RegionApi.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/windowing/WinUser.h"
#include "tests/app/AppFixture.h"

namespace bellcut::test {
namespace {

using enum DialogKind;

// First-tick fitting: the picture decides the square and where it is drawn;
// the saved file is exactly the encoding of what the window showed.
TEST_F(AppTest, FittingDrawingAndOutputForEachPictureShape) {
  struct Case {
    int W, H, Side;
  };
  const Case cases[] = {{800, 400, 400}, {500, 700, 500}, {1000, 800, 600}, {600, 600, 600},
                        {650, 580, 580}, {301, 200, 200}, {100, 100, 100}};
  const Dib bell = CompiledBell();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H));
    Application.Reset();
    responder->Shown.clear();
    const Dib picture = Pattern(c.W, c.H);
    const fs::path input = dir / "p.bmp";
    WriteBytes(input, EncodeBmp(picture));
    const auto inputBytes = ReadBytes(input);

    EXPECT_EQ(Run({input.string()}), 0);
    EXPECT_EQ(ReadBytes(OutputFor("p.jpg")), EncodeJpeg(Composed(picture, c.Side, bell), 80));
    EXPECT_EQ(ReadBytes(input), inputBytes);
    const auto messages = Shown(Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, ReportText(c.Side, c.Side));
    EXPECT_TRUE(Shown(Error).empty());
  }
}

// A JPEG is decoded only where it is drawn; the result is the same as from
// the fully decoded picture. An earlier output is overwritten.
TEST_F(AppTest, JpegInputAndOverwrittenOutput) {
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(Pattern(900, 700), 90);
  WriteBytes(dir / "photo.JPEG", jpeg);
  WriteBytes(OutputFor("photo.jpg"), {'o', 'l', 'd'});
  EXPECT_EQ(Run({(dir / "photo.JPEG").string()}), 0);
  EXPECT_EQ(ReadBytes(OutputFor("photo.jpg")), EncodeJpeg(Composed(DecodeJpeg(jpeg), 600, CompiledBell()), 80));
}

// The saved file, read independently of our codec: baseline, JFIF, 2x2
// luminance sampling and the standard tables scaled for quality 80.
TEST_F(AppTest, OutputIsBaselineJfifWithQuality80Tables) {
  WriteBytes(dir / "a.bmp", EncodeBmp(Pattern(640, 640)));
  ASSERT_EQ(Run({(dir / "a.bmp").string()}), 0);
  const auto file = ReadBytes(OutputFor("a.jpg"));
  ASSERT_GT(file.size(), 4u);
  // The standard tables (natural order) and the zig-zag order they are stored in.
  const int luminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                             14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                             18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                             49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
  const int chrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                               24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                               99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                               99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
  const int zigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                          41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                          30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  auto scaled = [](int q) { return std::clamp((q * 40 + 50) / 100, 1, 255); };  // quality 80 = 40 %

  bool jfif = false, sof0 = false, progressive = false;
  int tables = 0;
  std::size_t pos = 2;
  ASSERT_EQ(file[0], 0xFF);
  ASSERT_EQ(file[1], 0xD8);
  while (pos + 4 <= file.size() && file[pos] == 0xFF) {
    const int marker = file[pos + 1];
    const std::size_t length = (file[pos + 2] << 8) | file[pos + 3];
    const std::uint8_t* seg = file.data() + pos + 4;
    if (marker == 0xDA) break;
    if (marker == 0xE0 && length >= 7 && std::memcmp(seg, "JFIF\0", 5) == 0) jfif = true;
    if (marker == 0xC2) progressive = true;
    if (marker == 0xC0) {
      sof0 = true;
      EXPECT_EQ(seg[0], 8);
      EXPECT_EQ((seg[1] << 8) | seg[2], 600);
      EXPECT_EQ((seg[3] << 8) | seg[4], 600);
      ASSERT_EQ(seg[5], 3);
      EXPECT_EQ(seg[7], 0x22);   // Y: 2x2
      EXPECT_EQ(seg[10], 0x11);  // Cb
      EXPECT_EQ(seg[13], 0x11);  // Cr
    }
    if (marker == 0xDB) {
      for (std::size_t t = 0; t + 65 <= length - 2; t += 65) {
        const int id = seg[t] & 15;
        EXPECT_EQ(seg[t] >> 4, 0) << "8-bit table";
        for (int i = 0; i < 64; ++i)
          EXPECT_EQ(seg[t + 1 + i], scaled((id == 0 ? luminance : chrominance)[zigzag[i]])) << "table " << id;
        ++tables;
      }
    }
    pos += 2 + length;
  }
  EXPECT_TRUE(jfif);
  EXPECT_TRUE(sof0);
  EXPECT_FALSE(progressive);
  EXPECT_EQ(tables, 2);
}

// A path split at its blanks comes back whole; the output goes beside it.
TEST_F(AppTest, PathWithBlanksSplitIntoParameters) {
  fs::create_directory(dir / "My Pictures");
  WriteBytes(dir / "My Pictures" / "a b.bmp", EncodeBmp(Pattern(300, 300)));
  EXPECT_EQ(Run({(dir / "My").string(), "Pictures/a", "b.bmp"}), 0);
  EXPECT_TRUE(fs::is_regular_file(dir / "My Pictures" / (OutputPrefix() + "a b.jpg")));
  EXPECT_EQ(Shown(Message).at(0).Text, ReportText(300, 300));
}

// Input the program does not take flies a white 600 x 600 square and saves
// it, silently.
TEST_F(AppTest, UnacceptedInputSavesAWhiteSquare) {
  fs::create_directory(dir / "pics.jpg");
  // Not regular files: reading them would block (a FIFO) or never end.
  ASSERT_EQ(mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero.bmp");
  WriteBytes(dir / "a.png", EncodeBmp(Pattern(100, 100)));
  WriteBytes(dir / "a.jpe", EncodeJpeg(Pattern(100, 100), 90));
  WriteBytes(dir / "noext", EncodeBmp(Pattern(100, 100)));
  const std::pair<std::string, std::string> cases[] = {
      {"missing.jpg", "missing.jpg"}, {"pics.jpg", "pics.jpg"}, {"a.png", "a.jpg"},
      {"a.jpe", "a.jpg"},             {"noext", "noext .jpg"},
      {"pipe.jpg", "pipe.jpg"},       {"zero.bmp", "zero.jpg"},
  };
  const std::vector<std::uint8_t> white = EncodeJpeg(White(600), 80);
  for (const auto& [input, output] : cases) {
    SCOPED_TRACE(input);
    Application.Reset();
    responder->Shown.clear();
    EXPECT_EQ(Run({(dir / input).string()}), 0);
    EXPECT_EQ(ReadBytes(OutputFor(output)), white);
    EXPECT_TRUE(Shown(Error).empty());
    ASSERT_EQ(Shown(Message).size(), 1u);
    EXPECT_EQ(Shown(Message)[0].Text, ReportText(600, 600));
  }
}

// A picture that cannot be read shows the loader's error once; the run goes
// on, saves a white square and exits with status 1.
TEST_F(AppTest, BrokenPicturesShowTheLoadersErrorAndTheRunGoesOn) {
  const std::vector<std::uint8_t> good = EncodeJpeg(Pattern(800, 400), 90);
  // Damaged entropy data: a restart marker where none belongs. The file's
  // structure is intact, so it loads; decoding it fails when it is drawn.
  std::vector<std::uint8_t> damaged = good;
  const std::size_t mid = damaged.size() / 2;
  damaged[mid] = 0xFF;
  damaged[mid + 1] = 0xD5;
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  const std::vector<std::uint8_t> bmp = EncodeBmp(Pattern(50, 50));
  const std::vector<std::uint8_t> shortBmp(bmp.begin(), bmp.begin() + 100);

  struct Case {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
    int Side;             // the drawing square: the picture's, when it loaded
    std::string Error;    // the start of the error's text
  };
  const std::string jpegError = FromUtf8("JPEG エラー #");
  const Case cases[] = {
      {"damaged.jpg", damaged, 400, jpegError},
      {"truncated.jpg", truncated, 600, jpegError},
      {"empty.jpeg", {}, 600, jpegError},
      {"text.jpg", {'h', 'e', 'l', 'l', 'o'}, 600, jpegError},
      {"text.bmp", {'B', 'M', 'h', 'e', 'l', 'l', 'o'}, 600, ""},
      {"short.bmp", shortBmp, 600, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Application.Reset();
    responder->Shown.clear();
    WriteBytes(dir / c.Name, c.Bytes);
    EXPECT_EQ(Run({(dir / c.Name).string()}), 1);
    const auto errors = Shown(Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Text.substr(0, c.Error.size()), c.Error);
    EXPECT_EQ(errors[0].Caption, ApplicationTitle());
    EXPECT_EQ(ReadBytes(OutputFor(fs::path(c.Name).replace_extension(".jpg").string())),
              EncodeJpeg(White(c.Side), 80));
  }
}

// A save that cannot create its file shows the platform's error, leaves
// what was there and no stray file, and the run still ends (status 1).
TEST_F(AppTest, OutputThatCannotBeCreated) {
  // The folder does not exist.
  const fs::path missing = dir / "nowhere" / "a.jpg";
  EXPECT_EQ(Run({missing.string()}), 1);
  ASSERT_EQ(Shown(Error).size(), 1u);
  EXPECT_EQ(Shown(Error)[0].Text, FromUtf8("ファイル ") + (dir / "nowhere" / (OutputPrefix() + "a.jpg")).string() +
                                      FromUtf8(" を作成できません"));
  EXPECT_TRUE(Shown(Message).empty()) << "no report after a failed save";

  // The output name is taken by a folder: it stays, nothing else appears.
  Application.Reset();
  responder->Shown.clear();
  WriteBytes(dir / "b.bmp", EncodeBmp(Pattern(120, 90)));
  fs::create_directory(OutputFor("b.jpg"));
  WriteBytes(OutputFor("b.jpg") / "keep", {1, 2, 3});
  EXPECT_EQ(Run({(dir / "b.bmp").string()}), 1);
  EXPECT_EQ(Shown(Error).size(), 1u);
  EXPECT_EQ(ReadBytes(OutputFor("b.jpg") / "keep"), (std::vector<std::uint8_t>{1, 2, 3}));
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"b.bmp", OutputPrefix() + "b.jpg"}));
}

// Without parameters: a beep, the hint, the question; Yes opens the page.
// The window is only ever shown parked beyond its edge, never on screen.
TEST_F(AppTest, WithoutParameters) {
  for (const bool yes : {true, false}) {
    for (const int minute : {0, 12, 30, 45}) {
      SCOPED_TRACE(std::string(yes ? "yes" : "no") + " at minute " + std::to_string(minute));
      Application.Reset();
      ResetDesktop(DesktopOptions{1024, 768, false});
      responder->Shown.clear();
      now = minute * 60;
      std::vector<std::string> opened;
      desktop::SetShellExecuteHook([&](const std::string&, const std::string& arg) { opened.push_back(arg); });
      responder->Push(0, mrOk);
      responder->Push(0, yes ? mrYes : mrNo);

      EXPECT_EQ(Run({}), 0);
      EXPECT_EQ(desktop::BeepCount(), 1);
      ASSERT_EQ(responder->Shown.size(), 2u);
      EXPECT_EQ(responder->Shown[0].Kind, Message);
      EXPECT_EQ(responder->Shown[0].Text, HintText());
      EXPECT_EQ(responder->Shown[0].Caption, ApplicationTitle());
      EXPECT_EQ(responder->Shown[1].Kind, Question);
      EXPECT_EQ(responder->Shown[1].Text, QuestionText());
      EXPECT_EQ(opened, yes ? std::vector<std::string>{"http://example.com/info.php?pf=w&sn=bellcut"}
                            : std::vector<std::string>{});
      ASSERT_NE(MainForm1, nullptr);
      // Parked 620 pixels beyond the edge, a window taller than that keeps
      // the last rows of its frame on screen; its client area never is.
      const TRect screen{0, 0, 1024, 768};
      TPoint origin{0, 0};
      ClientToScreen(MainForm1->Handle(), &origin);
      const TRect client{origin.X, origin.Y, origin.X + MainForm1->ClientWidth(),
                         origin.Y + MainForm1->ClientHeight()};
      EXPECT_TRUE(client.Intersect(screen).IsEmpty()) << client.Left << "," << client.Top;
      const TRect frame = MainForm1->BoundsRect().Intersect(screen);
      EXPECT_TRUE(frame.IsEmpty() || frame.Height() <= MainForm1->Height() - 620 ||
                  frame.Width() <= MainForm1->Width() - 620);
    }
  }
}

}  // namespace
}  // namespace bellcut::test
