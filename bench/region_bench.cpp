// Tracing a region from a mask's pixel runs, the way the shaped controls do:
// one SetRectRgn and one CombineRgn(acc, acc, scratch, RGN_OR) per run,
// reading the result class each time, then settling the region once (as
// applying it to a window does). Compared with building the same region
// from the list of runs in one call, and, on small masks, with the plain
// per-run pixman union whose cost grows with the square of the runs.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "platform/gdi/RegionApi.h"

namespace bellcut {
namespace {

enum MaskKind : int { kSolid = 0, kNoise = 1, kChecker = 2 };

struct Mask {
  int Size = 0;
  std::vector<std::uint8_t> Bits;  // Size x Size, 1 = opaque
  [[nodiscard]] bool Opaque(int x, int y) const { return Bits[static_cast<std::size_t>(y) * Size + x] != 0; }
};

const Mask& GetMask(int size, int kind) {
  static std::map<std::pair<int, int>, Mask> cache;
  auto [it, added] = cache.try_emplace({size, kind});
  if (added) {
    Mask& m = it->second;
    m.Size = size;
    m.Bits.resize(static_cast<std::size_t>(size) * size);
    std::mt19937 gen(12345u);  // fixed generator state: the same noise every run
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        std::uint8_t bit = 1;
        if (kind == kNoise) bit = (gen() & 1u) != 0;
        if (kind == kChecker) bit = ((x + y) & 1) == 0;
        m.Bits[static_cast<std::size_t>(y) * size + x] = bit;
      }
  }
  return it->second;
}

// Calls add(left, top, right, bottom) for every maximal run, row by row.
template <class Add>
std::int64_t ForEachRun(const Mask& m, Add add) {
  std::int64_t runs = 0;
  for (int y = 0; y < m.Size; ++y) {
    bool open = false;
    int start = 0;
    for (int x = 0; x < m.Size; ++x) {
      const bool opaque = m.Opaque(x, y);
      if (!opaque && open) {
        add(start, y, x, y + 1);
        ++runs;
        open = false;
      } else if (opaque && !open) {
        open = true;
        start = x;
      }
    }
    if (open) {
      add(start, y, m.Size, y + 1);
      ++runs;
    }
  }
  return runs;
}

void Report(benchmark::State& state, std::int64_t runs) {
  state.counters["runs"] = static_cast<double>(runs);
  state.counters["ns_per_run"] =
      benchmark::Counter(static_cast<double>(runs), benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_TraceThroughHandles(benchmark::State& state) {
  const Mask& mask = GetMask(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::int64_t runs = 0;
  for (auto _ : state) {
    const HRGN acc = CreateRectRgn(0, 0, 0, 0);
    const HRGN scratch = CreateRectRgn(0, 0, 0, 0);
    int classes = 0;
    runs = ForEachRun(mask, [&](int l, int t, int r, int b) {
      SetRectRgn(scratch, l, t, r, b);
      classes += CombineRgn(acc, acc, scratch, RGN_OR);
    });
    benchmark::DoNotOptimize(classes);
    benchmark::DoNotOptimize(RegionFromHandle(acc)->RectCount());  // settles
    DeleteObject(scratch);
    DeleteObject(acc);
  }
  Report(state, runs);
}

void BM_BuildFromRunList(benchmark::State& state) {
  const Mask& mask = GetMask(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::int64_t runs = 0;
  for (auto _ : state) {
    std::vector<TRect> rects;
    runs = ForEachRun(mask, [&](int l, int t, int r, int b) { rects.push_back({l, t, r, b}); });
    const HRGN rgn = CreateRegionFromRects(rects);
    benchmark::DoNotOptimize(RegionFromHandle(rgn)->RectCount());
    DeleteObject(rgn);
  }
  Report(state, runs);
}

// One pixman union per run, without pending rectangles.
void BM_PlainPixmanUnionPerRun(benchmark::State& state) {
  const Mask& mask = GetMask(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::int64_t runs = 0;
  for (auto _ : state) {
    pixman_region32_t acc;
    pixman_region32_init(&acc);
    runs = ForEachRun(mask, [&](int l, int t, int r, int b) {
      pixman_region32_union_rect(&acc, &acc, l, t, static_cast<unsigned>(r - l), static_cast<unsigned>(b - t));
    });
    benchmark::DoNotOptimize(pixman_region32_n_rects(&acc));
    pixman_region32_fini(&acc);
  }
  Report(state, runs);
}

void FullSizes(benchmark::internal::Benchmark* b) {
  for (int size : {600, 2000, 4000})
    for (int kind : {kSolid, kNoise, kChecker}) b->Args({size, kind});
  b->ArgNames({"size", "mask(0 solid,1 noise,2 checker)"})->Unit(benchmark::kMillisecond);
}

void SmallSizes(benchmark::internal::Benchmark* b) {
  for (int size : {100, 200})
    for (int kind : {kNoise, kChecker}) b->Args({size, kind});
  b->ArgNames({"size", "mask(0 solid,1 noise,2 checker)"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TraceThroughHandles)->Apply(FullSizes);
BENCHMARK(BM_BuildFromRunList)->Apply(FullSizes);
BENCHMARK(BM_TraceThroughHandles)->Apply(SmallSizes);
BENCHMARK(BM_PlainPixmanUnionPerRun)->Apply(SmallSizes);

}  // namespace
}  // namespace bellcut

BENCHMARK_MAIN();
