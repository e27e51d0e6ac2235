#include "mover/Shots.h"

#include <unordered_map>

#include "base/NoCase.h"
#include "base/PathParts.h"
#include "mover/CameraFiles.h"
#include "mover/Pictures.h"

namespace quillfen {

std::vector<Shot> ShotsOf(std::vector<FileEntry> files, bool everyCameraFile, std::int32_t& otherCameraFiles) {
  std::vector<Shot> shots;
  std::unordered_map<std::string, std::size_t> byName;  // folded name -> index in shots
  for (FileEntry& file : files) {
    if (!everyCameraFile) {
      if (IsPicture(file.name)) {
        shots.push_back(Shot{file.name, {}, file.size, file.hidden, 0});
        shots.back().files.push_back(std::move(file));
      } else if (IsCameraFile(file.name)) {
        ++otherCameraFiles;
      }
      continue;
    }
    if (!IsCameraFile(file.name)) continue;
    const std::string name = GetBaseName(file.name);
    auto [at, added] = byName.try_emplace(FoldNoCase(name), shots.size());
    if (added) shots.push_back(Shot{name, {}, 0, false, 0});
    Shot& shot = shots[at->second];
    shot.bytes += file.size;
    shot.files.push_back(std::move(file));
  }
  return shots;
}

}  // namespace quillfen
