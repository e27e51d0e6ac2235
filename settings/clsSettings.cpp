#include "settings/clsSettings.h"

#include "base/AppNames.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "settings/OptionText.h"

namespace quillfen {

clsSettings::clsSettings(SettingsView& view, const clsLanguageProvider& texts, SettingsPorts ports,
                         bool& settingsLocked)
    : view_(view), texts_(texts), ports_(ports), blnSettingsLocked_(settingsLocked) {}

std::string clsSettings::DefaultTarget() const { return ports_.system.PicturesFolder(); }

// A stored text outside the format (neither True/False nor a number) counts as
// the option's default, as an absent key does.
bool clsSettings::ReadOption(const char* key, const char* defaultText, bool defaultValue) const {
  const std::string text = ports_.store.GetSetting(kSettingsApp, kSettingsSection, key, defaultText);
  return ParseOptionText(text).value_or(defaultValue);
}

void clsSettings::LoadSettings(clsFSMoving& mover) {
  automoving_ = ReadOption("Automoving", "0", false);
  autorun_ = ReadOption("Autorun", "0", false);
  autoRename_ = ReadOption("AutoRename", "1", true);
  subfolder_ = ReadOption("Subfolder", "0", false);
  allCameraFiles_ = ReadOption("AllCameraFiles", "0", false);
  dateTakenFolders_ = ReadOption("DateTakenFolders", "0", false);

  view_.SetCtlValue("chkAutomoving", Variant(automoving_), ControlKind::CheckBox);
  view_.SetCtlValue("chkAutorun", Variant(autorun_), ControlKind::CheckBox);
  view_.SetCtlValue("chkAutoRename", Variant(autoRename_), ControlKind::CheckBox);
  view_.SetCtlValue("chkSubfolder", Variant(subfolder_), ControlKind::CheckBox);

  RewritePaths();

  SettingsStore& store = ports_.store;
  mover.Target(store.GetSetting(kSettingsApp, kSettingsSection, "Target", DefaultTarget()));

  const std::string argument = ports_.system.CommandLineArgument();
  if (argument.empty()) {
    const std::string undefined = texts_.GetDialog("source_undefined");
    mover.Source(store.GetSetting(kSettingsApp, kSettingsSection, "Source", undefined));
  } else {
    mover.Source(argument);
  }
  blnSettingsLocked_ = false;
}

void clsSettings::SaveParameter(const std::string& name, bool value) {
  if (blnSettingsLocked_) return;
  if (name == "Autorun") {
    SaveAutorun(value);
  } else if (name == "Automoving") {
    automoving_ = value;
  } else if (name == "AutoRename") {
    autoRename_ = value;
  } else if (name == "Subfolder") {
    subfolder_ = value;
  } else if (name == "AllCameraFiles") {
    allCameraFiles_ = value;
  } else if (name == "DateTakenFolders") {
    dateTakenFolders_ = value;
  }
  ports_.store.SaveSetting(kSettingsApp, kSettingsSection, name, OptionText(value));
}

}  // namespace quillfen
