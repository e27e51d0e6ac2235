#pragma once
// The file system, the program's one door to files and folders. Paths are
// absolute and use "/". Every call answers for itself: nothing is cached
// between calls, so a change made by someone else shows at the next call.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillfen {

// Why an operation failed, for callers that must tell cases apart; the
// reason in words is what the user is shown.
enum class FsCode {
  Ok,
  NotFound,    // the path, or a folder on the way to it, does not exist
  Exists,      // the name an operation would create is taken
  NoSpace,     // the volume (or the user's quota) is full
  ReadOnly,    // the volume is mounted read-only
  Permission,  // the user may not do this here
  IoError,     // the device failed
  CopyDiffers,    // a copy read back from the disk is not what was read from the source
  SourceChanged,  // the source changed while it was copied (someone is still writing it)
  Other,       // anything else (a name too long, a folder not empty, ...)
};

struct FsStatus {
  FsCode code = FsCode::Ok;
  std::string reason;  // empty on success

  static FsStatus Failed(FsCode code, std::string why) { return {code, std::move(why)}; }
  bool ok() const { return code == FsCode::Ok; }
  explicit operator bool() const { return ok(); }
};

struct FileEntry {
  std::string name;  // the name with its extension
  std::string path;  // the folder joined with the name
  std::uint64_t size = 0;
  bool hidden = false;  // the name starts with "."
  std::int64_t modified = 0;  // the time of its last modification, in seconds since 1970 (UTC)
};

// One file of a shot and where it goes: its target, and the same name in
// the second destination (none when empty).
struct FileMove {
  std::string source;
  std::string target;
  std::string backup;
};

// What became of one shot's move.
struct ShotOutcome {
  // OK: every copy of every file complete, durable and verified, and every
  // source gone. Else no file of the shot moved: each is where it was,
  // unless `whereNow` says otherwise.
  FsStatus status;
  std::string failedFile;  // the source of the file that failed
  std::string failedAt;    // where it failed: its target or its backup; empty: the source
  // Each file's checksum (XXH3-128 of what was read, in xxhsum's hex),
  // when they were asked for and the move was done.
  std::vector<std::string> checksums;
  // After a failure, where each file is: its source, or where it went and
  // could not come back from.
  std::vector<std::string> whereNow;
};

// How many shots, and how many of their bytes, the file system takes in
// one MoveShots between two given folders: its work overlaps within them.
struct MoveBatch {
  std::size_t shots = 1;
  std::uint64_t bytes = 0;  // 0: no limit beyond the shots
};

// How a volume keeps the times of its files.
struct FileClock {
  // The times are the clock of the camera that wrote them, not moments: FAT
  // and exFAT keep a time of day with no time zone, which Linux shows as if
  // it were UTC, shifted by the mount's offset. The camera's clock read
  // `modified + offsetSeconds` as UTC.
  bool cameraClock = false;
  std::int64_t offsetSeconds = 0;
};

