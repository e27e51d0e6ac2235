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
    for (std::size_t index = 0; index < plan_.order.size() && !Stopped();) {
      if (plan_.ShotAt(plan_.order[index]).hidden) {
        Reach(index++);
      } else if (events_.LeaveInPlace()) {
        PassOver(index++);
      } else {
        index = MoveSeveral(index);
      }
    }
    // Every folder the walk did not reach is passed, and the ones emptied go.
    EnterFoldersBefore(plan_.folders.size());
    while (!open_.empty()) Leave();
    return std::move(result_);
  }

 private:
  // A shot planned into its destination, with the names its files take there.
  struct Planned {
    std::size_t index;
    std::int32_t number;
    std::vector<FileMove> moves;
  };

  bool Stopped() const { return result_.gaveUp || events_.CancelRequested(); }

  const Shot& ShotOf(std::size_t index) const { return plan_.ShotAt(plan_.order[index]); }

  // Folder by folder, each folder is left once the walk has gone past it.
  void Reach(std::size_t index) {
    if (!plan_.inShootingOrder) EnterFoldersBefore(plan_.order[index].folder + 1);
  }

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

  Planned Plan(std::size_t index, std::int32_t number) const {
    const Shot& shot = ShotOf(index);
    const Destination& destination = plan_.destinations[shot.destination];
    const std::vector<std::string> names = ShotTargetNames(shot, number, plan_.autoRename, plan_.everyCameraFile);
    Planned planned{index, number, {}};
    for (std::size_t i = 0; i < shot.files.size(); ++i)
      planned.moves.push_back(FileMove{shot.files[i].path, BuildPath(destination.folder, names[i]),
                                       destination.backupFolder.empty() ? std::string()
                                                                        : BuildPath(destination.backupFolder, names[i])});
    return planned;
  }

  // The shots from `index` on that the file system takes in one go, numbered
  // in turn; hidden ones are passed over, test mode is asked at the next.
  std::vector<Planned> Batch(std::size_t index) const {
    const Shot& first = ShotOf(index);
    const MoveBatch limits = files_.BatchLimits(ParentFolder(first.files.front().path),
                                                plan_.destinations[first.destination].folder);
    std::map<std::size_t, std::int32_t> counters;  // destination -> the number given last
    std::vector<Planned> batch;
    std::uint64_t bytes = 0;
    for (std::size_t next = index; next < plan_.order.size() && batch.size() < std::max<std::size_t>(1, limits.shots);
         ++next) {
      const Shot& shot = ShotOf(next);
      if (shot.hidden) break;
      if (!batch.empty() && limits.bytes && bytes + shot.bytes > limits.bytes) break;
      auto [counter, added] = counters.try_emplace(shot.destination, plan_.destinations[shot.destination].counter);
      batch.push_back(Plan(next, ++counter->second));
      bytes += shot.bytes;
    }
    return batch;
  }

  // Test mode: the shot is counted and shown, its files stay.
  void PassOver(std::size_t index) {
    Reach(index);
    const Shot& shot = ShotOf(index);
    events_.ShotStarting(shot);
    Destination& destination = plan_.destinations[shot.destination];
    ++destination.counter;
    Done(shot);
  }

  // Moves a batch and tells each shot's outcome in order; returns the index
  // after the batch.
  std::size_t MoveSeveral(std::size_t index) {
    std::vector<Planned> batch = Batch(index);
    std::vector<std::vector<FileMove>> moves;
    for (const Planned& planned : batch) moves.push_back(planned.moves);
    AnnounceAfter(batch.back().index);
    std::vector<ShotOutcome> outcomes = files_.MoveShots(moves, plan_.checksums);
    for (std::size_t k = 0; k < batch.size(); ++k) Tell(batch[k], outcomes[k]);
    return batch.back().index + 1;
  }

  // A shot that failed is offered again until it moves or the user gives it
  // up; a shot given up is not counted: neither its number nor its size is
  // taken, and the walk ends after the shots already moved with it.
  void Tell(const Planned& planned, ShotOutcome& outcome) {
    Reach(planned.index);
    const Shot& shot = ShotOf(planned.index);
    if (result_.gaveUp && !outcome.status) return;
    events_.ShotStarting(shot);
    while (!outcome.status) {
      const FailedIn where = Where(planned, outcome);
      if (!events_.RetryMove(outcome.failedFile, outcome.status, where, outcome.failedAt)) {
        if (outcome.whereNow != Sources(shot)) {
          for (std::size_t i = 0; i < shot.files.size(); ++i) {
            if (outcome.whereNow[i] != shot.files[i].path) ++result_.walk.movedFiles;
          }
          events_.ShotSplit(shot, outcome.whereNow);
        }
        result_.gaveUp = true;
        return;
      }
      outcome = files_.MoveShots({planned.moves}, plan_.checksums).front();
    }
    Record(planned, outcome);
    Destination& destination = plan_.destinations[shot.destination];
    destination.counter = std::max(destination.counter, planned.number);
    Done(shot);
  }

  void Done(const Shot& shot) {
    WalkState& walk = result_.walk;
    ++walk.moved;
    walk.movedFiles += static_cast<std::int32_t>(shot.files.size());
    walk.movedSize += static_cast<double>(shot.bytes);
    events_.ShotDone(walk);
    events_.PauseGate();
  }

  static std::vector<std::string> Sources(const Shot& shot) {
    std::vector<std::string> sources;
    for (const FileEntry& file : shot.files) sources.push_back(file.path);
    return sources;
  }

  FailedIn Where(const Planned& planned, const ShotOutcome& outcome) const {
    if (plan_.backup.empty() || outcome.failedAt.empty()) return FailedIn::Move;
    for (const FileMove& move : planned.moves)
      if (outcome.failedAt == move.backup) return FailedIn::Backup;
    return FailedIn::Target;
  }

  // What each destination folder received, for the checksum lists.
  void Record(const Planned& planned, const ShotOutcome& outcome) {
    for (std::size_t i = 0; i < planned.moves.size(); ++i) {
      const FileMove& move = planned.moves[i];
      const std::string checksum = i < outcome.checksums.size() ? outcome.checksums[i] : std::string();
      result_.written[ParentFolder(move.target)].emplace_back(GetFileName(move.target), checksum);
      if (!move.backup.empty())
        result_.written[ParentFolder(move.backup)].emplace_back(GetFileName(move.backup), checksum);
    }
  }

  // The card reads the next shot while this one is flushed and read back
  // from the disk, so that its reading never pauses between pictures.
  // Folder by folder, the next shot of the same folder.
  void AnnounceAfter(std::size_t index) {
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
