#include "posix/PartialCopies.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/PathParts.h"

namespace quillfen {

namespace {

// Room left for the prefix and suffix of a temporary name within the usual
// 255-byte limit of one name.
constexpr std::size_t kLongestNameInPartial = 200;
constexpr const char* kPartialPrefix = ".quillfen-";
constexpr const char* kPartialMark = ".partial-";

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

}  // namespace quillfen

namespace quillfen {

PartialCopy::PartialCopy(int folder, const std::string& target) : folder_(folder) {
  for (int attempt = 0; !out_.valid(); ++attempt) {
    name_ = GetFileName(PartialCopyName(target, attempt));
    out_ = posix::UniqueFd(::openat(folder, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!out_.valid() && (errno != EEXIST || attempt >= 100)) {
      error_ = errno;
      return;
    }
  }
}

PartialCopy::~PartialCopy() {
  if (!kept_ && out_.valid()) ::unlinkat(folder_, name_.c_str(), 0);
}

}  // namespace quillfen
