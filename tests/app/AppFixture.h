// Runs the whole program in this process on a fresh headless desktop: a
// temporary folder for pictures and outputs, dialogs answered by a script,
// a fixed clock minute, and a check that no handle outlives the run.
// Also the oracle for the output: the picture composed the way the window
// shows it (the picture inside the bell, white outside), encoded by the
// same JPEG settings.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/FileNames.h"
#include "app/MinuteClock.h"
#include "app/Program.h"
#include "app/Resources.h"
#include "platform/base/CodePage.h"
#include "platform/base/Params.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StreamingText.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/Handles.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/windowing/Desktop.h"

namespace bellcut::test {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The bell picture as the program carries it (Image3's picture data in the
// compiled resource).
inline Dib CompiledBell() {
  const TFormObject root = ParseFormText(resources::kMainForm1Text);
  for (const TFormObject& panel : root.Children)
    for (const TFormObject& child : panel.Children)
      if (child.Name == "Image3")
        for (const TFormProperty& p : child.Properties)
          if (p.Path == "Picture.Data") {
            const TPictureData data = DecodePictureData(p.Value.Bytes);
            EXPECT_EQ(data.ClassName, "TBitmap");
            return DecodeBmp(data.File).Pixels;
          }
  ADD_FAILURE() << "no picture for Image3 in the resource";
  return Dib();
}

// Whether client pixel (x, y) of a side x side panel lies in the bell: the
// bell stretched to the panel by nearest neighbour (as an image control
// stretches), black being the bell.
inline std::vector<bool> BellMask(const Dib& bell, int side) {
  std::vector<bool> mask(static_cast<std::size_t>(side) * side);
  auto source = [](int d, int src, int dst) { return static_cast<int>((2LL * d + 1) * src / (2LL * dst)); };
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      mask[static_cast<std::size_t>(y) * side + x] =
          bell.GetRaw(source(x, bell.Width(), side), source(y, bell.Height(), side)) == 0;
  return mask;
}

// What the window shows once the picture is drawn centred into a side x side
// square: the picture inside the bell, white elsewhere.
inline Dib Composed(const Dib& picture, int side, const Dib& bell) {
  Dib out(side, side, 24);
  out.Fill(RGB(255, 255, 255));
  const std::vector<bool> mask = BellMask(bell, side);
  const int ox = (side - picture.Width()) / 2, oy = (side - picture.Height()) / 2;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      if (mask[static_cast<std::size_t>(y) * side + x] && x - ox >= 0 && x - ox < picture.Width() && y - oy >= 0 &&
          y - oy < picture.Height())
        out.SetPixel(x, y, picture.GetPixel(x - ox, y - oy));
  return out;
}

// A picture whose every pixel tells where it is: red and green climb one
// step per pixel (a saw of period 256), blue marks the quadrant.
inline Dib Pattern(int w, int h) {
  Dib dib(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      dib.SetPixel(x, y, RGB(x & 255, y & 255, (x < w / 2 ? 60 : 0) + (y < h / 2 ? 120 : 0)));
  return dib;
}

inline Dib White(int side) {
  Dib dib(side, side, 24);
  dib.Fill(RGB(255, 255, 255));
  return dib;
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bellcut-app-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ResetDesktop(DesktopOptions{1024, 768, false});
    Application.Reset();
    responder = std::make_shared<ScriptedDialogResponder>();
    previousResponder_ = SetDialogResponder(responder);
    previousTime_ = SetTimeSource([this] { return now; });
    setenv("TZ", "UTC0", 1);
    for (std::size_t k = 0; k < counts_.size(); ++k) counts_[k] = LiveHandleCount(static_cast<HandleKind>(k));
  }

  void TearDown() override {
    Application.Reset();
    FreeDeviceContexts();
    for (std::size_t k = 0; k < counts_.size(); ++k)
      EXPECT_EQ(LiveHandleCount(static_cast<HandleKind>(k)), counts_[k]) << "handle kind " << k << " leaked";
    SetDialogResponder(previousResponder_);
    SetTimeSource(previousTime_);
    desktop::SetShellExecuteHook(nullptr);
    ResetDesktop(DesktopOptions{1024, 768, false});
    const char* none[] = {"/x"};
    SetProcessArguments(1, none);
    std::error_code ignored;
    fs::permissions(dir, fs::perms::owner_all, ignored);
    fs::remove_all(dir, ignored);
  }

  // Runs the program as "bellcut args..." would; returns its exit status.
  int Run(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"/opt/bellcut/bellcut"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    return BellcutMain(static_cast<int>(argv.size()), argv.data());
  }

  // The dialogs shown, by kind.
  [[nodiscard]] std::vector<DialogRequest> Shown(DialogKind kind) const {
    std::vector<DialogRequest> out;
    for (const DialogRequest& r : responder->Shown)
      if (r.Kind == kind) out.push_back(r);
    return out;
  }

  [[nodiscard]] fs::path OutputFor(const std::string& name) const { return dir / (OutputPrefix() + name); }

  fs::path dir;
  std::time_t now = 12 * 60;  // minute 12: from the right
  std::shared_ptr<ScriptedDialogResponder> responder;

 private:
  std::shared_ptr<DialogResponder> previousResponder_;
  TimeSource previousTime_;
  std::array<std::size_t, static_cast<std::size_t>(HandleKind::Count)> counts_{};
};

}  // namespace bellcut::test
