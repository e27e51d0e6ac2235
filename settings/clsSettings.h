#pragma once
// The user's four options, the stored paths and the command-line argument,
// and the AutoPlay registration that one of the options switches.
#include <string>

#include "mover/MoveOptions.h"
#include "platform/DesktopIntegration.h"
#include "platform/RegistryHive.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/SettingsView.h"

namespace quillfen {

class clsFSMoving;
class clsLanguageProvider;

// The platform services the settings use.
struct SettingsPorts {
  SettingsStore& store;
  RegistryHive& registry;
  WindowSystem& window;      // the registry's one box, and the event pump after loading
  const SystemInfo& system;  // the argument, the program's path, the picture folder
  // Mirrors the AutoPlay registration onto the desktop; may be absent.
  DesktopIntegration* desktop = nullptr;
};

class clsSettings : public MoveOptions {
 public:
  // settingsLocked: the program-wide guard; while it is set no option is
  // changed or stored.
  clsSettings(SettingsView& view, const clsLanguageProvider& texts, SettingsPorts ports, bool& settingsLocked);

  bool Automoving() const { return automoving_; }
  bool Autorun() const { return autorun_; }
  bool AutoRename() const override { return autoRename_; }
  bool Subfolder() const override { return subfolder_; }
  bool AllCameraFiles() const override { return allCameraFiles_; }
  bool DateTakenFolders() const override { return dateTakenFolders_; }

  // Applies and stores an option the movie reported (nothing while locked).
  void SaveParameter(const std::string& name, bool value);
  // Reads every stored setting and shows it in the movie, gives the mover the
  // stored target and, as its source, the command-line argument or else the
  // stored source, and lifts the guard. Starting a move for the argument is
  // the caller's business.
  void LoadSettings(clsFSMoving& mover);
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

  SettingsView& view_;
  const clsLanguageProvider& texts_;
  SettingsPorts ports_;
  bool& blnSettingsLocked_;
  bool automoving_ = false;
  bool autorun_ = false;
  bool autoRename_ = false;
  bool subfolder_ = false;
  // The options of the Options menu (off unless stored on).
  bool allCameraFiles_ = false;
  bool dateTakenFolders_ = false;
  // The word about GNOME's autorun setting has been shown in this start.
  bool gnomeNoticeShown_ = false;
};

}  // namespace quillfen
