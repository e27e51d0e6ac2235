#include "JailedFileSystem.h"

#include <filesystem>

namespace quillfen::fuzzing {

JailedFileSystem::JailedFileSystem(std::string root)
    : root_(std::filesystem::path(root).lexically_normal().string()) {}

bool JailedFileSystem::Inside(const std::string& path) const {
  if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) return false;
  // The jail holds no symbolic links, so the lexical form is the real one.
  const std::string normal = std::filesystem::path(path).lexically_normal().string();
  if (normal.compare(0, root_.size(), root_) != 0) return false;
  return normal.size() == root_.size() || normal[root_.size()] == '/';
}

bool JailedFileSystem::FolderExists(const std::string& path) const { return Inside(path) && real_.FolderExists(path); }
bool JailedFileSystem::FileExists(const std::string& path) const { return Inside(path) && real_.FileExists(path); }

FsStatus JailedFileSystem::CreateFolder(const std::string& path) {
  return Inside(path) ? real_.CreateFolder(path) : Outside();
}

FsStatus JailedFileSystem::ListFiles(const std::string& folder, std::vector<FileEntry>& files) const {
  return Inside(folder) ? real_.ListFiles(folder, files) : Outside();
}

FsStatus JailedFileSystem::ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const {
  return Inside(folder) ? real_.ListSubfolders(folder, subfolders) : Outside();
}

FsStatus JailedFileSystem::FileSize(const std::string& path, std::uint64_t& size) const {
  return Inside(path) ? real_.FileSize(path, size) : Outside();
}

FsStatus JailedFileSystem::VolumeId(const std::string& path, std::uint64_t& volume) const {
  return Inside(path) ? real_.VolumeId(path, volume) : Outside();
}

FsStatus JailedFileSystem::FreeSpace(const std::string& path, std::uint64_t& bytes) const {
  return Inside(path) ? real_.FreeSpace(path, bytes) : Outside();
}

FsStatus JailedFileSystem::MoveFile(const std::string& source, const std::string& target) {
  return Inside(source) && Inside(target) ? real_.MoveFile(source, target) : Outside();
}

FsStatus JailedFileSystem::RemoveFolder(const std::string& path) {
  return Inside(path) ? real_.RemoveFolder(path) : Outside();
}

bool JailedFileSystem::FolderIsEmpty(const std::string& path) const {
  return Inside(path) && real_.FolderIsEmpty(path);
}

}  // namespace quillfen::fuzzing
