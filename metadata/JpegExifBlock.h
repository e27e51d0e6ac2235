#pragma once
// Finds the EXIF of a JPEG without reading the rest of its header: the one
// thing exiv2's JPEG reader would also decode in full is XMP, colour profiles
// and IPTC, which take it far longer than the EXIF and hold no EXIF date.
#include <optional>
#include <vector>

#include <exiv2/basicio.hpp>

namespace quillfen::metadata {

// The TIFF structure inside the JPEG's first Exif APP1 segment (after its
// "Exif\0\0"), or nothing when the segments before the image data hold none
// or are broken.
std::optional<std::vector<Exiv2::byte>> ReadJpegExifBlock(Exiv2::BasicIo& io);

}  // namespace quillfen::metadata
