#pragma once
// Where a move takes its pictures from, and where it must not put them.
#include <string>
#include <vector>

namespace quillfen {

// The camera's "DCIM" folder among the source's subfolders, in any letter
// case (the exact spelling first); the source itself when it has none.
std::string CameraFolderOf(const std::string& source, const std::vector<std::string>& subfolders);

// True when `inner` is `outer` or lies anywhere below it; both are canonical
// paths (no links, no "." or "..", no trailing "/").
bool IsSameOrInside(const std::string& inner, const std::string& outer);

}  // namespace quillfen
