// Writes one picture of a camera card for scripts/bench-card: a small real
// picture carrying the given EXIF date (JPEG, or TIFF as raw files are
// built), padded after its end with random bytes to a camera's file size, so
// that readers of the date see a real picture and the card's reader sees
// bytes that do not compress.
//
//   card_picture jpeg|tiff "YYYY:MM:DD HH:MM:SS" BYTES PATH
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/ExifPictures.h"

using namespace quillfen;

namespace {

int Usage() {
  std::fprintf(stderr, "usage: card_picture jpeg|tiff \"YYYY:MM:DD HH:MM:SS\" BYTES PATH\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return Usage();
  testing::PictureKind kind;
  if (std::strcmp(argv[1], "jpeg") == 0) {
    kind = testing::PictureKind::Jpeg;
  } else if (std::strcmp(argv[1], "tiff") == 0) {
    kind = testing::PictureKind::Tiff;
  } else {
    return Usage();
  }
  DateTaken date{};
  if (std::sscanf(argv[2], "%d:%d:%d %d:%d:%d", &date.year, &date.month, &date.day, &date.hour,
                  &date.minute, &date.second) != 6) {
    return Usage();
  }
  char* end = nullptr;
  const unsigned long long bytes = std::strtoull(argv[3], &end, 10);
  if (end == argv[3] || *end != '\0') return Usage();

  const std::string head = testing::ExifPictures(kind).Bytes(date);
  std::FILE* out = std::fopen(argv[4], "wb");
  if (out == nullptr) {
    std::perror(argv[4]);
    return 1;
  }
  bool written = std::fwrite(head.data(), 1, head.size(), out) == head.size();
  std::mt19937_64 random{std::random_device{}()};
  std::vector<std::uint64_t> block(1 << 17);
  for (unsigned long long left = bytes > head.size() ? bytes - head.size() : 0; written && left > 0;) {
    for (std::uint64_t& word : block) word = random();
    const std::size_t size = left < block.size() * 8 ? static_cast<std::size_t>(left) : block.size() * 8;
    written = std::fwrite(block.data(), 1, size, out) == size;
    left -= size;
  }
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[4]);
    return 1;
  }
  return 0;
}
