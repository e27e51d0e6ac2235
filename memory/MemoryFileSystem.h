#pragma once
// A whole file system held in memory, for tests that need folders without a
// disk: files and folders by path, volumes with their own identity and size,
// and the same results as the POSIX file system for every call (the contract
// tests run both through the same cases). There are no links.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace quillfen {

class MemoryFileSystem : public FileSystem {
 public:
  // An empty root folder "/" on a volume of `rootCapacity` bytes.
  explicit MemoryFileSystem(std::uint64_t rootCapacity = std::uint64_t{1} << 40);

  // A folder (made with its parents) that is a volume of its own from now
  // on, allocating files in units of `unit` bytes.
  void AddVolume(const std::string& mountPoint, std::uint64_t capacity, bool readOnly = false,
                 std::uint64_t unit = 1);
  // Writes a file, making the folders on the way; it replaces what was there.
  void Put(const std::string& path, const std::string& bytes, std::int64_t modified = 0);
  // The folder with every parent.
  void PutFolder(const std::string& path);
  // The volume at the mount point keeps the camera's clock, as a FAT card does.
  void KeepCameraClock(const std::string& mountPoint, std::int64_t offsetSeconds = 0);
  // A file's content; nothing when there is no file at the path.
  std::optional<std::string> Contents(const std::string& path) const;
  // Takes a file away, as someone else would; false when there is none.
  bool Erase(const std::string& path);

  bool FolderExists(const std::string& path) const override;
  bool FileExists(const std::string& path) const override;
  FsStatus CreateFolder(const std::string& path) override;
  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override;
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override;
  std::vector<std::string> FileNames(const std::string& folder) const override;
  bool FolderIsEmpty(const std::string& path) const override;
  FsStatus CanonicalPath(const std::string& path, std::string& canonical) const override;
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override;
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus AllocationUnit(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus FileClockOf(const std::string& path, FileClock& clock) const override;
  FsStatus MoveFile(const std::string& source, const std::string& target) override;
  FsStatus CopyFile(const std::string& source, const std::string& target, std::string* checksum) override;
  FsStatus RemoveCopy(const std::string& path) override;
  FsStatus Checksum(const std::string& path, std::string& hex) const override;
  FsStatus RemoveFolder(const std::string& path) override;
  FsStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const override;
  FsStatus ReadFile(const std::string& path, std::string& bytes) const override;
  FsStatus ReplaceFile(const std::string& path, const std::string& bytes) override;

 private:
  struct Node {
    bool folder = false;
    std::string bytes;
    std::int64_t modified = 0;
  };
  struct Volume {
    std::uint64_t id = 0;
    std::uint64_t capacity = 0;
    bool readOnly = false;
    std::uint64_t unit = 1;
    FileClock clock;
  };

  const Node* Find(const std::string& path) const;
  // The volume holding the path (its mount point is the longest one above it).
  const std::pair<const std::string, Volume>& VolumeOf(const std::string& path) const;
  std::uint64_t UsedBytes(const std::string& mountPoint) const;
  // Whether a new file of `bytes` fits the volume at the path; the status
  // when it does not (or the volume takes no writes).
  FsStatus Writable(const std::string& path, std::uint64_t bytes, std::uint64_t replacedBytes = 0) const;
  // Calls visit(name, node) for every direct child of the folder, in name order.
  template <typename Visit>
  void ForEachChild(const std::string& folder, Visit visit) const;

  std::map<std::string, Node> nodes_;      // by normalised path
  std::map<std::string, Volume> volumes_;  // by mount point
};

// The path with doubled and trailing "/" taken away ("/" stays "/").
std::string NormalisedPath(const std::string& path);

}  // namespace quillfen
