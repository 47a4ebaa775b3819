// The shaped panel's window-region composition, as the bell window uses it:
// a borderless top-level host holding a TClearPanel with ChildGraphicsTrans,
// whose one windowless child shows a bell-like black shape on fuchsia. Each
// iteration is one WinRgnSet: the buffer is filled and the child painted
// into it, its opaque runs are traced into a region and the region applied
// to the panel's window. The face build (one per size change) is measured
// beside it.
#include <benchmark/benchmark.h>

#include <memory>

#include "clearctrl/ClearCtrl.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/windowing/Desktop.h"
#include "platform/windowing/WinUser.h"

namespace bellcut {
namespace {

class THost : public TCustomControl {
 public:
  explicit THost(TComponent* owner) : TCustomControl(owner) { SetVisible(false); }

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_CLIPCHILDREN;
  }
};

class TPictureChild : public TGraphicControl {
 public:
  explicit TPictureChild(TComponent* owner) : TGraphicControl(owner) {}
  TBitmap Bitmap;

 protected:
  void Paint() override { Canvas().Draw(0, 0, Bitmap); }
};

// A bell of side s: a dome, flaring sides, a rim and a separate clapper.
bool InBell(int x, int y, int s) {
  const double cx = s / 2.0, fx = x + 0.5, fy = y + 0.5;
  const double domeY = 0.35 * s, r = 0.3 * s;
  if (fy < 0.05 * s || fy > 0.95 * s) return false;
  if (fy <= domeY) return (fx - cx) * (fx - cx) + (fy - domeY) * (fy - domeY) <= r * r;
  if (fy <= 0.75 * s) {
    const double half = r + (fy - domeY) / (0.4 * s) * 0.12 * s;
    return fx >= cx - half && fx <= cx + half;
  }
  if (fy <= 0.8 * s) return fx >= 0.05 * s && fx <= 0.95 * s;
  const double clapR = 0.06 * s, clapY = 0.87 * s;
  return (fx - cx) * (fx - cx) + (fy - clapY) * (fy - clapY) <= clapR * clapR;
}

struct Scene {
  std::unique_ptr<THost> host;
  TClearPanel* panel = nullptr;

  explicit Scene(int size) {
    ResetDesktop(DesktopOptions{800, 600, false});
    host = std::make_unique<THost>(nullptr);
    host->SetBounds(0, 0, size, size);
    panel = TComponent::MakeOwned<TClearPanel>(host.get());
    panel->SetAutoSize(false);
    panel->SetBounds(0, 0, size, size);
    panel->SetChildGraphicsTrans(true);
    panel->SetParent(host.get());
    auto* child = TComponent::MakeOwned<TPictureChild>(host.get());
    Dib pixels(size, size, 24);
    pixels.Fill(ColorToRGB(clFuchsia));
    for (int y = 0; y < size; ++y) {
      std::uint8_t* row = pixels.ScanLine(y);
      for (int x = 0; x < size; ++x)
        if (InBell(x, y, size)) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0;
    }
    child->Bitmap.SetSurface(std::move(pixels));
    child->SetBounds(0, 0, size, size);
    child->SetParent(panel);
    host->Show();
    desktop::Pump();
  }
  ~Scene() {
    host.reset();
    ResetDesktop(DesktopOptions{800, 600, false});
  }
};

void BM_PanelComposition(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  Scene scene(size);
  for (auto _ : state) {
    scene.panel->WinRgnSet(false);
  }
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(scene.panel->Handle(), rgn);
  TRect box;
  GetRgnBox(rgn, &box);
  DeleteObject(rgn);
  state.counters["box_w"] = box.Width();
  state.counters["rows"] = box.Height();
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(size) * size);
}
BENCHMARK(BM_PanelComposition)->Arg(600)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_PanelFaceBuild(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  Scene scene(size);
  for (auto _ : state) {
    scene.panel->MakeBtnImageAndRgn();  // faces, base regions and the composition
  }
}
BENCHMARK(BM_PanelFaceBuild)->Arg(600)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bellcut

BENCHMARK_MAIN();
