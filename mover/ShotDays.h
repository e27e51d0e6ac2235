#pragma once
// The day a shot was taken, for day folders by the date taken: the date its
// camera wrote into its picture's (or RAW file's) metadata; else its video's
// recording time (from the container, Sony's clip metadata or the video's
// THM thumbnail); else its earliest file time. A camera's clock counts as it
// stands; a moment (a container's UTC time, a file time on a disk that keeps
// moments) falls on its day in the user's time zone; a FAT or exFAT card's
// file times are the camera's clock.
#include "base/DayStamp.h"
#include "mover/MoveRequest.h"
#include "mover/Shots.h"
#include "platform/FileSystem.h"

namespace quillfen {

LocalDate DayTaken(const Shot& shot, const FileSystem& files, const DayOfTime& dayOf, const FileClock& clock);

}  // namespace quillfen
