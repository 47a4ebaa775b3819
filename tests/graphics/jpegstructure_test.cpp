// The marker walk that finds broken JPEG structure at load time.
#include "platform/graphics/JpegStructure.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/gdi/Dib.h"
#include "platform/graphics/JpegCodec.h"

namespace bellcut {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sample() {
  Dib dib(40, 24, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) dib.SetPixel(x, y, RGB(x * 6, y * 10, (x * y) & 255));
  return EncodeJpeg(dib, 75);
}

// Offset of the first byte after the SOS segment.
std::size_t ScanStart(const Bytes& b) {
  std::size_t pos = 2;
  while (b[pos + 1] != 0xDA) pos += 2 + ((b[pos + 2] << 8) | b[pos + 3]);
  return pos + 2 + ((b[pos + 2] << 8) | b[pos + 3]);
}

int CodeOf(const Bytes& b) {
  try {
    CheckJpegStructure(b);
  } catch (const EJPEG& e) {
    return e.Code();
  }
  return 0;
}

TEST(CheckJpegStructure, FindsBrokenStructure) {
  const Bytes good = Sample();
  const std::size_t scan = ScanStart(good);
  constexpr int kNoSoi = 53, kDuplicateSoi = 61, kBadLength = 11, kExtraneous = 116, kEof = 120;
  struct Case {
    std::string Name;
    std::function<void(Bytes&)> Damage;
    int Code;
  };
  const Case cases[] = {
      {"intact", [](Bytes&) {}, 0},
      {"bytes after the end marker are ignored", [](Bytes& b) { b.insert(b.end(), {1, 2, 3, 0xFF}); }, 0},
      {"fill bytes before a marker", [](Bytes& b) { b.insert(b.begin() + 2, {0xFF, 0xFF}); }, 0},
      {"restart marker in the data", [&](Bytes& b) { b.insert(b.begin() + static_cast<long>(scan) + 4, {0xFF, 0xD3}); },
       0},
      {"empty", [](Bytes& b) { b.clear(); }, kNoSoi},
      {"not a JPEG", [](Bytes& b) { b[0] = 'B'; }, kNoSoi},
      {"second SOI", [](Bytes& b) { b.insert(b.begin() + 2, {0xFF, 0xD8}); }, kDuplicateSoi},
      {"segment length below 2", [](Bytes& b) { b[4] = 0; b[5] = 1; }, kBadLength},
      {"segment running past the end", [](Bytes& b) { b[4] = 0xFF; b[5] = 0xF0; }, kEof},
      {"garbage where a marker belongs", [](Bytes& b) { b.insert(b.begin() + 2, {0x12}); }, kExtraneous},
      {"no end marker", [](Bytes& b) { b.resize(b.size() - 2); }, kEof},
      {"cut in the scan", [&](Bytes& b) { b.resize(scan + 10); }, kEof},
      {"cut after an 0xFF of the scan", [&](Bytes& b) { b.resize(scan + 10); b.push_back(0xFF); }, kEof},
      {"cut in a segment header", [](Bytes& b) { b.resize(5); }, kEof},
      {"only SOI", [](Bytes& b) { b.resize(2); }, kEof},
      {"zero after a lone 0xFF between segments", [](Bytes& b) { b.insert(b.begin() + 2, {0xFF, 0x00}); }, kExtraneous},
  };
  for (const Case& c : cases) {
    Bytes b = good;
    c.Damage(b);
    EXPECT_EQ(CodeOf(b), c.Code) << c.Name;
  }
}

}  // namespace
}  // namespace bellcut
