#pragma once
// Moving one file without ever replacing another and without ever losing the
// source: within a volume by a rename that refuses an existing name, across
// volumes by a flushed copy under a hidden temporary name.
#include <string>

#include "platform/FileSystem.h"

namespace quillfen {

// Moves source to target. On failure the source is where it was, nothing new
// is left in the target folder, and the status says why in words.
FsStatus MoveWithoutReplacing(const std::string& source, const std::string& target);

// The hidden name a copy is written under before it gets its final name.
std::string PartialCopyName(const std::string& target, int attempt);

}  // namespace quillfen
