#include "platform/graphics/Png.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/base/Exceptions.h"
#include "platform/base/Streams.h"

namespace bellcut {
namespace {

// libpng reports errors by calling back and then longjmp-ing to the last
// setjmp. The message lands here; Guarded turns the jump into a return value.
struct ErrorSink {
  char message[256] = "unknown libpng error";
};

void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
  std::snprintf(sink->message, sizeof sink->message, "%s", message != nullptr ? message : "(no message)");
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

using Step = void (*)(png_structp, png_infop, void*);

// The one place libpng's longjmp lands. A step runs only libpng calls and
// plain data access: no object with a destructor lives in a step's frame, so
// jumping over it skips nothing. Returns false when libpng reported an error.
bool Guarded(png_structp png, png_infop info, Step step, void* context) {
  if (setjmp(png_jmpbuf(png))) return false;
  step(png, info, context);
  return true;
}

// ---- reading ----

struct ReadContext {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t pos = 0;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int channels = 0;
  png_bytepp rows = nullptr;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* c = static_cast<ReadContext*>(png_get_io_ptr(png));
  if (count > c->size - c->pos) png_error(png, "the file is truncated");
  std::memcpy(out, c->data + c->pos, count);
  c->pos += count;
}

void ReadInfoStep(png_structp png, png_infop info, void* context) {
  auto* c = static_cast<ReadContext*>(context);
  png_read_info(png, info);
  const int colourType = png_get_color_type(png, info);
  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  if (png_get_bit_depth(png, info) == 16) png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  c->width = png_get_image_width(png, info);
  c->height = png_get_image_height(png, info);
  c->channels = png_get_channels(png, info);
}

void ReadRowsStep(png_structp png, png_infop, void* context) {
  auto* c = static_cast<ReadContext*>(context);
  png_read_image(png, c->rows);
  png_read_end(png, nullptr);
}

class ReadStructs {
 public:
  explicit ReadStructs(ErrorSink& sink) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (png_ == nullptr || info_ == nullptr) {
      png_destroy_read_struct(&png_, &info_, nullptr);
      throw EOutOfResources("Cannot create a PNG reader");
    }
  }
  ~ReadStructs() { png_destroy_read_struct(&png_, &info_, nullptr); }
  ReadStructs(const ReadStructs&) = delete;
  ReadStructs& operator=(const ReadStructs&) = delete;
  [[nodiscard]] png_structp Png() const { return png_; }
  [[nodiscard]] png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// ---- writing ----

struct WriteContext {
  std::vector<std::uint8_t>* out = nullptr;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  png_bytepp rows = nullptr;
};

void WriteToMemory(png_structp png, png_bytep data, png_size_t count) {
  auto* c = static_cast<WriteContext*>(png_get_io_ptr(png));
  bool failed = false;
  try {
    c->out->insert(c->out->end(), data, data + count);
  } catch (...) {
    failed = true;  // leave the handler before jumping out of libpng
  }
  if (failed) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

void WriteStep(png_structp png, png_infop info, void* context) {
  auto* c = static_cast<WriteContext*>(context);
  png_set_IHDR(png, info, c->width, c->height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, c->rows);
  png_write_end(png, nullptr);
}

class WriteStructs {
 public:
  explicit WriteStructs(ErrorSink& sink) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (png_ == nullptr || info_ == nullptr) {
      png_destroy_write_struct(&png_, &info_);
      throw EOutOfResources("Cannot create a PNG writer");
    }
  }
  ~WriteStructs() { png_destroy_write_struct(&png_, &info_); }
  WriteStructs(const WriteStructs&) = delete;
  WriteStructs& operator=(const WriteStructs&) = delete;
  [[nodiscard]] png_structp Png() const { return png_; }
  [[nodiscard]] png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

}  // namespace

Dib ReadPng(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadWholeFile(path);
  ErrorSink sink;
  ReadStructs structs(sink);
  ReadContext c;
  c.data = file.data();
  c.size = file.size();
  png_set_read_fn(structs.Png(), &c, ReadFromMemory);
  // Refuse sizes no surface can hold before libpng allocates anything.
  png_set_user_limits(structs.Png(), Dib::kMaxSide, Dib::kMaxSide);
  auto fail = [&] { throw EInvalidGraphic("PNG image is not valid: " + std::string(sink.message) + " (" + path + ")"); };
  if (!Guarded(structs.Png(), structs.Info(), ReadInfoStep, &c)) fail();

  Dib dib(static_cast<int>(c.width), static_cast<int>(c.height), c.channels == 4 ? 32 : 24);
  if (c.channels != 3 && c.channels != 4) throw EInvalidGraphic("PNG image is not valid: unexpected channel count");
  std::vector<png_bytep> rows(c.height);
  for (png_uint_32 y = 0; y < c.height; ++y) rows[y] = dib.ScanLine(static_cast<int>(y));
  c.rows = rows.data();
  if (!Guarded(structs.Png(), structs.Info(), ReadRowsStep, &c)) fail();
  return dib;
}

void WritePng(const Dib& dib, const std::string& path) {
  if (dib.Empty()) throw EInvalidGraphicOperation("Cannot save an empty picture as PNG");
  const int w = dib.Width();
  const int h = dib.Height();
  const std::size_t stride = static_cast<std::size_t>(w) * 3;
  std::vector<std::uint8_t> rgb(stride * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = rgb.data() + stride * static_cast<std::size_t>(y);
    const std::uint8_t* src = dib.ScanLine(y);
    if (dib.BitCount() == 24 || dib.BitCount() == 32) {
      const int step = dib.BitCount() / 8;
      for (int x = 0; x < w; ++x, src += step, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    } else {
      for (int x = 0; x < w; ++x, dst += 3) {
        const COLORREF c = dib.GetPixel(x, y);
        dst[0] = static_cast<std::uint8_t>(GetRValue(c));
        dst[1] = static_cast<std::uint8_t>(GetGValue(c));
        dst[2] = static_cast<std::uint8_t>(GetBValue(c));
      }
    }
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) rows[static_cast<std::size_t>(y)] = rgb.data() + stride * static_cast<std::size_t>(y);

  std::vector<std::uint8_t> encoded;
  ErrorSink sink;
  WriteStructs structs(sink);
  WriteContext c;
  c.out = &encoded;
  c.width = static_cast<png_uint_32>(w);
  c.height = static_cast<png_uint_32>(h);
  c.rows = rows.data();
  png_set_write_fn(structs.Png(), &c, WriteToMemory, FlushNothing);
  if (!Guarded(structs.Png(), structs.Info(), WriteStep, &c))
    throw EWriteError("Cannot encode PNG: " + std::string(sink.message));
  WriteFileReplacing(path, encoded);
}

}  // namespace bellcut
