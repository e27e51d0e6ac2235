#include "platform/posix/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillfen::atomic_file {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path stands for: the target of a symbolic link, else the path.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
  }
  return path;
}

bool CreateFolders(const std::string& folder, std::string* error) {
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    SetError(error, Reason("cannot use the folder", folder));
    return false;
  }
  const std::string parent = FolderOf(folder);
  if (parent != folder && !CreateFolders(parent, error)) return false;
  // Private to the user, as the XDG base directory rules ask for new folders.
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    SetError(error, Reason("cannot create the folder", folder));
    return false;
  }
  return true;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// Temporary files of writers that were killed before their rename. Every
// writer makes its temporary file while it holds the lock, so whoever holds
// the lock now knows that any other one left beside the file is stale.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  const std::string prefix = "." + name + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    const std::string entryName = entry->d_name;
    if (entryName.size() != prefix.size() + 6 || entryName.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    const std::string stale = folder + "/" + entryName;
    if (::lstat(stale.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(stale.c_str());
  }
  ::closedir(dir);
}

// Called with the file's lock held.
bool ReplaceWith(const std::string& path, const std::string& text, mode_t mode, std::string* error) {
  const std::string folder = FolderOf(path);
  RemoveStaleTemporaries(folder, NameOf(path));
  std::string temp = folder + "/." + NameOf(path) + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    SetError(error, Reason("cannot create a temporary file beside", path));
    return false;
  }
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
  if (!ok) SetError(error, Reason("cannot write", temp));
  if (::close(fd) != 0 && ok) {
    ok = false;
    SetError(error, Reason("cannot write", temp));
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    SetError(error, Reason("cannot replace", path));
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

// Holds the exclusive lock on "<folder>/.<name>.lock" while alive.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    const std::string lockPath = FolderOf(path) + "/." + NameOf(path) + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      error_ = Reason("cannot open the lock file", lockPath);
      return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      error_ = Reason("cannot lock", lockPath);
      ::close(fd_);
      fd_ = -1;
      return;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  std::string error_;
};

}  // namespace

ReadResult Read(const std::string& path) {
  ReadResult result;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.ok = errno == ENOENT || errno == ENOTDIR;
    if (!result.ok) result.error = Reason("cannot open", path);
    return result;
  }
  result.exists = true;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = Reason("cannot read", path);
      ::close(fd);
      return result;
    }
    if (n == 0) break;
    result.text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  result.ok = true;
  return result;
}

bool Modify(const std::string& path, const Modification& modification, mode_t newFileMode, std::string* error) {
  const std::string target = ResolveTarget(path);
  if (!CreateFolders(FolderOf(target), error)) return false;
  FileLock lock(target);
  if (!lock.held()) {
    SetError(error, lock.error());
    return false;
  }
  ReadResult current = Read(target);
  if (!current.ok) {
    SetError(error, current.error);
    return false;
  }
  std::optional<std::string> before;
  if (current.exists) before = current.text;
  std::optional<std::string> after = modification(before);
  if (!after || (before && *before == *after)) return true;

  mode_t mode = newFileMode;
  struct stat st;
  // The modification may have moved the old file aside; only a file still in
  // place hands on its mode.
  if (current.exists && ::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  return ReplaceWith(target, *after, mode, error);
}

bool Remove(const std::string& path, std::string* error) {
  const std::string target = ResolveTarget(path);
  struct stat st;
  if (::stat(FolderOf(target).c_str(), &st) != 0) return true;
  FileLock lock(target);
  if (!lock.held()) {
    SetError(error, lock.error());
    return false;
  }
  if (::unlink(target.c_str()) != 0) {
    if (errno == ENOENT) return true;
    SetError(error, Reason("cannot remove", target));
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

std::optional<std::string> MoveAside(const std::string& path, const std::string& suffix) {
  for (int attempt = 1; attempt < 1000; ++attempt) {
    std::string aside = path + suffix;
    if (attempt > 1) aside += "-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      SyncFolder(FolderOf(path));
      return aside;
    }
    if (errno == EINVAL || errno == ENOSYS) {
      // Without a no-replace rename, a hard link is the name that never replaces.
      if (::link(path.c_str(), aside.c_str()) == 0) {
        ::unlink(path.c_str());
        SyncFolder(FolderOf(path));
        return aside;
      }
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quillfen::atomic_file
