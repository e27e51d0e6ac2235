#pragma once
// What a move takes from one folder, as shots: the files of one exposure
// that travel together under one name and one number. With pictures alone,
// each picture is a shot of its own, named by its file name. With every
// camera file, the files that share a shot's name are one shot: names equal
// without their extension (IMG_0001.JPG, IMG_0001.CR2), a sidecar named after
// the whole file (IMG_0001.CR2.xmp), and the makers' own names for the parts
// of one recording (see ShotName).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mover/CameraFiles.h"
#include "platform/FileSystem.h"

namespace quillfen {

struct Shot {
  // What the name checks compare: the picture's file name, or the camera
  // files' common shot name.
  std::string name;
  std::vector<FileEntry> files;  // in listing order
  std::uint64_t bytes = 0;       // of every file
  bool hidden = false;           // a hidden picture: counted, never moved
  std::size_t destination = 0;   // which of the move's target folders it goes to
  std::int64_t firstWritten = 0; // the earliest file time of its files, as the card shows it
};

// The files a move leaves on the card, by what they are.
struct LeftOnCard {
  std::array<std::int32_t, kFileFateCount> files{};
  void Add(FileFate fate) { ++files[static_cast<std::size_t>(fate)]; }
  std::int32_t Count(FileFate fate) const { return files[static_cast<std::size_t>(fate)]; }
  std::int32_t Total() const;
  LeftOnCard& operator+=(const LeftOnCard& other);
};

// The shot a file belongs to, the same for every file of one exposure
// (letter case aside): its name without the extension, without a sidecar's
// second extension, and without what a maker adds to tell the parts of one
// recording apart: GoPro's chapters and proxies (GX010001.MP4, GX020001.MP4,
// GL010001.LRV are recording 0001), Sony's clip metadata, thumbnails and
// proxies (C0001M01.XML, C0001T01.JPG, C0001S03.MP4 are clip C0001), and
// Insta360's lenses and proxies. A phone's edited copy (IMG_E0001.HEIC) is
// a shot of its own.
std::string ShotName(const std::string& fileName);

// What one folder's files are: its shots in the order of their first file,
// and what stays on the card. `splitFiles` counts the other camera files of
// the pictures' own shots that a move of pictures alone would leave behind.
struct FolderShots {
  std::vector<Shot> shots;
  LeftOnCard left;
  std::int32_t splitFiles = 0;
  std::int32_t splitShots = 0;
};
FolderShots ShotsOf(std::vector<FileEntry> files, const std::string& folder, CardFolder where, bool everyCameraFile);

}  // namespace quillfen
