#pragma once
// A file system that reaches the real one only inside one folder. Whatever a
// fuzzed request names outside it does not exist and cannot be changed, so
// no input can move, create or remove a file of the user's.
#include <string>

#include "platform/posix/PosixFileSystem.h"

namespace quillfen::fuzzing {

class JailedFileSystem : public FileSystem {
 public:
  explicit JailedFileSystem(std::string root);

  // True when the path lies inside the root (or is the root): an absolute
  // path whose normal form starts with the root. Relative paths never do.
  bool Inside(const std::string& path) const;

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
  static FsStatus Outside() { return FsStatus::Failed("No such file or directory"); }

  std::string root_;
  PosixFileSystem real_;
};

}  // namespace quillfen::fuzzing
