#include "platform/posix/DeferredRemovals.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace quillfen {

namespace {

constexpr std::size_t kMostCopies = 4096;
constexpr std::uint64_t kMostBytes = std::uint64_t{512} << 20;
// How long a moved picture may still be on its card after MoveFile returned.
constexpr auto kLongestWait = std::chrono::milliseconds(2000);

std::string ParentOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes everything written to the volume holding the folder; 0 or the error.
int FlushVolumeOf(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = ::syncfs(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error;
}

}  // namespace

void DeferredRemovals::Add(const std::string& source, const std::string& target, std::uint64_t bytes) {
  if (waiting_.empty()) oldest_ = std::chrono::steady_clock::now();
  waiting_.push_back({source, target});
  sources_.insert(source);
  bytes_ += bytes;
}

bool DeferredRemovals::Due() const {
  if (waiting_.empty()) return false;
  return waiting_.size() >= kMostCopies || bytes_ >= kMostBytes ||
         std::chrono::steady_clock::now() - oldest_ >= kLongestWait;
}

FsStatus DeferredRemovals::Flush() {
  std::vector<Waiting> waiting;
  waiting.swap(waiting_);
  sources_.clear();
  bytes_ = 0;

  std::set<dev_t> flushed;
  std::set<dev_t> failed;
  FsStatus result;
  for (const auto& w : waiting) {
    std::string folder = ParentOf(w.target);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) {
      if (result) result = FsStatus::Failed(w.target + ": " + std::strerror(errno));
      continue;
    }
    if (!flushed.count(st.st_dev) && !failed.count(st.st_dev)) {
      if (int error = FlushVolumeOf(folder)) {
        failed.insert(st.st_dev);
        if (result) result = FsStatus::Failed(w.target + ": " + std::strerror(error));
      } else {
        flushed.insert(st.st_dev);
      }
    }
    if (failed.count(st.st_dev)) continue;  // not known to be on disk: keep the source
    if (::unlink(w.source.c_str()) != 0 && errno != ENOENT && result)
      result = FsStatus::Failed(w.source + ": " + std::strerror(errno));
  }
  return result;
}

}  // namespace quillfen
