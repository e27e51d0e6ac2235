// Prints how fast the dates of a card's worth of pictures are read, and how
// many bytes of each kind of picture the reading takes.
//
//   date_taken_bench [pictures]   (default 30000; files go to a temporary folder)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/ExifPictures.h"
#include "support/FileByteSource.h"
#include "support/MemoryByteSource.h"
#include "support/TempDir.h"
#include "metadata/DateTaken.h"

using namespace quillfen;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Reads every file's date; returns how many had one.
int ReadAll(const std::vector<std::string>& paths, std::uint64_t& bytes) {
  int dated = 0;
  bytes = 0;
  for (const std::string& path : paths) {
    testing::FileByteSource file(path);
    if (ReadDateTaken(file)) ++dated;
    bytes += file.bytesRead;
  }
  return dated;
}

void BytesRead(const char* what, testing::PictureKind kind, std::size_t imageBytes) {
  testing::MemoryByteSource file(
      testing::MakePicture(kind, {"2021:03:04 05:06:07", "2021:03:04 05:06:07", ""}, imageBytes));
  const bool dated = ReadDateTaken(file).has_value();
  std::printf("  %-28s %9llu bytes: %7llu read in %d reads%s\n", what,
              static_cast<unsigned long long>(file.Size()),
              static_cast<unsigned long long>(file.bytesHandedOut), file.reads,
              dated ? "" : "  (NO DATE)");
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 30000;
  testing::TempDir dir;
  const testing::ExifPictures jpegs;
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(count));

  auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    paths.push_back(dir.Path("DSC" + std::to_string(100000 + i) + ".JPG"));
    jpegs.Write(paths.back(), DateTaken{2024, 6, 10 + i % 3, 12, i % 60, (i / 60) % 60});
  }
  std::printf("wrote %d small JPEGs (%zu bytes each) in %.2f s\n", count, jpegs.Bytes(DateTaken{}).size(),
              Seconds(start));

  std::uint64_t bytes = 0;
  ReadAll(paths, bytes);  // into the page cache
  start = Clock::now();
  const int dated = ReadAll(paths, bytes);
  const double total = Seconds(start);
  std::printf("ReadDateTaken, files in the page cache: %d of %d dated, %.3f s in all, %.2f us per picture, "
              "%.0f bytes read per picture\n",
              dated, count, total, total * 1e6 / count, static_cast<double>(bytes) / count);

  // The same without the file system: exiv2's share of the time.
  const std::string bytesInMemory = jpegs.Bytes(DateTaken{2024, 6, 10, 12, 0, 0});
  start = Clock::now();
  for (int i = 0; i < count; ++i) {
    testing::MemoryByteSource file(bytesInMemory);
    if (!ReadDateTaken(file)) std::printf("no date!\n");
  }
  const double inMemory = Seconds(start);
  std::printf("ReadDateTaken, picture in memory: %.2f us per picture\n", inMemory * 1e6 / count);

  // A camera's EXIF is larger: a maker note of hundreds of entries, a thumbnail.
  const std::string canon = testing::MakeCanonLikeJpeg({"2024:06:10 12:00:00", "", ""});
  start = Clock::now();
  for (int i = 0; i < count; ++i) {
    testing::MemoryByteSource file(canon);
    if (!ReadDateTaken(file)) std::printf("no date!\n");
  }
  std::printf("ReadDateTaken, Canon-like JPEG (%zu bytes of EXIF) in memory: %.2f us per picture\n",
              canon.size(), Seconds(start) * 1e6 / count);

  std::printf("bytes read per picture:\n");
  constexpr std::size_t kSixMiB = 6 * 1024 * 1024;
  BytesRead("small JPEG", testing::PictureKind::Jpeg, 0);
  BytesRead("6 MiB JPEG", testing::PictureKind::Jpeg, kSixMiB);
  BytesRead("small TIFF", testing::PictureKind::Tiff, 0);
  BytesRead("6 MiB TIFF (as a raw file)", testing::PictureKind::Tiff, kSixMiB);
  BytesRead("6 MiB HEIC", testing::PictureKind::Heic, kSixMiB);
  BytesRead("6 MiB RAF", testing::PictureKind::Raf, kSixMiB);
  BytesRead("PNG", testing::PictureKind::Png, 0);
  BytesRead("WebP", testing::PictureKind::WebP, 0);
  return 0;
}
