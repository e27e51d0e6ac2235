#pragma once
// The kinds of picture whose dates are read, each with the exiv2 reader for
// it and the way that reader takes in a file.
#include <exiv2/basicio.hpp>
#include <exiv2/image.hpp>

namespace quillfen::metadata {

enum class Access {
  // JPEG: its segments are walked here up to the Exif one, which alone
  // goes to exiv2's EXIF parser.
  JpegSegments,
  // The reader asks for what it needs, a header or segment at a time.
  Streamed,
  // The reader maps the file and follows offsets in memory (TIFF and the
  // raw formats built on it): it is shown a prefix of the file only.
  Mapped,
  // Fujifilm RAF: its metadata is a JPEG inside it, read as a JPEG.
  JpegInside,
};

// The families of formats a reader may need to look at first.
enum class Kind { Other, Bmff };

struct PictureReader {
  const char* name;
  bool (*isThisType)(Exiv2::BasicIo& io, bool advance);
  Exiv2::Image::AutoPtr (*newImage)(Exiv2::BasicIo::AutoPtr io, bool create);
  Access access;
  Kind kind = Kind::Other;
};

// The reader for the file's kind, or null for a kind not read here: video,
// or a picture format that cameras do not write or that carries its
// metadata only at the end of the file. Leaves the file position anywhere.
const PictureReader* FindPictureReader(Exiv2::BasicIo& io);

}  // namespace quillfen::metadata
