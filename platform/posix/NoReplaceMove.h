#pragma once
// Moving one file without ever replacing another and without ever losing the
// source: within a volume by a rename that refuses an existing name, across
// volumes by a flushed copy under a hidden temporary name.
#include <sys/types.h>

#include <string>

#include "platform/FileSystem.h"

namespace quillfen {

// Moves source to target. Across volumes, one picture at a time: the source's
// folder must let it be removed, the copy is written under a hidden temporary
// name beside the target and flushed, takes its final name without replacing
// anything, the folder is flushed, and only then the source is removed. So a
// crash at any point leaves at most this one picture in both places, or one
// temporary file. On failure the source is where it was, nothing new is left
// in the target folder, and the status says why in words.
FsStatus MoveWithoutReplacing(const std::string& source, const std::string& target);

// The hidden name a copy is written under before it gets its final name. It
// never ends in a picture's extension, so no listing takes it for a picture.
std::string PartialCopyName(const std::string& target, int attempt);

// Whether a file name is one of those temporary names; writer is then the
// process that chose it.
bool IsPartialCopyName(const std::string& name, pid_t& writer);

// Removes the temporary copies in the folder whose writer is no longer
// running (a run that was killed). Its source is still in place: a source
// goes only after its copy's temporary name is gone.
void RemoveStaleCopies(const std::string& folder);

}  // namespace quillfen
