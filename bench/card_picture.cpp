// Writes the dated pictures of the benchmarks' camera cards: a small real
// picture carrying an EXIF date (JPEG, or TIFF as raw files are built),
// padded after its end to a camera's file size, so that readers of the date
// see a real picture and the card's reader sees bytes that do not compress.
//
//   card_picture jpeg|tiff "YYYY:MM:DD HH:MM:SS" BYTES PATH
//       one picture
//   card_picture card jpeg|shots COUNT JPEG-BYTES RAW-BYTES FOLDER [sparse]
//       a whole card in one process: FOLDER/DCIM/100TEST/IMG_0001.JPG ...,
//       1,000 shots a folder (101TEST, ...), each shot a JPEG and with
//       "shots" also a raw file (IMG_0001.CR2) of the same date; names
//       unique on the card, numbered from 1 with at least four digits. The
//       dates fall on three days, 10 to 12 June 2024, a third of the shots
//       each, a few minutes apart. "sparse" pads with a hole instead of
//       random bytes: files of a camera's size that cost no space, for cards
//       that are only planned, never read through.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/ExifPictures.h"

using namespace quillfen;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: card_picture jpeg|tiff \"YYYY:MM:DD HH:MM:SS\" BYTES PATH\n"
               "       card_picture card jpeg|shots COUNT JPEG-BYTES RAW-BYTES FOLDER [sparse]\n");
  return 2;
}

bool Number(const char* text, unsigned long long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(text, &end, 10);
  return end != text && *end == '\0' && errno == 0 && text[0] != '-';
}

// The picture's bytes, then up to `bytes` in all: random ones, or a hole.
bool WritePicture(const std::string& head, unsigned long long bytes, bool sparse, std::mt19937_64& random,
                  const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    return false;
  }
  bool written = std::fwrite(head.data(), 1, head.size(), out) == head.size();
  unsigned long long left = bytes > head.size() ? bytes - head.size() : 0;
  if (sparse) {
    written = written && std::fflush(out) == 0 && ::ftruncate(::fileno(out), static_cast<off_t>(bytes)) == 0;
    left = 0;
  }
  std::vector<std::uint64_t> block(left > 0 ? 1 << 17 : 0);
  while (written && left > 0) {
    for (std::uint64_t& word : block) word = random();
    const std::size_t size = left < block.size() * 8 ? static_cast<std::size_t>(left) : block.size() * 8;
    written = std::fwrite(block.data(), 1, size, out) == size;
    left -= size;
  }
  if (std::fclose(out) != 0 || !written) {
    std::perror(path.c_str());
    return false;
  }
  return true;
}

// Shot `i` (from 1) of `count`: three days, a third of the card each.
DateTaken ShotDate(unsigned long long i, unsigned long long count) {
  return DateTaken{2024,
                   6,
                   static_cast<int>(10 + (i - 1) * 3 / count),
                   static_cast<int>(9 + i / 60 % 10),
                   static_cast<int>(i % 60),
                   static_cast<int>(i * 7 % 60)};
}

int WriteCard(int argc, char** argv) {
  if (argc != 7 && argc != 8) return Usage();
  const bool shots = std::strcmp(argv[2], "shots") == 0;
  if (!shots && std::strcmp(argv[2], "jpeg") != 0) return Usage();
  unsigned long long count = 0, jpegBytes = 0, rawBytes = 0;
  if (!Number(argv[3], count) || count == 0 || !Number(argv[4], jpegBytes) || !Number(argv[5], rawBytes)) {
    return Usage();
  }
  const std::string folder = argv[6];
  bool sparse = false;
  if (argc == 8) {
    if (std::strcmp(argv[7], "sparse") != 0) return Usage();
    sparse = true;
  }
  constexpr unsigned long long kShotsAFolder = 1000;
  const int digits = std::max<int>(4, static_cast<int>(std::to_string(count).size()));
  const testing::ExifPictures jpegs(testing::PictureKind::Jpeg);
  const testing::ExifPictures raws(testing::PictureKind::Tiff);
  std::mt19937_64 random{std::random_device{}()};
  std::string subfolder;
  for (unsigned long long i = 1; i <= count; ++i) {
    if ((i - 1) % kShotsAFolder == 0) {
      subfolder = folder + "/DCIM/" + std::to_string(100 + (i - 1) / kShotsAFolder) + "TEST";
      std::error_code failed;
      std::filesystem::create_directories(subfolder, failed);
      if (failed) {
        std::fprintf(stderr, "%s: %s\n", subfolder.c_str(), failed.message().c_str());
        return 1;
      }
    }
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%0*llu", digits, i);
    const DateTaken taken = ShotDate(i, count);
    if (!WritePicture(jpegs.Bytes(taken), jpegBytes, sparse, random, subfolder + name + ".JPG")) return 1;
    if (shots && !WritePicture(raws.Bytes(taken), rawBytes, sparse, random, subfolder + name + ".CR2")) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "card") == 0) return WriteCard(argc, argv);
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
  unsigned long long bytes = 0;
  if (!Number(argv[3], bytes)) return Usage();
  std::mt19937_64 random{std::random_device{}()};
  return WritePicture(testing::ExifPictures(kind).Bytes(date), bytes, false, random, argv[4]) ? 0 : 1;
}
