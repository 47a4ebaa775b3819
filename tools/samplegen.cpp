// Draws the sample picture the demo runs on: a synthetic landscape (sky
// gradient, sun, two mountain ranges, a lake with a reflection, a meadow),
// 1200 x 800 pixels, saved as a JPEG of quality 90. Everything comes from
// formulas and a fixed generator state, so every build makes the same file.
//
// Usage: samplegen OUTPUT.jpg [WIDTH HEIGHT]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/base/Streams.h"
#include "platform/gdi/Dib.h"
#include "platform/graphics/JpegCodec.h"

namespace {

struct Rgb {
  double R, G, B;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

// A ridge line: a few sines of different wavelengths, in rows of the picture.
double Ridge(double fx, double base, double amp, double phase) {
  return base - amp * (0.55 * std::sin(fx * 7.0 + phase) + 0.3 * std::sin(fx * 17.0 + 2 * phase) +
                       0.15 * std::sin(fx * 41.0 + 3 * phase));
}

bellcut::Dib Landscape(int width, int height) {
  bellcut::Dib dib(width, height, 24);
  std::uint32_t state = 0x2545F491u;
  const double horizon = 0.62;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = dib.ScanLine(y);
    const double fy = static_cast<double>(y) / height;
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width;
      // The lake mirrors the scene above the horizon.
      const bool water = fy > horizon && fx > 0.3 && fx < 0.85 && fy < 0.8;
      const double sy = water ? 2 * horizon - fy + 0.004 * std::sin(fx * 300 + fy * 90) : fy;
      Rgb c = Mix({70, 120, 200}, {245, 200, 160}, sy / horizon);
      const double sun = std::hypot((fx - 0.42) * width / height, sy - 0.2);
      if (sun < 0.06) c = {255, 240, 190};
      else c = Mix({255, 230, 170}, c, (sun - 0.06) / 0.12 + 0.6);
      if (sy > Ridge(fx, 0.42, 0.08, 0.5)) c = Mix({120, 120, 150}, {90, 95, 120}, (sy - 0.35) / 0.3);
      if (sy > Ridge(fx, 0.52, 0.06, 2.1)) c = Mix({60, 90, 70}, {40, 70, 50}, (sy - 0.45) / 0.2);
      if (!water && fy > horizon) c = Mix({80, 140, 60}, {50, 110, 40}, (fy - horizon) / (1 - horizon));
      if (water) c = Mix(c, {30, 60, 110}, 0.35);
      state = state * 1664525u + 1013904223u;
      const double noise = static_cast<double>(state >> 24) / 255.0 * 10.0 - 5.0;
      auto channel = [&](double v) { return static_cast<std::uint8_t>(std::clamp(v + noise, 0.0, 255.0)); };
      row[3 * x + 0] = channel(c.B);
      row[3 * x + 1] = channel(c.G);
      row[3 * x + 2] = channel(c.R);
    }
  }
  return dib;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: samplegen OUTPUT.jpg [WIDTH HEIGHT]\n");
    return 2;
  }
  try {
    const int width = argc == 4 ? std::stoi(argv[2]) : 1200;
    const int height = argc == 4 ? std::stoi(argv[3]) : 800;
    if (width < 1 || height < 1 || width > 20000 || height > 20000) {
      std::fprintf(stderr, "samplegen: size out of range\n");
      return 2;
    }
    const auto jpeg = bellcut::EncodeJpeg(Landscape(width, height), 90);
    bellcut::WriteFileReplacing(argv[1], jpeg);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "samplegen: %s\n", e.what());
    return 1;
  }
  return 0;
}
