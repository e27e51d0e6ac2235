// Saving the durable state of a volume to a file and reading it back, which
// is how a "rebooted" faultfs finds what survived a power cut.
#pragma once

#include <map>
#include <string>

#include "Store.h"

namespace faultfs {

// Both return false and set errno-style text in `error` on failure. Saving
// writes a temporary file beside `path` and renames it into place.
bool SaveImage(const std::string& path, const std::map<Ino, DurableNode>& state, std::string& error);
bool LoadImage(const std::string& path, std::map<Ino, DurableNode>& state, std::string& error);

}  // namespace faultfs
