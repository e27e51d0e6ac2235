#pragma once
// One stretch of a file seen as a file of its own: a picture embedded in
// another (the JPEG inside a Fujifilm RAF) read as if it stood alone.
#include <algorithm>

#include "metadata/ByteSource.h"

namespace quillfen::metadata {

class ByteSourceSlice final : public ByteSource {
 public:
  ByteSourceSlice(ByteSource& file, std::uint64_t start, std::uint64_t length)
      : file_(file), start_(start), length_(length) {}
  std::uint64_t Size() const override { return length_; }
  long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= length_) return 0;
    const auto allowed = static_cast<std::size_t>(std::min<std::uint64_t>(n, length_ - offset));
    return file_.ReadAt(start_ + offset, buffer, allowed);
  }

 private:
  ByteSource& file_;
  const std::uint64_t start_;
  const std::uint64_t length_;
};

}  // namespace quillfen::metadata
