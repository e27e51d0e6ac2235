#pragma once
// The hidden names a copy is written under in the target folder before it
// gets its final name, and the clearing of those left by killed runs.
#include <sys/types.h>

#include <string>

namespace quillfen {

// The hidden name (a full path beside the target) a copy is written under.
// It never ends in a picture's extension, so no listing takes it for a
// picture, and it fits one name of the file system however long the
// target's name is.
std::string PartialCopyName(const std::string& target, int attempt);

// Whether a file name is one of those temporary names; writer is then the
// process that chose it.
bool IsPartialCopyName(const std::string& name, pid_t& writer);

// Removes the temporary copies in the folder whose writer is no longer
// running (a run that was killed). Its source is still in place: a source
// goes only after its copy's temporary name is gone.
void RemoveStaleCopies(const std::string& folder);

}  // namespace quillfen
