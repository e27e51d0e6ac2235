#include "posix/NoReplaceMove.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "base/ChecksumText.h"
#include "base/PathParts.h"
#include "posix/PartialCopies.h"
#include "posix/PosixFiles.h"
#include "posix/VerifiedCopy.h"

namespace quillfen {

namespace {

using posix::StatusOf;
using posix::UniqueFd;

FsStatus Failed(FsCode code, const char* why) { return FsStatus::Failed(code, why); }
FsStatus SourceChanged() {
  return Failed(FsCode::SourceChanged, "the picture changed while it was being copied");
}

// Whether the open source is still as it was when its copy began: its size,
// its contents' time and the time of its last change of any kind.
bool Unchanged(int source, const struct stat& before) {
  struct stat now;
  return ::fstat(source, &now) == 0 && now.st_size == before.st_size &&
         now.st_mtim.tv_sec == before.st_mtim.tv_sec && now.st_mtim.tv_nsec == before.st_mtim.tv_nsec &&
         now.st_ctim.tv_sec == before.st_ctim.tv_sec && now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
}

// Whether the source's folder will let the source be removed after copying:
// a write-protected card is told before its first copy, not after it.
FsStatus SourceRemovable(const std::string& source) {
  const std::string folder = ParentFolder(source);
  struct statvfs vfs;
  if (::statvfs(folder.c_str(), &vfs) != 0) return StatusOf(errno);
  if (vfs.f_flag & ST_RDONLY) return StatusOf(EROFS);
  if (::access(folder.c_str(), W_OK) != 0) return StatusOf(errno);
  return {};
}

// A copy under a hidden name in the target folder, as the move makes it.
// Everything is relative to the open folder, so that only names, not the
// whole long paths, must fit the system's limits. Removed again unless kept.
class PartialCopy {
 public:
  PartialCopy(int folder, const std::string& target) : folder_(folder) {
    for (int attempt = 0; !out_.valid(); ++attempt) {
      name_ = GetFileName(PartialCopyName(target, attempt));
      out_ = UniqueFd(::openat(folder, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (!out_.valid() && (errno != EEXIST || attempt >= 100)) {
        error_ = errno;
        return;
      }
    }
  }
  ~PartialCopy() {
    if (!kept_ && out_.valid()) ::unlinkat(folder_, name_.c_str(), 0);
  }
  PartialCopy(const PartialCopy&) = delete;
  PartialCopy& operator=(const PartialCopy&) = delete;

  int error() const { return error_; }
  int fd() const { return out_.get(); }
  const std::string& name() const { return name_; }
  // It has its final name now: nothing to remove.
  void Keep() { kept_ = true; }

 private:
  int folder_;
  std::string name_;
  UniqueFd out_{-1};
  int error_ = 0;
  bool kept_ = false;
};

// Writes a verified, flushed copy of the open source under a hidden name and
// gives it the final name `name`; the source stays.
FsStatus CopyIntoPlace(int in, const struct stat& source, int folder, const std::string& target,
                       posix::Checksum& read) {
  const std::string name = GetFileName(target);
  struct stat existing;
  if (::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) return StatusOf(EEXIST);

  PartialCopy copy(folder, target);
  if (copy.error()) return StatusOf(copy.error());
  posix::Checksum onDisk;
  if (const int error = posix::CopyWithChecksum(in, copy.fd(), read)) return StatusOf(error);
  // Another program still writing the picture: its copy would not be whole.
  if (read.bytes != static_cast<std::uint64_t>(source.st_size) || !Unchanged(in, source)) return SourceChanged();
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (::futimens(copy.fd(), times) != 0) return StatusOf(errno);
  if (::fsync(copy.fd()) != 0) return StatusOf(errno);
  if (const int error = posix::ChecksumFromDisk(folder, copy.name(), copy.fd(), onDisk)) return StatusOf(error);
  if (!(onDisk == read)) return Failed(FsCode::CopyDiffers, "the copy on the disk differs from the picture on the card");
  if (const int error = posix::RenameNoReplaceAt(folder, copy.name(), folder, name)) return StatusOf(error);
  copy.Keep();
  if (const int error = posix::FlushOpenFolder(folder)) {
    ::unlinkat(folder, name.c_str(), 0);
    return StatusOf(error);
  }
  return {};
}

// Removes the copy made under the final name, so that the picture stays
// where it was, once.
void TakeBack(int folder, const std::string& target) {
  ::unlinkat(folder, GetFileName(target).c_str(), 0);
  posix::FlushOpenFolder(folder);
}

// The source, open for reading as a copy reads it, and the target's folder.
struct CopyEnds {
  UniqueFd in{-1};
  struct stat source {};
  UniqueFd folder{-1};
};

FsStatus Open(const std::string& source, const std::string& target, CopyEnds& ends) {
  ends.in = UniqueFd(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!ends.in.valid()) return StatusOf(errno);
  if (::fstat(ends.in.get(), &ends.source) != 0) return StatusOf(errno);
  if (!S_ISREG(ends.source.st_mode)) return StatusOf(EINVAL);
  ::posix_fadvise(ends.in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  ends.folder = UniqueFd(::open(ParentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!ends.folder.valid()) return StatusOf(errno);
  return {};
}

FsStatus CopyThenRemove(const std::string& source, const std::string& target) {
  if (FsStatus removable = SourceRemovable(source); !removable) return removable;
  CopyEnds ends;
  if (FsStatus opened = Open(source, target, ends); !opened) return opened;
  const int folder = ends.folder.get();
  const int in = ends.in.get();
  const struct stat& st = ends.source;
  posix::Checksum read;
  if (FsStatus copied = CopyIntoPlace(in, st, folder, target, read); !copied) return copied;
  // The last look before the source goes: a picture appended to after its
  // copy stays on the card, whole.
  if (!Unchanged(in, st)) {
    TakeBack(folder, target);
    return SourceChanged();
  }
  // Only now, with the copy safely on disk under its name, the source goes.
  if (::unlink(source.c_str()) != 0) {
    const int error = errno;
    // Someone removed the source meanwhile: the copy is its only one now.
    if (error == ENOENT) return {};
    TakeBack(folder, target);
    return StatusOf(error);
  }
  return {};
}

}  // namespace

FsStatus CopyVerified(const std::string& source, const std::string& target, std::string* checksum) {
  struct stat st;
  if (::lstat(source.c_str(), &st) != 0) return StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return StatusOf(EINVAL);
  CopyEnds ends;
  if (FsStatus opened = Open(source, target, ends); !opened) return opened;
  posix::Checksum read;
  if (FsStatus copied = CopyIntoPlace(ends.in.get(), ends.source, ends.folder.get(), target, read); !copied)
    return copied;
  if (checksum) *checksum = ChecksumText(read.hash);
  return {};
}

FsStatus MoveWithoutReplacing(const std::string& source, const std::string& target) {
  struct stat st;
  if (::lstat(source.c_str(), &st) != 0) return StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return StatusOf(EINVAL);
  const int error = posix::RenameNoReplace(source, target);
  if (error == 0) return {};
  if (error != EXDEV) return StatusOf(error);
  return CopyThenRemove(source, target);
}

}  // namespace quillfen