// A file open for reading at any place, for readers that need a little of a
// large file (a picture's metadata at its start).
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The file's size when it was opened.
  virtual std::uint64_t Size() const = 0;
  // Reads up to n bytes at offset; how many (0 at the end), or -1 when the
  // file cannot be read.
  virtual long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True exactly when the path names an existing folder (a link to one counts).
  virtual bool FolderExists(const std::string& path) const = 0;
  // True exactly when the path names an existing regular file (a link to one counts).
  virtual bool FileExists(const std::string& path) const = 0;
  // Creates one folder whose parent exists; its name is on disk when this
  // returns. A folder that is already there (made by someone else meanwhile)
  // is success; a file of that name is Exists.
  virtual FsStatus CreateFolder(const std::string& path) = 0;

  // Every regular file directly in the folder, hidden ones included, in
  // ascending name order ignoring letter case (names that differ only in
  // case in byte order), never in the folder's raw order. Links are left
  // out. An entry that cannot be looked at fails the whole listing, so that
  // nothing is ever passed over in silence; on failure `files` is empty.
  virtual FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const = 0;
  // The full paths of every direct subfolder (not links to folders), in the
  // same order and with the same failure rule as ListFiles.
  virtual FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const = 0;
  // The names of the files directly in the folder that FileExists counts
  // (regular files and links to them), in ListFiles' order: the program's
  // own files, which an installation may link to from elsewhere. An entry
  // that cannot be looked at is left out; a folder that cannot be read
  // has none.
  virtual std::vector<std::string> FileNames(const std::string& folder) const = 0;
  // True when the folder holds nothing at all (no file, folder, link or
  // hidden entry). A folder that cannot be read is not empty.
  virtual bool FolderIsEmpty(const std::string& path) const = 0;

  // The path with every link, "." and ".." resolved; the path must exist.
  virtual FsStatus CanonicalPath(const std::string& path, std::string& canonical) const = 0;

  // The identity of the volume holding the path: equal for two paths
  // exactly when a move between them is a rename.
  virtual FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const = 0;
  // The bytes the user may still write on the path's volume.
  virtual FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const = 0;
  // How the path's volume keeps file times; by default as moments.
  virtual FsStatus FileClockOf(const std::string& path, FileClock& clock) const {
    (void)path;
    clock = FileClock{};
    return {};
  }
  // The unit the path's volume allocates files in: a file takes its size
  // rounded up to whole units of the free space.
  virtual FsStatus AllocationUnit(const std::string& path, std::uint64_t& bytes) const = 0;

  // Moves one regular file; never replaces an existing target (Exists).
  // Across volumes the copy is complete and on disk, with the source's
  // times, and read back from the disk equal to what was read from the
  // source (else CopyDiffers), before the source is removed; a source that
  // changed meanwhile stays (SourceChanged). On failure the source is in
  // place and nothing new is left at the target.
  virtual FsStatus MoveFile(const std::string& source, const std::string& target) = 0;
  // Copies a regular file as a move across volumes does, but keeps the
  // source: the copy complete, on disk, with the source's times and read
  // back equal to what was read; never replacing anything. `checksum` (when
  // given) receives the checksum of what was read. On failure nothing new is
  // left at the target.
  virtual FsStatus CopyFile(const std::string& source, const std::string& target, std::string* checksum) = 0;
  // Removes a regular file that a move made and must take back.
  virtual FsStatus RemoveCopy(const std::string& path) = 0;
  // The checksum of a file's content: XXH3-128, as xxhsum writes it.
  virtual FsStatus Checksum(const std::string& path, std::string& hex) const = 0;
  // Moves whole shots, each to its target and, where named, its backup:
  // the sources of a shot go only once every copy of it is complete,
  // durable and verified; when one of its files fails, none of the shot's
  // files moves. One outcome per shot, in order. By default shot after
  // shot, file after file, with CopyFile and MoveFile.
  virtual std::vector<ShotOutcome> MoveShots(const std::vector<std::vector<FileMove>>& shots, bool checksums);
  // How much one MoveShots between the folders takes; by default a shot.
  virtual MoveBatch BatchLimits(const std::string& sourceFolder, const std::string& targetFolder) const {
    (void)sourceFolder;
    (void)targetFolder;
    return {};
  }
  // A hint that the file is moved into the folder soon: across volumes its
  // start may be read ahead while the move in hand is flushed and checked,
  // so that a slow card never waits. Nothing is promised; by default
  // nothing happens.
  virtual void WillMove(const std::string& source, const std::string& targetFolder) {
    (void)source;
    (void)targetFolder;
  }
  // Every hint is dropped and nothing read ahead stays open: a move that
  // waits for the user leaves the card free to be taken out.
  virtual void ForgetHints() {}
  // Removes a folder only when it is empty; anything inside makes it fail.
  virtual FsStatus RemoveFolder(const std::string& path) = 0;

  // Opens a regular file for reading; anything else is refused at once.
  virtual FsStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const = 0;
  // The whole content of a regular file. Anything else (a folder, a pipe, a
  // device) is refused at once, without waiting for a writer.
  virtual FsStatus ReadFile(const std::string& path, std::string& bytes) const = 0;
  // Replaces the file's content in one step, so that a crash leaves the old
  // or the new content, never a mix, and the new content is on disk when
  // this returns. A missing file is created; an existing one keeps its
  // permissions; through a link the file it names is replaced.
  virtual FsStatus ReplaceFile(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace quillfen
