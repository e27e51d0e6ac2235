#pragma once
// A file system that forwards to a real one, but lets a test fix what a real
// folder cannot show on demand: free space, volume identity, a move that
// fails, a folder that cannot be listed.
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>

#include "platform/ForwardingFileSystem.h"

namespace quillfen::testing {

class OverlayFileSystem : public ForwardingFileSystem {
 public:
  explicit OverlayFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

  // Volume ids by the exact path asked for; other paths ask the real one.
  std::map<std::string, std::uint64_t> volumeIds;
  // Successive readings of free space; the last one repeats. Empty: real.
  mutable std::deque<std::uint64_t> freeSpaceReadings;
  // Source paths whose next moves fail, with how often (-1: always).
  std::map<std::string, int> failingMoves;
  // Source paths whose next second copies (to a backup) fail, likewise.
  std::map<std::string, int> failingCopies;
  // Folders that cannot be listed.
  std::set<std::string> unlistable;
  const std::string failureReason = "Permission denied";

  int moveCalls = 0;
  // The moves and the hints of moves to come, in order: "move SOURCE" and
  // "hint SOURCE -> FOLDER".
  std::vector<std::string> moveJournal;
  mutable int freeSpaceCalls = 0;

  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override;
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override;
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override;
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus MoveFile(const std::string& source, const std::string& target) override;
  FsStatus CopyFile(const std::string& source, const std::string& target, std::string* checksum) override;
  void WillMove(const std::string& source, const std::string& targetFolder) override;

 private:
  FsStatus Failure() const { return FsStatus::Failed(FsCode::Permission, failureReason); }
  // Whether the next operation on `source` fails, counting it down.
  static bool FailsNow(std::map<std::string, int>& failing, const std::string& source);
};

}  // namespace quillfen::testing
