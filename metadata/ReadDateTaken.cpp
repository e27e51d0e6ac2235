// Reads when a picture was taken from its EXIF metadata, through exiv2.
//
// Why exiv2: besides JPEG it reads the TIFF-based raw formats of nearly every
// camera (NEF, ARW, CR2, DNG, ORF, RW2, PEF...) and, in Debian's build, the
// BMFF ones (HEIC, AVIF, Canon CR3), with years of fuzzing behind its
// parsers. libexif reads JPEG only, and a parser of our own would have to
// learn every raw dialect and every trap of hostile files anew.
//
// What is read is bounded: readers that go a piece at a time never get past
// the first kReadLimit bytes, and readers that map the file (TIFF and kin)
// see a prefix of it as if it were the whole file; exiv2 skips whatever
// offsets point beyond it.
//
// What is decoded is trimmed for speed: exiv2 decodes every entry it finds,
// at about a microsecond each, and a camera's maker note alone can hold
// hundreds. So a JPEG's Exif segment is handed to exiv2's EXIF parser alone
// (not its XMP, colour profile or IPTC), and maker notes are hidden from it.
#include "metadata/DateTaken.h"

#include <array>
#include <memory>

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>
#include <exiv2/types.hpp>

#include "metadata/BmffShape.h"
#include "metadata/ByteSourceIo.h"
#include "metadata/ByteSourceSlice.h"
#include "metadata/ExifDateText.h"
#include "metadata/Exiv2Setup.h"
#include "metadata/JpegExifBlock.h"
#include "metadata/MakerNoteMask.h"
#include "metadata/PictureReaders.h"
#include "metadata/RawDirectories.h"

namespace quillfen {
namespace {

using metadata::Access;
using metadata::ByteSourceIo;
using metadata::PictureReader;

// Metadata lives in the first kilobytes of a picture; a megabyte leaves room
// for large maker notes and colour profiles before it.
constexpr std::uint64_t kReadLimit = 1024 * 1024;
// A mapped file is read whole up to its prefix, so the first try is short;
// only a file whose DateTimeOriginal is not in it is read again, longer.
constexpr std::array<std::uint64_t, 2> kMappedPrefixes = {64 * 1024, kReadLimit};

struct Found {
  std::optional<DateTaken> date;
  bool fromOriginal = false;  // DateTimeOriginal itself, the best there is
};

Found ChooseDate(const Exiv2::ExifData& exif) {
  static const std::array<Exiv2::ExifKey, 3> kTrusted = {
      Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"),
      Exiv2::ExifKey("Exif.Photo.DateTimeDigitized"),
      Exiv2::ExifKey("Exif.Image.DateTime"),
  };
  for (std::size_t i = 0; i < kTrusted.size(); ++i) {
    const auto tag = exif.findKey(kTrusted[i]);
    if (tag == exif.end()) continue;
    if (auto date = ParseExifDate(tag->toString())) return {date, i == 0};
  }
  return {};
}

// Reads with the given reader; what it decoded before it failed (at the read
// limit, or at a part of the file it cannot read, as in Canon's CR3) is
// kept: the dates are checked one by one, and a date read before the
// failure is the file's own.
Found ReadWith(const PictureReader& reader, std::unique_ptr<ByteSourceIo> io) {
  Exiv2::Image::AutoPtr image = reader.newImage(Exiv2::BasicIo::AutoPtr(io.release()), false);
  if (image.get() == nullptr) return {};
  try {
    image->readMetadata();
  } catch (const Exiv2::AnyError&) {
  }
  return ChooseDate(image->exifData());
}

Found ReadJpeg(ByteSourceIo& io) {
  auto block = metadata::ReadJpegExifBlock(io);
  if (!block || block->empty()) return {};
  metadata::HideMakerNote(*block);
  Exiv2::ExifData exif;
  if (Exiv2::ExifParser::decode(exif, block->data(), static_cast<std::uint32_t>(block->size())) ==
      Exiv2::invalidByteOrder) {
    return {};
  }
  return ChooseDate(exif);
}

std::optional<DateTaken> ReadMapped(const PictureReader& reader, ByteSource& file,
                                    std::unique_ptr<ByteSourceIo> io) {
  Found found;
  for (const std::uint64_t prefix : kMappedPrefixes) {
    if (!io) io = std::make_unique<ByteSourceIo>(file, prefix);
    io->ShowOnlyPrefix(prefix);
    io->FilterMapWith(metadata::HideMakerNote);
    const bool wholeFile = io->SeesWholeFile();
    found = ReadWith(reader, std::move(io));
    if (found.fromOriginal || wholeFile) break;
  }
  return found.date;
}

std::optional<DateTaken> ReadJpegInside(ByteSource& file, ByteSourceIo& io) {
  // RAF header: the embedded JPEG's offset and length, big-endian, at 84.
  Exiv2::byte where[8];
  if (io.seek(84, Exiv2::BasicIo::beg) != 0 || io.read(where, 8) != 8) return std::nullopt;
  const std::uint64_t start = Exiv2::getULong(where, Exiv2::bigEndian);
  const std::uint64_t length = Exiv2::getULong(where + 4, Exiv2::bigEndian);
  // Cameras put it right after the header; one further in is not read.
  if (start >= kReadLimit || start >= file.Size() || length > file.Size() - start) return std::nullopt;
  metadata::ByteSourceSlice jpeg(file, start, length);
  ByteSourceIo jpegIo(jpeg, kReadLimit - start);
  return ReadJpeg(jpegIo).date;
}

}  // namespace

std::optional<DateTaken> ReadDateTaken(ByteSource& file) {
  try {
    metadata::PrepareExiv2();
    auto io = std::make_unique<ByteSourceIo>(file, kReadLimit);
    const PictureReader* reader = metadata::FindPictureReader(*io);
    // Raw kinds whose directories lie at the end, where exiv2 does not read.
    if (reader == nullptr && metadata::IsX3f(file))
      return metadata::ReadX3fDate(file, [](ByteSource& jpeg) {
        ByteSourceIo jpegIo(jpeg, kReadLimit);
        jpegIo.open();
        return ReadJpeg(jpegIo).date;
      });
    if (reader == nullptr && metadata::IsCrw(file)) return metadata::ReadCrwDate(file);
    if (reader == nullptr) return std::nullopt;
    if (reader->kind == metadata::Kind::Bmff && !metadata::BmffShapeIsSound(file, kReadLimit)) return std::nullopt;
    io->open();
    switch (reader->access) {
      case Access::JpegSegments: return ReadJpeg(*io).date;
      case Access::Streamed: return ReadWith(*reader, std::move(io)).date;
      case Access::Mapped: return ReadMapped(*reader, file, std::move(io));
      case Access::JpegInside: return ReadJpegInside(file, *io);
    }
  } catch (...) {
    // exiv2 throws more than its own errors (bad_alloc, out_of_range...);
    // none of them may cost the user the move.
  }
  return std::nullopt;
}

}  // namespace quillfen
