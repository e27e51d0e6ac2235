#include "mover/SourceNames.h"

#include <algorithm>

#include "base/NoCase.h"

namespace quillfen {

namespace {

bool LessNoCase(const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; }

}  // namespace

void SortNoCase(std::vector<std::string>& names) { std::stable_sort(names.begin(), names.end(), LessNoCase); }

bool HasDoubleNames(const std::vector<std::string>& sortedNames, std::vector<std::string>& names) {
  const std::size_t n = sortedNames.size();
  if (n > 0) names.assign(n, std::string());
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && EqualsNoCase(sortedNames[i - 1], sortedNames[i])) return true;
    names[i] = sortedNames[i];
  }
  return false;
}

bool ClashesWithSourceName(const std::vector<std::string>& sortedNames, const std::string& name) {
  return std::binary_search(sortedNames.begin(), sortedNames.end(), name, LessNoCase);
}

}  // namespace quillfen
