#include "posix/NoReplaceMove.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/ChecksumText.h"
#include "base/PathParts.h"
#include "posix/PartialCopies.h"
#include "posix/PosixFiles.h"
#include "posix/MoveChecks.h"
#include "posix/VerifiedCopy.h"

namespace quillfen {

namespace {

using posix::SourceChanged;
using posix::SourceRemovable;
using posix::StatusOf;
using posix::Unchanged;
using posix::UniqueFd;

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
  if (const int error = posix::ChecksumFromDisk(folder, copy.name(), copy.fd(), read.bytes, onDisk)) return StatusOf(error);
  if (!(onDisk == read)) return posix::CopyDiffers();
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
