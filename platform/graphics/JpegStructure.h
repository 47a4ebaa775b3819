// A quick check of a JPEG file's structure, without decoding anything.
//
// TJPEGImage decodes lazily, when it is drawn. A file that ends early, or
// whose markers are broken, would therefore load without complaint and fail
// only at its first drawing, far from the load that the platform reports
// such errors at. This walk over the markers finds those faults at load time
// for the price of one pass over the bytes (the entropy-coded data is only
// searched for its next marker).
#pragma once

#include <cstdint>
#include <span>

namespace bellcut {

// Walks the file from SOI to EOI: each marker segment's length must fit in
// the file, the entropy-coded data after each SOS must end at a marker, and
// the file must reach EOI (bytes after it are ignored, as decoders do).
// Raises EJPEG with the code libjpeg reports for the same fault: no SOI,
// a second SOI, a bad segment length, bytes where a marker belongs
// (extraneous data) or a premature end of the file.
void CheckJpegStructure(std::span<const std::uint8_t> data);

}  // namespace bellcut
