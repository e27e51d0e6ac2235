#pragma once
// A file system that reaches the real one only inside one folder, and reads
// the program's own files in another. Whatever a fuzzed request names
// outside them does not exist and cannot be changed, so no input can move,
// create or remove a file of the user's.
#include <string>

#include "platform/ForwardingFileSystem.h"
#include "posix/PosixFileSystem.h"

namespace quillfen::fuzzing {

class JailedFileSystem : public ForwardingFileSystem {
 public:
  // root: the jail; readOnly: where the program's files may be read.
  JailedFileSystem(const std::string& root, const std::string& readOnly);

  // True when the path lies inside the jail (or is its root).
  bool Inside(const std::string& path) const { return Within(root_, path); }

  bool FolderExists(const std::string& path) const override;
  bool FileExists(const std::string& path) const override;
  FsStatus CreateFolder(const std::string& path) override;
  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override;
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override;
  bool FolderIsEmpty(const std::string& path) const override;
  FsStatus CanonicalPath(const std::string& path, std::string& canonical) const override;
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override;
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override;
  FsStatus MoveFile(const std::string& source, const std::string& target) override;
  FsStatus RemoveFolder(const std::string& path) override;
  FsStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const override;
  FsStatus ReadFile(const std::string& path, std::string& bytes) const override;
  FsStatus ReplaceFile(const std::string& path, const std::string& bytes) override;

 private:
  static FsStatus Outside() { return FsStatus::Failed(FsCode::NotFound, "No such file or directory"); }
  // An absolute path whose normal form starts with the folder. Relative
  // paths never are.
  static bool Within(const std::string& folder, const std::string& path);
  bool Readable(const std::string& path) const { return Inside(path) || Within(readOnly_, path); }

  std::string root_;
  std::string readOnly_;
  PosixFileSystem real_;
};

}  // namespace quillfen::fuzzing
