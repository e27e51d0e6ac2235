#pragma once
// Moving one file without ever replacing another and without ever losing the
// source: within a volume by a rename that refuses an existing name, across
// volumes by a verified, flushed copy under a hidden temporary name.
#include <string>

#include "platform/FileSystem.h"

namespace quillfen {

// Moves source to target. Across volumes, one picture at a time: the source's
// folder must let it be removed; the copy is written under a hidden name
// beside the target with a checksum of what was read, flushed, read back
// from the disk and compared; it takes its final name without replacing
// anything and the folder is flushed; the source must be as it was when it
// was read; only then it is removed. So a crash at any point leaves at most
// this one picture in both places, or one temporary file. On failure the
// source is where it was, nothing new is left in the target folder, and the
// status says why.
FsStatus MoveWithoutReplacing(const std::string& source, const std::string& target);

// Copies source to target as a move across volumes copies it, and keeps the
// source; `checksum` (when given) receives the checksum of what was read.
FsStatus CopyVerified(const std::string& source, const std::string& target, std::string* checksum);

}  // namespace quillfen
