#include "posix/PosixSystemInfo.h"

#include <glib.h>
#include <unistd.h>

#include <ctime>
#include <vector>

#include "base/PathParts.h"
#include "posix/XdgPaths.h"

namespace quillfen {

namespace {

std::string RunningProgramPath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);  // the path may have been cut: try again with more room
  }
}

}  // namespace

std::string JoinArguments(int argc, const char* const* argv, int first) {
  std::string joined;
  for (int i = first; i < argc; ++i) {
    if (i > first) joined += ' ';
    joined += argv[i];
  }
  return joined;
}

PosixSystemInfo::PosixSystemInfo(std::string argument, std::string desktopProgram)
    : argument_(std::move(argument)), programFile_(RunningProgramPath()), desktopProgram_(std::move(desktopProgram)) {}

std::string PosixSystemInfo::ProgramFolder() const { return ParentFolder(programFile_); }

std::string PosixSystemInfo::DesktopProgramFileName() const {
  return desktopProgram_.empty() ? GetFileName(programFile_) : desktopProgram_;
}

// GLib reads the variables as gettext does, with the aliases of
// locale.alias resolved, and adds each name's shorter forms (pt_BR.UTF-8,
// pt_BR, pt.UTF-8, pt) and "C" at the end.
std::vector<std::string> PosixSystemInfo::LocalePreferences() const {
  std::vector<std::string> names;
  for (const gchar* const* name = g_get_language_names(); *name; ++name) names.emplace_back(*name);
  return names;
}

LocalDate PosixSystemInfo::Today() const { return DayOf(std::time(nullptr)); }

LocalDate PosixSystemInfo::DayOf(std::int64_t seconds) const { return TimeOf(seconds).date; }

std::int64_t PosixSystemInfo::Now() const { return static_cast<std::int64_t>(std::time(nullptr)); }

LocalTime PosixSystemInfo::TimeOf(std::int64_t seconds) const {
  const std::time_t moment = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (::localtime_r(&moment, &local) == nullptr) return {};
  return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string PosixSystemInfo::PicturesFolder() const { return xdg::PicturesFolder(); }

std::string PosixSystemInfo::MediaFolder() const { return xdg::MediaFolder(); }

}  // namespace quillfen
