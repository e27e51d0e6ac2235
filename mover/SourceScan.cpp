#include "mover/SourceScan.h"

namespace quillfen {

namespace {

FsStatus ScanFolder(const FileSystem& files, ScannedFolder& folder, const ScanRules& rules, SourceScan& scan,
                    std::string& failedFolder) {
  std::vector<FileEntry> entries;
  FsStatus status = files.ListFiles(folder.path, entries);
  if (!status) {
    failedFolder = folder.path;
    return status;
  }
  folder.shots = ShotsOf(std::move(entries), rules.everyCameraFile, scan.otherCameraFiles);
  for (Shot& shot : folder.shots) {
    scan.totalSize += static_cast<double>(shot.bytes);
    ++scan.shotCount;
    if (rules.destinationOf) shot.destination = rules.destinationOf(shot);
  }

  std::vector<std::string> subfolders;
  status = files.ListSubfolders(folder.path, subfolders);
  if (!status) {
    failedFolder = folder.path;
    return status;
  }
  if (rules.afterFolder) rules.afterFolder();
  for (std::string& subfolder : subfolders) {
    folder.subfolders.push_back(ScannedFolder{std::move(subfolder), {}, {}});
    status = ScanFolder(files, folder.subfolders.back(), rules, scan, failedFolder);
    if (!status) return status;
  }
  return {};
}

}  // namespace

FsStatus ScanTree(const FileSystem& files, const std::string& folder, const ScanRules& rules, SourceScan& scan,
                  std::string& failedFolder) {
  scan.trees.push_back(ScannedFolder{folder, {}, {}});
  return ScanFolder(files, scan.trees.back(), rules, scan, failedFolder);
}

}  // namespace quillfen
