// Draws the bell picture: a 600 x 600 4-bit BMP, black bell (palette index 0)
// on fuchsia (index 13), 2834 pixels per metre.
//
// The silhouette is built from edges, each a set of (row, column) keys joined
// by monotone cubic interpolation, so the outline is smooth, never overshoots
// between keys, and passes exactly through every span of the outline table:
//   - the outer left and right edges of the whole bell, rows 3 to 596;
//   - the ring's hole (left and right edge of the empty run), which opens
//     below row 10 and closes above row 60;
//   - a small blob of the crown that shows inside the hole around row 40 and
//     merges with the ring's right side by row 45.
// A row is black from the outer left to the outer right edge, minus the hole,
// plus the blob.
//
// Usage: bellgen OUTPUT.bmp
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/base/Streams.h"
#include "platform/gdi/Dib.h"
#include "platform/graphics/BmpCodec.h"
#include "tools/BellOutline.h"

namespace {

using Keys = std::map<int, double>;  // row -> column

// Monotone cubic (Fritsch-Carlson) interpolation of one edge at row y.
double Interpolate(const Keys& keys, double y) {
  std::vector<double> ys, xs;
  for (auto [k, v] : keys) {
    ys.push_back(k);
    xs.push_back(v);
  }
  const std::size_t n = ys.size();
  if (y <= ys.front()) return xs.front();
  if (y >= ys.back()) return xs.back();
  std::vector<double> d(n - 1), m(n);
  for (std::size_t i = 0; i + 1 < n; ++i) d[i] = (xs[i + 1] - xs[i]) / (ys[i + 1] - ys[i]);
  m[0] = d[0];
  m[n - 1] = d[n - 2];
  for (std::size_t i = 1; i + 1 < n; ++i) m[i] = (d[i - 1] * d[i] <= 0) ? 0.0 : (d[i - 1] + d[i]) / 2;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (d[i] == 0) {
      m[i] = m[i + 1] = 0;
      continue;
    }
    const double a = m[i] / d[i], b = m[i + 1] / d[i];
    const double s = a * a + b * b;
    if (s > 9) {
      const double t = 3 / std::sqrt(s);
      m[i] = t * a * d[i];
      m[i + 1] = t * b * d[i];
    }
  }
  std::size_t i = 0;
  while (ys[i + 1] < y) ++i;
  const double h = ys[i + 1] - ys[i], t = (y - ys[i]) / h;
  const double t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * xs[i] + (t3 - 2 * t2 + t) * h * m[i] + (-2 * t3 + 3 * t2) * xs[i + 1] +
         (t3 - t2) * h * m[i + 1];
}

int At(const Keys& keys, int y) { return static_cast<int>(std::lround(Interpolate(keys, y))); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bellgen OUTPUT.bmp\n");
    return 2;
  }
  using bellcut::bell::Outline;
  Keys outerLeft, outerRight;
  for (const auto& row : Outline()) {
    outerLeft[row.Y] = row.Spans.front().first;
    outerRight[row.Y] = row.Spans.back().second;
  }
  // The hole: first and last empty column. Where left > right there is no hole.
  const Keys holeLeft = {{12, 94}, {15, 82}, {20, 72}, {30, 68}, {40, 68}, {45, 69}, {50, 72}, {55, 84}, {57, 85}};
  const Keys holeRight = {{12, 93}, {15, 105}, {20, 115}, {30, 122}, {40, 123}, {45, 89}, {50, 89}, {55, 85}, {57, 84}};
  const Keys blobLeft = {{35, 98}, {40, 93}, {44, 90}};
  const Keys blobRight = {{35, 97}, {40, 102}, {44, 100}};

  bellcut::Dib dib(bellcut::bell::kSize, bellcut::bell::kSize, 4);
  dib.Palette() = bellcut::StandardPalette16();
  constexpr int kBell = 0, kBackground = 13;
  long black = 0;
  for (int y = 0; y < bellcut::bell::kSize; ++y) {
    for (int x = 0; x < bellcut::bell::kSize; ++x) {
      bool on = y >= 3 && y <= 596 && x >= At(outerLeft, y) && x <= At(outerRight, y);
      if (on && y >= 12 && y <= 57 && x >= At(holeLeft, y) && x <= At(holeRight, y)) on = false;
      if (y >= 35 && y <= 44 && x >= At(blobLeft, y) && x <= At(blobRight, y)) on = true;
      dib.SetRaw(x, y, on ? kBell : kBackground);
      black += on;
    }
  }
  const auto bytes = bellcut::EncodeBmp(dib, 2834, 2834);
  bellcut::WriteFileReplacing(argv[1], bytes);
  std::printf("%s: %ld black pixels\n", argv[1], black);
  return 0;
}
