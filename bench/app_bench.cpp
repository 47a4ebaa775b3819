// The whole headless run of bellcut, in-process: start-up, loading the
// picture, the fly-in (on the virtual clock, so it costs no wall time), the
// capture and the JPEG save. Inputs are photo-like JPEGs of 0.5, 12, 24 and
// 48 megapixels and a 24-megapixel BMP, made here once and kept in the temp
// folder between runs.
//
// Compare with the floor for the same job, the 600 x 600 window decoded and
// encoded by the libjpeg tools (see README, "Performance"):
//   djpeg -crop 600x600+X+Y photo.jpg | cjpeg -dct float -quality 80 >out.jpg
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchPictures.h"
#include "app/Mainwindow1.h"
#include "app/Program.h"
#include "platform/base/Params.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Dib.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/windowing/Desktop.h"

namespace {

namespace fs = std::filesystem;
using bellcut::Dib;
using bellcut::bench::MakePhoto;

// Answers every dialog at once and keeps nothing (the report would
// otherwise be printed at every iteration).
class SilentResponder final : public bellcut::DialogResponder {
 public:
  [[nodiscard]] bellcut::DialogAnswer Respond(const bellcut::DialogRequest& r) override {
    return {0, r.DefaultResult};
  }
};

fs::path Folder() {
  const fs::path dir = fs::temp_directory_path() / "bellcut-app-bench";
  fs::create_directories(dir);
  return dir;
}

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The input for a size: photo-W-H.jpg (quality 90, 4:2:0) or .bmp (24-bit).
fs::path Input(int width, int height, bool bmp) {
  const fs::path path =
      Folder() / ("photo-" + std::to_string(width) + "x" + std::to_string(height) + (bmp ? ".bmp" : ".jpg"));
  if (!fs::exists(path)) {
    const Dib photo = MakePhoto(width, height);
    Write(path, bmp ? bellcut::EncodeBmp(photo) : bellcut::EncodeJpeg(photo, 90));
  }
  return path;
}

void BM_WholeRun(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const bool bmp = state.range(2) != 0;
  const std::string input = Input(width, height, bmp).string();
  const auto previous = bellcut::SetDialogResponder(std::make_shared<SilentResponder>());
  for (auto _ : state) {
    bellcut::ResetDesktop(bellcut::DesktopOptions{1920, 1080, false});
    bellcut::Application.Reset();
    const char* argv[] = {"/opt/bellcut/bellcut", input.c_str()};
    if (bellcut::BellcutMain(2, argv) != 0) state.SkipWithError("the run reported an error");
  }
  bellcut::Application.Reset();
  bellcut::SetDialogResponder(previous);
  state.SetLabel(std::to_string(width * static_cast<long>(height) / 1000000.0).substr(0, 4) + " MP " +
                 (bmp ? "BMP" : "JPEG"));
}

BENCHMARK(BM_WholeRun)
    ->Args({866, 577, 0})
    ->Args({4000, 3000, 0})
    ->Args({6000, 4000, 0})
    ->Args({8000, 6000, 0})
    ->Args({6000, 4000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// The bell panel's window region: the main window built from its resource
// (no picture loaded), its client area set to side x side, then the panel's
// region composition alone (WinRgnSet: painting the children off-screen and
// tracing the non-transparent runs) and the whole face rebuild that a
// resize runs (MakeBtnImageAndRgn, which ends with a composition).
void BM_PanelRegion(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const bool faces = state.range(1) != 0;
  const auto previous = bellcut::SetDialogResponder(std::make_shared<SilentResponder>());
  bellcut::ResetDesktop(bellcut::DesktopOptions{4200, 4200, false});
  bellcut::Application.Reset();
  const std::string missing = (Folder() / "missing.bmp").string();
  const char* argv[] = {"/opt/bellcut/bellcut", missing.c_str()};
  bellcut::SetProcessArguments(2, argv);
  bellcut::Application.CreateForm(bellcut::MainForm1);
  bellcut::TMainForm1& form = *bellcut::MainForm1;
  form.Timer1->SetEnabled(false);
  form.SetClientWidth(side);
  form.SetClientHeight(side);
  form.Show();
  bellcut::desktop::Pump();
  for (auto _ : state) {
    if (faces) form.ClearPanel1->MakeBtnImageAndRgn();
    else form.ClearPanel1->WinRgnSet(false);
  }
  bellcut::Application.Reset();
  bellcut::SetDialogResponder(previous);
  state.SetLabel(std::to_string(side) + "^2 " + (faces ? "face rebuild + region" : "region composition"));
}

BENCHMARK(BM_PanelRegion)->Args({600, 0})->Args({600, 1})->Args({4000, 0})->Args({4000, 1})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
