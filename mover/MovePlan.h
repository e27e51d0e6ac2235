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
  std::vector<std::string> names;  // the names of its shots, sorted ignoring case once checked
  std::int32_t shotCount = 0;
  std::int32_t highestNumber = 0;  // the highest number in use, from the numbering survey
  std::int32_t counter = 0;        // the number the move gave last
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
  // The scanned folder's tree, then those of the camera's video folders, in
  // the order of the walk.
  std::vector<ScannedFolder> trees;
  std::vector<Destination> destinations;
  double totalSize = 0;  // bytes of every file of every shot
  std::int32_t shotCount = 0;
  std::int32_t otherCameraFiles = 0;  // left on the card: not taken without every camera file
};

// The running values of the walk, shared by every level of it.
struct WalkState {
  std::int32_t moved = 0;  // shots
  double movedSize = 0;
  double totalSize = 0;    // of every shot planned
};

}  // namespace quillfen
