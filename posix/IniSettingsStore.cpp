#include "posix/IniSettingsStore.h"

#include "base/AppNames.h"
#include "base/IniDocument.h"
#include "base/PathParts.h"
#include "posix/AtomicFile.h"
#include "posix/XdgPaths.h"

namespace quillfen {

std::string IniSettingsStore::DefaultPath() { return BuildPath(xdg::ConfigHome(), std::string(kAppTitle) + "/settings.ini"); }

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {}

// The file belongs to this one program, so the application name is not part of it.
std::string IniSettingsStore::GetSetting(const std::string&, const std::string& section, const std::string& key,
                                         const std::string& defaultValue) const {
  if (!IsStorableSettingName(section) || !IsStorableSettingName(key)) return defaultValue;
  atomic_file::ReadResult file = atomic_file::Read(path_);
  if (!file.ok || !file.exists) return defaultValue;
  return IniDocument::Parse(file.text).Get(section, key).value_or(defaultValue);
}

// A name that would not read back as itself (one holding "=" or a line break
// could even stand for another key) is not written.
void IniSettingsStore::SaveSetting(const std::string&, const std::string& section, const std::string& key,
                                   const std::string& value) {
  if (!IsStorableSettingName(section) || !IsStorableSettingName(key)) return;
  atomic_file::Modify(
      path_,
      [&](const std::optional<std::string>& current) -> std::optional<std::string> {
        IniDocument document = IniDocument::Parse(current.value_or(""));
        document.Set(section, key, value);
        return document.Serialize();
      },
      0600);
}

}  // namespace quillfen
