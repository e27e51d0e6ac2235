#include "support/MemoryFolder.h"

#include <algorithm>

#include "base/PathParts.h"

namespace quillfen::testing {

std::vector<std::string> MemoryFolder::Names(const std::string& folder) const {
  std::vector<std::string> names;
  std::vector<FileEntry> entries;
  std::vector<std::string> subfolders;
  if (!files_.ListFiles(folder, entries) || !files_.ListSubfolders(folder, subfolders)) return names;
  for (const FileEntry& entry : entries) names.push_back(entry.name);
  for (const std::string& subfolder : subfolders) names.push_back(GetFileName(subfolder));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quillfen::testing
