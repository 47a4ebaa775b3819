// Byte streams, as the component library uses them for pictures and form
// resources, and the one safe way to write a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bellcut {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };
using enum TSeekOrigin;

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns how many were read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  [[nodiscard]] std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }
  [[nodiscard]] std::int64_t Size();
  // Exactly count bytes, or EReadError / EWriteError.
  void ReadBuffer(void* buffer, std::size_t count);
  void WriteBuffer(const void* buffer, std::size_t count);
  // Everything from the current position to the end.
  [[nodiscard]] std::vector<std::uint8_t> ReadRest();
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  [[nodiscard]] const std::vector<std::uint8_t>& Data() const { return data_; }
  [[nodiscard]] std::vector<std::uint8_t>& Data() { return data_; }
  void Clear() { data_.clear(); pos_ = 0; }

 private:
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
};

// Reading from a file (EFOpenError when it cannot be opened or is a
// directory; Read raises EReadError when the device reports an error).
class TFileStream : public TStream {
 public:
  explicit TFileStream(const std::string& path);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 private:
  std::FILE* file_ = nullptr;
};

// The whole file (EFOpenError when it cannot be opened, EReadError when
// reading it fails part-way).
[[nodiscard]] std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Writes data as the file at path, replacing any file there only once the new
// contents are complete: the bytes go to a new file in the same folder, are
// flushed, and the new file is renamed over the target. On any failure the
// old file is left as it was, no stray file remains, and EFCreateError with
// the platform's text ("ファイル %s を作成できません") is raised. A target that
// is a directory or a file the process may not write is refused the same way;
// a symbolic link is written through (the file it names is replaced).
void WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> data);

}  // namespace bellcut
