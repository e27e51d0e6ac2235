#include "mover/MoveWalk.h"

#include <utility>
#include <vector>

#include "base/PathParts.h"
#include "mover/TargetNaming.h"

namespace quillfen {

namespace {

class Walk {
 public:
  Walk(FileSystem& files, MovePlan& plan, WalkEvents& events) : files_(files), plan_(plan), events_(events) {}

  WalkResult Run() {
    for (Destination& destination : plan_.destinations) destination.counter = destination.highestNumber;
    result_.walk.totalSize = plan_.totalSize;
    for (std::size_t index = 0; index < plan_.order.size() && !Stopped(); ++index) {
      const ShotPlace& place = plan_.order[index];
      // Folder by folder, each folder is left once the walk has gone past it.
      if (!plan_.inShootingOrder) EnterFoldersBefore(place.folder + 1);
      if (!plan_.ShotAt(place).hidden) TakeShot(index);
    }
    // Every folder the walk did not reach is passed, and the ones emptied go.
    EnterFoldersBefore(plan_.folders.size());
    while (!open_.empty()) Leave();
    return result_;
  }

 private:
  bool Stopped() const { return result_.gaveUp || events_.CancelRequested(); }

  // Enters every folder before `end` not entered yet, in scanning order,
  // leaving first those whose subfolders have all been passed.
  void EnterFoldersBefore(std::size_t end) {
    for (; entered_ < end; ++entered_) {
      const int depth = plan_.folders[entered_].depth;
      while (!open_.empty() && plan_.folders[open_.back()].depth >= depth) Leave();
      open_.push_back(entered_);
    }
  }

  // A subfolder that holds nothing any more goes; a folder scanned as a whole
  // stays, and one that cannot be removed simply stays.
  void Leave() {
    const ScannedFolder& folder = plan_.folders[open_.back()];
    open_.pop_back();
    if (folder.depth > 0 && files_.FolderIsEmpty(folder.path)) (void)files_.RemoveFolder(folder.path);
  }

  // A shot given up is not counted: neither its number nor its size is taken.
  void TakeShot(std::size_t index) {
    const Shot& shot = plan_.ShotAt(plan_.order[index]);
    events_.ShotStarting(shot);
    Destination& destination = plan_.destinations[shot.destination];
    const std::int32_t number = destination.counter + 1;
    if (!events_.LeaveInPlace()) {
      AnnounceNextShot(index);
      if (!MoveShot(shot, destination, number)) {
        result_.gaveUp = true;
        return;
      }
    }
    destination.counter = number;
    WalkState& walk = result_.walk;
    ++walk.moved;
    walk.movedFiles += static_cast<std::int32_t>(shot.files.size());
    walk.movedSize += static_cast<double>(shot.bytes);
    events_.ShotDone(walk);
    events_.PauseGate();
  }

  // The card reads the next shot while this one is flushed and read back
  // from the disk, so that its reading never pauses between pictures.
  // Folder by folder, the next shot of the same folder.
  void AnnounceNextShot(std::size_t index) {
    const std::size_t folder = plan_.order[index].folder;
    for (std::size_t next = index + 1; next < plan_.order.size(); ++next) {
      const ShotPlace& place = plan_.order[next];
      if (!plan_.inShootingOrder && place.folder != folder) return;
      const Shot& shot = plan_.ShotAt(place);
      if (shot.hidden) continue;
      for (const FileEntry& file : shot.files) files_.WillMove(file.path, plan_.destinations[shot.destination].folder);
      return;
    }
  }

  // Each file of the shot under its target name; when one is given up, the
  // files already moved go back, so a shot is never split. One that cannot
  // go back is told where it is, and counted where it is.
  bool MoveShot(const Shot& shot, const Destination& destination, std::int32_t number) {
    const std::vector<std::string> names = ShotTargetNames(shot, number, plan_.autoRename, plan_.everyCameraFile);
    std::vector<std::string> whereNow;
    for (const FileEntry& file : shot.files) whereNow.push_back(file.path);
    for (std::size_t i = 0; i < shot.files.size(); ++i) {
      const std::string target = BuildPath(destination.folder, names[i]);
      if (MoveFile(shot.files[i].path, target)) {
        whereNow[i] = target;
        continue;
      }
      bool whole = true;
      for (std::size_t back = i; back-- > 0;) {
        if (MoveBack(whereNow[back], shot.files[back].path)) {
          whereNow[back] = shot.files[back].path;
        } else {
          whole = false;
          ++result_.walk.movedFiles;
        }
      }
      if (!whole) events_.ShotSplit(shot, whereNow);
      return false;
    }
    return true;
  }

  bool MoveFile(const std::string& source, const std::string& target) {
    for (;;) {
      const FsStatus moved = files_.MoveFile(source, target);
      if (moved) return true;
      if (!events_.RetryMove(source, moved)) return false;
    }
  }

  bool MoveBack(const std::string& movedTo, const std::string& original) {
    for (;;) {
      const FsStatus moved = files_.MoveFile(movedTo, original);
      if (moved) return true;
      if (!events_.RetryMoveBack(movedTo, moved)) return false;
    }
  }

  FileSystem& files_;
  MovePlan& plan_;
  WalkEvents& events_;
  WalkResult result_;
  std::size_t entered_ = 0;        // folders entered so far, in scanning order
  std::vector<std::size_t> open_;  // the folders entered and not left, the deepest last
};

}  // namespace

WalkResult WalkPlan(FileSystem& files, MovePlan& plan, WalkEvents& events) { return Walk(files, plan, events).Run(); }

}  // namespace quillfen
