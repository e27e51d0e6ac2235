#include "posix/CopyFlush.h"

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

namespace quillfen::posix {

namespace {

// The file systems whose syncfs writes every dirty file and the journal and
// then empties the drive's write cache, as an fsync of each file would.
// Others (FAT and exFAT in the kernel, whose syncfs leaves the drive's cache
// alone; FUSE, which passes no syncfs on) flush each copy.
constexpr long kExt4 = 0xEF53;  // also ext2 and ext3
constexpr long kXfs = 0x58465342;
constexpr long kBtrfs = 0x9123683E;
constexpr long kF2fs = 0xF2F52010;

}  // namespace

CopyFlush CopyFlushOf(int folder) {
  struct statfs fs;
  if (::fstatfs(folder, &fs) != 0) return CopyFlush::EachFile;
  switch (static_cast<long>(fs.f_type)) {
    case kExt4:
    case kXfs:
    case kBtrfs:
    case kF2fs: return CopyFlush::WholeVolume;
    default: return CopyFlush::EachFile;
  }
}

int FlushCopy(int fd, CopyFlush how) {
  if (how == CopyFlush::EachFile) return ::fsync(fd) == 0 ? 0 : errno;
  // Every page written and its writing finished, so that a read-back from
  // the disk reads what the drive was given.
  constexpr unsigned kWritten = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
  return ::sync_file_range(fd, 0, 0, kWritten) == 0 ? 0 : errno;
}

void StartWriting(int fd) { (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE); }

int FlushVolume(int folder) { return ::syncfs(folder) == 0 ? 0 : errno; }

}  // namespace quillfen::posix
