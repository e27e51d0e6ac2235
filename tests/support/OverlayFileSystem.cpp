#include "support/OverlayFileSystem.h"

namespace quillfen::testing {

FsStatus OverlayFileSystem::ListFiles(const std::string& folder, std::vector<FileEntry>& files) const {
  if (unlistable.count(folder)) return Failure();
  return ForwardingFileSystem::ListFiles(folder, files);
}

FsStatus OverlayFileSystem::ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const {
  if (unlistable.count(folder)) return Failure();
  return ForwardingFileSystem::ListSubfolders(folder, subfolders);
}

FsStatus OverlayFileSystem::VolumeId(const std::string& path, std::uint64_t& volume) const {
  auto it = volumeIds.find(path);
  if (it == volumeIds.end()) return ForwardingFileSystem::VolumeId(path, volume);
  volume = it->second;
  return {};
}

FsStatus OverlayFileSystem::FreeSpace(const std::string& path, std::uint64_t& bytes) const {
  ++freeSpaceCalls;
  if (freeSpaceReadings.empty()) return ForwardingFileSystem::FreeSpace(path, bytes);
  bytes = freeSpaceReadings.front();
  if (freeSpaceReadings.size() > 1) freeSpaceReadings.pop_front();
  return {};
}

FsStatus OverlayFileSystem::MoveFile(const std::string& source, const std::string& target) {
  ++moveCalls;
  moveJournal.push_back("move " + source);
  if (FailsNow(failingMoves, source)) return Failure();
  return ForwardingFileSystem::MoveFile(source, target);
}

FsStatus OverlayFileSystem::CopyFile(const std::string& source, const std::string& target, std::string* checksum) {
  if (FailsNow(failingCopies, source)) return Failure();
  return ForwardingFileSystem::CopyFile(source, target, checksum);
}

bool OverlayFileSystem::FailsNow(std::map<std::string, int>& failing, const std::string& source) {
  auto it = failing.find(source);
  if (it == failing.end() || it->second == 0) return false;
  if (it->second > 0) --it->second;
  return true;
}

void OverlayFileSystem::WillMove(const std::string& source, const std::string& targetFolder) {
  moveJournal.push_back("hint " + source + " -> " + targetFolder);
  ForwardingFileSystem::WillMove(source, targetFolder);
}

}  // namespace quillfen::testing
