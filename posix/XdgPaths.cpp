#include "posix/XdgPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "base/PathParts.h"
#include "posix/AtomicFile.h"

namespace quillfen::xdg {
namespace {

std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value && value[0] == '/') return value;
  return {};
}

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir) return account->pw_dir;
  return "/";
}

std::string ConfigHome() {
  std::string value = AbsoluteEnv("XDG_CONFIG_HOME");
  return value.empty() ? BuildPath(HomeFolder(), ".config") : value;
}

std::string DataHome() {
  std::string value = AbsoluteEnv("XDG_DATA_HOME");
  return value.empty() ? BuildPath(HomeFolder(), ".local/share") : value;
}

std::string MediaFolder() {
  const char* user = std::getenv("USER");
  std::string name = user && *user ? user : "";
  if (name.empty())
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_name) name = account->pw_name;
  std::vector<std::string> folders;
  if (!name.empty()) folders = {BuildPath("/run/media", name), BuildPath("/media", name)};
  folders.emplace_back("/media");
  for (const std::string& folder : folders) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return folder;
  }
  return HomeFolder();
}

bool CurrentDesktopIs(std::string_view desktop) {
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  std::string_view rest = desktops ? desktops : "";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    if (rest.substr(0, colon) == desktop) return true;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return false;
}

std::string UserDirFromText(const std::string& text, const std::string& name, const std::string& home) {
  std::istringstream lines(text);
  std::string line;
  const std::string prefix = name + "=\"";
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      unescaped += value[i];
    }
    if (unescaped.rfind("$HOME", 0) == 0) {
      std::string rest = unescaped.substr(5);
      if (!rest.empty() && rest.front() != '/') continue;
      return rest.empty() || rest == "/" ? home : BuildPath(home, rest);
    }
    if (!unescaped.empty() && unescaped.front() == '/') return unescaped;
  }
  return {};
}

std::string PicturesFolder() {
  std::string fromEnvironment = AbsoluteEnv("XDG_PICTURES_DIR");
  if (!fromEnvironment.empty()) return fromEnvironment;
  const std::string home = HomeFolder();
  atomic_file::ReadResult dirs = atomic_file::Read(BuildPath(ConfigHome(), "user-dirs.dirs"));
  if (dirs.ok && dirs.exists) {
    std::string fromFile = UserDirFromText(dirs.text, "XDG_PICTURES_DIR", home);
    if (!fromFile.empty()) return fromFile;
  }
  return BuildPath(home, "Pictures");
}

}  // namespace quillfen::xdg
