#pragma once
// A folder of the in-memory file system with the helpers a test needs to
// lay out a card and look at the result, as TempDir has them on a disk.
#include <string>
#include <vector>

#include "memory/MemoryFileSystem.h"

namespace quillfen::testing {

class MemoryFolder {
 public:
  explicit MemoryFolder(MemoryFileSystem& files, std::string root = "/test") : files_(files), root_(std::move(root)) {
    files_.PutFolder(root_);
  }
  const std::string& path() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }
  // Writes a file (making its folders) and returns its full path.
  std::string Write(const std::string& relative, const std::string& content) const {
    files_.Put(Path(relative), content);
    return Path(relative);
  }
  // A file's content; empty when there is none.
  std::string Read(const std::string& relative) const { return files_.Contents(Path(relative)).value_or(""); }

  // By full path, as std::filesystem does on a disk.
  bool Exists(const std::string& path) const { return files_.FileExists(path) || files_.FolderExists(path); }
  bool IsFolder(const std::string& path) const { return files_.FolderExists(path); }
  void MakeFolders(const std::string& path) const { files_.PutFolder(path); }
  void Remove(const std::string& path) const { files_.Erase(path); }
  void Rename(const std::string& from, const std::string& to) const { (void)files_.MoveFile(from, to); }
  // The names in a folder (files and folders), sorted; empty when it does not exist.
  std::vector<std::string> Names(const std::string& folder) const;

 private:
  MemoryFileSystem& files_;
  std::string root_;
};

}  // namespace quillfen::testing
