#pragma once
// The user's per-application settings store (application, section, key), text values.
#include <string>

namespace quillfen {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(const std::string& appName, const std::string& section,
                                 const std::string& key, const std::string& defaultValue) const = 0;
  virtual void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

}  // namespace quillfen
