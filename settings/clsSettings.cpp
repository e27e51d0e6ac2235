#include "settings/clsSettings.h"

#include "base/AppNames.h"
#include "localization/clsLanguageProvider.h"
#include "settings/OptionText.h"

namespace quillfen {

clsSettings::clsSettings(SettingsView& view, const clsLanguageProvider& texts, SettingsPorts ports,
                         const SettingsLock& lock)
    : view_(view), texts_(texts), ports_(ports), lock_(lock) {}

bool clsSettings::InEffect(Option option) const {
  const std::optional<Option> needs = DefinitionOf(option).needs;
  return On(option) && (!needs || InEffect(*needs));
}

std::string clsSettings::DefaultTarget() const { return ports_.system.PicturesFolder(); }

// A stored text outside the format (neither True/False nor a number) counts as
// the option's default, as an absent key does.
bool clsSettings::ReadOption(const OptionDefinition& definition) const {
  const std::string text = ports_.store.GetSetting(kSettingsApp, kSettingsSection, std::string(definition.key), "");
  return ParseOptionText(text).value_or(definition.byDefault);
}

void clsSettings::LoadSettings() {
  for (const OptionDefinition& definition : kOptions) Value(definition.option) = ReadOption(definition);
  for (const OptionDefinition& definition : kOptions)
    if (definition.place == OptionPlace::MovieCheckBox)
      view_.SetCtlValue(std::string(definition.control), Variant(On(definition.option)), ControlKind::CheckBox);
  RewritePaths();
  if (!Backup().empty()) ShowBackup();
}

std::string clsSettings::StoredTarget() const {
  return ports_.store.GetSetting(kSettingsApp, kSettingsSection, "Target", DefaultTarget());
}

std::string clsSettings::StoredSource() const {
  return ports_.store.GetSetting(kSettingsApp, kSettingsSection, "Source", texts_.GetDialog("source_undefined"));
}

void clsSettings::Save(const std::string& key, const std::string& value) {
  ports_.store.SaveSetting(kSettingsApp, kSettingsSection, key, value);
}

void clsSettings::SaveTarget(const std::string& folder) { Save("Target", folder); }
void clsSettings::SaveSource(const std::string& folder) { Save("Source", folder); }
void clsSettings::SaveLanguage(const std::string& language) { Save("Language", language); }

std::string clsSettings::Backup() const {
  return ports_.store.GetSetting(kSettingsApp, kSettingsSection, "BackupTarget", "");
}

void clsSettings::SaveBackup(const std::string& folder) {
  Save("BackupTarget", folder);
  ShowBackup();
}

// The page shows the backup folder only while one is set.
void clsSettings::ShowBackup() { view_.SetCtlValue("txtBackup", Variant(Backup()), ControlKind::Text); }

void clsSettings::SaveAnswer(Option option, bool value) {
  Value(option) = value;
  Save(std::string(DefinitionOf(option).key), OptionText(value));
}

void clsSettings::SaveParameter(const std::string& name, bool value) {
  if (lock_.Held()) return;
  if (const std::optional<Option> option = OptionWithKey(name)) {
    if (*option == Option::Autorun)
      SaveAutorun(value);
    else
      Value(*option) = value;
  }
  Save(name, OptionText(value));
}

}  // namespace quillfen
