#pragma once
// A settings store held in memory, keeping values exactly as the file store
// keeps them (see SettingsStore): one store per program, so the application
// name is not part of the address, names without regard to letter case. The
// contract tests hold both stores to the same rules.
#include <map>
#include <string>
#include <utility>

#include "base/AppNames.h"
#include "base/NoCase.h"
#include "platform/SettingsStore.h"

namespace quillfen {

class MemorySettingsStore : public SettingsStore {
 public:
  std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override {
    if (!IsStorableSettingName(section) || !IsStorableSettingName(key)) return defaultValue;
    auto it = values_.find(Where(appName, section, key));
    return it == values_.end() ? defaultValue : it->second;
  }
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (!IsStorableSettingName(section) || !IsStorableSettingName(key)) return;
    values_[Where(appName, section, key)] = StoredSettingValue(value);
  }
  // The program's own settings, for tests.
  bool Has(const std::string& key) const { return values_.count(Where(kSettingsApp, kSettingsSection, key)) != 0; }
  std::string Get(const std::string& key) const { return GetSetting(kSettingsApp, kSettingsSection, key, ""); }

 private:
  using Address = std::pair<std::string, std::string>;
  static Address Where(const std::string&, const std::string& section, const std::string& key) {
    return {FoldNoCase(section), FoldNoCase(key)};
  }
  std::map<Address, std::string> values_;
};

}  // namespace quillfen
