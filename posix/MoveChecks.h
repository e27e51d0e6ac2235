#pragma once
// What a move across volumes checks before a picture leaves the card: that
// its folder lets it go, that nobody changed it while it was copied, and
// that the copy read back from the disk is what was read.
#include <sys/stat.h>

#include <string>

#include "platform/FileSystem.h"

namespace quillfen::posix {

// Whether the source's folder will let the source be removed after copying:
// a write-protected card is told before its first copy, not after it.
FsStatus SourceRemovable(const std::string& source);

// Whether the open source is still as it was when its copy began: its size,
// its contents' time and the time of its last change of any kind.
bool Unchanged(int source, const struct stat& before);
// The same for the source at `path`, which must still be the same file.
bool UnchangedAt(const std::string& path, const struct stat& before);

// The status of a source that changed while it was copied.
FsStatus SourceChanged();

// The status of a copy that read back other than it was read.
FsStatus CopyDiffers();

}  // namespace quillfen::posix
