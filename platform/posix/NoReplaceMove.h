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

// Gives source a copy at target (same content and times) without replacing
// anything, leaving the source in place. With flush the copy and its folder
// entry are on disk when this returns; without, the caller makes them so
// before it removes the source. On failure nothing new is left at the target.
FsStatus CopyIntoPlace(const std::string& source, const std::string& target, bool flush);

// Whether the source's folder will let the source be removed after copying.
FsStatus SourceRemovable(const std::string& source);

// Renames source to target on the same volume without replacing anything;
// acrossVolumes tells when the two lie on different volumes (nothing done).
FsStatus RenameWithoutReplacing(const std::string& source, const std::string& target, bool& acrossVolumes);

// The hidden name a copy is written under before it gets its final name.
std::string PartialCopyName(const std::string& target, int attempt);

}  // namespace quillfen
