// The move of whole shots as any file system can make it, one file after the
// other: the second copy first (kept until the shot is done), then the move
// itself; a failure takes back what the shot had done.
#include "platform/FileSystem.h"

namespace quillfen {

namespace {

class ShotMover {
 public:
  ShotMover(FileSystem& files, const std::vector<FileMove>& shot, bool checksums)
      : files_(files), shot_(shot), checksums_(checksums) {}

  ShotOutcome Move() {
    for (const FileMove& file : shot_) outcome_.whereNow.push_back(file.source);
    for (std::size_t i = 0; i < shot_.size(); ++i)
      if (!MoveOne(i)) return TakeBack(i);
    outcome_.whereNow.clear();
    if (!checksums_) outcome_.checksums.clear();
    return std::move(outcome_);
  }

 private:
  bool Failed(const FsStatus& status, std::size_t i, const std::string& where) {
    outcome_.status = status;
    outcome_.failedFile = shot_[i].source;
    outcome_.failedAt = where;
    return false;
  }

  bool MoveOne(std::size_t i) {
    const FileMove& file = shot_[i];
    std::string checksum;
    if (!file.backup.empty()) {
      if (FsStatus copied = files_.CopyFile(file.source, file.backup, &checksum); !copied)
        return Failed(copied, i, file.backup);
      backups_.push_back(file.backup);
    }
    if (FsStatus moved = files_.MoveFile(file.source, file.target); !moved) {
      // Neither the file nor the shot moved: a second copy of it would be
      // a picture the card still holds.
      return Failed(moved, i, moved.code == FsCode::SourceChanged ? "" : file.target);
    }
    outcome_.whereNow[i] = file.target;
    if (checksums_ && checksum.empty()) (void)files_.Checksum(file.target, checksum);
    outcome_.checksums.push_back(checksum);
    return true;
  }

  // The files moved before the one that failed go back, last first; the
  // second copies go. A file that cannot go back stays where it is, and the
  // outcome says so.
  ShotOutcome TakeBack(std::size_t failed) {
    for (std::size_t i = failed; i-- > 0;)
      if (files_.MoveFile(shot_[i].target, shot_[i].source)) outcome_.whereNow[i] = shot_[i].source;
    for (const std::string& backup : backups_) (void)files_.RemoveCopy(backup);
    outcome_.checksums.clear();
    return std::move(outcome_);
  }

  FileSystem& files_;
  const std::vector<FileMove>& shot_;
  const bool checksums_;
  ShotOutcome outcome_;
  std::vector<std::string> backups_;
};

}  // namespace

std::vector<ShotOutcome> FileSystem::MoveShots(const std::vector<std::vector<FileMove>>& shots, bool checksums) {
  std::vector<ShotOutcome> outcomes;
  for (const std::vector<FileMove>& shot : shots) outcomes.push_back(ShotMover(*this, shot, checksums).Move());
  return outcomes;
}

}  // namespace quillfen
