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
    walk_.totalSize = plan_.totalSize;
    for (const ScannedFolder& tree : plan_.trees) WalkFolder(tree);
    return WalkResult{walk_, gaveUp_};
  }

 private:
  bool Stopped() const { return gaveUp_ || events_.CancelRequested(); }

  // A stop ends the walk at the next check, and every level above still
  // removes the subfolders it has emptied.
  void WalkFolder(const ScannedFolder& folder) {
    if (Stopped()) return;
    for (std::size_t index = 0; index < folder.shots.size(); ++index) {
      const Shot& shot = folder.shots[index];
      if (shot.hidden) continue;
      if (!TakeShot(folder, index) || Stopped()) return;
    }
    for (const ScannedFolder& subfolder : folder.subfolders) {
      WalkFolder(subfolder);
      // A folder that cannot be removed simply stays.
      if (files_.FolderIsEmpty(subfolder.path)) (void)files_.RemoveFolder(subfolder.path);
    }
  }

  // False when the user gave the shot up; a shot given up is not counted:
  // neither its number nor its size is taken.
  bool TakeShot(const ScannedFolder& folder, std::size_t index) {
    const Shot& shot = folder.shots[index];
    events_.ShotStarting(shot);
    Destination& destination = plan_.destinations[shot.destination];
    const std::int32_t number = destination.counter + 1;
    if (!events_.LeaveInPlace()) {
      AnnounceNextShot(folder, index);
      if (!MoveShot(shot, destination, number)) {
        gaveUp_ = true;
        return false;
      }
    }
    destination.counter = number;
    ++walk_.moved;
    walk_.movedSize += static_cast<double>(shot.bytes);
    events_.ShotDone(walk_);
    events_.PauseGate();
    return true;
  }

  // The card reads the next shot while this one is flushed and read back
  // from the disk, so that its reading never pauses between pictures.
  void AnnounceNextShot(const ScannedFolder& folder, std::size_t index) {
    for (std::size_t next = index + 1; next < folder.shots.size(); ++next) {
      const Shot& shot = folder.shots[next];
      if (shot.hidden) continue;
      for (const FileEntry& file : shot.files) files_.WillMove(file.path, plan_.destinations[shot.destination].folder);
      return;
    }
  }

  // Each file of the shot under its target name; when one is given up, the
  // files already moved go back, so a shot is never split.
  bool MoveShot(const Shot& shot, const Destination& destination, std::int32_t number) {
    std::vector<std::pair<std::string, std::string>> moved;  // (where it went, where it was)
    for (const FileEntry& file : shot.files) {
      const std::string target = BuildPath(destination.folder, TargetName(file, number));
      if (!MoveFile(file.path, target)) {
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) MoveFile(it->first, it->second);
        return false;
      }
      moved.emplace_back(target, file.path);
    }
    return true;
  }

  // Pictures alone are named as the camera never names them, "0001.JPG";
  // every camera file keeps its own extension, so a shot's files share the
  // number.
  std::string TargetName(const FileEntry& file, std::int32_t number) const {
    if (!plan_.autoRename) return file.name;
    return plan_.everyCameraFile ? NumberedName(number, GetExtensionName(file.name)) : NumberedName(number);
  }

  bool MoveFile(const std::string& source, const std::string& target) {
    for (;;) {
      const FsStatus moved = files_.MoveFile(source, target);
      if (moved) return true;
      if (!events_.RetryMove(source, moved)) return false;
    }
  }

  FileSystem& files_;
  MovePlan& plan_;
  WalkEvents& events_;
  WalkState walk_;
  bool gaveUp_ = false;
};

}  // namespace

WalkResult WalkPlan(FileSystem& files, MovePlan& plan, WalkEvents& events) { return Walk(files, plan, events).Run(); }

}  // namespace quillfen
