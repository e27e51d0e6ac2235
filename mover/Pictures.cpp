#include "mover/Pictures.h"

#include "base/NoCase.h"
#include "base/PathParts.h"

namespace quillfen {

bool IsPicture(const std::string& path) { return EqualsNoCase(GetExtensionName(path), "jpg"); }

}  // namespace quillfen
