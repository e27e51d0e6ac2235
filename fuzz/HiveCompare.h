#pragma once
// Comparisons of in-memory hives for the fuzz targets.
#include <string>

#include "memory/MemoryRegistryHive.h"

namespace quillfen::fuzzing {

// The same keys, with the same paths, values, names and data.
inline bool SameHive(const MemoryRegistryHive& a, const MemoryRegistryHive& b) {
  if (a.keys().size() != b.keys().size()) return false;
  for (auto i = a.keys().begin(), j = b.keys().begin(); i != a.keys().end(); ++i, ++j)
    if (i->first != j->first || i->second.path != j->second.path || i->second.values != j->second.values)
      return false;
  return true;
}

// Every key of before is in after with its path, and every value of before
// is there unchanged, except the one value named.
inline bool KeepsEverythingBut(const MemoryRegistryHive& after, const MemoryRegistryHive& before, RegistryRoot root,
                               const std::string& subkey, const std::string& name) {
  const auto exceptKey = std::make_pair(root, FoldRegistryName(subkey));
  const std::string exceptName = FoldRegistryName(name);
  for (const auto& [where, key] : before.keys()) {
    const auto found = after.keys().find(where);
    if (found == after.keys().end() || found->second.path != key.path) return false;
    for (const auto& [folded, value] : key.values) {
      if (where == exceptKey && folded == exceptName) continue;
      const auto kept = found->second.values.find(folded);
      if (kept == found->second.values.end() || kept->second != value) return false;
    }
  }
  return true;
}

}  // namespace quillfen::fuzzing
