#pragma once
// The scan of the source before a move: every shot at every depth (hidden
// pictures included), kept folder by folder in the order the move walks
// them, so that the move takes exactly what the checks were made for and
// reads no folder a second time.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mover/Shots.h"
#include "platform/FileSystem.h"

namespace quillfen {

struct ScannedFolder {
  std::string path;
  std::vector<Shot> shots;  // in listing order
  std::vector<ScannedFolder> subfolders;
};

struct ScanRules {
  bool everyCameraFile = false;
  // Chooses the target folder of each shot as it is found; none: the first.
  std::function<std::size_t(const Shot&)> destinationOf;
  // Runs once each folder has been read: the caller pumps events there, so a
  // card with many folders does not freeze the window while it is read.
  std::function<void()> afterFolder;
};

struct SourceScan {
  std::vector<ScannedFolder> trees;  // each folder scanned, in the order scanned
  double totalSize = 0;              // bytes of every file of every shot
  std::int32_t shotCount = 0;
  std::int32_t otherCameraFiles = 0;  // camera files that are no shot's
};

// Adds the folder's tree to `scan`: its own shots, then those of each
// subfolder, depth-first. When a folder cannot be listed the scan ends:
// `failedFolder` names it and the status says why.
FsStatus ScanTree(const FileSystem& files, const std::string& folder, const ScanRules& rules, SourceScan& scan,
                  std::string& failedFolder);

}  // namespace quillfen
