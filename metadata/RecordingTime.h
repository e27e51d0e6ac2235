#pragma once
// When a video was recorded, as its container or the camera's files beside
// it say: the recording's time as the camera's clock showed it, or as a
// moment (UTC) that the user's time zone turns into a day.
#include <optional>

#include "metadata/ByteSource.h"
#include "metadata/DateTaken.h"

namespace quillfen {

struct RecordedAt {
  DateTaken time;
  bool utc = false;  // a moment in UTC; else the camera's own clock
};

// The recording time of a video file (MP4, MOV and kin, AVCHD's streams, AVI,
// MXF, ...), read through MediaInfoLib from at most a few megabytes of it.
// MP4 and MOV keep UTC, as their format says, except where the camera is
// known to write its own clock there (GoPro). Nothing for a file that is no
// video or carries no plausible time. Never throws.
std::optional<RecordedAt> ReadRecordingTime(ByteSource& file);

// The creation time in a Sony clip's metadata file (C0001M01.XML), which
// carries the camera's clock and its offset: the camera's clock.
std::optional<DateTaken> ReadClipMetadataTime(ByteSource& file);

}  // namespace quillfen
