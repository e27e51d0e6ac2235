#pragma once
// What a move is asked to do: the folders and options as they stood when the
// user started it, and the dates it names its day folders by.
#include <cstdint>
#include <functional>
#include <string>

#include "base/DayStamp.h"

namespace quillfen {

// The day a file time (seconds since 1970, UTC) falls on in the user's time zone.
using DayOfTime = std::function<LocalDate(std::int64_t seconds)>;

struct MoveRequest {
  std::string source;
  std::string target;
  bool dayFolder = false;        // into a folder of the day, inside the target
  bool byDateTaken = false;      // with day folders: each shot into the folder of the day it was taken
  bool everyCameraFile = false;  // RAW, video and sidecars too, each shot under one name
  bool autoRename = false;       // numbered names continuing the target's numbers
  std::string backup;            // a second destination, on another volume; empty: none
  bool checksums = false;        // each destination folder gets a list of the files' checksums
  bool ejectCard = false;        // a card the move leaves empty is ejected
  LocalDate today;
  DayOfTime dayOf;
};

}  // namespace quillfen
