#pragma once
// A settings store held in memory.
#include <map>
#include <string>
#include <tuple>

#include "platform/SettingsStore.h"

namespace quillfen {

class MemorySettingsStore : public SettingsStore {
 public:
  std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override {
    auto it = values_.find({appName, section, key});
    return it == values_.end() ? defaultValue : it->second;
  }
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override {
    values_[{appName, section, key}] = value;
  }
  bool Has(const std::string& key) const { return values_.count({"Quillfen", "Settings", key}) != 0; }
  std::string Get(const std::string& key) const { return GetSetting("Quillfen", "Settings", key, ""); }

 private:
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

}  // namespace quillfen
