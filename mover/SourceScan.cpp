#include "mover/SourceScan.h"

#include "mover/Pictures.h"

namespace quillfen {

namespace {

FsStatus ScanFolder(const FileSystem& files, ScannedFolder& folder, SourceScan& scan, std::string& failedFolder,
                    const std::function<void()>& afterFolder) {
  std::vector<FileEntry> entries;
  FsStatus status = files.ListFiles(folder.path, entries);
  if (!status) {
    failedFolder = folder.path;
    return status;
  }
  for (FileEntry& entry : entries) {
    if (!IsPicture(entry.name)) continue;
    scan.totalSize += static_cast<double>(entry.size);
    ++scan.pictureCount;
    scan.names.push_back(entry.name);
    folder.pictures.push_back(std::move(entry));
  }

  std::vector<std::string> subfolders;
  status = files.ListSubfolders(folder.path, subfolders);
  if (!status) {
    failedFolder = folder.path;
    return status;
  }
  if (afterFolder) afterFolder();
  for (std::string& subfolder : subfolders) {
    folder.subfolders.push_back(ScannedFolder{std::move(subfolder), {}, {}});
    status = ScanFolder(files, folder.subfolders.back(), scan, failedFolder, afterFolder);
    if (!status) return status;
  }
  return {};
}

}  // namespace

FsStatus ScanSource(const FileSystem& files, const std::string& folder, SourceScan& scan, std::string& failedFolder,
                    const std::function<void()>& afterFolder) {
  scan.root = ScannedFolder{folder, {}, {}};
  return ScanFolder(files, scan.root, scan, failedFolder, afterFolder);
}

}  // namespace quillfen
