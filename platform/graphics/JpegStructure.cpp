#include "platform/graphics/JpegStructure.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

// Only for libjpeg's message codes, so that a fault found here carries the
// same number libjpeg gives it; nothing here calls the library.
#include <jpeglib.h>
#include <jerror.h>

#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

constexpr std::uint8_t kSOI = 0xD8, kEOI = 0xD9, kSOS = 0xDA, kTEM = 0x01;

bool IsRestart(std::uint8_t m) { return m >= 0xD0 && m <= 0xD7; }

}  // namespace

void CheckJpegStructure(std::span<const std::uint8_t> data) {
  const std::size_t n = data.size();
  if (n < 2 || data[0] != 0xFF || data[1] != kSOI) throw EJPEG(JERR_NO_SOI);
  std::size_t pos = 2;
  for (;;) {
    // A marker: 0xFF, any number of 0xFF fill bytes, then the code.
    if (pos >= n) throw EJPEG(JWRN_JPEG_EOF);
    if (data[pos] != 0xFF) throw EJPEG(JWRN_EXTRANEOUS_DATA);
    while (pos < n && data[pos] == 0xFF) ++pos;
    if (pos >= n) throw EJPEG(JWRN_JPEG_EOF);
    const std::uint8_t marker = data[pos++];
    if (marker == 0x00) throw EJPEG(JWRN_EXTRANEOUS_DATA);
    if (marker == kEOI) return;
    if (marker == kSOI) throw EJPEG(JERR_SOI_DUPLICATE);
    if (marker == kTEM || IsRestart(marker)) continue;  // no segment follows

    if (n - pos < 2) throw EJPEG(JWRN_JPEG_EOF);
    const std::size_t length = (std::size_t{data[pos]} << 8) | data[pos + 1];
    if (length < 2) throw EJPEG(JERR_BAD_LENGTH);
    if (n - pos < length) throw EJPEG(JWRN_JPEG_EOF);
    pos += length;
    if (marker != kSOS) continue;

    // Entropy-coded data: runs until a 0xFF that is neither a stuffed zero,
    // a restart marker nor a fill byte. memchr keeps this pass cheap on
    // large files.
    for (;;) {
      const void* ff = std::memchr(data.data() + pos, 0xFF, n - pos);
      if (ff == nullptr) throw EJPEG(JWRN_JPEG_EOF);
      pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(ff) - data.data());
      std::size_t next = pos + 1;
      while (next < n && data[next] == 0xFF) ++next;
      if (next >= n) throw EJPEG(JWRN_JPEG_EOF);
      if (data[next] == 0x00 || IsRestart(data[next])) {
        pos = next + 1;
        continue;
      }
      break;  // pos is at the marker's 0xFF
    }
  }
}

}  // namespace bellcut
