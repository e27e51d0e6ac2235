#pragma once
// Moving several shots across volumes at once, each file to its target and,
// where named, its backup, with the work of the shots overlapping: each
// picture is read from the card once for all its copies, with a checksum of
// what was read; the copies are written under hidden names, flushed and read
// back from the disk by a few threads while the next picture is read; then
// every copy takes its name without replacing anything, each destination
// folder is flushed once, and only then do the batch's pictures leave the
// card.
//
// A shot whose copy fails or reads back wrong in either place stays on the
// card whole, and nothing of it is left under a picture's name in either
// place; its outcome says where it failed and why. The other shots go on.
// A power cut at any moment leaves every picture on the card, or complete
// and durable in both places (the batch's pictures may be in all three).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "posix/Workers.h"

namespace quillfen::posix {

// What the file system does around the batch's reading of the card.
struct CardReading {
  // Called before a source is opened: whatever reads ahead lets go of it.
  std::function<void(const std::string& source)> starting;
  // Called once the batch has read everything it will read from the card,
  // while its copies are still flushed and checked, with the bytes it read.
  std::function<void(std::uint64_t bytes)> finished;
};

// Moves the shots; every file's target (and backup) is on another volume
// than its source. One outcome per shot, in order (FileSystem::MoveShots).
// The copies are flushed and read back by `workers`, which are idle again
// when this returns.
std::vector<ShotOutcome> MoveShotsAcross(const std::vector<std::vector<FileMove>>& shots, bool checksums,
                                         const CardReading& reading, Workers& workers);

}  // namespace quillfen::posix
