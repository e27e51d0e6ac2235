#include "settings/registry.h"

#include <utility>

#include "base/AppNames.h"
#include "platform/RegistryRootNames.h"

namespace quillfen::registry {
namespace {

// The value's text as this module reads it: the value and its terminator in
// a buffer of spaces, the buffer trimmed and its last character dropped, so
// that leading spaces are lost and trailing spaces before the terminator
// stay.
std::string TextFromBuffer(const std::string& data) {
  std::string buffer = data;
  buffer += '\0';
  if (buffer.size() < kQueryBufferSize) buffer.append(kQueryBufferSize - buffer.size(), ' ');
  const auto first = buffer.find_first_not_of(' ');
  const auto last = buffer.find_last_not_of(' ');
  if (first == std::string::npos) return {};
  std::string trimmed = buffer.substr(first, last - first + 1);
  trimmed.pop_back();
  return trimmed;
}

}  // namespace

std::optional<RegistryRoot> RootKeyFromName(const std::string& name) { return RegistryRootFromName(name); }

std::optional<RegistryRoot> SplitKeyPath(WindowSystem& window, std::string& path) {
  const auto separator = path.find('\\');
  if (path.compare(0, 5, "HKEY_") != 0 || path.empty() || path.back() == '\\') {
    window.MessageBox("Incorrect Format:\n\n" + path, kAppTitle, BoxIcon::None, BoxButtons::OK);
    return std::nullopt;
  }
  std::string rootName;
  if (separator == std::string::npos) {
    rootName = std::move(path);
    path.clear();
  } else {
    rootName = path.substr(0, separator);
    path = path.substr(separator + 1);
  }
  return RootKeyFromName(rootName);
}

std::string QueryStringValue(const RegistryHive& hive, WindowSystem& window, const std::string& keyPath,
                             const std::string& valueName) {
  std::string subkey = keyPath;
  const auto root = SplitKeyPath(window, subkey);
  if (!root) return {};
  if (!hive.KeyExists(*root, subkey)) return "0";
  std::string data;
  if (!hive.QueryValue(*root, subkey, valueName, kQueryBufferSize, data)) return "0";
  return TextFromBuffer(data);
}

void SetStringValue(RegistryHive& hive, WindowSystem& window, const std::string& keyPath,
                    const std::string& valueName, const std::string& data) {
  std::string subkey = keyPath;
  const auto root = SplitKeyPath(window, subkey);
  if (!root || !hive.KeyExists(*root, subkey)) return;
  hive.SetValue(*root, subkey, valueName, data);
}

void CreateKey(RegistryHive& hive, WindowSystem& window, const std::string& keyPath) {
  std::string subkey = keyPath;
  const auto root = SplitKeyPath(window, subkey);
  if (root) hive.CreateKey(*root, subkey);
}

void DeleteValue(RegistryHive& hive, WindowSystem& window, const std::string& keyPath,
                 const std::string& valueName) {
  std::string subkey = keyPath;
  const auto root = SplitKeyPath(window, subkey);
  if (!root || !hive.KeyExists(*root, subkey)) return;
  hive.DeleteValue(*root, subkey, valueName);
}

}  // namespace quillfen::registry
