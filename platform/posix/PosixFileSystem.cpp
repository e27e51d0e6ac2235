#include "platform/posix/PosixFileSystem.h"

#include <sys/stat.h>

namespace quillfen {
// Placeholder until the file system lands.
bool PosixFileSystem::FolderExists(const std::string& path) const {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool PosixFileSystem::FileExists(const std::string& path) const {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
FsStatus PosixFileSystem::CreateFolder(const std::string&) { return FsStatus::Failed("not built yet"); }
FsStatus PosixFileSystem::ListFiles(const std::string&, std::vector<FileEntry>&) const { return {}; }
FsStatus PosixFileSystem::ListSubfolders(const std::string&, std::vector<std::string>&) const { return {}; }
FsStatus PosixFileSystem::FileSize(const std::string&, std::uint64_t&) const { return {}; }
FsStatus PosixFileSystem::VolumeId(const std::string&, std::uint64_t&) const { return {}; }
FsStatus PosixFileSystem::FreeSpace(const std::string&, std::uint64_t&) const { return {}; }
FsStatus PosixFileSystem::MoveFile(const std::string&, const std::string&) { return FsStatus::Failed("not built yet"); }
FsStatus PosixFileSystem::RemoveFolder(const std::string&) { return {}; }
bool PosixFileSystem::FolderIsEmpty(const std::string&) const { return false; }
}  // namespace quillfen
