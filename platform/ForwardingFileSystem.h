#pragma once
// A file system that hands every call to another one. Wrappers (a fault
// injector, a counter) derive from it and override only the calls they
// change.
#include "platform/FileSystem.h"

namespace quillfen {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& target) : target_(target) {}

  bool FolderExists(const std::string& path) const override { return target_.FolderExists(path); }
  bool FileExists(const std::string& path) const override { return target_.FileExists(path); }
  FsStatus CreateFolder(const std::string& path) override { return target_.CreateFolder(path); }
  FsStatus ListFiles(const std::string& folder, std::vector<FileEntry>& files) const override {
    return target_.ListFiles(folder, files);
  }
  FsStatus ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const override {
    return target_.ListSubfolders(folder, subfolders);
  }
  std::vector<std::string> FileNames(const std::string& folder) const override { return target_.FileNames(folder); }
  bool FolderIsEmpty(const std::string& path) const override { return target_.FolderIsEmpty(path); }
  FsStatus CanonicalPath(const std::string& path, std::string& canonical) const override {
    return target_.CanonicalPath(path, canonical);
  }
  FsStatus VolumeId(const std::string& path, std::uint64_t& volume) const override {
    return target_.VolumeId(path, volume);
  }
  FsStatus FreeSpace(const std::string& path, std::uint64_t& bytes) const override {
    return target_.FreeSpace(path, bytes);
  }
  FsStatus FileClockOf(const std::string& path, FileClock& clock) const override {
    return target_.FileClockOf(path, clock);
  }
  FsStatus AllocationUnit(const std::string& path, std::uint64_t& bytes) const override {
    return target_.AllocationUnit(path, bytes);
  }
  FsStatus MoveFile(const std::string& source, const std::string& target) override {
    return target_.MoveFile(source, target);
  }
  FsStatus CopyFile(const std::string& source, const std::string& target, std::string* checksum) override {
    return target_.CopyFile(source, target, checksum);
  }
  FsStatus RemoveCopy(const std::string& path) override { return target_.RemoveCopy(path); }
  FsStatus Checksum(const std::string& path, std::string& hex) const override { return target_.Checksum(path, hex); }
  // MoveShots and BatchLimits are not handed on: a wrapper that changes
  // MoveFile sees every file of a shot pass through it.
  void WillMove(const std::string& source, const std::string& targetFolder) override {
    target_.WillMove(source, targetFolder);
  }
  void ForgetHints() override { target_.ForgetHints(); }
  FsStatus RemoveFolder(const std::string& path) override { return target_.RemoveFolder(path); }
  FsStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const override {
    return target_.OpenForReading(path, file);
  }
  FsStatus ReadFile(const std::string& path, std::string& bytes) const override {
    return target_.ReadFile(path, bytes);
  }
  FsStatus ReplaceFile(const std::string& path, const std::string& bytes) override {
    return target_.ReplaceFile(path, bytes);
  }

 private:
  FileSystem& target_;
};

}  // namespace quillfen
