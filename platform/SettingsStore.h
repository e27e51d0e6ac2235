#pragma once
// The user's per-application settings store: text values addressed by
// application, section and key, kept across runs. Each program has a store
// of its own, so the application name does not tell values apart.
//
// What every store keeps, so that a value reads back as the file store
// writes it: section and key names match without regard to letter case; a
// name that could not read back as itself (see IsStorableSettingName) is
// never written and reads as the default; line breaks in a value are kept as
// spaces. Failures are silent: a read answers the default, a write is dropped.
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

// True when a section or key name can be stored and read back as itself: not
// empty, no blanks around it, not starting with ";", "#" or "[", and no "=",
// "]", line break or NUL in it.
bool IsStorableSettingName(const std::string& name);
// The value as a store keeps it: one line, each CR and LF a space.
std::string StoredSettingValue(const std::string& value);

}  // namespace quillfen
