#pragma once
// Keeps exiv2 from decoding a camera's maker note, which holds no date but
// can hold hundreds of entries that cost exiv2 about a microsecond each.
#include <span>

#include <exiv2/types.hpp>

namespace quillfen::metadata {

// Given the TIFF structure of an EXIF block (from its "II"/"MM" header on),
// renumbers the Exif directory's MakerNote entry to a tag exiv2 keeps as
// plain bytes. Anything unexpected (bad offsets, no Exif directory) leaves
// the block as it is: exiv2 then reads it whole, as it would anyway.
void HideMakerNote(std::span<Exiv2::byte> tiff);

}  // namespace quillfen::metadata
