#include "posix/MoveChecks.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "base/PathParts.h"
#include "posix/PosixFiles.h"

namespace quillfen::posix {

FsStatus SourceRemovable(const std::string& source) {
  const std::string folder = ParentFolder(source);
  struct statvfs vfs;
  if (::statvfs(folder.c_str(), &vfs) != 0) return StatusOf(errno);
  if (vfs.f_flag & ST_RDONLY) return StatusOf(EROFS);
  if (::access(folder.c_str(), W_OK) != 0) return StatusOf(errno);
  return {};
}

namespace {

bool Same(const struct stat& now, const struct stat& before) {
  return now.st_size == before.st_size && now.st_mtim.tv_sec == before.st_mtim.tv_sec &&
         now.st_mtim.tv_nsec == before.st_mtim.tv_nsec && now.st_ctim.tv_sec == before.st_ctim.tv_sec &&
         now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
}

}  // namespace

bool Unchanged(int source, const struct stat& before) {
  struct stat now;
  return ::fstat(source, &now) == 0 && Same(now, before);
}

bool UnchangedAt(const std::string& path, const struct stat& before) {
  struct stat now;
  return ::lstat(path.c_str(), &now) == 0 && now.st_dev == before.st_dev && now.st_ino == before.st_ino &&
         Same(now, before);
}

FsStatus SourceChanged() {
  return FsStatus::Failed(FsCode::SourceChanged, "the picture changed while it was being copied");
}

FsStatus CopyDiffers() {
  return FsStatus::Failed(FsCode::CopyDiffers, "the copy on the disk differs from the picture on the card");
}

}  // namespace quillfen::posix
