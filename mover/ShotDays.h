#pragma once
// The day a shot was taken, for day folders by the date taken: the date its
// camera wrote into the metadata of its first picture or RAW file that has
// one (the camera's own clock, used as it stands), else the modification
// time of its first file in the user's time zone.
#include "base/DayStamp.h"
#include "mover/MoveRequest.h"
#include "mover/Shots.h"
#include "platform/FileSystem.h"

namespace quillfen {

LocalDate DayTaken(const Shot& shot, const FileSystem& files, const DayOfTime& dayOf);

}  // namespace quillfen
