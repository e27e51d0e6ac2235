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

  // Moves one regular file; never replaces an existing target (Exists).
  // Across volumes the copy is complete and on disk, with the source's
  // times, and read back from the disk equal to what was read from the
  // source (else CopyDiffers), before the source is removed; a source that
  // changed meanwhile stays (SourceChanged). On failure the source is in
  // place and nothing new is left at the target.
  virtual FsStatus MoveFile(const std::string& source, const std::string& target) = 0;
  // A hint that the file is moved into the folder soon: across volumes its
  // start may be read ahead while the move in hand is flushed and checked,
  // so that a slow card never waits. Nothing is promised; by default
  // nothing happens.
  virtual void WillMove(const std::string& source, const std::string& targetFolder) {
    (void)source;
    (void)targetFolder;
  }
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
