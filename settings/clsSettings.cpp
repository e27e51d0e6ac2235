#include "settings/clsSettings.h"

#include "app/GlobalModule.h"

namespace quillfen {
// Placeholder until the settings store lands.
clsSettings::clsSettings(GlobalModule& module) : module_(module) {}
void clsSettings::SaveParameter(const std::string&, bool) {}
void clsSettings::LoadSettings() { module_.blnSettingsLocked = false; }
void clsSettings::SaveAutorun(bool value) { autorun_ = value; }
void clsSettings::RewritePaths() {}
std::string clsSettings::DefaultTarget() const { return {}; }
}  // namespace quillfen
