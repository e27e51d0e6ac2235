#pragma once
// The planning of a move: what the checks before it find, as a function of
// the file system and the request alone. Each step returns what it found or
// a refusal; the mover shows the steps' progress between them, asks the
// user where a step needs an answer, and turns refusals into messages.
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "mover/MovePlan.h"
#include "mover/MoveRequest.h"
#include "mover/Refusal.h"
#include "platform/FileSystem.h"

namespace quillfen {

// Where the shots go: the target, or the folder of today inside it; by the
// date taken, the target that will hold the day folders.
std::string TargetFolderOf(const MoveRequest& request);

// Before anything is locked or made: both folders exist, and the target
// folder (made or not yet) does not lie in a folder the shots are taken
// from, where the move would take its own pictures again.
std::optional<Refusal> CheckFolders(const FileSystem& files, const MoveRequest& request);

struct PlanProgress {
  // The source folder is known; its tree is read next.
  std::function<void()> scanning;
  // A folder has been read (the window may take its events).
  std::function<void()> folderRead;
};

// The scan of every folder the move takes from: each shot with the folder it
// goes to, the names within each of those folders checked. Refused when a
// folder cannot be read, names would clash without numbering, or there is
// nothing to move.
std::variant<MovePlan, Refusal> PlanMove(const FileSystem& files, const MoveRequest& request,
                                         const PlanProgress& progress);

// Whether the target volume holds every shot. A move within one volume
// needs no room. Asked again each time the user has made room.
std::optional<Refusal> CheckSpace(const FileSystem& files, const MovePlan& plan);

// The files directly in one target folder that can meet a moved shot: with
// numbering, the highest number in use (and the limit of 9999); without,
// no name may clash with a shot's. `surveyed` hears of each file looked at.
std::optional<Refusal> SurveyDestination(const FileSystem& files, const MovePlan& plan, Destination& destination,
                                         const std::function<void(const FileEntry&)>& surveyed);

}  // namespace quillfen
