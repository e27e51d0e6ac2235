#pragma once
// The walk of a move: carries out a plan shot after shot into the target
// (and the backup), each folder's own shots before its subfolders, or in
// shooting order, and removes the source subfolders it has emptied. Several
// shots are handed to the file system at once where its work overlaps
// (across volumes); each one's progress is told to the mover in order, and
// the walk waits at the mover's pause gate after each.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "mover/MovePlan.h"
#include "platform/FileSystem.h"

namespace quillfen {

// Where a shot's move failed: with a backup, in which destination; else
// (or at the source) in the move itself.
enum class FailedIn { Move, Target, Backup };

// What the walk asks and tells the one who runs it.
class WalkEvents {
 public:
  virtual ~WalkEvents() = default;
  // The shot is taken in hand (its move done or failed, or in test mode
  // passed over).
  virtual void ShotStarting(const Shot& shot) = 0;
  // Whether the shot's files stay where they are (the test mode); asked before each shot.
  virtual bool LeaveInPlace() = 0;
  // A file of the shot could not be moved (no file of it has): true to try
  // the shot once more, false to give it up.
  virtual bool RetryMove(const std::string& source, const FsStatus& failure, FailedIn where,
                         const std::string& place) = 0;
  // A shot given up could not go back whole: where each of its files is now.
  virtual void ShotSplit(const Shot& shot, const std::vector<std::string>& whereNow) = 0;
  // The shot is done (moved or, in test mode, passed over); `walk` counts it.
  virtual void ShotDone(const WalkState& walk) = 0;
  // The pause gate after each shot: returns once the user is not pausing.
  virtual void PauseGate() = 0;
  // The user asked to stop; the walk ends at its next check.
  virtual bool CancelRequested() const = 0;
};

// The files one folder received, with their checksums, in the order moved.
using WrittenFiles = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

struct WalkResult {
  WalkState walk;
  // The user gave up a shot that could not be moved: the walk ended there,
  // as after a cancel.
  bool gaveUp = false;
  // Every folder the move wrote to (targets and backups), with what it wrote
  // there; the checksums when the plan asks for them.
  WrittenFiles written;
};

WalkResult WalkPlan(FileSystem& files, MovePlan& plan, WalkEvents& events);

}  // namespace quillfen
