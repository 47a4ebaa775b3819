// JPEG decoding and encoding through our libjpeg wrapper: full decode, a
// 600 x 600 window from the centre, and encoding at quality 80 with the
// floating-point DCT, on testdata's testorig.jpg and on photos of 12, 24 and
// 48 megapixels made here (smooth gradients with noise and some edges,
// encoded at quality 90 with 4:2:0 chroma into the temp folder, kept between
// runs). The same files serve as input for the djpeg/cjpeg comparison (the
// PPM beside each photo is cjpeg's input).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/BenchPictures.h"
#include "platform/graphics/JpegCodec.h"

namespace {

namespace fs = std::filesystem;
using bellcut::Dib;
using bellcut::bench::MakePhoto;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

void WritePpm(const Dib& dib, const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << dib.Width() << ' ' << dib.Height() << "\n255\n";
  std::vector<char> row(static_cast<std::size_t>(dib.Width()) * 3);
  for (int y = 0; y < dib.Height(); ++y) {
    const std::uint8_t* s = dib.ScanLine(y);
    for (int x = 0; x < dib.Width(); ++x) {
      row[3 * x] = static_cast<char>(s[3 * x + 2]);
      row[3 * x + 1] = static_cast<char>(s[3 * x + 1]);
      row[3 * x + 2] = static_cast<char>(s[3 * x]);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

struct Input {
  std::string name;
  std::vector<std::uint8_t> jpeg;
};

// index 0: testorig.jpg; 1..3: 12, 24, 48 megapixels.
const Input& InputFor(int index) {
  static std::vector<Input> inputs = [] {
    std::vector<Input> list;
    list.push_back({"testorig", ReadBytes(fs::path(BELLCUT_TESTDATA) / "jpeg" / "good" / "testorig.jpg")});
    const int sizes[][2] = {{4000, 3000}, {6000, 4000}, {8000, 6000}};
    for (const auto& s : sizes) {
      const std::string name = "bellcut_bench_" + std::to_string(s[0]) + "x" + std::to_string(s[1]);
      const fs::path jpg = fs::temp_directory_path() / (name + ".jpg");
      const fs::path ppm = fs::temp_directory_path() / (name + ".ppm");
      if (!fs::exists(jpg) || !fs::exists(ppm)) {
        const Dib photo = MakePhoto(s[0], s[1]);
        WritePpm(photo, ppm);
        WriteBytes(jpg, bellcut::EncodeJpeg(photo, 90));
      }
      list.push_back({name, ReadBytes(jpg)});
    }
    return list;
  }();
  return inputs.at(static_cast<std::size_t>(index));
}

void SetLabel(benchmark::State& state, const Input& input, const bellcut::JpegHeader& h) {
  state.SetLabel(input.name + " " + std::to_string(h.Width) + "x" + std::to_string(h.Height));
}

void BM_DecodeFull(benchmark::State& state) {
  const Input& input = InputFor(static_cast<int>(state.range(0)));
  if (input.jpeg.empty()) return state.SkipWithError("input missing");
  const auto header = bellcut::ReadJpegHeader(input.jpeg);
  for (auto _ : state) {
    Dib dib = bellcut::DecodeJpeg(input.jpeg);
    benchmark::DoNotOptimize(dib.ScanLine(0));
  }
  SetLabel(state, input, header);
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(header.Width) * header.Height / 1e6,
                                               benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DecodeCentre600(benchmark::State& state) {
  const Input& input = InputFor(static_cast<int>(state.range(0)));
  if (input.jpeg.empty()) return state.SkipWithError("input missing");
  const auto h = bellcut::ReadJpegHeader(input.jpeg);
  const bellcut::TRect window = bellcut::Bounds((h.Width - 600) / 2, (h.Height - 600) / 2, 600, 600);
  for (auto _ : state) {
    Dib dib = bellcut::DecodeJpegRect(input.jpeg, window);
    benchmark::DoNotOptimize(dib.ScanLine(0));
  }
  SetLabel(state, input, h);
}

void BM_EncodeQ80(benchmark::State& state) {
  const Input& input = InputFor(static_cast<int>(state.range(0)));
  if (input.jpeg.empty()) return state.SkipWithError("input missing");
  const Dib pixels = bellcut::DecodeJpeg(input.jpeg);
  for (auto _ : state) {
    auto bytes = bellcut::EncodeJpeg(pixels, 80);
    benchmark::DoNotOptimize(bytes.data());
  }
  SetLabel(state, input, bellcut::ReadJpegHeader(input.jpeg));
}

BENCHMARK(BM_DecodeFull)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCentre600)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeQ80)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
