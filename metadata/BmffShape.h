#pragma once
// Whether an ISO base media file (HEIC, AVIF, CR3) has the shape of a
// picture before its metadata is read: boxes nested no deeper, and no more
// of them, than a camera writes. exiv2 walks every box it is given, and a
// crafted file of a megabyte of nested boxes would hold it for seconds.
#include <cstdint>

#include "metadata/ByteSource.h"

namespace quillfen::metadata {

// Walks the boxes within the first `limit` bytes; false when they nest
// deeper than kMostBoxDepth or number more than kMostBoxes.
inline constexpr int kMostBoxDepth = 12;
inline constexpr int kMostBoxes = 2048;
bool BmffShapeIsSound(ByteSource& file, std::uint64_t limit);

}  // namespace quillfen::metadata
