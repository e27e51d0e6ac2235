#include "JailedFileSystem.h"

#include <filesystem>

namespace quillfen::fuzzing {

namespace {

std::string Normal(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

}  // namespace

JailedFileSystem::JailedFileSystem(const std::string& root, const std::string& readOnly)
    : ForwardingFileSystem(real_), root_(Normal(root)), readOnly_(Normal(readOnly)) {}

bool JailedFileSystem::Within(const std::string& folder, const std::string& path) {
  if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) return false;
  // The folders hold no symbolic links, so the lexical form is the real one.
  const std::string normal = Normal(path);
  if (normal.compare(0, folder.size(), folder) != 0) return false;
  return normal.size() == folder.size() || normal[folder.size()] == '/';
}

bool JailedFileSystem::FolderExists(const std::string& path) const {
  return Inside(path) && ForwardingFileSystem::FolderExists(path);
}

bool JailedFileSystem::FileExists(const std::string& path) const {
  return Readable(path) && ForwardingFileSystem::FileExists(path);
}

FsStatus JailedFileSystem::CreateFolder(const std::string& path) {
  return Inside(path) ? ForwardingFileSystem::CreateFolder(path) : Outside();
}

FsStatus JailedFileSystem::ListFiles(const std::string& folder, std::vector<FileEntry>& files) const {
  return Inside(folder) ? ForwardingFileSystem::ListFiles(folder, files) : Outside();
}

FsStatus JailedFileSystem::ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const {
  return Inside(folder) ? ForwardingFileSystem::ListSubfolders(folder, subfolders) : Outside();
}

bool JailedFileSystem::FolderIsEmpty(const std::string& path) const {
  return Inside(path) && ForwardingFileSystem::FolderIsEmpty(path);
}

FsStatus JailedFileSystem::CanonicalPath(const std::string& path, std::string& canonical) const {
  return Inside(path) ? ForwardingFileSystem::CanonicalPath(path, canonical) : Outside();
}

FsStatus JailedFileSystem::VolumeId(const std::string& path, std::uint64_t& volume) const {
  return Inside(path) ? ForwardingFileSystem::VolumeId(path, volume) : Outside();
}

FsStatus JailedFileSystem::FreeSpace(const std::string& path, std::uint64_t& bytes) const {
  return Inside(path) ? ForwardingFileSystem::FreeSpace(path, bytes) : Outside();
}

FsStatus JailedFileSystem::MoveFile(const std::string& source, const std::string& target) {
  return Inside(source) && Inside(target) ? ForwardingFileSystem::MoveFile(source, target) : Outside();
}

FsStatus JailedFileSystem::RemoveFolder(const std::string& path) {
  return Inside(path) ? ForwardingFileSystem::RemoveFolder(path) : Outside();
}

FsStatus JailedFileSystem::OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const {
  return Readable(path) ? ForwardingFileSystem::OpenForReading(path, file) : Outside();
}

FsStatus JailedFileSystem::ReadFile(const std::string& path, std::string& bytes) const {
  return Readable(path) ? ForwardingFileSystem::ReadFile(path, bytes) : Outside();
}

FsStatus JailedFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  return Inside(path) ? ForwardingFileSystem::ReplaceFile(path, bytes) : Outside();
}

}  // namespace quillfen::fuzzing
