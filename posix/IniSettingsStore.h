#pragma once
// The user's settings in $XDG_CONFIG_HOME/Quillfen/settings.ini (~/.config
// when unset), one INI section per settings section. Every write reads the file
// afresh and replaces it atomically under a lock, keeping every other line as
// it was. Failures are silent: a read answers the default, a write is dropped.
#include <string>

#include "platform/SettingsStore.h"

namespace quillfen {

class IniSettingsStore : public SettingsStore {
 public:
  // The settings file of the current user.
  static std::string DefaultPath();
  explicit IniSettingsStore(std::string path);

  std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override;
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override;

 private:
  std::string path_;
};

}  // namespace quillfen
