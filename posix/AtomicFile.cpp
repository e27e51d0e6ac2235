#include "posix/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/PathParts.h"
#include "posix/PosixFiles.h"

namespace quillfen::atomic_file {
namespace {

std::string Reason(const std::string& what, const std::string& path, int error = errno) {
  return what + " " + path + ": " + std::strerror(error);
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

bool CreateFolders(const std::string& folder, std::string* error) {
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    SetError(error, Reason("cannot use the folder", folder, ENOTDIR));
    return false;
  }
  const std::string parent = ParentFolder(folder);
  if (parent != folder && !CreateFolders(parent, error)) return false;
  // Private to the user, as the XDG base directory rules ask for new folders.
  if (::mkdir(folder.c_str(), 0700) != 0) {
    if (errno == EEXIST) return true;
    SetError(error, Reason("cannot create the folder", folder));
    return false;
  }
  // The new folder's name outlasts a power cut like the file written into it.
  posix::FlushFolder(parent);
  return true;
}

// Temporary files of writers that were killed before their rename. Every
// writer makes its temporary file while it holds the lock, so whoever holds
// the lock now knows that any other one left beside the file is stale.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  const std::string prefix = posix::DurableTemporaryPrefix(name);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    const std::string entryName = entry->d_name;
    if (entryName.size() != prefix.size() + 6 || entryName.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    const std::string stale = BuildPath(folder, entryName);
    if (::lstat(stale.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(stale.c_str());
  }
  ::closedir(dir);
}

// Called with the file's lock held.
bool ReplaceWith(const std::string& path, const std::string& text, mode_t mode, std::string* error) {
  RemoveStaleTemporaries(ParentFolder(path), GetFileName(path));
  if (const int failed = posix::ReplaceDurably(path, text, mode)) {
    SetError(error, Reason("cannot replace", path, failed));
    return false;
  }
  return true;
}

// Holds the exclusive lock on "<folder>/.<name>.lock" while alive.
class FileLock {
 public:
  explicit FileLock(const std::string& path)
      : lockPath_(BuildPath(ParentFolder(path), "." + GetFileName(path) + ".lock")),
        fd_(::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (!fd_.valid()) {
      error_ = Reason("cannot open the lock file", lockPath_);
      return;
    }
    while (::flock(fd_.get(), LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      error_ = Reason("cannot lock", lockPath_);
      return;
    }
    held_ = true;
  }
  // Closing the descriptor releases the lock.
  bool held() const { return held_; }
  const std::string& error() const { return error_; }

 private:
  std::string lockPath_;
  posix::UniqueFd fd_;
  bool held_ = false;
  std::string error_;
};

}  // namespace

ReadResult Read(const std::string& path) {
  ReadResult result;
  posix::UniqueFd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.valid()) {
    result.ok = errno == ENOENT || errno == ENOTDIR;
    if (!result.ok) result.error = Reason("cannot open", path);
    return result;
  }
  result.exists = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = Reason("cannot read", path);
      return result;
    }
    if (n == 0) break;
    result.text.append(buffer, static_cast<std::size_t>(n));
  }
  result.ok = true;
  return result;
}

bool Modify(const std::string& path, const Modification& modification, mode_t newFileMode, std::string* error) {
  const std::string target = posix::ResolveLink(path);
  if (!CreateFolders(ParentFolder(target), error)) return false;
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
  const std::string target = posix::ResolveLink(path);
  struct stat st;
  if (::stat(ParentFolder(target).c_str(), &st) != 0) return true;
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
  posix::FlushFolder(ParentFolder(target));
  return true;
}

std::optional<std::string> MoveAside(const std::string& path, const std::string& suffix) {
  for (int attempt = 1; attempt < 1000; ++attempt) {
    std::string aside = path + suffix;
    if (attempt > 1) aside += "-" + std::to_string(attempt);
    const int error = posix::RenameNoReplace(path, aside);
    if (error == 0) {
      posix::FlushFolder(ParentFolder(path));
      return aside;
    }
    if (error != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quillfen::atomic_file
