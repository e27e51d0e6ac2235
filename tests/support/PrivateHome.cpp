#include "support/PrivateHome.h"

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace quillfen::testing {

PrivateHome::PrivateHome(std::string folder) : home_(std::move(folder)) {
  std::filesystem::create_directories(ConfigHome() + "/Quillfen");
  std::filesystem::create_directories(DataHome());
}

std::vector<std::string> PrivateHome::Environment(const std::vector<std::string>& locale) const {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_", 0) == 0 || entry.rfind("LC_", 0) == 0 ||
        entry.rfind("LANG=", 0) == 0 || entry.rfind("LANGUAGE=", 0) == 0 ||
        entry.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) == 0)
      continue;
    env.push_back(entry);
  }
  // Settings daemons (Xfce's) answer over the session bus whatever HOME says.
  env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + home_ + "/no-session-bus");
  env.push_back("HOME=" + home_);
  env.push_back("XDG_CONFIG_HOME=" + ConfigHome());
  env.push_back("XDG_DATA_HOME=" + DataHome());
  env.insert(env.end(), locale.begin(), locale.end());
  return env;
}

void PrivateHome::ApplyHere() const {
  ::setenv("HOME", home_.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
  ::setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
  ::unsetenv("XDG_PICTURES_DIR");
}

}  // namespace quillfen::testing
