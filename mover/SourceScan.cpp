#include "mover/SourceScan.h"

namespace quillfen {

namespace {

FsStatus ScanFolder(const FileSystem& files, const std::string& path, int depth, const ScanRules& rules,
                    SourceScan& scan, std::string& failedFolder) {
  std::vector<FileEntry> entries;
  FsStatus status = files.ListFiles(path, entries);
  if (!status) {
    failedFolder = path;
    return status;
  }
  FolderShots found = ShotsOf(std::move(entries), path, rules.where, rules.everyCameraFile);
  for (Shot& shot : found.shots) {
    scan.totalSize += static_cast<double>(shot.bytes);
    ++scan.shotCount;
    if (!shot.hidden) scan.fileCount += static_cast<std::int32_t>(shot.files.size());
    if (rules.destinationOf) shot.destination = rules.destinationOf(shot);
  }
  scan.left += found.left;
  scan.splitFiles += found.splitFiles;
  scan.splitShots += found.splitShots;
  scan.folders.push_back(ScannedFolder{path, depth, std::move(found.shots)});

  std::vector<std::string> subfolders;
  status = files.ListSubfolders(path, subfolders);
  if (!status) {
    failedFolder = path;
    return status;
  }
  if (rules.afterFolder) rules.afterFolder();
  for (const std::string& subfolder : subfolders) {
    status = ScanFolder(files, subfolder, depth + 1, rules, scan, failedFolder);
    if (!status) return status;
  }
  return {};
}

}  // namespace

FsStatus ScanTree(const FileSystem& files, const std::string& folder, const ScanRules& rules, SourceScan& scan,
                  std::string& failedFolder) {
  return ScanFolder(files, folder, 0, rules, scan, failedFolder);
}

}  // namespace quillfen
