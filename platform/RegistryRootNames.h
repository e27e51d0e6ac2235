#pragma once
// The names of the seven registry roots, matched exactly (letter case counts).
#include <optional>
#include <utility>
#include <string_view>

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

}  // namespace quillfen
