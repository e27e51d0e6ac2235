#pragma once
// Puts exiv2 in the state this program needs before any picture is read.
namespace quillfen::metadata {

// Once per process, from any thread: exiv2 stays silent, its XMP toolkit is
// made safe for several threads, and BMFF pictures (HEIC, AVIF, CR3) are read
// where this exiv2 was built to read them.
void PrepareExiv2();

// Whether this exiv2 reads BMFF pictures.
bool Exiv2ReadsBmff();

}  // namespace quillfen::metadata
