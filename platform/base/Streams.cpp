#include "platform/base/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/base/Exceptions.h"

namespace bellcut {

std::int64_t TStream::Size() {
  const std::int64_t pos = Position();
  const std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::vector<std::uint8_t> TStream::ReadRest() {
  const std::int64_t pos = Position();
  const std::int64_t size = Size();
  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::max<std::int64_t>(0, size - pos)));
  if (!out.empty()) out.resize(Read(out.data(), out.size()));
  return out;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = pos_ >= data_.size() ? 0 : std::min(count, data_.size() - pos_);
  if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  // A position sought far past the end must not wrap the size around.
  if (count > data_.max_size() || pos_ > data_.max_size() - count) throw EWriteError("Stream write error");
  if (pos_ + count > data_.size()) data_.resize(pos_ + count);
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == soCurrent) base = static_cast<std::int64_t>(pos_);
  if (origin == soEnd) base = static_cast<std::int64_t>(data_.size());
  // Saturate instead of overflowing; a position before the start is the start.
  std::int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : INT64_MAX;
  pos_ = static_cast<std::size_t>(std::max<std::int64_t>(0, target));
  return static_cast<std::int64_t>(pos_);
}

TFileStream::TFileStream(const std::string& path) {
  const auto fail = [&](const char* why) { return EFOpenError("Cannot open file \"" + path + "\". " + why); };
  // A NUL would cut the name short and open another file.
  if (path.empty() || path.find('\0') != std::string::npos) throw fail("Invalid file name");
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) throw fail(std::strerror(errno));
  // Opening a directory for reading succeeds on Linux; only reading fails.
  struct stat st {};
  if (::fstat(::fileno(file_), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(file_);
    file_ = nullptr;
    throw fail("Is a directory");
  }
}

TFileStream::~TFileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::fread(buffer, 1, count, file_);
  // A short read is the end of the file unless the device said otherwise;
  // an error must not pass for a shorter file.
  if (n < count && std::ferror(file_)) throw EReadError("Stream read error");
  return n;
}

std::size_t TFileStream::Write(const void*, std::size_t) { return 0; }

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  if (::fseeko(file_, static_cast<off_t>(offset), whence) != 0) return -1;
  return static_cast<std::int64_t>(::ftello(file_));
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream stream(path);
  std::vector<std::uint8_t> data;
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const std::size_t n = stream.Read(chunk, sizeof chunk);
    data.insert(data.end(), chunk, chunk + n);
    if (n < sizeof chunk) break;
  }
  return data;
}

void WriteFileReplacing(const std::string& requested, std::span<const std::uint8_t> data) {
  if (requested.empty() || requested.find('\0') != std::string::npos) throw FileCreateError(requested);
  // Writing through a symbolic link replaces the file it points to, not the link.
  std::string path = requested;
  struct stat target {};
  if (::lstat(path.c_str(), &target) == 0 && S_ISLNK(target.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      path = resolved;
      std::free(resolved);
    }
  }
  // The new file sits beside the target so the final rename stays within one
  // file system and is atomic. Its name is short and fixed in length, so a
  // target name near the length limit still gets one.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") throw FileCreateError(requested);

  const bool exists = ::stat(path.c_str(), &target) == 0;
  // A directory cannot be replaced by a file, and a file the owner may not
  // write is not overwritten, as creating it in place would not be allowed.
  if (exists && (S_ISDIR(target.st_mode) || ::access(path.c_str(), W_OK) != 0)) throw FileCreateError(requested);

  std::string temp = folder + ".bellcut-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw FileCreateError(requested);
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false; else done += static_cast<std::size_t>(n);
  }
  // mkstemp makes the file private; give it the permissions a plainly created
  // file would get (an existing target keeps its own).
  if (ok) {
    mode_t mode;
    if (exists) {
      mode = target.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    ok = ::fchmod(fd, mode) == 0;
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    throw FileCreateError(requested);
  }
}

}  // namespace bellcut
