#pragma once
// A file held in memory for the metadata reader, telling how much of it the
// reader took and able to fail or dribble its reads as a bad card would.
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "metadata/ByteSource.h"

namespace quillfen::testing {

class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::string bytes) : bytes_(std::move(bytes)) {}

  std::uint64_t bytesHandedOut = 0;
  std::uint64_t furthestEnd = 0;  // one past the last byte handed out
  int reads = 0;
  // Reads reaching this offset fail as an I/O error would.
  std::uint64_t failFrom = std::numeric_limits<std::uint64_t>::max();
  // No read hands out more than this, as a slow device may do.
  std::size_t mostPerRead = std::numeric_limits<std::size_t>::max();

  std::uint64_t Size() const override { return bytes_.size(); }
  long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    ++reads;
    if (offset >= bytes_.size()) return 0;
    n = std::min({n, mostPerRead, static_cast<std::size_t>(bytes_.size() - offset)});
    if (offset + n > failFrom) return -1;
    std::memcpy(buffer, bytes_.data() + offset, n);
    bytesHandedOut += n;
    furthestEnd = std::max<std::uint64_t>(furthestEnd, offset + n);
    return static_cast<long>(n);
  }

 private:
  std::string bytes_;
};

}  // namespace quillfen::testing
