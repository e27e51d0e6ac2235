#pragma once
// A home of the test's own (HOME, XDG_CONFIG_HOME and XDG_DATA_HOME below
// one folder, no session bus), so that no test reads or touches the user's
// settings, desktop files or pictures, and an English interface whatever the
// machine's locale.
#include <string>
#include <vector>

namespace quillfen::testing {

class PrivateHome {
 public:
  // The home is `folder`, made with its .config/Quillfen and .local/share.
  explicit PrivateHome(std::string folder);

  const std::string& Home() const { return home_; }
  std::string ConfigHome() const { return home_ + "/.config"; }
  std::string DataHome() const { return home_ + "/.local/share"; }
  std::string SettingsFile() const { return ConfigHome() + "/Quillfen/settings.ini"; }

  // The caller's environment with the home, the XDG variables, the session
  // bus and the locale replaced, for a program started by the test; the
  // locale is English unless `locale` names other variables ("LANG=de_DE").
  std::vector<std::string> Environment(const std::vector<std::string>& locale = {"LC_ALL=C.UTF-8"}) const;
  // The same for the program's objects running inside the test process.
  void ApplyHere() const;

 private:
  std::string home_;
};

}  // namespace quillfen::testing
