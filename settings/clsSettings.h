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

  void SaveParameter(const std::string& name, bool value);
  void LoadSettings();
  // The AutoPlay registration.
  void SaveAutorun(bool value);
  void RewritePaths();

  // The default target: the user's picture folder.
  std::string DefaultTarget() const;

 private:
  GlobalModule& module_;
  bool automoving_ = false;
  bool autorun_ = false;
  bool autoRename_ = false;
  bool subfolder_ = false;
};

}  // namespace quillfen
