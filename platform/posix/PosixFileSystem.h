#pragma once
// The file system on POSIX: st_dev for volumes, statvfs for free space, and
// moves that never replace a file and never lose one.
#include "platform/FileSystem.h"
#include "platform/posix/DeferredRemovals.h"

namespace quillfen {

class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem() = default;
  ~PosixFileSystem() override;
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;

  bool FolderExists(const std::string& path) const override;
  bool FileExists(const std::string& path) const override;
  FsStatus CreateFolder(const std::string& path) override;
  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override;
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override;
  FsStatus FileSize(const std::string& path, std::uint64_t& size) const override;
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override;
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus MoveFile(const std::string& source, const std::string& target) override;
  FsStatus RemoveFolder(const std::string& path) override;
  bool FolderIsEmpty(const std::string& path) const override;

 private:
  // Removes the sources of copies made to other volumes once those copies
  // are on disk. Every look at the source side comes after this, so the
  // mover never sees a picture that it has already moved.
  void SettleRemovals() const;
  FsStatus MoveAcrossVolumes(const std::string& source, const std::string& target);

  // Waiting removals are an effect of earlier moves that lookups complete.
  mutable DeferredRemovals pending_;
  // A failure of a removal completed by a lookup, told by the next move.
  mutable FsStatus untold_;
};

}  // namespace quillfen
