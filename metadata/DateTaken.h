#pragma once
// When a picture was taken, as its camera wrote it into the picture's EXIF
// metadata; used to name day folders after the day of the picture.
#include <optional>

#include "metadata/ByteSource.h"

namespace quillfen {

// The camera's local time as it stands: no time zone, none converted.
struct DateTaken {
  int year, month, day, hour, minute, second;
  bool operator==(const DateTaken&) const = default;
};

// The first usable one of DateTimeOriginal, DateTimeDigitized and DateTime,
// read from the metadata at the start of the file only (never more than
// about 1 MiB of it). Nothing when the file is no picture of a kind read
// here, is damaged, or carries no plausible date: the caller then uses the
// file's own time. Never throws; safe to call from several threads at once.
std::optional<DateTaken> ReadDateTaken(ByteSource& file);

}  // namespace quillfen
