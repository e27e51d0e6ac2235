#pragma once
// Dates of the RAW kinds whose metadata exiv2 does not read from a file's
// start: Sigma's X3F (its preview JPEG, and its EXIF, found through the
// directory at the end of the file) and Canon's old CRW (the time stamp in
// its CIFF heap, whose directory also lies at the end).
#include <functional>
#include <optional>

#include "metadata/ByteSource.h"
#include "metadata/DateTaken.h"

namespace quillfen::metadata {

bool IsX3f(ByteSource& file);
bool IsCrw(ByteSource& file);
// The date in an X3F's preview; nothing when there is none or the file is damaged.
std::optional<DateTaken> ReadX3fDate(ByteSource& file, const std::function<std::optional<DateTaken>(ByteSource&)>& readJpeg);
// The time stamp of a CRW, the camera's clock; nothing when there is none.
std::optional<DateTaken> ReadCrwDate(ByteSource& file);

}  // namespace quillfen::metadata
