#pragma once
// The few POSIX file operations every writer of the program shares: a file
// descriptor that closes itself, writing a whole text, flushing a folder's
// entries to disk, a rename that never replaces, and replacing a file's
// content durably. Each returns 0 or the errno of the failure.
#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace quillfen::posix {

// A file descriptor, closed however the scope ends.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and returns the error a close may carry (a delayed write error).
  int Close();

 private:
  int fd_;
};

// Writes all of text, going on after short writes and interruptions.
int WriteAll(int fd, std::string_view text);
// Makes the folder's entries (new names, renames, removals) durable. File
// systems that cannot flush a folder say so with EINVAL or EROFS; their
// entries are as durable as they get, which counts as success.
int FlushFolder(const std::string& folder);
// The same for a folder that is open.
int FlushOpenFolder(int folder);
// Gives `from` the name `to` on the same volume; EEXIST rather than replace
// anything. Where the kernel has no refusing rename, a hard link refuses an
// existing name as well; where neither works (exFAT through FUSE), the name
// is claimed with an empty file only we can have made, then renamed over.
int RenameNoReplace(const std::string& from, const std::string& to);
// The same with each name relative to an open folder (or AT_FDCWD): only the
// names, not the whole paths, must fit the system's limits.
int RenameNoReplaceAt(int fromFolder, const std::string& from, int toFolder, const std::string& to);
// Replaces the file at `path` (no link is followed: resolve it first) with
// `text` in one step: a hidden temporary file beside it (".<name>.tmp-XXXXXX")
// is written with `mode`, flushed, renamed over the file, and the folder is
// flushed. On failure the file is as it was and no temporary file is left.
int ReplaceDurably(const std::string& path, const std::string& text, mode_t mode);
// The name pattern of ReplaceDurably's temporary files for a file name.
std::string DurableTemporaryPrefix(const std::string& name);

// The file a path stands for: the target of a symbolic link, else the path.
std::string ResolveLink(const std::string& path);

// What an errno means for the program, and the status that carries it, its
// reason in words.
FsCode CodeOf(int error);
FsStatus StatusOf(int error);

}  // namespace quillfen::posix
