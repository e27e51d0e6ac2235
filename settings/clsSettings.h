#pragma once
// The user's four options, the stored paths and the command-line argument.
#include <string>

namespace quillfen {

class GlobalModule;

inline constexpr const char* kAppName = "Quillfen";
inline constexpr const char* kSettingsSection = "Settings";

class clsSettings {
 public:
  explicit clsSettings(GlobalModule& module);

  bool Automoving() const { return automoving_; }
  bool Autorun() const { return autorun_; }
  bool AutoRename() const { return autoRename_; }
  bool Subfolder() const { return subfolder_; }

  // Applies and stores an option the movie reported (nothing while locked).
  void SaveParameter(const std::string& name, bool value);
  // Reads every stored setting, shows it in the movie, takes the command-line
  // argument as the source and, with Automoving on, moves at once.
  void LoadSettings();
  // The AutoPlay registration.
  void SaveAutorun(bool value);
  void RewritePaths();

  // The default target: the user's picture folder.
  std::string DefaultTarget() const;

 private:
  bool ReadOption(const char* key, const char* defaultText, bool defaultValue) const;
  // The full path of the running program.
  std::string ProgramPath() const;
  // Shows the registration as it now stands in the hive on the desktop.
  void MirrorToDesktop();

  GlobalModule& module_;
  bool automoving_ = false;
  bool autorun_ = false;
  bool autoRename_ = false;
  bool subfolder_ = false;
};

}  // namespace quillfen
