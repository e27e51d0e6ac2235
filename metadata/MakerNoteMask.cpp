// Keeps exiv2 from decoding a camera's maker note (see MakerNoteMask.h).
// Only reads within the block and only ever writes one tag number.
#include "metadata/MakerNoteMask.h"

#include <cstdint>

namespace quillfen::metadata {
namespace {

constexpr std::uint16_t kExifDirectoryTag = 0x8769;
constexpr std::uint16_t kMakerNoteTag = 0x927c;
// A private tag number nothing assigns; exiv2 keeps its value as bytes.
constexpr std::uint16_t kHiddenTag = 0xfe7c;
constexpr std::size_t kEntrySize = 12;

class TiffView {
 public:
  explicit TiffView(std::span<Exiv2::byte> bytes) : bytes_(bytes) {}
  bool BigEndian() const { return bytes_[0] == 'M'; }
  bool Has(std::size_t at, std::size_t n) const { return at <= bytes_.size() && n <= bytes_.size() - at; }
  std::uint16_t U16(std::size_t at) const {
    return BigEndian() ? static_cast<std::uint16_t>(bytes_[at] << 8 | bytes_[at + 1])
                       : static_cast<std::uint16_t>(bytes_[at + 1] << 8 | bytes_[at]);
  }
  std::uint32_t U32(std::size_t at) const {
    const std::uint32_t a = U16(at), b = U16(at + 2);
    return BigEndian() ? (a << 16 | b) : (b << 16 | a);
  }
  void PutU16(std::size_t at, std::uint16_t value) {
    bytes_[at + (BigEndian() ? 1 : 0)] = static_cast<Exiv2::byte>(value & 0xff);
    bytes_[at + (BigEndian() ? 0 : 1)] = static_cast<Exiv2::byte>(value >> 8);
  }
  // The offset of the entry with the tag in the directory at `dir`, or 0.
  std::size_t FindEntry(std::size_t dir, std::uint16_t tag) const {
    if (!Has(dir, 2)) return 0;
    const std::size_t count = U16(dir);
    if (!Has(dir + 2, count * kEntrySize)) return 0;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = dir + 2 + i * kEntrySize;
      if (U16(entry) == tag) return entry;
    }
    return 0;
  }

 private:
  std::span<Exiv2::byte> bytes_;
};

}  // namespace

void HideMakerNote(std::span<Exiv2::byte> tiff) {
  if (tiff.size() < 8 || tiff[0] != tiff[1] || (tiff[0] != 'I' && tiff[0] != 'M')) return;
  TiffView view(tiff);
  const std::size_t exifPointer = view.FindEntry(view.U32(4), kExifDirectoryTag);
  if (exifPointer == 0) return;
  const std::size_t makerNote = view.FindEntry(view.U32(exifPointer + 8), kMakerNoteTag);
  if (makerNote == 0) return;
  view.PutU16(makerNote, kHiddenTag);
}

}  // namespace quillfen::metadata
