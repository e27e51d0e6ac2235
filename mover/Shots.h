#pragma once
// What a move takes from one folder, as shots: the files of one exposure
// that travel together under one name. With pictures alone, each picture is
// a shot of its own, named by its file name. With every camera file, the
// camera files whose names are equal without their extension (letter case
// aside) are one shot: IMG_0001.JPG, IMG_0001.CR2 and IMG_0001.xmp.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace quillfen {

struct Shot {
  // What the name checks compare: the picture's file name, or the camera
  // files' common name without extension.
  std::string name;
  std::vector<FileEntry> files;  // in listing order
  std::uint64_t bytes = 0;       // of every file
  bool hidden = false;           // a hidden picture: counted, never moved
  std::size_t destination = 0;   // which of the move's target folders it goes to
};

// The shots among a folder's files, in the order of their first file.
// `otherCameraFiles` is raised by the camera files left out (pictures alone
// leave RAW files, videos and sidecars behind).
std::vector<Shot> ShotsOf(std::vector<FileEntry> files, bool everyCameraFile, std::int32_t& otherCameraFiles);

}  // namespace quillfen
