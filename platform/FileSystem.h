#pragma once
// The file system as the mover uses it. Listings are always in ascending name
// order ignoring letter case, never in a directory's raw order.
#include <cstdint>
#include <string>
#include <vector>

namespace quillfen {

// Outcome of a file-system operation; reason says why in words when it failed.
struct FsStatus {
  bool ok = true;
  std::string reason;
  static FsStatus Failed(std::string why) { return {false, std::move(why)}; }
  explicit operator bool() const { return ok; }
};

struct FileEntry {
  std::string name;   // the name with its extension
  std::string path;   // the full path
  std::uint64_t size = 0;
  bool hidden = false;  // the name starts with "."
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool FolderExists(const std::string& path) const = 0;
  virtual bool FileExists(const std::string& path) const = 0;
  // Creates one folder whose parent exists.
  virtual FsStatus CreateFolder(const std::string& path) = 0;
  // Every file directly in the folder, hidden ones included.
  virtual FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const = 0;
  // The full paths of every direct subfolder.
  virtual FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const = 0;
  virtual FsStatus FileSize(const std::string& path, std::uint64_t& size) const = 0;
  // Identity of the volume holding the path (st_dev).
  virtual FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const = 0;
  virtual FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const = 0;
  // Moves one file; never replaces an existing target. On failure the source
  // is in place and no partial target is left.
  virtual FsStatus MoveFile(const std::string& source, const std::string& target) = 0;
  // Removes a folder only when it is empty.
  virtual FsStatus RemoveFolder(const std::string& path) = 0;
  // True when the folder holds no file and no subfolder.
  virtual bool FolderIsEmpty(const std::string& path) const = 0;
};

}  // namespace quillfen
