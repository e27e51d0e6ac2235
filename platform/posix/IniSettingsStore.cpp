#include "platform/posix/IniSettingsStore.h"

namespace quillfen {
// Placeholder until the settings store lands.
std::string IniSettingsStore::DefaultPath() { return {}; }
IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {}
std::string IniSettingsStore::GetSetting(const std::string&, const std::string&, const std::string&,
                                         const std::string& defaultValue) const {
  return defaultValue;
}
void IniSettingsStore::SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) {}
}  // namespace quillfen
