// The photo-like pictures the benchmarks work on: made here, deterministic,
// no third-party material.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/gdi/Dib.h"

namespace bellcut::bench {

// A photo-like picture: broad colour gradients, a few soft blobs, hard edges
// every so often and per-pixel noise from a fixed generator state.
inline Dib MakePhoto(int width, int height) {
  Dib dib(width, height, 24);
  std::uint32_t state = 0x12345678u;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = dib.ScanLine(y);
    const double fy = static_cast<double>(y) / height;
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width;
      state = state * 1664525u + 1013904223u;
      const int noise = static_cast<int>((state >> 24) % 17) - 8;
      const double blob = 60.0 * std::sin(fx * 9.0 + fy * 4.0) * std::cos(fy * 7.0 - fx * 3.0);
      const int edge = ((x / 397 + y / 263) % 5 == 0) ? 50 : 0;
      auto clamp = [](double v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      row[3 * x + 0] = clamp(40 + 150 * fy + blob * 0.5 + noise + edge);
      row[3 * x + 1] = clamp(70 + 110 * fx * fy + blob + noise);
      row[3 * x + 2] = clamp(200 - 120 * fx + blob * 0.7 + noise - edge);
    }
  }
  return dib;
}

}  // namespace bellcut::bench
