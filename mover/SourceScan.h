#pragma once
// The scan of the source tree before a move: every picture at every depth,
// hidden ones included, with its size and name, kept folder by folder in the
// order the move walks them, so that the move takes exactly the pictures the
// checks were made for and reads no folder a second time.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace quillfen {

struct ScannedFolder {
  std::string path;
  std::vector<FileEntry> pictures;  // in listing order
  std::vector<ScannedFolder> subfolders;
};

struct SourceScan {
  ScannedFolder root;
  double totalSize = 0;            // bytes of every picture found
  std::int32_t pictureCount = 0;
  std::vector<std::string> names;  // the pictures' names, in the order found
};

// Adds the folder's pictures, then those of each subfolder (depth-first), to
// `scan`. When a folder cannot be listed the scan ends: `failedFolder` names
// it and the status says why. `afterFolder` runs once each folder has been
// read: the caller pumps events there, so a card with many folders does not
// freeze the window while it is read.
FsStatus ScanSource(const FileSystem& files, const std::string& folder, SourceScan& scan, std::string& failedFolder,
                    const std::function<void()>& afterFolder = {});

}  // namespace quillfen
