// A file mapped into memory copy-on-write: its bytes are read from the file
// only when touched, and writes through the mapping stay private to the
// process (the file never changes).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace bellcut {

struct MappedFile {
  std::span<std::uint8_t> Bytes;
  // Keeps the mapping alive; the mapping goes when the last copy goes.
  std::shared_ptr<void> Holder;
};

// Maps the regular file at path. EFOpenError when it cannot be opened, is
// not a regular file or cannot be mapped. An empty file gives an empty span.
// The mapping shows the file as it is while mapped: a file cut short by
// someone else meanwhile makes reading past its new end fail (SIGBUS), so
// callers map only to read a file's content at once, as loading does.
[[nodiscard]] MappedFile MapFileCopyOnWrite(const std::string& path);

}  // namespace bellcut
