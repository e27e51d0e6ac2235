#include "posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/ChecksumText.h"
#include "base/NoCase.h"
#include "base/PathParts.h"
#include "posix/BatchMove.h"
#include "posix/CardClock.h"
#include "posix/NoReplaceMove.h"
#include "posix/PartialCopies.h"
#include "posix/PosixFiles.h"
#include "posix/VerifiedCopy.h"

namespace quillfen {

namespace {

using posix::StatusOf;

// How much one batch across volumes takes (BatchLimits).
constexpr std::size_t kBatchShots = 1024;
constexpr double kBatchSeconds = 0.4;
constexpr std::uint64_t kFirstBatchBytes = 8 << 20;
constexpr std::uint64_t kLeastBatchBytes = 8 << 20;
constexpr std::uint64_t kMostBatchBytes = 1 << 30;

// Closes the directory stream however the listing ends.
class OpenFolder {
 public:
  explicit OpenFolder(const std::string& path) : dir_(::opendir(path.c_str())) {}
  ~OpenFolder() {
    if (dir_) ::closedir(dir_);
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// What one entry of a folder is, without following a symbolic link: a link is
// neither a file nor a subfolder, so a linked folder never leads into a loop
// and a linked picture is never moved away from under its link.
enum class EntryKind { File, Folder, Other };

EntryKind KindOf(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
  return EntryKind::Other;
}

// What the folder's own listing says an entry is, where it says so: an entry
// of another kind than the caller wants needs no closer look.
std::optional<EntryKind> ListedKind(unsigned char type) {
  switch (type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_UNKNOWN: return std::nullopt;
    default: return EntryKind::Other;
  }
}

// Calls visit(entry, stat) for every entry of the folder of the wanted kind
// but "." and ".."; an entry that may be of that kind and cannot be looked at
// fails the listing.
template <typename Visit>
FsStatus ForEachEntry(const std::string& folder, EntryKind wanted, Visit visit) {
  OpenFolder dir(folder);
  if (!dir.get()) return StatusOf(errno);
  int fd = ::dirfd(dir.get());
  for (;;) {
    errno = 0;
    dirent* entry = ::readdir(dir.get());
    if (!entry) {
      if (errno != 0) return StatusOf(errno);
      return {};
    }
    if (IsDotOrDotDot(entry->d_name)) continue;
    const std::optional<EntryKind> listed = ListedKind(entry->d_type);
    if (listed && *listed != wanted) continue;
    struct stat st;
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      // Gone since it was listed: it is no longer in the folder. Anything
      // else (a failing card, a dead mount below) is told, not passed over,
      // so that no picture is silently left behind.
      if (errno == ENOENT) continue;
      FsStatus failed = StatusOf(errno);
      failed.reason = std::string(entry->d_name) + ": " + failed.reason;
      return failed;
    }
    if (KindOf(st) == wanted) visit(entry, st);
  }
}

}  // namespace

bool PosixFileSystem::FolderExists(const std::string& path) const {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::FileExists(const std::string& path) const {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FsStatus PosixFileSystem::CreateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) != 0) {
    const int error = errno;
    // Someone else made it in the meantime: the folder is there, as wanted.
    if (error == EEXIST && FolderExists(path)) return {};
    return StatusOf(error);
  }
  // The new folder's name is made durable before anything is moved into it:
  // a picture deleted from the card must never sit in a folder that a power
  // cut can take away.
  return StatusOf(posix::FlushFolder(ParentFolder(path)));
}

FsStatus PosixFileSystem::ListFiles(const std::string& folder, std::vector<FileEntry>& files) const {
  files.clear();
  FsStatus status = ForEachEntry(folder, EntryKind::File, [&](const dirent* entry, const struct stat& st) {
    FileEntry file;
    file.name = entry->d_name;
    file.path = BuildPath(folder, file.name);
    file.size = static_cast<std::uint64_t>(st.st_size);
    file.hidden = file.name.front() == '.';
    file.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    files.push_back(std::move(file));
  });
  if (!status) {
    files.clear();
    return status;
  }
  std::sort(files.begin(), files.end(),
            [](const FileEntry& a, const FileEntry& b) { return ListedBefore(a.name, b.name); });
  return {};
}

FsStatus PosixFileSystem::ListSubfolders(const std::string& folder,
                                         std::vector<std::string>& subfolders) const {
  subfolders.clear();
  std::vector<std::string> names;
  FsStatus status = ForEachEntry(folder, EntryKind::Folder,
                                 [&](const dirent* entry, const struct stat&) { names.emplace_back(entry->d_name); });
  if (!status) return status;
  std::sort(names.begin(), names.end(), ListedBefore);
  subfolders.reserve(names.size());
  for (const auto& name : names) subfolders.push_back(BuildPath(folder, name));
  return {};
}

std::vector<std::string> PosixFileSystem::FileNames(const std::string& folder) const {
  std::vector<std::string> names;
  OpenFolder dir(folder);
  if (!dir.get()) return names;
  while (const dirent* entry = ::readdir(dir.get()))
    if (!IsDotOrDotDot(entry->d_name) && FileExists(BuildPath(folder, entry->d_name))) names.emplace_back(entry->d_name);
  std::sort(names.begin(), names.end(), ListedBefore);
  return names;
}

FsStatus PosixFileSystem::CanonicalPath(const std::string& path, std::string& canonical) const {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return StatusOf(errno);
  canonical = resolved;
  std::free(resolved);
  return {};
}

FsStatus PosixFileSystem::VolumeId(const std::string& path, std::uint64_t& volume) const {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return StatusOf(errno);
  volume = static_cast<std::uint64_t>(st.st_dev);
  return {};
}

FsStatus PosixFileSystem::FreeSpace(const std::string& path, std::uint64_t& bytes) const {
  struct statvfs vfs;
  if (::statvfs(path.c_str(), &vfs) != 0) return StatusOf(errno);
  bytes = static_cast<std::uint64_t>(vfs.f_bavail) * static_cast<std::uint64_t>(vfs.f_frsize);
  return {};
}

FsStatus PosixFileSystem::FileClockOf(const std::string& path, FileClock& clock) const {
  return posix::ClockOfPath(path, clock);
}

FsStatus PosixFileSystem::AllocationUnit(const std::string& path, std::uint64_t& bytes) const {
  struct statvfs vfs;
  if (::statvfs(path.c_str(), &vfs) != 0) return StatusOf(errno);
  bytes = std::max<std::uint64_t>(1, vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
  return {};
}

// Each pair of folders is looked at once, not once per picture.
bool PosixFileSystem::CrossesVolumes(const std::string& sourceFolder, const std::string& targetFolder) const {
  const auto [pair, fresh] = crossings_.try_emplace({sourceFolder, targetFolder}, false);
  if (fresh) {
    struct stat from, to;
    pair->second = ::stat(sourceFolder.c_str(), &from) == 0 && ::stat(targetFolder.c_str(), &to) == 0 &&
                   from.st_dev != to.st_dev;
  }
  return pair->second;
}

bool PosixFileSystem::ShotCrossesVolumes(const std::vector<FileMove>& shot) const {
  return std::all_of(shot.begin(), shot.end(), [&](const FileMove& file) {
    return CrossesVolumes(ParentFolder(file.source), ParentFolder(file.target));
  });
}

// A folder that copies are written into is cleared of the temporary copies
// of killed runs the first time this process writes there.
void PosixFileSystem::SweepOnce(const std::string& folder) {
  if (sweptFolders_.insert(folder).second) RemoveStaleCopies(folder);
}

void PosixFileSystem::ReadHinted() {
  // A picture larger than any photo (a video) is read ahead only at its
  // start: the hint must not fill the page cache or keep the card busy past
  // the next picture.
  constexpr std::uint64_t kReadAhead = 32 << 20;
  for (const std::string& source : hints_) readAhead_.Request(source, kReadAhead);
  hints_.clear();
}

FsStatus PosixFileSystem::MoveFile(const std::string& source, const std::string& target) {
  ReadHinted();
  const std::string folder = ParentFolder(target);
  if (CrossesVolumes(ParentFolder(source), folder)) {
    SweepOnce(folder);
    readAhead_.Forget(source);
  }
  return MoveWithoutReplacing(source, target);
}

FsStatus PosixFileSystem::CopyFile(const std::string& source, const std::string& target, std::string* checksum) {
  ReadHinted();
  SweepOnce(ParentFolder(target));
  readAhead_.Forget(source);
  return CopyVerified(source, target, checksum);
}

std::vector<ShotOutcome> PosixFileSystem::MoveShots(const std::vector<std::vector<FileMove>>& shots,
                                                    bool checksums) {
  std::vector<ShotOutcome> outcomes(shots.size());
  std::vector<std::vector<FileMove>> across;
  std::vector<std::size_t> places;
  for (std::size_t k = 0; k < shots.size(); ++k) {
    if (ShotCrossesVolumes(shots[k])) {
      across.push_back(shots[k]);
      places.push_back(k);
    } else {
      outcomes[k] = std::move(FileSystem::MoveShots({shots[k]}, checksums).front());
    }
  }
  if (across.empty()) return outcomes;
  for (const std::vector<FileMove>& shot : across) {
    for (const FileMove& file : shot) {
      SweepOnce(ParentFolder(file.target));
      if (!file.backup.empty()) SweepOnce(ParentFolder(file.backup));
    }
  }
  std::uint64_t bytes = 0;
  posix::CardReading reading;
  reading.starting = [this](const std::string& source) { readAhead_.Forget(source); };
  reading.finished = [&](std::uint64_t read) {
    bytes += read;
    ReadHinted();
  };
  const auto start = std::chrono::steady_clock::now();
  std::vector<ShotOutcome> moved = posix::MoveShotsAcross(across, checksums, reading, workers_);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (bytes > 0 && seconds > 0) pace_ = static_cast<double>(bytes) / seconds;
  for (std::size_t i = 0; i < places.size(); ++i) outcomes[places[i]] = std::move(moved[i]);
  return outcomes;
}

MoveBatch PosixFileSystem::BatchLimits(const std::string& sourceFolder, const std::string& targetFolder) const {
  // Within a volume a move is a rename, with nothing to overlap.
  if (!CrossesVolumes(sourceFolder, targetFolder)) return {};
  // Enough shots that the flushes of many small pictures are shared, and as
  // many bytes as the last batch's pace moves in a little under half a
  // second: Pause and Cancel are answered between batches, and the fewer
  // batches, the less often the drives wait for the end of one.
  const double bytes = pace_ > 0 ? pace_ * kBatchSeconds : static_cast<double>(kFirstBatchBytes);
  return {kBatchShots, static_cast<std::uint64_t>(std::clamp(bytes, double(kLeastBatchBytes), double(kMostBatchBytes)))};
}

FsStatus PosixFileSystem::RemoveCopy(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return posix::StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return posix::StatusOf(EINVAL);
  if (::unlink(path.c_str()) != 0) return posix::StatusOf(errno);
  if (const int error = posix::FlushFolder(ParentFolder(path))) return posix::StatusOf(error);
  return {};
}

FsStatus PosixFileSystem::Checksum(const std::string& path, std::string& hex) const {
  posix::UniqueFd in(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!in.valid()) return posix::StatusOf(errno);
  posix::Checksum sum;
  if (const int error = posix::ChecksumOfOpenFile(in.get(), sum)) return posix::StatusOf(error);
  hex = ChecksumText(sum.hash);
  return {};
}

void PosixFileSystem::WillMove(const std::string& source, const std::string& targetFolder) {
  // A rename reads nothing.
  if (CrossesVolumes(ParentFolder(source), targetFolder)) hints_.push_back(source);
}

void PosixFileSystem::ForgetHints() {
  hints_.clear();
  readAhead_.ForgetAll();
}

FsStatus PosixFileSystem::RemoveFolder(const std::string& path) {
  // rmdir refuses a folder with anything in it, so nothing inside is ever lost.
  if (::rmdir(path.c_str()) != 0) return StatusOf(errno);
  return {};
}

bool PosixFileSystem::FolderIsEmpty(const std::string& path) const {
  // Anything at all inside (links and hidden files too) makes it not empty;
  // a folder that cannot be read is not called empty either.
  OpenFolder dir(path);
  if (!dir.get()) return false;
  for (;;) {
    errno = 0;
    dirent* entry = ::readdir(dir.get());
    if (!entry) return errno == 0;
    if (!IsDotOrDotDot(entry->d_name)) return false;
  }
}

namespace {

class PosixReadableFile : public ReadableFile {
 public:
  PosixReadableFile(posix::UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    for (;;) {
      const ssize_t got = ::pread(fd_.get(), buffer, n, static_cast<off_t>(offset));
      if (got >= 0) return static_cast<long>(got);
      if (errno != EINTR) return -1;
    }
  }

 private:
  posix::UniqueFd fd_;
  std::uint64_t size_;
};

}  // namespace

FsStatus PosixFileSystem::OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const {
  // Non-blocking, so that a pipe in the file's place cannot stall the program.
  posix::UniqueFd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!in.valid()) return StatusOf(errno);
  struct stat st;
  if (::fstat(in.get(), &st) != 0) return StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return FsStatus::Failed(FsCode::Other, "not a regular file");
  file = std::make_unique<PosixReadableFile>(std::move(in), static_cast<std::uint64_t>(st.st_size));
  return {};
}

FsStatus PosixFileSystem::ReadFile(const std::string& path, std::string& bytes) const {
  bytes.clear();
  // Non-blocking, so that a pipe in the file's place cannot stall the program.
  posix::UniqueFd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!in.valid()) return StatusOf(errno);
  struct stat st;
  if (::fstat(in.get(), &st) != 0) return StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return FsStatus::Failed(FsCode::Other, "not a regular file");
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return {};
    } else if (errno != EINTR) {
      bytes.clear();
      return StatusOf(errno);
    }
  }
}

FsStatus PosixFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  // Through a link the file it names is replaced, and the link stays.
  const std::string target = posix::ResolveLink(path);
  mode_t mode = 0644;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  return StatusOf(posix::ReplaceDurably(target, bytes, mode));
}

}  // namespace quillfen
