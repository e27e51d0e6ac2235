#pragma once
// The walk of a move: carries out a plan, one shot after the other into its
// target folder, each folder's own shots before its subfolders, depth-first,
// and removes the source subfolders it has emptied. It tells each shot's
// progress to the mover and waits at the mover's pause gate after each one.
#include <cstdint>
#include <string>
#include <vector>

#include "mover/MovePlan.h"
#include "platform/FileSystem.h"

namespace quillfen {

// What the walk asks and tells the one who runs it.
class WalkEvents {
 public:
  virtual ~WalkEvents() = default;
  // The shot is taken in hand (before its files move, also in test mode).
  virtual void ShotStarting(const Shot& shot) = 0;
  // Whether the shot's files stay where they are (the test mode); asked for each shot.
  virtual bool LeaveInPlace() = 0;
  // A file could not be moved: true to try once more, false to give up the shot.
  virtual bool RetryMove(const std::string& source, const FsStatus& failure) = 0;
  // A file of a shot given up could not go back to the card from where it
  // went: true to try once more, false to leave it there.
  virtual bool RetryMoveBack(const std::string& movedTo, const FsStatus& failure) = 0;
  // A shot given up could not go back whole: where each of its files is now.
  virtual void ShotSplit(const Shot& shot, const std::vector<std::string>& whereNow) = 0;
  // The shot is done (moved or, in test mode, passed over); `walk` counts it.
  virtual void ShotDone(const WalkState& walk) = 0;
  // The pause gate after each shot: returns once the user is not pausing.
  virtual void PauseGate() = 0;
  // The user asked to stop; the walk ends at its next check.
  virtual bool CancelRequested() const = 0;
};

struct WalkResult {
  WalkState walk;
  // The user gave up a shot that could not be moved: the walk ended there,
  // as after a cancel.
  bool gaveUp = false;
};

WalkResult WalkPlan(FileSystem& files, MovePlan& plan, WalkEvents& events);

}  // namespace quillfen
