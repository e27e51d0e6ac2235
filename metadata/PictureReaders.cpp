// The kinds of picture whose dates are read, each with its exiv2 reader.
//
// exiv2's own ImageFactory would also hand a file to its video readers
// (QuickTime, RIFF, Matroska, ASF) or to readers of formats no camera writes;
// those walk whole files, so only the kinds below are tried, in exiv2's own
// order (CR2 before TIFF, as a CR2 is also a TIFF). Canon's old CRW is left
// out: its directory is at the end of the file.
//
// BMFF pictures (HEIC, HEIF, AVIF, Canon CR3) are read only where exiv2 was
// built with EXV_ENABLE_BMFF, as Debian's 0.27.6 is; elsewhere they match no
// reader here and give no date, like any file of an unknown kind.
#include "metadata/PictureReaders.h"

#include <string_view>

#include <exiv2/bmffimage.hpp>
#include <exiv2/cr2image.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/mrwimage.hpp>
#include <exiv2/orfimage.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/rafimage.hpp>
#include <exiv2/rw2image.hpp>
#include <exiv2/tiffimage.hpp>
#include <exiv2/webpimage.hpp>

namespace quillfen::metadata {
namespace {

#ifdef EXV_ENABLE_BMFF
// exiv2 takes any file opening with an ftyp box for BMFF, MP4 and 3GP videos
// too; only the brands of still pictures are let through.
bool IsBmffPicture(Exiv2::BasicIo& io, bool advance) {
  if (!Exiv2::isBmffType(io, false)) return false;
  Exiv2::byte head[12];
  const bool read = io.read(head, sizeof head) == sizeof head;
  io.seek(0, Exiv2::BasicIo::beg);
  if (!read) return false;
  const std::string_view brand(reinterpret_cast<const char*>(head + 8), 4);
  constexpr std::string_view kPictureBrands[] = {"heic", "heix", "heim", "heis", "mif1",
                                                 "msf1", "avif", "avis", "crx "};
  for (const std::string_view picture : kPictureBrands) {
    if (brand == picture) return Exiv2::isBmffType(io, advance);
  }
  return false;
}
#endif

const PictureReader kJpeg{"JPEG", Exiv2::isJpegType, nullptr, Access::JpegSegments};

// TIFF covers every raw format exiv2 reads as TIFF: NEF, ARW, DNG, PEF, SRW, SR2...
const PictureReader kReaders[] = {
    kJpeg,
    {"CR2", Exiv2::isCr2Type, Exiv2::newCr2Instance, Access::Mapped},
    {"MRW", Exiv2::isMrwType, Exiv2::newMrwInstance, Access::Streamed},
    {"TIFF", Exiv2::isTiffType, Exiv2::newTiffInstance, Access::Mapped},
    {"WebP", Exiv2::isWebPType, Exiv2::newWebPInstance, Access::Streamed},
    {"RW2", Exiv2::isRw2Type, Exiv2::newRw2Instance, Access::Mapped},
    {"ORF", Exiv2::isOrfType, Exiv2::newOrfInstance, Access::Mapped},
    {"PNG", Exiv2::isPngType, Exiv2::newPngInstance, Access::Streamed},
    {"RAF", Exiv2::isRafType, nullptr, Access::JpegInside},
#ifdef EXV_ENABLE_BMFF
    // Answers only once enableBMFF(true) was called (see Exiv2Setup).
    {"BMFF", IsBmffPicture, Exiv2::newBmffInstance, Access::Streamed, Kind::Bmff},
#endif
};

}  // namespace

const PictureReader* FindPictureReader(Exiv2::BasicIo& io) {
  for (const PictureReader& reader : kReaders) {
    if (io.seek(0, Exiv2::BasicIo::beg) != 0) return nullptr;
    if (reader.isThisType(io, false)) return &reader;
    if (io.error()) return nullptr;
  }
  return nullptr;
}

}  // namespace quillfen::metadata
