// Finds the EXIF of a JPEG by walking its segments up to the image data.
#include "metadata/JpegExifBlock.h"

#include <cstring>

namespace quillfen::metadata {
namespace {

constexpr int kStartOfImage = 0xd8;
constexpr int kEndOfImage = 0xd9;
constexpr int kStartOfScan = 0xda;
constexpr int kApp1 = 0xe1;
// A damaged file could chain tiny segments; no camera writes this many.
constexpr int kMostSegments = 4096;

bool HasNoLength(int marker) {
  return marker == 0x01 || (marker >= 0xd0 && marker <= kStartOfImage);  // TEM, RSTn, SOI
}

// The next marker, skipping stray bytes and fill as exiv2 does; -1 at the end.
int NextMarker(Exiv2::BasicIo& io) {
  int c = io.getb();
  while (c != EOF && c != 0xff) c = io.getb();
  while (c == 0xff) c = io.getb();
  return c;
}

}  // namespace

std::optional<std::vector<Exiv2::byte>> ReadJpegExifBlock(Exiv2::BasicIo& io) {
  Exiv2::byte start[2];
  if (io.seek(0, Exiv2::BasicIo::beg) != 0 || io.read(start, 2) != 2) return std::nullopt;
  if (start[0] != 0xff || start[1] != kStartOfImage) return std::nullopt;

  for (int segment = 0; segment < kMostSegments; ++segment) {
    const int marker = NextMarker(io);
    if (marker == EOF || marker == kStartOfScan || marker == kEndOfImage) return std::nullopt;
    if (HasNoLength(marker)) continue;
    Exiv2::byte lengthBytes[2];
    if (io.read(lengthBytes, 2) != 2) return std::nullopt;
    const long length = (lengthBytes[0] << 8 | lengthBytes[1]) - 2;
    if (length < 0) return std::nullopt;
    if (marker == kApp1 && length > 6) {
      Exiv2::byte id[6];
      if (io.read(id, 6) != 6) return std::nullopt;
      if (std::memcmp(id, "Exif\0\0", 6) == 0) {
        std::vector<Exiv2::byte> block(static_cast<std::size_t>(length - 6));
        if (io.read(block.data(), static_cast<long>(block.size())) != static_cast<long>(block.size())) {
          return std::nullopt;
        }
        return block;
      }
      if (io.seek(length - 6, Exiv2::BasicIo::cur) != 0) return std::nullopt;
    } else if (io.seek(length, Exiv2::BasicIo::cur) != 0) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace quillfen::metadata
