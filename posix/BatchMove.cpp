#include "posix/BatchMove.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <set>

#include "base/ChecksumText.h"
#include "base/PathParts.h"
#include "posix/CopyChecks.h"
#include "posix/CopyFlush.h"
#include "posix/MoveChecks.h"
#include "posix/PartialCopies.h"
#include "posix/PosixFiles.h"
#include "posix/VerifiedCopy.h"
#include "posix/Workers.h"

namespace quillfen::posix {

namespace {

// Copies in hand in one round: each is held open until its shot is named,
// two rounds are in hand at once, and the program must stay well within the
// usual limit of 1,024 open files.
constexpr std::size_t kCopiesAtOnce = 320;
// From this size on the card is told that a picture is read from start to end.
constexpr std::uint64_t kLargeFile = 1 << 20;

// A destination folder, open for the batch.
struct Folder {
  UniqueFd fd{-1};
  int error = 0;  // why it could not be opened
  dev_t volume = 0;
  CopyFlush flush = CopyFlush::EachFile;
};

// One copy of a file: in its target, or in its backup.
struct Copy {
  const std::string* path = nullptr;  // its final name
  Folder* folder = nullptr;
  std::unique_ptr<PartialCopy> partial;
  // Once it is whole: handed to the threads that flush it and read it back.
  std::unique_ptr<PendingCheck> check;
  bool named = false;  // it has its final name
};

struct FileInHand {
  const FileMove* move = nullptr;
  // The source, closed once copied: a card served through FUSE keeps a file
  // removed while open as a hidden file.
  UniqueFd in{-1};
  struct stat source {};
  Checksum read;
  std::vector<Copy> copies;  // the target's first
  bool removed = false;      // gone from the card
};

struct ShotInHand {
  std::vector<FileInHand> files;  // those opened so far
  ShotOutcome outcome;
  bool failed() const { return !outcome.status; }
  // The first failure of a shot is the one told.
  void Fail(const FsStatus& status, const FileMove& file, const std::string& where) {
    if (failed()) return;
    outcome.status = status;
    outcome.failedFile = file.source;
    outcome.failedAt = where;
  }
};

// The copies a shot makes: one of each file, two with a backup.
std::size_t CopiesOf(const std::vector<FileMove>& shot) {
  std::size_t copies = 0;
  for (const FileMove& file : shot) copies += file.backup.empty() ? 1 : 2;
  return copies;
}

class Batch {
 public:
  Batch(std::vector<std::vector<FileMove>> moves, const CardReading& reading, Workers& workers)
      : moves_(std::move(moves)), reading_(reading), checks_(workers) {
    shots_.resize(moves_.size());
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  // Reads the batch's pictures and writes their copies, whose flushes and
  // read-backs go on in the threads.
  void Start() {
    for (std::size_t k = 0; k < moves_.size(); ++k) CopyShot(shots_[k], moves_[k]);
    checks_.Submit();
    if (reading_.finished) reading_.finished(BytesRead());
  }

  // Waits for the checks, names the copies and lets the pictures go.
  std::vector<ShotOutcome> Finish(bool checksums) {
    for (ShotInHand& shot : shots_) Name(shot);
    FlushFolders();
    RemoveSources();
    return Outcomes(checksums);
  }

 private:
  Folder& FolderOf(const std::string& path) {
    const std::string folder = ParentFolder(path);
    auto [it, fresh] = folders_.try_emplace(folder);
    Folder& open = it->second;
    if (!fresh) return open;
    open.fd = UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st;
    if (!open.fd.valid() || ::fstat(open.fd.get(), &st) != 0) {
      open.error = errno;
      return open;
    }
    open.volume = st.st_dev;
    open.flush = CopyFlushOf(open.fd.get());
    return open;
  }

  // Whether the card lets the pictures of the source's folder go, asked once
  // a folder: a write-protected card is told before anything is copied.
  const FsStatus& Removable(const std::string& source) {
    const std::string folder = ParentFolder(source);
    auto it = removable_.find(folder);
    if (it == removable_.end()) it = removable_.emplace(folder, SourceRemovable(source)).first;
    return it->second;
  }

  void CopyShot(ShotInHand& shot, const std::vector<FileMove>& moves) {
    shot.files.reserve(moves.size());
    for (const FileMove& move : moves) {
      if (shot.failed()) return;
      shot.files.emplace_back();
      CopyFile(shot, shot.files.back(), move);
    }
  }

  // Reads the file once into a hidden copy in each place, then hands the
  // copies to the threads that flush them and read them back.
  void CopyFile(ShotInHand& shot, FileInHand& file, const FileMove& move) {
    file.move = &move;
    if (reading_.starting) reading_.starting(move.source);
    file.in = UniqueFd(::open(move.source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.in.valid() || ::fstat(file.in.get(), &file.source) != 0) return shot.Fail(StatusOf(errno), move, "");
    if (!S_ISREG(file.source.st_mode)) return shot.Fail(StatusOf(EINVAL), move, "");
    if (const FsStatus& removable = Removable(move.source); !removable) return shot.Fail(removable, move, "");
    if (file.source.st_size >= static_cast<off_t>(kLargeFile)) ::posix_fadvise(file.in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    file.copies.reserve(2);
    std::vector<int> outs;
    for (const std::string* path : {&move.target, &move.backup}) {
      if (path->empty()) continue;
      Copy& copy = file.copies.emplace_back();
      copy.path = path;
      copy.folder = &FolderOf(*path);
      if (copy.folder->error) return shot.Fail(StatusOf(copy.folder->error), move, *path);
      copy.partial = std::make_unique<PartialCopy>(copy.folder->fd.get(), *path);
      if (copy.partial->error()) return shot.Fail(StatusOf(copy.partial->error()), move, *path);
      outs.push_back(copy.partial->fd());
    }

    std::size_t failedOut = 0;
    if (const int error = CopyToEach(file.in.get(), outs, file.read, failedOut))
      return shot.Fail(StatusOf(error), move, failedOut < outs.size() ? *file.copies[failedOut].path : "");
    // Another program still writing the picture: its copies would not be whole.
    if (file.read.bytes != static_cast<std::uint64_t>(file.source.st_size) || !Unchanged(file.in.get(), file.source))
      return shot.Fail(SourceChanged(), move, "");
    (void)file.in.Close();  // only read: nothing of the copies depends on it
    const struct timespec times[2] = {file.source.st_atim, file.source.st_mtim};
    for (Copy& copy : file.copies)
      if (::futimens(copy.partial->fd(), times) != 0) return shot.Fail(StatusOf(errno), move, *copy.path);
    for (Copy& copy : file.copies) {
      copy.check = std::make_unique<PendingCheck>();
      PendingCheck& check = *copy.check;
      check.fd = copy.partial->fd();
      check.folder = copy.folder->fd.get();
      check.name = copy.partial->name();
      check.volume = copy.folder->volume;
      check.flush = copy.folder->flush;
      check.bytes = file.read.bytes;
      checks_.Add(check);
    }
  }

  std::uint64_t BytesRead() const {
    std::uint64_t bytes = 0;
    for (const ShotInHand& shot : shots_)
      for (const FileInHand& file : shot.files) bytes += file.read.bytes;
    return bytes;
  }

  // Once every copy of the shot is durable and read back right, each takes
  // its name, never replacing a file that appeared there meanwhile; the
  // threads go on checking the shots after it.
  void Name(ShotInHand& shot) {
    for (FileInHand& file : shot.files)
      for (Copy& copy : file.copies)
        if (copy.check) checks_.Wait(*copy.check);
    for (FileInHand& file : shot.files) {
      for (Copy& copy : file.copies) {
        if (!copy.check) continue;
        if (copy.check->error) shot.Fail(StatusOf(copy.check->error), *file.move, *copy.path);
        if (!(copy.check->onDisk == file.read)) shot.Fail(CopyDiffers(), *file.move, *copy.path);
      }
    }
    for (FileInHand& file : shot.files) {
      for (Copy& copy : file.copies) {
        if (shot.failed()) break;
        const int folder = copy.folder->fd.get();
        if (const int error = RenameNoReplaceAt(folder, copy.partial->name(), folder, GetFileName(*copy.path))) {
          shot.Fail(StatusOf(error), *file.move, *copy.path);
          break;
        }
        copy.partial->Keep();
        copy.named = true;
        named_.insert(copy.folder);
      }
    }
    if (shot.failed()) TakeBack(shot, false);
  }

  // Each folder that received names is flushed once; the shots named in a
  // folder that cannot be flushed go back.
  void FlushFolders() {
    for (Folder* folder : named_) {
      const int error = FlushOpenFolder(folder->fd.get());
      if (!error) continue;
      for (ShotInHand& shot : shots_) {
        if (shot.failed()) continue;
        for (FileInHand& file : shot.files)
          for (Copy& copy : file.copies)
            if (copy.folder == folder) shot.Fail(StatusOf(error), *file.move, *copy.path);
        if (shot.failed()) TakeBack(shot, true);
      }
    }
  }

  // Only now, with every copy of a shot durable under its name in each place,
  // its pictures leave the card; a picture that changed since it was read
  // stays, and so does its whole shot.
  void RemoveSources() {
    std::set<std::string> cardFolders;
    for (ShotInHand& shot : shots_) {
      if (shot.failed()) continue;
      for (FileInHand& file : shot.files)
        if (!UnchangedAt(file.move->source, file.source)) shot.Fail(SourceChanged(), *file.move, "");
      if (shot.failed()) {
        TakeBack(shot, true);
        continue;
      }
      for (FileInHand& file : shot.files) {
        // Someone removed the source meanwhile: the copies are its only ones now.
        if (::unlink(file.move->source.c_str()) != 0 && errno != ENOENT) {
          shot.Fail(StatusOf(errno), *file.move, "");
          TakeBack(shot, true);
          break;
        }
        file.removed = true;
        cardFolders.insert(ParentFolder(file.move->source));
      }
    }
    // Every picture removed is whole in each of its places: a removal that
    // a power cut takes back leaves a picture twice, never none, so a card
    // that cannot flush its folder loses nothing.
    for (const std::string& folder : cardFolders) (void)FlushFolder(folder);
  }

  // The shot's copies that have their names go again (those of files still
  // on the card), and so do its hidden ones; with `flush` the folders are
  // flushed at once, else the batch's flush of its folders follows.
  void TakeBack(ShotInHand& shot, bool flush) {
    std::set<Folder*> touched;
    for (FileInHand& file : shot.files) {
      if (file.removed) continue;
      for (Copy& copy : file.copies) {
        if (copy.named && ::unlinkat(copy.folder->fd.get(), GetFileName(*copy.path).c_str(), 0) == 0) {
          copy.named = false;
          touched.insert(copy.folder);
        }
        copy.partial.reset();
      }
    }
    if (flush)
      for (Folder* folder : touched) (void)FlushOpenFolder(folder->fd.get());
  }

  std::vector<ShotOutcome> Outcomes(bool checksums) {
    std::vector<ShotOutcome> outcomes;
    for (ShotInHand& shot : shots_) {
      ShotOutcome& outcome = shot.outcome;
      if (shot.failed()) {
        // Where each file of the shot is: on the card, unless it left it
        // before a later file of the shot failed.
        const std::vector<FileMove>& moves = moves_[&shot - shots_.data()];
        for (std::size_t i = 0; i < moves.size(); ++i) {
          const bool removed = i < shot.files.size() && shot.files[i].removed;
          outcome.whereNow.push_back(removed ? moves[i].target : moves[i].source);
        }
      } else if (checksums) {
        for (const FileInHand& file : shot.files) outcome.checksums.push_back(ChecksumText(file.read.hash));
      }
      outcomes.push_back(std::move(outcome));
    }
    return outcomes;
  }

  const std::vector<std::vector<FileMove>> moves_;
  const CardReading& reading_;
  std::vector<ShotInHand> shots_;
  std::map<std::string, Folder> folders_;
  std::map<std::string, FsStatus> removable_;
  std::set<Folder*> named_;  // folders that received names
  CopyChecks checks_;  // last: no thread works on a copy once the batch is gone
};

}  // namespace

std::vector<ShotOutcome> MoveShotsAcross(const std::vector<std::vector<FileMove>>& shots, bool checksums,
                                         const CardReading& reading, Workers& workers) {
  std::vector<ShotOutcome> outcomes;
  // The shots in rounds of at most kCopiesAtOnce copies (a larger shot
  // alone). A round's pictures are read while the round before is flushed
  // and read back, so that the drives never wait for the end of a round;
  // each round's pictures leave the card only after its own copies are
  // named and durable.
  std::unique_ptr<Batch> previous;
  const auto finish = [&] {
    if (!previous) return;
    for (ShotOutcome& outcome : previous->Finish(checksums)) outcomes.push_back(std::move(outcome));
    previous.reset();
  };
  for (std::size_t first = 0; first < shots.size();) {
    std::size_t end = first, copies = 0;
    while (end < shots.size() && (end == first || copies + CopiesOf(shots[end]) <= kCopiesAtOnce))
      copies += CopiesOf(shots[end++]);
    auto round = std::make_unique<Batch>(
        std::vector<std::vector<FileMove>>(shots.begin() + static_cast<std::ptrdiff_t>(first),
                                           shots.begin() + static_cast<std::ptrdiff_t>(end)),
        reading, workers);
    round->Start();
    finish();
    previous = std::move(round);
    first = end;
  }
  finish();
  return outcomes;
}

}  // namespace quillfen::posix
