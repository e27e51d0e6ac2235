#include "mover/SourceScan.h"

#include "mover/Pictures.h"

namespace quillfen {

FsStatus ScanSource(const FileSystem& files, const std::string& folder, SourceScan& scan, std::string& failedFolder,
                    const std::function<void()>& afterFolder) {
  std::vector<FileEntry> entries;
  FsStatus status = files.ListFiles(folder, entries);
  if (!status) {
    failedFolder = folder;
    return status;
  }
  for (FileEntry& entry : entries) {
    if (!IsPicture(entry.name)) continue;
    scan.totalSize += static_cast<double>(entry.size);
    ++scan.pictureCount;
    scan.names.push_back(std::move(entry.name));
  }

  std::vector<std::string> subfolders;
  status = files.ListSubfolders(folder, subfolders);
  if (!status) {
    failedFolder = folder;
    return status;
  }
  if (afterFolder) afterFolder();
  for (const std::string& subfolder : subfolders) {
    status = ScanSource(files, subfolder, scan, failedFolder, afterFolder);
    if (!status) return status;
  }
  return {};
}

}  // namespace quillfen
