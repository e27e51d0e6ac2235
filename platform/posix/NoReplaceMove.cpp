#include "platform/posix/NoReplaceMove.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "base/PathParts.h"
#include "platform/posix/PosixFiles.h"

namespace quillfen {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// Room left for the prefix and suffix of a temporary name within the usual
// 255-byte limit of one name.
constexpr std::size_t kLongestNameInPartial = 200;
constexpr const char* kPartialPrefix = ".quillfen-";
constexpr const char* kPartialMark = ".partial-";

using posix::StatusOf;
using posix::UniqueFd;

// Copies the rest of `in` to `out`; returns 0 or the error. The kernel's own
// copy is tried first; file systems that refuse it get plain reads and writes.
int CopyContents(int in, int out) {
  bool kernelCopy = true;
  bool sendFile = true;
  while (kernelCopy) {
    ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kChunk * 64, 0);
    if (n == 0) return 0;
    if (n > 0) continue;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF)
      return errno;
    kernelCopy = false;
  }
  while (sendFile) {
    ssize_t n = ::sendfile(out, in, nullptr, kChunk * 64);
    if (n == 0) return 0;
    if (n > 0) continue;
    if (errno == EINTR) continue;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    sendFile = false;
  }
  auto buffer = std::make_unique<char[]>(kChunk);
  for (;;) {
    ssize_t got = ::read(in, buffer.get(), kChunk);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(out, buffer.get() + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += put;
    }
  }
}

// Writes a flushed copy of the open source under a fresh hidden name in the
// target folder; on success `partial` names it, on failure nothing is left.
int WritePartialCopy(int in, const struct stat& source, const std::string& target, std::string& partial) {
  int created = -1;
  for (int attempt = 0; created < 0; ++attempt) {
    partial = PartialCopyName(target, attempt);
    created = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (created < 0 && (errno != EEXIST || attempt >= 100)) return errno;
  }
  UniqueFd out(created);
  int error = CopyContents(in, out.get());
  struct stat written;
  if (error == 0 && ::fstat(out.get(), &written) != 0) error = errno;
  // A source that shrank or grew while it was read is not copied faithfully.
  if (error == 0 && written.st_size != source.st_size) error = EIO;
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (error == 0 && ::futimens(out.get(), times) != 0) error = errno;
  if (error == 0 && ::fsync(out.get()) != 0) error = errno;
  if (error == 0) error = out.Close();
  if (error != 0) ::unlink(partial.c_str());
  return error;
}

// Whether the source's folder will let the source be removed after copying:
// a write-protected card is told before its first copy, not after it.
FsStatus SourceRemovable(const std::string& source) {
  std::string folder = ParentFolder(source);
  struct statvfs vfs;
  if (::statvfs(folder.c_str(), &vfs) != 0) return StatusOf(errno);
  if (vfs.f_flag & ST_RDONLY) return StatusOf(EROFS);
  if (::access(folder.c_str(), W_OK) != 0) return StatusOf(errno);
  return {};
}

// Gives the target a flushed copy of the source (same content and times)
// without replacing anything; the source stays. On failure nothing new is
// left at the target.
FsStatus CopyIntoPlace(const std::string& source, const std::string& target) {
  UniqueFd in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!in.valid()) return StatusOf(errno);
  struct stat st;
  if (::fstat(in.get(), &st) != 0) return StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return StatusOf(EINVAL);
  struct stat existing;
  if (::lstat(target.c_str(), &existing) == 0) return StatusOf(EEXIST);

  std::string partial;
  if (int error = WritePartialCopy(in.get(), st, target, partial)) return StatusOf(error);
  if (int error = posix::RenameNoReplace(partial, target)) {
    ::unlink(partial.c_str());
    return StatusOf(error);
  }
  if (int error = posix::FlushFolder(ParentFolder(target))) {
    ::unlink(target.c_str());
    return StatusOf(error);
  }
  return {};
}

FsStatus CopyThenRemove(const std::string& source, const std::string& target) {
  if (FsStatus removable = SourceRemovable(source); !removable) return removable;
  if (FsStatus copied = CopyIntoPlace(source, target); !copied) return copied;
  // Only now, with the copy safely on disk under its name, the source goes.
  if (::unlink(source.c_str()) != 0) {
    int error = errno;
    // Someone removed the source meanwhile: the copy is its only one now.
    if (error == ENOENT) return {};
    ::unlink(target.c_str());  // the picture stays where it was, once
    return StatusOf(error);
  }
  return {};
}

}  // namespace

std::string PartialCopyName(const std::string& target, int attempt) {
  std::string name = GetFileName(target);
  if (name.size() > kLongestNameInPartial) {
    std::size_t cut = kLongestNameInPartial;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  std::string partial = kPartialPrefix + name + kPartialMark + std::to_string(::getpid());
  if (attempt > 0) partial += "-" + std::to_string(attempt);
  return BuildPath(ParentFolder(target), partial);
}

bool IsPartialCopyName(const std::string& name, pid_t& writer) {
  if (name.rfind(kPartialPrefix, 0) != 0) return false;
  auto mark = name.rfind(kPartialMark);
  if (mark == std::string::npos || mark < std::strlen(kPartialPrefix)) return false;
  // The end is "<pid>" or "<pid>-<attempt>", digits only.
  std::string rest = name.substr(mark + std::strlen(kPartialMark));
  auto dash = rest.find('-');
  std::string pid = rest.substr(0, dash);
  std::string attempt = dash == std::string::npos ? "1" : rest.substr(dash + 1);
  auto digitsOnly = [](const std::string& s) {
    return !s.empty() && s.size() <= 9 && s.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!digitsOnly(pid) || !digitsOnly(attempt)) return false;
  writer = static_cast<pid_t>(std::stol(pid));
  return writer > 0;
}

void RemoveStaleCopies(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;  // the move itself will tell what is wrong with the folder
  int fd = ::dirfd(dir);
  while (dirent* entry = ::readdir(dir)) {
    pid_t writer = 0;
    if (!IsPartialCopyName(entry->d_name, writer)) continue;
    // A writer that still runs (or that we may not signal) may be writing it.
    if (writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
    struct stat st;
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    ::unlinkat(fd, entry->d_name, 0);
  }
  ::closedir(dir);
}

FsStatus MoveWithoutReplacing(const std::string& source, const std::string& target) {
  struct stat st;
  if (::lstat(source.c_str(), &st) != 0) return StatusOf(errno);
  if (!S_ISREG(st.st_mode)) return StatusOf(EINVAL);
  int error = posix::RenameNoReplace(source, target);
  if (error == 0) return {};
  if (error != EXDEV) return StatusOf(error);
  return CopyThenRemove(source, target);
}

}  // namespace quillfen
