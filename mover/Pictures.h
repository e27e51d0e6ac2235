#pragma once
// Which files the mover takes: pictures, files whose extension is "jpg" in
// any letter case.
#include <string>

namespace quillfen {

bool IsPicture(const std::string& path);

}  // namespace quillfen
