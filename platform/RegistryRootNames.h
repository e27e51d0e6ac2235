#pragma once
// The names of the seven registry roots, matched exactly (letter case counts).
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/RegistryHive.h"

namespace quillfen {

inline constexpr std::pair<const char*, RegistryRoot> kRegistryRootNames[] = {
    {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {"HKEY_USERS", RegistryRoot::Users},
    {"HKEY_PERFORMANCE_DATA", RegistryRoot::PerformanceData},
    {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
    {"HKEY_DYN_DATA", RegistryRoot::DynData},
};

inline std::optional<RegistryRoot> RegistryRootFromName(std::string_view name) {
  for (const auto& [rootName, root] : kRegistryRootNames)
    if (name == rootName) return root;
  return std::nullopt;
}

inline const char* RegistryRootName(RegistryRoot root) {
  for (const auto& [rootName, value] : kRegistryRootNames)
    if (value == root) return rootName;
  return "";
}

// A full key path split at its first backslash into its root and the subkey;
// nothing when the first element names no root. No box is shown: this is
// for the program's own, known paths.
inline std::optional<std::pair<RegistryRoot, std::string>> SplitRootAndSubkey(std::string_view path) {
  const auto separator = path.find('\\');
  const auto root = RegistryRootFromName(path.substr(0, separator));
  if (!root) return std::nullopt;
  return std::make_pair(*root, separator == std::string_view::npos ? std::string() : std::string(path.substr(separator + 1)));
}

}  // namespace quillfen
