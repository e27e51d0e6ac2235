#pragma once
// The bytes of one file, read on demand. The metadata reader sees a file only
// through this, so every byte it reads passes the program's file-system port
// (where it can be counted and bounded) and the metadata library never opens
// a file by itself.
#include <cstddef>
#include <cstdint>

namespace quillfen {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to n bytes at offset into buffer; returns how many (0 at the
  // end), or -1 on a read error. A short count is not an error.
  virtual long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
};

}  // namespace quillfen
