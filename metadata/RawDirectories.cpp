#include "metadata/RawDirectories.h"

#include <cstring>
#include <ctime>
#include <string>

#include "metadata/ByteSourceSlice.h"
#include "metadata/ExifDateText.h"

namespace quillfen::metadata {

namespace {

// Directories hold a few dozen entries; more is a damaged or hostile file.
constexpr std::uint32_t kMostEntries = 256;
constexpr int kMostDepth = 4;

bool ReadBytes(ByteSource& file, std::uint64_t offset, void* buffer, std::size_t n) {
  return offset <= file.Size() && n <= file.Size() - offset && file.ReadAt(offset, buffer, n) == static_cast<long>(n);
}

std::uint32_t Le32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}
std::uint16_t Le16(const unsigned char* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

bool StartsWith(ByteSource& file, const char* magic, std::size_t n) {
  unsigned char head[16];
  return n <= sizeof head && ReadBytes(file, 0, head, n) && std::memcmp(head, magic, n) == 0;
}

// A CIFF heap from `start` to `end`: its directory's offset is in its last
// four bytes. Looks for the time stamp (0x180e) in it and its subdirectories.
std::optional<DateTaken> FindTimeStamp(ByteSource& file, std::uint64_t start, std::uint64_t end, int depth) {
  unsigned char bytes[12];
  if (depth > kMostDepth || end < start + 6 || !ReadBytes(file, end - 4, bytes, 4)) return std::nullopt;
  const std::uint64_t directory = start + Le32(bytes);
  if (directory + 2 > end || !ReadBytes(file, directory, bytes, 2)) return std::nullopt;
  const std::uint16_t count = Le16(bytes);
  if (count > kMostEntries) return std::nullopt;
  for (std::uint16_t i = 0; i < count; ++i) {
    if (!ReadBytes(file, directory + 2 + 10 * std::uint64_t{i}, bytes, 10)) return std::nullopt;
    const std::uint16_t tag = Le16(bytes);
    const std::uint64_t size = Le32(bytes + 2);
    const std::uint64_t offset = start + Le32(bytes + 6);
    const bool inRecord = tag & 0x4000;
    const std::uint16_t type = tag & 0x3800;
    if ((tag & 0x3fff) == 0x180e && !inRecord && size >= 4 && offset + 4 <= end) {
      if (!ReadBytes(file, offset, bytes, 4)) return std::nullopt;
      const std::time_t seconds = static_cast<std::time_t>(Le32(bytes));
      std::tm clock{};
      if (!::gmtime_r(&seconds, &clock)) return std::nullopt;
      char text[64];
      if (std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &clock) == 0) return std::nullopt;
      return ParseExifDate(text);
    }
    if ((type == 0x2800 || type == 0x3000) && !inRecord && offset + size <= end)
      if (std::optional<DateTaken> date = FindTimeStamp(file, offset, offset + size, depth + 1)) return date;
  }
  return std::nullopt;
}

}  // namespace

bool IsX3f(ByteSource& file) { return StartsWith(file, "FOVb", 4); }

bool IsCrw(ByteSource& file) { return StartsWith(file, "II\x1a\0\0\0HEAPCCDR", 14); }

std::optional<DateTaken> ReadX3fDate(ByteSource& file,
                                     const std::function<std::optional<DateTaken>(ByteSource&)>& readJpeg) {
  // The directory: "SECd", version, count, then (offset, length, type) each.
  unsigned char bytes[28];
  const std::uint64_t size = file.Size();
  if (size < 8 || !ReadBytes(file, size - 4, bytes, 4)) return std::nullopt;
  const std::uint64_t directory = Le32(bytes);
  if (!ReadBytes(file, directory, bytes, 12) || std::memcmp(bytes, "SECd", 4) != 0) return std::nullopt;
  const std::uint32_t count = Le32(bytes + 8);
  if (count > kMostEntries) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!ReadBytes(file, directory + 12 + 12 * std::uint64_t{i}, bytes, 12)) return std::nullopt;
    const std::uint64_t offset = Le32(bytes);
    const std::uint64_t length = Le32(bytes + 4);
    if (std::memcmp(bytes + 8, "IMA", 3) != 0) continue;
    // An image: "SECi", version, type, format (18: JPEG), columns, rows, row size, data.
    if (length < 28 || !ReadBytes(file, offset, bytes, 28) || std::memcmp(bytes, "SECi", 4) != 0 ||
        Le32(bytes + 12) != 18)
      continue;
    ByteSourceSlice jpeg(file, offset + 28, length - 28);
    if (std::optional<DateTaken> date = readJpeg(jpeg)) return date;
  }
  return std::nullopt;
}

std::optional<DateTaken> ReadCrwDate(ByteSource& file) {
  unsigned char bytes[4];
  if (!ReadBytes(file, 2, bytes, 4)) return std::nullopt;
  return FindTimeStamp(file, Le32(bytes), file.Size(), 0);
}

}  // namespace quillfen::metadata
