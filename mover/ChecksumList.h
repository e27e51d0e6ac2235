#pragma once
// The list of a move's files and their checksums that a move writes into each
// folder it filled, as `xxhsum -c` reads it (XXH3-128, two spaces between the
// checksum and the name), so that the copies can be checked again later.
#include <string>
#include <utility>
#include <vector>

#include "base/DayStamp.h"
#include "platform/FileSystem.h"

namespace quillfen {

// "zz-checksums-20261206-100000.xxh128": after the pictures in a file
// browser's order, saying what it is and when it was written.
std::string ChecksumListName(const LocalTime& written);

// One line for each file, in the order moved. A name with a line break
// cannot be listed (the format has no escape for it) and is left out.
std::string ChecksumListText(const std::vector<std::pair<std::string, std::string>>& files);

// Writes the list into the folder under a name no file has yet (a second
// list of the same second gets "-2", ...); `path` tells where.
FsStatus WriteChecksumList(FileSystem& files, const std::string& folder, const LocalTime& written,
                           const std::vector<std::pair<std::string, std::string>>& listed, std::string& path);

}  // namespace quillfen
