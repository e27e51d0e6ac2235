#pragma once
// What the checks before a move hand to the move itself.
#include <cstdint>
#include <string>
#include <vector>

#include "mover/SourceScan.h"

namespace quillfen {

// A folder the move puts shots into: the target, or one of its day folders.
struct Destination {
  std::string folder;
  std::string backupFolder;  // the same folder in the backup; empty: no backup
  std::vector<std::string> names;  // the names of its shots, sorted ignoring case once checked
  std::int32_t shotCount = 0;
  std::int32_t highestNumber = 0;  // the highest number in use, from the numbering survey
  std::int32_t counter = 0;        // the number the move gave last
};

// One shot of the plan: the folder it lies in and its place there.
struct ShotPlace {
  std::size_t folder = 0;
  std::size_t shot = 0;
};

struct MovePlan {
  std::string source;        // the source as set when the operation began
  std::string sourceFolder;  // the "DCIM" folder of the source, or the source itself
  // The target, or its day folder; with day folders by the date taken, the
  // target that holds them.
  std::string targetFolder;
  bool byDateTaken = false;
  bool everyCameraFile = false;
  bool autoRename = false;
  std::string backup;     // the second destination's folder; empty: none
  bool checksums = false; // each file's checksum is kept, for the lists
  bool ejectCard = false;  // a card the move leaves empty is ejected at the end
  // Every folder the move takes from, depth-first: the scanned folder's
  // tree, then those of the camera's video folders.
  std::vector<ScannedFolder> folders;
  // The order of the walk, and of the numbers: folder by folder as the
  // folders were scanned, or with every camera file the order in which the
  // camera wrote the shots.
  std::vector<ShotPlace> order;
  bool inShootingOrder = false;
  std::vector<Destination> destinations;
  double totalSize = 0;  // bytes of every file of every shot
  std::int32_t shotCount = 0;
  std::int32_t fileCount = 0;
  LeftOnCard left;       // what the move leaves in the folders it scanned
  // Pictures alone would leave the other camera files of their shots
  // behind: how many files, of how many shots.
  std::int32_t splitFiles = 0;
  std::int32_t splitShots = 0;

  const Shot& ShotAt(const ShotPlace& place) const { return folders[place.folder].shots[place.shot]; }
};

// The running values of the walk, shared by every part of it.
struct WalkState {
  std::int32_t moved = 0;  // shots
  std::int32_t movedFiles = 0;
  double movedSize = 0;
  double totalSize = 0;    // of every shot planned
};

}  // namespace quillfen
