// The main window as its compiled resource builds it, and the bell picture
// the program carries, against the outline table it was drawn from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Mainwindow1.h"
#include "platform/base/Params.h"
#include "platform/gdi/RegionApi.h"
#include "platform/windowing/WinUser.h"
#include "platform/graphics/Bitmap.h"
#include "tests/app/AppFixture.h"
#include "tools/BellOutline.h"

namespace bellcut::test {
namespace {

TEST(BellPicture, CompiledPictureFollowsTheOutlineTable) {
  const TFormObject root = ParseFormText(resources::kMainForm1Text);
  std::vector<std::uint8_t> file;
  for (const TFormObject& panel : root.Children)
    for (const TFormObject& child : panel.Children)
      for (const TFormProperty& p : child.Properties)
        if (child.Name == "Image3" && p.Path == "Picture.Data") file = DecodePictureData(p.Value.Bytes).File;
  ASSERT_FALSE(file.empty());
  const BmpImage bmp = DecodeBmp(file);
  EXPECT_EQ(bmp.FileBitCount, 4);
  EXPECT_EQ(bmp.HeaderSize, 40u);
  EXPECT_EQ(bmp.XPelsPerMeter, 2834);
  EXPECT_EQ(bmp.YPelsPerMeter, 2834);
  EXPECT_EQ(file.size(), 14u + 40u + 16u * 4u + 600u * 300u);
  const Dib& bell = bmp.Pixels;
  ASSERT_EQ(bell.Width(), 600);
  ASSERT_EQ(bell.Height(), 600);
  ASSERT_EQ(bell.Palette().size(), 16u);
  EXPECT_EQ(bell.Palette()[0].Red + bell.Palette()[0].Green + bell.Palette()[0].Blue, 0);
  EXPECT_EQ(bell.Palette()[13].Red, 255);
  EXPECT_EQ(bell.Palette()[13].Green, 0);
  EXPECT_EQ(bell.Palette()[13].Blue, 255);

  // Black runs of every row; only indices 0 and 13 occur.
  auto spans = [&](int y) {
    std::vector<std::pair<int, int>> out;
    for (int x = 0; x < 600; ++x) {
      const std::uint32_t v = bell.GetRaw(x, y);
      EXPECT_TRUE(v == 0 || v == 13) << x << "," << y;
      if (v != 0) continue;
      if (!out.empty() && out.back().second == x - 1) out.back().second = x;
      else out.emplace_back(x, x);
    }
    return out;
  };
  long black = 0;
  int minX = 600, maxX = -1, minY = 600, maxY = -1;
  for (int y = 0; y < 600; ++y)
    for (const auto& [a, b] : spans(y)) {
      black += b - a + 1;
      minX = std::min(minX, a), maxX = std::max(maxX, b), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
  // The rows between the listed ones are the generator's own smooth
  // interpolation, so the area is close to, not exactly, the original's.
  EXPECT_NEAR(static_cast<double>(black), 209520.0, 300.0);
  EXPECT_EQ(minX, 3);
  EXPECT_EQ(maxX, 596);
  EXPECT_EQ(minY, 3);
  EXPECT_EQ(maxY, 596);
  for (const bell::OutlineRow& row : bell::Outline()) EXPECT_EQ(spans(row.Y), row.Spans) << "row " << row.Y;
}

// The resource builds the composition of the main window.
TEST_F(AppTest, ResourceBuildsTheComposition) {
  const std::string missing = (dir / "missing.bmp").string();
  const char* argv[] = {"/opt/bellcut/bellcut", missing.c_str()};
  SetProcessArguments(2, argv);
  Application.CreateForm(MainForm1);
  ASSERT_NE(MainForm1, nullptr);
  TMainForm1& f = *MainForm1;
  EXPECT_EQ(f.Caption(), FromUtf8("タルネモ！"));
  EXPECT_EQ(f.BorderStyle(), bsToolWindow);
  EXPECT_EQ(f.FormStyle(), fsStayOnTop);
  EXPECT_EQ(f.ClientWidth(), 600);
  EXPECT_EQ(f.ClientHeight(), 600);
  EXPECT_EQ(f.Color(), clWhite);
  EXPECT_FALSE(f.HorzScrollBar()->Visible());
  EXPECT_FALSE(f.VertScrollBar()->Visible());
  EXPECT_EQ(f.Font().Charset(), 128);
  EXPECT_EQ(f.Font().Height(), -12);
  EXPECT_EQ(f.Font().Name(), FromUtf8("ＭＳ Ｐゴシック"));
  EXPECT_EQ(f.TextHeight(), 12);
  EXPECT_FALSE(f.OldCreateOrder());

  struct Row {
    TControl* Control;
    TWinControl* Parent;
    TRect Bounds;
    TAlign Align;
    bool Visible;
  };
  const Row rows[] = {
      {f.ClearPanel1, &f, {0, 0, 600, 600}, alClient, true},  {f.Image3, f.ClearPanel1, {0, 0, 600, 600}, alClient, true},
      {f.Image2, f.ClearPanel1, {0, 0, 600, 600}, alClient, true}, {f.Button1, f.ClearPanel1, {264, 290, 338, 310}, alNone, false},
      {f.Panel1, &f, {512, 0, 1112, 600}, alNone, false},      {f.Image1, f.Panel1, {0, 0, 600, 600}, alNone, true},
  };
  for (const Row& r : rows) {
    ASSERT_NE(r.Control, nullptr);
    SCOPED_TRACE(r.Control->Name());
    EXPECT_EQ(r.Control->Parent(), r.Parent);
    EXPECT_EQ(r.Control->BoundsRect(), r.Bounds);
    EXPECT_EQ(r.Control->Align(), r.Align);
    EXPECT_EQ(r.Control->Visible(), r.Visible);
  }
  // Stacking in resource order: the bell at the bottom, Image2 above it.
  EXPECT_EQ(f.ClearPanel1->Controls(0), f.Image3);
  EXPECT_EQ(f.ClearPanel1->Controls(1), f.Image2);
  EXPECT_TRUE(f.Image3->Stretch());
  EXPECT_EQ(f.Image3->Picture()->Width(), 600);
  EXPECT_EQ(f.Image2->Picture()->Graphic(), nullptr);
  EXPECT_TRUE(f.Image1->AutoSize());
  EXPECT_TRUE(f.Image1->Stretch());
  EXPECT_EQ(f.Image1->Picture()->Graphic(), nullptr);
  EXPECT_EQ(f.Button1->Caption(), FromUtf8("保存"));
  EXPECT_TRUE(f.Button1->Anchors().Empty());
  EXPECT_EQ(f.Panel1->Color(), clWhite);
  EXPECT_EQ(f.Panel1->Caption(), "");
  EXPECT_FALSE(f.ClearPanel1->AutoSize());
  EXPECT_TRUE(f.ClearPanel1->ChildGraphicsTrans());
  EXPECT_FALSE(f.ClearPanel1->FormTrans());
  EXPECT_FALSE(f.ClearPanel1->HotTrack());
  EXPECT_EQ(f.ClearPanel1->HotLightDepth(), 0);
  EXPECT_EQ(f.ClearPanel1->TransparentColor(), clFuchsia);
  EXPECT_EQ(f.ClearPanel1->CaptionLeft(), 0);
  EXPECT_EQ(f.Timer1->Interval(), 20u);
  EXPECT_TRUE(f.Timer1->Enabled());
  EXPECT_EQ(f.Timer1->Tag(), 0);
  // FormCreate ran on the parameter path: the joined name, nothing loaded.
  EXPECT_EQ(f.FileName, missing + " ");
  EXPECT_EQ(f.FileExt, "");
}

// Each direction flies to its own stopping place, the first on its 32-pixel
// sequence at or past the centre; the panel is still cut to the bell after
// the picture has been drawn opaque into Image2.
TEST_F(AppTest, FlightEndsPerDirectionAndThePanelStaysABell) {
  // A 606 x 623 window on 1024 x 768: centre (209, 72).
  struct Case {
    int Minute;
    TPoint Final;
  };
  const Case cases[] = {
      {45, {238, 72}},   // from the left: -626 + 27 * 32
      {12, {202, 72}},   // from the right: 1226 - 32 * 32
      {0, {209, 93}},    // from the top: -643 + 23 * 32
      {30, {209, 59}},   // from the bottom: 1243 - 37 * 32
  };
  WriteBytes(dir / "a.bmp", EncodeBmp(Pattern(700, 650)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Minute);
    Application.Reset();
    now = c.Minute * 60;
    ASSERT_EQ(Run({(dir / "a.bmp").string()}), 0);
    ASSERT_NE(MainForm1, nullptr);
    EXPECT_EQ(MainForm1->Width(), 606);
    EXPECT_EQ(MainForm1->Height(), 623);
    EXPECT_EQ((TPoint{MainForm1->Left(), MainForm1->Top()}), c.Final);
    EXPECT_FALSE(MainForm1->Timer1->Enabled());
    EXPECT_EQ(MainForm1->Timer1->Tag(), 1);

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(MainForm1->ClearPanel1->Handle(), rgn), ERROR);
    const std::vector<bool> mask = BellMask(CompiledBell(), 600);
    int wrong = 0;
    for (int y = 0; y < 600; y += 3)
      for (int x = 0; x < 600; x += 3) wrong += PtInRegion(rgn, x, y) != mask[y * 600 + x];
    EXPECT_EQ(wrong, 0);
    DeleteObject(rgn);
  }
}

}  // namespace
}  // namespace bellcut::test
