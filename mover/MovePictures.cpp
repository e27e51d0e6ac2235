// The second half of a move: the walk of the source tree, one shot after the
// other into its target folder, and the report at its end.
#include <chrono>
#include <cmath>
#include <thread>

#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "mover/TargetNaming.h"
#include "mover/clsFSMoving.h"

namespace quillfen {

void clsFSMoving::MovePhase(MovePlan& plan) {
  ShowExtraInfo(T("moving_files"));
  for (Destination& destination : plan.destinations) destination.counter = destination.highestNumber;
  WalkState walk;
  for (const ScannedFolder& tree : plan.trees) MovePictures(tree, plan, walk);
  ShowExtraInfo(T("moved_files") + ": " + std::to_string(walk.moved));
  // What only every camera file would have taken is said, not passed over.
  if (plan.otherCameraFiles > 0)
    ShowOperationInfo(texts_.GetDialog("camera_files_left", {std::to_string(plan.otherCameraFiles)}));

  if (blnCancel_) {
    // The request is consumed here, and the user is not told twice.
    blnCancel_ = false;
  } else {
    ports_.shell.OpenFolder(plan.sourceFolder);
    Box(T("files_moved"), "", BoxIcon::Information, BoxButtons::OK);
  }
  EndSteps();
}

// Each folder's own shots before its subfolders, depth-first, as the scan
// found them; a cancel ends the walk at the next check, and every level
// above still removes the subfolders it has emptied.
void clsFSMoving::MovePictures(const ScannedFolder& folder, MovePlan& plan, WalkState& walk) {
  if (blnCancel_) return;
  FileSystem& files = ports_.files;
  WindowSystem& window = ports_.window;

  for (std::size_t index = 0; index < folder.shots.size(); ++index) {
    const Shot& shot = folder.shots[index];
    if (shot.hidden) continue;
    ShowOperationInfo(T("moving_file") + " \"" + shot.files.front().name + "\"...");
    // A shot the user gives up on is not counted: neither its number nor its
    // size is taken.
    Destination& destination = plan.destinations[shot.destination];
    const std::int32_t number = destination.counter + 1;
    if (!ports_.testMode()) {
      AnnounceNextShot(folder, index, plan);
      if (!MoveShot(shot, plan, destination, number)) {
        blnCancel_ = true;
        return;
      }
    }
    destination.counter = number;
    ++walk.moved;
    walk.movedSize += static_cast<double>(shot.bytes);
    view_.SetProgress(Variant(std::floor(100.0 / plan.totalSize * walk.movedSize)));

    window.PumpEvents();
    window.PumpEvents();
    while (blnPaused_) {
      // Waiting for the user's resume; a short sleep keeps the wait from
      // spinning a processor core.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      window.PumpEvents();
    }
    if (blnCancel_) return;
  }

  for (const ScannedFolder& subfolder : folder.subfolders) {
    MovePictures(subfolder, plan, walk);
    if (files.FolderIsEmpty(subfolder.path)) RemoveFolder(subfolder.path);
  }
}

// The card reads the next shot while this one is flushed and read back from
// the disk, so that its reading never pauses between pictures.
void clsFSMoving::AnnounceNextShot(const ScannedFolder& folder, std::size_t index, const MovePlan& plan) {
  for (std::size_t next = index + 1; next < folder.shots.size(); ++next) {
    const Shot& shot = folder.shots[next];
    if (shot.hidden) continue;
    for (const FileEntry& file : shot.files)
      ports_.files.WillMove(file.path, plan.destinations[shot.destination].folder);
    return;
  }
}

bool clsFSMoving::MoveShot(const Shot& shot, const MovePlan& plan, const Destination& destination,
                           std::int32_t number) {
  std::vector<std::pair<std::string, std::string>> moved;  // (where it went, where it was)
  for (const FileEntry& file : shot.files) {
    // Pictures alone are named as the camera never names them, "0001.JPG";
    // every camera file keeps its own extension, so a shot's files share
    // the number.
    const std::string name =
        !plan.autoRename ? file.name
                         : (plan.everyCameraFile ? NumberedName(number, GetExtensionName(file.name)) : NumberedName(number));
    const std::string target = BuildPath(destination.folder, name);
    if (!MoveOnePicture(file.path, target)) {
      // The shot stays together: what of it has moved goes back.
      for (auto it = moved.rbegin(); it != moved.rend(); ++it) MoveOnePicture(it->first, it->second);
      return false;
    }
    moved.emplace_back(target, file.path);
  }
  return true;
}

bool clsFSMoving::MoveOnePicture(const std::string& source, const std::string& target) {
  FileSystem& files = ports_.files;
  for (;;) {
    FsStatus moved = files.MoveFile(source, target);
    if (moved) return true;
    const std::string text = texts_.GetDialog("move_failed", {source, ReasonText(moved)});
    if (Box(text, "", BoxIcon::Warning, BoxButtons::RetryCancel) != BoxAnswer::Retry) return false;
  }
}

// The reasons the program itself finds are told in the user's language; the
// system's own reasons as the system gives them.
std::string clsFSMoving::ReasonText(const FsStatus& status) const {
  switch (status.code) {
    case FsCode::CopyDiffers: return T("copy_differs");
    case FsCode::SourceChanged: return T("source_changed");
    default: return status.reason;
  }
}

// A folder that cannot be removed simply stays.
void clsFSMoving::RemoveFolder(const std::string& folder) { (void)ports_.files.RemoveFolder(folder); }

}  // namespace quillfen
