#include "mover/SourceFolder.h"

#include "base/NoCase.h"
#include "base/PathParts.h"

namespace quillfen {

std::string CameraFolderOf(const std::string& source, const std::vector<std::string>& subfolders) {
  std::string found = source;
  bool caseMatchOnly = true;
  for (const std::string& subfolder : subfolders) {
    const std::string name = GetFileName(subfolder);
    if (name == "DCIM") return subfolder;
    if (caseMatchOnly && EqualsNoCase(name, "DCIM")) {
      found = subfolder;
      caseMatchOnly = false;
    }
  }
  return found;
}

bool IsSameOrInside(const std::string& inner, const std::string& outer) {
  if (inner == outer || outer == "/") return true;
  return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/';
}

}  // namespace quillfen
