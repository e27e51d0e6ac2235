#pragma once
// The scan of the source before a move: every shot at every depth (hidden
// pictures included) and every file that stays, folder by folder in the
// order the move walks them, so that the move takes exactly what the checks
// were made for and reads no folder a second time.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mover/Shots.h"
#include "platform/FileSystem.h"

namespace quillfen {

struct ScannedFolder {
  std::string path;
  int depth = 0;            // 0: a folder scanned as a whole (never removed by a move)
  std::vector<Shot> shots;  // in listing order
};

struct ScanRules {
  bool everyCameraFile = false;
  CardFolder where = CardFolder::Pictures;
  // Chooses the target folder of each shot as it is found; none: the first.
  std::function<std::size_t(const Shot&)> destinationOf;
  // Runs once each folder has been read: the caller pumps events there, so a
  // card with many folders does not freeze the window while it is read.
  std::function<void()> afterFolder;
};

struct SourceScan {
  // Depth-first: each folder before its subfolders, subfolders in listing order.
  std::vector<ScannedFolder> folders;
  double totalSize = 0;  // bytes of every file of every shot
  std::int32_t shotCount = 0;
  std::int32_t fileCount = 0;  // of every shot that moves
  LeftOnCard left;
  std::int32_t splitFiles = 0;
  std::int32_t splitShots = 0;
};

// Adds the folder's tree to `scan`. When a folder cannot be listed the scan
// ends: `failedFolder` names it and the status says why.
FsStatus ScanTree(const FileSystem& files, const std::string& folder, const ScanRules& rules, SourceScan& scan,
                  std::string& failedFolder);

}  // namespace quillfen
