// Helpers shared by the JPEG suites: files, the libjpeg-turbo command-line
// tools as oracles, PPM/PGM pictures and pixel comparison.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gdi/Dib.h"

namespace bellcut::test {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool CommandExists(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// The standard output of a shell command; nullopt when it fails.
inline std::optional<std::vector<std::uint8_t>> RunCapture(const std::string& command) {
  std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::vector<std::uint8_t> out;
  std::uint8_t chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.insert(out.end(), chunk, chunk + n);
  if (::pclose(pipe) != 0) return std::nullopt;
  return out;
}

// A binary PPM (P6) or PGM (P5) with maxval 255, as djpeg writes them, as a
// 24-bit surface (grey samples replicated).
inline Dib ParsePnm(const std::vector<std::uint8_t>& bytes) {
  std::size_t pos = 0;
  auto token = [&]() {
    std::string t;
    while (pos < bytes.size()) {
      const char ch = static_cast<char>(bytes[pos]);
      if (ch == '#') {
        while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
      } else if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') {
        if (!t.empty()) break;
        ++pos;
      } else {
        t += ch;
        ++pos;
      }
    }
    return t;
  };
  const std::string magic = token();
  const int width = std::stoi(token());
  const int height = std::stoi(token());
  if (std::stoi(token()) != 255) throw std::runtime_error("unexpected PNM maxval");
  ++pos;  // the single whitespace after maxval
  const int channels = magic == "P6" ? 3 : 1;
  if ((magic != "P6" && magic != "P5") ||
      bytes.size() < pos + static_cast<std::size_t>(width) * height * channels)
    throw std::runtime_error("not a complete binary PPM/PGM");
  Dib dib(width, height, 24);
  const std::uint8_t* src = bytes.data() + pos;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* dst = dib.ScanLine(y);
    for (int x = 0; x < width; ++x, src += channels, dst += 3) {
      dst[0] = src[channels == 3 ? 2 : 0];
      dst[1] = src[channels == 3 ? 1 : 0];
      dst[2] = src[0];
    }
  }
  return dib;
}

inline void WritePpm(const Dib& dib, const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << dib.Width() << ' ' << dib.Height() << "\n255\n";
  for (int y = 0; y < dib.Height(); ++y) {
    const std::uint8_t* row = dib.ScanLine(y);
    for (int x = 0; x < dib.Width(); ++x) {
      const char rgb[3] = {static_cast<char>(row[3 * x + 2]), static_cast<char>(row[3 * x + 1]),
                           static_cast<char>(row[3 * x])};
      out.write(rgb, 3);
    }
  }
}

// Exact equality of two 24-bit surfaces; names the first differing pixel.
inline ::testing::AssertionResult SamePixels(const Dib& expected, const Dib& actual) {
  if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
    return ::testing::AssertionFailure() << "size " << actual.Width() << "x" << actual.Height() << ", expected "
                                         << expected.Width() << "x" << expected.Height();
  for (int y = 0; y < expected.Height(); ++y) {
    const std::uint8_t* e = expected.ScanLine(y);
    const std::uint8_t* a = actual.ScanLine(y);
    for (int i = 0; i < expected.Width() * 3; ++i)
      if (e[i] != a[i])
        return ::testing::AssertionFailure() << "pixel (" << i / 3 << ", " << y << ") channel " << i % 3 << ": "
                                             << int{a[i]} << ", expected " << int{e[i]};
  }
  return ::testing::AssertionSuccess();
}

// The part of a surface inside r (which must lie within it), as a new surface.
inline Dib CropOf(const Dib& src, const TRect& r) {
  Dib out(r.Width(), r.Height(), 24);
  for (int y = 0; y < r.Height(); ++y)
    std::copy_n(src.ScanLine(r.Top + y) + 3 * r.Left, 3 * r.Width(), out.ScanLine(y));
  return out;
}

}  // namespace bellcut::test
