#include "posix/PosixFiles.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/PathParts.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace quillfen::posix {

namespace {

bool RefusingRenameUnsupported(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

bool HardLinkUnsupported(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

}  // namespace

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

int UniqueFd::Close() {
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

int FlushFolder(const std::string& folder) {
  UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir.valid()) return errno;
  return FlushOpenFolder(dir.get());
}

int FlushOpenFolder(int folder) {
  if (::fsync(folder) != 0 && errno != EINVAL && errno != EROFS) return errno;
  return 0;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  return RenameNoReplaceAt(AT_FDCWD, from, AT_FDCWD, to);
}

int RenameNoReplaceAt(int fromFolder, const std::string& from, int toFolder, const std::string& to) {
  if (::syscall(SYS_renameat2, fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  int error = errno;
  if (!RefusingRenameUnsupported(error)) return error;

  if (::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) == 0) {
    if (::unlinkat(fromFolder, from.c_str(), 0) == 0) return 0;
    error = errno;
    ::unlinkat(toFolder, to.c_str(), 0);  // drop the second name again; the file keeps its first
    return error;
  }
  error = errno;
  if (!HardLinkUnsupported(error)) return error;

  UniqueFd claim(::openat(toFolder, to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!claim.valid()) return errno;
  claim.Close();
  if (::renameat(fromFolder, from.c_str(), toFolder, to.c_str()) == 0) return 0;
  error = errno;
  ::unlinkat(toFolder, to.c_str(), 0);
  return error;
}

std::string DurableTemporaryPrefix(const std::string& name) { return "." + name + ".tmp-"; }

int ReplaceDurably(const std::string& path, const std::string& text, mode_t mode) {
  const std::string folder = ParentFolder(path);
  std::string temp = BuildPath(folder, DurableTemporaryPrefix(GetFileName(path)) + "XXXXXX");
  UniqueFd out(::mkstemp(temp.data()));
  if (!out.valid()) return errno;
  int error = ::fchmod(out.get(), mode) == 0 ? 0 : errno;
  if (error == 0) error = WriteAll(out.get(), text);
  if (error == 0 && ::fsync(out.get()) != 0) error = errno;
  const int closed = out.Close();
  if (error == 0) error = closed;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  // The new content is in place; a folder that cannot be flushed does not
  // undo it, but the caller hears of it.
  return FlushFolder(folder);
}

std::string ResolveLink(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
  }
  return path;
}

FsCode CodeOf(int error) {
  switch (error) {
    case 0: return FsCode::Ok;
    case ENOENT:
    case ENOTDIR: return FsCode::NotFound;
    case EEXIST: return FsCode::Exists;
    case ENOSPC:
    case EDQUOT: return FsCode::NoSpace;
    case EROFS: return FsCode::ReadOnly;
    case EACCES:
    case EPERM: return FsCode::Permission;
    case EIO: return FsCode::IoError;
    default: return FsCode::Other;
  }
}

FsStatus StatusOf(int error) {
  if (error == 0) return {};
  return FsStatus::Failed(CodeOf(error), std::strerror(error));
}

}  // namespace quillfen::posix
