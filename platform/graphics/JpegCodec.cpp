#include "platform/graphics/JpegCodec.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <memory>
#include <type_traits>


#include <jerror.h>
#include <jpeglib.h>

#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

// libjpeg reports failures by calling error_exit, which must not return. Ours
// jumps back into Guard below, the only setjmp of this file; the session that
// ran the call then destroys libjpeg's object and raises EJPEG.
struct ErrorManager {
  jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is a pointer to us
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Level -1 is a warning about damaged data: rejected like an error (see the
// header). Trace messages (levels 0 and up) are ignored.
void EmitMessage(j_common_ptr info, int msgLevel) {
  if (msgLevel < 0) ErrorExit(info);
}

// libjpeg's default prints to stderr; we report through exceptions only.
void OutputMessage(j_common_ptr) {}

// Runs body with libjpeg's error exit armed. A longjmp out of body skips
// destructors, so body and everything it calls may hold only trivially
// destructible locals (row pointers, counters); buffers live in the caller.
template <class Body>
bool Guard(std::jmp_buf& jump, Body& body) {
  if (setjmp(jump) != 0) return false;
  body();
  return true;
}

// One libjpeg compression or decompression object, created and destroyed
// with this value. Run executes libjpeg calls; a failure destroys the object
// (releasing everything libjpeg allocated) and raises EJPEG with the code.
template <class Info>
class Session {
  static constexpr bool kDecompress = std::is_same_v<Info, jpeg_decompress_struct>;

 public:
  Session() {
    info_.err = jpeg_std_error(&err_.pub);
    err_.pub.error_exit = ErrorExit;
    err_.pub.emit_message = EmitMessage;
    err_.pub.output_message = OutputMessage;
    Run([this] {
      if constexpr (kDecompress) {
        jpeg_create_decompress(&info_);
      } else {
        jpeg_create_compress(&info_);
      }
    });
    // Caps the whole-image buffers; without backing store libjpeg then fails
    // cleanly instead of allocating whatever a file declares.
    info_.mem->max_memory_to_use = static_cast<long>(kMaxDecoderMemory);
  }
  ~Session() { Destroy(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  [[nodiscard]] Info* Get() { return &info_; }

  template <class Body>
  void Run(Body&& body) {
    if (Guard(err_.jump, body)) return;
    const int code = err_.pub.msg_code;
    Destroy();
    throw EJPEG(code);
  }

 private:
  // Safe to repeat: libjpeg clears its memory manager pointer on destroy.
  void Destroy() noexcept {
    if constexpr (kDecompress) {
      jpeg_destroy_decompress(&info_);
    } else {
      jpeg_destroy_compress(&info_);
    }
  }

  ErrorManager err_{};
  Info info_{};
};

using Decompressor = Session<jpeg_decompress_struct>;
using Compressor = Session<jpeg_compress_struct>;

JpegColorModel ModelOf(J_COLOR_SPACE space) {
  switch (space) {
    case JCS_GRAYSCALE: return JpegColorModel::Grayscale;
    case JCS_YCbCr: return JpegColorModel::YCbCr;
    case JCS_RGB: return JpegColorModel::RGB;
    case JCS_CMYK: return JpegColorModel::CMYK;
    case JCS_YCCK: return JpegColorModel::YCCK;
    default: return JpegColorModel::Unknown;
  }
}

void ReadHeader(Decompressor& d, std::span<const std::uint8_t> data) {
  j_decompress_ptr c = d.Get();
  d.Run([&] {
    jpeg_mem_src(c, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(c, TRUE);
  });
}

// How decoded rows become B, G, R pixels.
enum class RowKind : std::uint8_t { Bgr, Gray, Ink };

inline std::uint8_t Scale255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

inline std::uint8_t Luma(unsigned r, unsigned g, unsigned b) {
  // libjpeg's own RGB-to-Y weights in 16-bit fixed point.
  return static_cast<std::uint8_t>((19595 * r + 38470 * g + 7471 * b + 32768) >> 16);
}

void GrayToBgr(const std::uint8_t* src, std::uint8_t* dst, int n) {
  for (int i = 0; i < n; ++i, dst += 3) dst[0] = dst[1] = dst[2] = src[i];
}

void InkToBgr(const std::uint8_t* src, std::uint8_t* dst, int n, bool inverted, bool gray) {
  for (int i = 0; i < n; ++i, src += 4, dst += 3) {
    unsigned c = src[0], m = src[1], y = src[2], k = src[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    const std::uint8_t r = Scale255(c, k), g = Scale255(m, k), b = Scale255(y, k);
    if (gray) {
      dst[0] = dst[1] = dst[2] = Luma(r, g, b);
    } else {
      dst[0] = b;
      dst[1] = g;
      dst[2] = r;
    }
  }
}

Dib DecodeRegion(std::span<const std::uint8_t> data, const TRect* window, bool grayscale) {
  Decompressor d;
  j_decompress_ptr c = d.Get();
  ReadHeader(d, data);
  // Before jpeg_start_decompress, which allocates buffers for the declared size.
  Dib::CheckFits(c->image_width, c->image_height, 24);
  const int width = static_cast<int>(c->image_width);
  const int height = static_cast<int>(c->image_height);
  const TRect whole{0, 0, width, height};
  const TRect win = window != nullptr ? window->Intersect(whole) : whole;
  if (win.IsEmpty()) return Dib(0, 0, 24);

  RowKind kind = RowKind::Bgr;
  if (c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK) {
    c->out_color_space = JCS_CMYK;  // libjpeg turns YCCK into CMYK itself
    kind = RowKind::Ink;
  } else if (grayscale) {
    c->out_color_space = JCS_GRAYSCALE;
    kind = RowKind::Gray;
  } else {
    c->out_color_space = JCS_EXT_BGR;  // grayscale files too: libjpeg replicates Y
  }
  const bool inverted = c->saw_Adobe_marker != 0;

  d.Run([&] { jpeg_start_decompress(c); });

  // Fancy upsampling treats the edges of a cropped row as picture edges, so
  // the crop is one pixel wider than the window on each side (libjpeg then
  // moves its left edge further left to an iMCU boundary). A crop of one
  // chroma sample (two pixels) is upsampled differently even inside, so the
  // crop is at least three pixels wide.
  JDIMENSION cropLeft = 0;
  JDIMENSION cropWidth = c->output_width;
  if (win.Left > 0 || win.Right < width) {
    const int left = std::max(0, win.Left - 1);
    const int right = std::min(width, std::max(win.Right + 1, left + 3));
    cropLeft = static_cast<JDIMENSION>(left);
    cropWidth = static_cast<JDIMENSION>(right - left);
    d.Run([&] { jpeg_crop_scanline(c, &cropLeft, &cropWidth); });
  }
  const int column = win.Left - static_cast<int>(cropLeft);
  const int outWidth = win.Width();

  Dib result = Dib::Uninitialized(outWidth, win.Height(), 24);
  const bool direct = kind == RowKind::Bgr && column == 0 && static_cast<int>(c->output_width) == outWidth;
  const std::size_t rowStride = static_cast<std::size_t>(c->output_width) * c->output_components;
  constexpr int kBatch = 16;
  std::vector<std::uint8_t> buffer(direct ? 0 : rowStride * kBatch);

  if (win.Top > 0) d.Run([&] { jpeg_skip_scanlines(c, static_cast<JDIMENSION>(win.Top)); });

  d.Run([&] {
    std::array<JSAMPROW, kBatch> rows;
    int y = 0;  // output row of the next line read
    while (y < win.Height()) {
      const int want = std::min(kBatch, win.Height() - y);
      for (int i = 0; i < want; ++i)
        rows[i] = direct ? result.ScanLine(y + i) : buffer.data() + rowStride * static_cast<std::size_t>(i);
      const int got = static_cast<int>(jpeg_read_scanlines(c, rows.data(), static_cast<JDIMENSION>(want)));
      if (!direct) {
        for (int i = 0; i < got; ++i) {
          const std::uint8_t* src = rows[i];
          std::uint8_t* dst = result.ScanLine(y + i);
          switch (kind) {
            case RowKind::Bgr:
              std::copy_n(src + static_cast<std::size_t>(column) * 3, static_cast<std::size_t>(outWidth) * 3, dst);
              break;
            case RowKind::Gray:
              GrayToBgr(src + column, dst, outWidth);
              break;
            case RowKind::Ink:
              InkToBgr(src + static_cast<std::size_t>(column) * 4, dst, outWidth, inverted, grayscale);
              break;
          }
        }
      }
      y += got;
    }
  });
  // Destroying the object aborts decompression without reading the rest.
  return result;
}

// Compressed data goes straight into a vector that doubles when full.
// (libjpeg's own memory destination loses its buffer when an error strikes
// after it has grown, so it is not used.)
struct VectorDestination {
  jpeg_destination_mgr pub;  // first, so libjpeg's pointer to it is a pointer to us
  std::vector<std::uint8_t>* out;
};

VectorDestination* DestinationOf(j_compress_ptr c) { return reinterpret_cast<VectorDestination*>(c->dest); }

// Grows the vector to size and points libjpeg at the new free part; false
// when memory runs out (the caller turns that into libjpeg's error exit).
bool GrowTo(VectorDestination* d, std::size_t size) noexcept {
  const std::size_t used = d->out->size();
  try {
    d->out->resize(size);
  } catch (...) {
    return false;
  }
  d->pub.next_output_byte = d->out->data() + used;
  d->pub.free_in_buffer = size - used;
  return true;
}

void InitDestination(j_compress_ptr c) {
  VectorDestination* d = DestinationOf(c);
  d->out->clear();
  if (!GrowTo(d, std::size_t{1} << 16)) ERREXIT(c, JERR_OUT_OF_MEMORY);
}

boolean EmptyOutput(j_compress_ptr c) {
  // Called only when the whole buffer is full.
  VectorDestination* d = DestinationOf(c);
  if (!GrowTo(d, d->out->size() * 2)) ERREXIT(c, JERR_OUT_OF_MEMORY);
  return TRUE;
}

void TermDestination(j_compress_ptr c) {
  VectorDestination* d = DestinationOf(c);
  d->out->resize(d->out->size() - d->pub.free_in_buffer);
}

}  // namespace

JpegHeader ReadJpegHeader(std::span<const std::uint8_t> data) {
  Decompressor d;
  ReadHeader(d, data);
  const j_decompress_ptr c = d.Get();
  return {static_cast<int>(c->image_width), static_cast<int>(c->image_height), c->num_components,
          ModelOf(c->jpeg_color_space), c->progressive_mode != 0, c->arith_code != 0};
}

Dib DecodeJpeg(std::span<const std::uint8_t> data, bool grayscale) { return DecodeRegion(data, nullptr, grayscale); }

Dib DecodeJpegRect(std::span<const std::uint8_t> data, const TRect& window, bool grayscale) {
  return DecodeRegion(data, &window, grayscale);
}

std::vector<std::uint8_t> EncodeJpeg(const Dib& pixels, int quality) {
  Dib converted;
  const Dib* src = &pixels;
  if (pixels.BitCount() != 24 && !pixels.Empty()) {
    converted = pixels.Converted(24);
    src = &converted;
  }
  const int width = src->Empty() ? 0 : src->Width();
  const int height = src->Empty() ? 0 : src->Height();
  quality = std::clamp(quality, 1, 100);

  std::vector<std::uint8_t> out;
  VectorDestination dest{{}, &out};
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyOutput;
  dest.pub.term_destination = TermDestination;

  Compressor session;
  j_compress_ptr c = session.Get();
  session.Run([&] {
    c->dest = &dest.pub;
    c->image_width = static_cast<JDIMENSION>(width);
    c->image_height = static_cast<JDIMENSION>(height);
    // Three components of 24-bit RGB pixels. Our rows store them blue,
    // green, red, which libjpeg-turbo reads directly as JCS_EXT_BGR: the
    // same colour conversion and the same bytes as RGB input, without a
    // per-pixel reordering pass (which cost 40% of the encoder's time).
    c->input_components = 3;
    c->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(c);
    c->dct_method = JDCT_FLOAT;
    jpeg_set_quality(c, quality, TRUE);
    jpeg_start_compress(c, TRUE);
    while (c->next_scanline < c->image_height) {
      // libjpeg only reads the rows it is given.
      JSAMPROW rowPointer = const_cast<JSAMPROW>(src->ScanLine(static_cast<int>(c->next_scanline)));
      jpeg_write_scanlines(c, &rowPointer, 1);
    }
    jpeg_finish_compress(c);
  });
  return out;
}

std::string JpegMessageText(int code) {
  jpeg_error_mgr err{};
  jpeg_std_error(&err);
  if (code < 0 || code > err.last_jpeg_message || err.jpeg_message_table[code] == nullptr) return {};
  return err.jpeg_message_table[code];
}

}  // namespace bellcut
