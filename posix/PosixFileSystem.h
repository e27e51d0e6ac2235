#pragma once
// The file system on POSIX: st_dev for volumes, statvfs for free space, and
// moves that never replace a file and never lose one.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "posix/ReadAhead.h"
#include "posix/Workers.h"

namespace quillfen {

class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem() = default;
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;

  bool FolderExists(const std::string& path) const override;
  bool FileExists(const std::string& path) const override;
  FsStatus CreateFolder(const std::string& path) override;
  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override;
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override;
  std::vector<std::string> FileNames(const std::string& folder) const override;
  FsStatus CanonicalPath(const std::string& path, std::string& canonical) const override;
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override;
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus AllocationUnit(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus FileClockOf(const std::string& path, FileClock& clock) const override;
  FsStatus MoveFile(const std::string& source, const std::string& target) override;
  FsStatus CopyFile(const std::string& source, const std::string& target, std::string* checksum) override;
  FsStatus RemoveCopy(const std::string& path) override;
  FsStatus Checksum(const std::string& path, std::string& hex) const override;
  // Across volumes the shots move together (posix/BatchMove.h); within a
  // volume each is renamed on its own.
  std::vector<ShotOutcome> MoveShots(const std::vector<std::vector<FileMove>>& shots, bool checksums) override;
  MoveBatch BatchLimits(const std::string& sourceFolder, const std::string& targetFolder) const override;
  void WillMove(const std::string& source, const std::string& targetFolder) override;
  void ForgetHints() override;
  FsStatus RemoveFolder(const std::string& path) override;
  bool FolderIsEmpty(const std::string& path) const override;
  FsStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const override;
  FsStatus ReadFile(const std::string& path, std::string& bytes) const override;
  FsStatus ReplaceFile(const std::string& path, const std::string& bytes) override;

 private:
  // Target folders on another volume than their sources already cleared of
  // temporary copies left by killed runs; once per folder and process.
  std::set<std::string> sweptFolders_;
  // Whether a move from the first folder to the second crosses volumes,
  // for every pair of folders looked at.
  mutable std::map<std::pair<std::string, std::string>, bool> crossings_;
  // The next pictures of a move across volumes, read while it works.
  posix::ReadAhead readAhead_;
  // The threads that flush the copies of a move across volumes and read
  // them back: enough for a drive to have several small copies in hand at
  // once, few enough to stay out of the way.
  posix::Workers workers_{8};
  // The pictures announced for the next move, handed to the reader once the
  // card is free of the move in hand's own reading.
  std::vector<std::string> hints_;
  // How fast the last batch across volumes went, in bytes a second (0: none yet).
  double pace_ = 0;

  bool CrossesVolumes(const std::string& sourceFolder, const std::string& targetFolder) const;
  bool ShotCrossesVolumes(const std::vector<FileMove>& shot) const;
  void SweepOnce(const std::string& folder);
  void ReadHinted();
};

}  // namespace quillfen
