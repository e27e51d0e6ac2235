#include "mover/ChecksumList.h"

#include <cstdio>

#include "base/PathParts.h"

namespace quillfen {

std::string ChecksumListName(const LocalTime& written) {
  char name[64];
  std::snprintf(name, sizeof name, "zz-checksums-%04d%02d%02d-%02d%02d%02d", written.date.year, written.date.month,
                written.date.day, written.hour, written.minute, written.second);
  return name;
}

std::string ChecksumListText(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string text;
  for (const auto& [name, checksum] : files) {
    if (checksum.empty() || name.find_first_of("\r\n") != std::string::npos) continue;
    text += checksum + "  " + name + "\n";
  }
  return text;
}

FsStatus WriteChecksumList(FileSystem& files, const std::string& folder, const LocalTime& written,
                           const std::vector<std::pair<std::string, std::string>>& listed, std::string& path) {
  const std::string stem = BuildPath(folder, ChecksumListName(written));
  path = stem + ".xxh128";
  for (int second = 2; files.FileExists(path); ++second) path = stem + "-" + std::to_string(second) + ".xxh128";
  return files.ReplaceFile(path, ChecksumListText(listed));
}

}  // namespace quillfen
