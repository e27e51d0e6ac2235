// The second half of a move: the walk of the source tree, one picture after
// the other into the one target folder, and the report at its end.
#include <chrono>
#include <cmath>
#include <thread>

#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "mover/Pictures.h"
#include "mover/TargetNaming.h"
#include "mover/clsFSMoving.h"

namespace quillfen {

void clsFSMoving::MovePhase(const MovePlan& plan) {
  ShowExtraInfo(T("moving_files"));
  WalkState walk;
  walk.counter = plan.highestNumber;
  MovePictures(plan.tree, plan, walk);
  ShowExtraInfo(T("moved_files") + ": " + std::to_string(walk.counter - plan.highestNumber));

  if (blnCancel_) {
    // The request is consumed here, and the user is not told twice.
    blnCancel_ = false;
  } else {
    ports_.shell.OpenFolder(plan.sourceFolder);
    Box(T("files_moved"), "", BoxIcon::Information, BoxButtons::OK);
  }
  EndSteps();
}

// Each folder's own pictures before its subfolders, depth-first, as the scan
// found them; a cancel ends the walk at the next check, and every level above
// still removes the subfolders it has emptied.
void clsFSMoving::MovePictures(const ScannedFolder& folder, const MovePlan& plan, WalkState& walk) {
  if (blnCancel_) return;
  FileSystem& files = ports_.files;
  WindowSystem& window = ports_.window;

  for (const FileEntry& entry : folder.pictures) {
    if (entry.hidden) continue;
    ShowOperationInfo(T("moving_file") + " \"" + entry.name + "\"...");
    // A picture the user gives up on is not counted: neither its number nor
    // its size is taken.
    const std::int32_t counter = walk.counter + 1;
    const std::string target = BuildPath(plan.targetFolder, plan.autoRename ? NumberedName(counter) : entry.name);
    if (!window.MenuChecked(MenuItem::Testing) && !MoveOnePicture(entry.path, target)) {
      blnCancel_ = true;
      return;
    }
    walk.counter = counter;
    walk.movedSize += static_cast<double>(entry.size);
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
