#include "metadata/BmffShape.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace quillfen::metadata {

namespace {

// The boxes whose content is more boxes, as pictures and their readers
// use them; "meta" has four bytes of version and flags before its boxes.
constexpr std::string_view kContainers[] = {"meta", "moov", "trak", "mdia", "minf", "stbl", "udta", "dinf",
                                            "iprp", "ipco", "edts", "mvex", "moof", "traf", "uuid"};

bool IsContainer(std::string_view type) {
  return std::find(std::begin(kContainers), std::end(kContainers), type) != std::end(kContainers);
}

std::uint64_t Be(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

class Walk {
 public:
  Walk(ByteSource& file, std::uint64_t limit) : file_(file), end_(std::min(limit, file.Size())) {}

  // The boxes from `start` to `end`, at `depth`.
  bool Boxes(std::uint64_t start, std::uint64_t end, int depth) {
    if (depth > kMostBoxDepth) return false;
    for (std::uint64_t at = start; at + 8 <= std::min(end, end_);) {
      if (++boxes_ > kMostBoxes) return false;
      unsigned char head[16];
      if (file_.ReadAt(at, head, 8) != 8) return true;  // cut short: the reader sees the same
      std::uint64_t size = Be(head, 4);
      std::uint64_t header = 8;
      if (size == 1) {
        if (file_.ReadAt(at + 8, head + 8, 8) != 8) return true;
        size = Be(head + 8, 8);
        header = 16;
      } else if (size == 0) {
        size = end - at;  // to the end of its container
      }
      // A box cut short or damaged ends the walk of its level; the reader
      // keeps what it found before such a box.
      if (size < header || size > end - at) return true;
      const std::string_view type(reinterpret_cast<const char*>(head + 4), 4);
      if (IsContainer(type)) {
        const std::uint64_t content = at + header + (type == "meta" ? 4 : type == "uuid" ? 16 : 0);
        if (content <= at + size && !Boxes(content, at + size, depth + 1)) return false;
      }
      at += size;
    }
    return true;
  }

  std::uint64_t end() const { return end_; }

 private:
  ByteSource& file_;
  const std::uint64_t end_;
  int boxes_ = 0;
};

}  // namespace

bool BmffShapeIsSound(ByteSource& file, std::uint64_t limit) {
  Walk walk(file, limit);
  return walk.Boxes(0, file.Size(), 0);
}

}  // namespace quillfen::metadata
