#include "platform/base/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/base/Exceptions.h"

namespace bellcut {

MappedFile MapFileCopyOnWrite(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError("Cannot open file \"" + path + "\"");
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw EFOpenError("Cannot open file \"" + path + "\"");
  }
  MappedFile out;
  const auto size = static_cast<std::size_t>(st.st_size);
  if (size == 0) {
    ::close(fd);
    return out;
  }
  // Private and writable: pages are shared with the page cache until
  // written, then copied, so the file itself is never modified.
  void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
  ::close(fd);  // the mapping keeps its own reference to the file
  if (base == MAP_FAILED) throw EFOpenError("Cannot map file \"" + path + "\"");
  out.Bytes = std::span<std::uint8_t>(static_cast<std::uint8_t*>(base), size);
  out.Holder = std::shared_ptr<void>(base, [size](void* p) { ::munmap(p, size); });
  return out;
}

}  // namespace bellcut
