#pragma once
// A file system that forwards to a real one, but lets a test fix what a real
// folder cannot show on demand: free space, volume identity, a move that
// fails, a folder that cannot be listed.
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace quillfen::testing {

class OverlayFileSystem : public FileSystem {
 public:
  explicit OverlayFileSystem(FileSystem& inner) : inner_(inner) {}

  // Volume ids by the exact path asked for; other paths ask the real one.
  std::map<std::string, std::uint64_t> volumeIds;
  // Successive readings of free space; the last one repeats. Empty: real.
  mutable std::deque<std::uint64_t> freeSpaceReadings;
  // Source paths whose next moves fail, with how often (-1: always).
  std::map<std::string, int> failingMoves;
  // Folders that cannot be listed.
  std::set<std::string> unlistable;
  const std::string failureReason = "Permission denied";

  int moveCalls = 0;
  mutable int freeSpaceCalls = 0;

  bool FolderExists(const std::string& path) const override { return inner_.FolderExists(path); }
  bool FileExists(const std::string& path) const override { return inner_.FileExists(path); }
  FsStatus CreateFolder(const std::string& path) override { return inner_.CreateFolder(path); }
  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override;
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override;
  FsStatus FileSize(const std::string& path, std::uint64_t& size) const override { return inner_.FileSize(path, size); }
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override;
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus MoveFile(const std::string& source, const std::string& target) override;
  FsStatus RemoveFolder(const std::string& path) override { return inner_.RemoveFolder(path); }
  bool FolderIsEmpty(const std::string& path) const override { return inner_.FolderIsEmpty(path); }

 private:
  FileSystem& inner_;
};

}  // namespace quillfen::testing
