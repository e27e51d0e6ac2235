#pragma once
// The user's options and stored folders, and the AutoPlay registration that
// one of the options switches.
#include <array>
#include <string>

#include "platform/DesktopIntegration.h"
#include "platform/RegistryHive.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/Options.h"
#include "settings/SettingsLock.h"
#include "settings/SettingsView.h"

namespace quillfen {

class clsLanguageProvider;

// The platform services the settings use.
struct SettingsPorts {
  SettingsStore& store;
  RegistryHive& registry;
  WindowSystem& window;      // the registry's one box
  const SystemInfo& system;  // the program's path, the picture folder
  // Mirrors the AutoPlay registration onto the desktop; may be absent.
  DesktopIntegration* desktop = nullptr;
};

class clsSettings {
 public:
  // lock: while it is held no option is changed or stored.
  clsSettings(SettingsView& view, const clsLanguageProvider& texts, SettingsPorts ports, const SettingsLock& lock);

  // The option as the user set it; until the settings are loaded, every
  // option is off (a default counts only for a setting that was read).
  bool On(Option option) const { return values_[static_cast<std::size_t>(option)]; }
  // On, and so is every option it needs.
  bool InEffect(Option option) const;

  // Applies and stores an option the movie or the menu reported (nothing
  // while locked). Any other name is stored as it is.
  void SaveParameter(const std::string& name, bool value);
  // An option the user chose in answer to a question of a running move:
  // applied and stored although the settings are locked for the move.
  void SaveAnswer(Option option, bool value);
  // Reads every stored option, shows the movie's check boxes, and brings
  // the AutoPlay registration up to date with the program's path.
  void LoadSettings();

  // The stored folders: the target (the user's picture folder when none
  // was stored) and the source (the text "source_undefined" when none).
  std::string StoredTarget() const;
  std::string StoredSource() const;
  // The user's choices, stored as they are made, whether or not locked:
  // they are not options a move depends on.
  void SaveTarget(const std::string& folder);
  void SaveSource(const std::string& folder);
  void SaveLanguage(const std::string& language);
  // The folder every shot is copied to besides the target; empty: none.
  std::string Backup() const;
  // Stores the backup folder ("" stops the second copies) and shows it.
  void SaveBackup(const std::string& folder);

  // The AutoPlay registration.
  void SaveAutorun(bool value);
  void RewritePaths();

  // The default target: the user's picture folder.
  std::string DefaultTarget() const;

 private:
  bool& Value(Option option) { return values_[static_cast<std::size_t>(option)]; }
  bool ReadOption(const OptionDefinition& definition) const;
  void Save(const std::string& key, const std::string& value);
  void ShowBackup();
  // The full path of the running program.
  std::string ProgramPath() const;
  // Shows the registration as it now stands in the hive on the desktop;
  // switchedOn: the user has just switched the offer on.
  void MirrorToDesktop(bool switchedOn = false);

  SettingsView& view_;
  const clsLanguageProvider& texts_;
  SettingsPorts ports_;
  const SettingsLock& lock_;
  std::array<bool, kOptionCount> values_{};
  // The word about GNOME's autorun setting has been shown in this start.
  bool gnomeNoticeShown_ = false;
};

}  // namespace quillfen
