// JPEG in and out through libjpeg (libjpeg-turbo's build of the libjpeg API).
// This file and JpegCodec.cpp are the only code that talks to libjpeg.
//
// Errors: every failure libjpeg reports ends the call with EJPEG carrying
// libjpeg's message code ("JPEG エラー #%d"); libjpeg's objects are destroyed
// first, so nothing leaks and libjpeg never ends the process.
//
// Warnings: libjpeg's warnings (corrupt entropy data, extraneous bytes before
// a marker, a file that ends early and would be padded with grey, an unknown
// JFIF revision, ...) are treated exactly like errors: the call raises EJPEG
// with the warning's message code and returns no picture. A damaged file is
// never shown half grey as if it were good, and a small damaged file cannot
// make the decoder fill a large declared picture with padding. Because only
// the part of the data that a call reads is checked, a windowed decode of the
// undamaged top part of a file that is damaged further down succeeds.
//
// Size limits: a declared picture size is checked against Dib::CheckFits
// (EOutOfResources) before libjpeg allocates its decoding buffers, and
// libjpeg's whole-image buffers (progressive and multi-scan files) are capped
// at kMaxDecoderMemory, beyond which decoding fails with EJPEG.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Types.h"

namespace bellcut {

// The colour model of the coded data, as the file declares it.
enum class JpegColorModel : std::uint8_t { Unknown, Grayscale, YCbCr, RGB, CMYK, YCCK };

struct JpegHeader {
  int Width = 0;
  int Height = 0;
  int Components = 0;
  JpegColorModel ColorModel = JpegColorModel::Unknown;
  bool Progressive = false;
  bool Arithmetic = false;
};

// Memory libjpeg may use for whole-image coefficient buffers while decoding.
inline constexpr std::uint64_t kMaxDecoderMemory = std::uint64_t{1} << 30;

// The frame's size and colour model, read from the markers before the first
// scan; no pixel is decoded. Raises EJPEG for data that is not a decodable
// JPEG picture (bad markers, 12-bit or lossless frames, tables only).
[[nodiscard]] JpegHeader ReadJpegHeader(std::span<const std::uint8_t> data);

// The whole picture as a 24-bit surface (B, G, R, rows top-first), decoded
// with libjpeg's default settings (integer IDCT, fancy upsampling).
// Grayscale files give grey pixels. CMYK and YCCK files are converted to RGB
// per pixel as R = C'·K' / 255 (and the same for G with M', B with Y'),
// rounded to nearest, where C', M', Y', K' are the amounts of light left by
// each ink (255 = no ink). Files carrying Adobe's APP14 marker store exactly
// these inverted values, as Adobe's programs write them; files without it
// store ink amounts, so C' = 255 - C and so on.
// With grayscale set, the picture is decoded to luminance only and every
// pixel is grey.
[[nodiscard]] Dib DecodeJpeg(std::span<const std::uint8_t> data, bool grayscale = false);

// Only the part of the picture inside window (picture coordinates, clipped to
// the picture), with the same pixels a full decode has there. Rows above the
// window are skipped, columns outside it are not converted where libjpeg can
// avoid it, and decoding stops after the window's last row. An empty
// intersection gives an empty 24-bit surface (the header is still checked).
[[nodiscard]] Dib DecodeJpegRect(std::span<const std::uint8_t> data, const TRect& window,
                                 bool grayscale = false);

// Encodes pixels (24-bit; other bit counts are converted first) as a
// baseline JFIF file: libjpeg's defaults, 3 components from RGB rows,
// floating-point DCT, quality tables scaled for quality (1..100; clamped) and
// limited to baseline values, 2x2 chroma subsampling, rows from the top.
// Raises EJPEG when libjpeg refuses the picture (empty, wider or taller than
// JPEG allows).
[[nodiscard]] std::vector<std::uint8_t> EncodeJpeg(const Dib& pixels, int quality);

// libjpeg's message format for a message code (as EJPEG::Code carries), e.g.
// "Maximum supported image dimension is %u pixels"; empty for unknown codes.
[[nodiscard]] std::string JpegMessageText(int code);

}  // namespace bellcut
