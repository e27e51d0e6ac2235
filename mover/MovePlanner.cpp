#include "mover/MovePlanner.h"

#include <algorithm>
#include <map>

#include "base/NoCase.h"
#include "base/PathParts.h"
#include "mover/BaseNameNumber.h"
#include "mover/CameraFiles.h"
#include "mover/Pictures.h"
#include "mover/ShotDays.h"
#include "mover/SourceFolder.h"
#include "mover/SourceNames.h"
#include "mover/TargetNaming.h"

namespace quillfen {

namespace {

Refusal FolderFailed(const std::string& folder, const FsStatus& failure) {
  return Refusal{Refusal::Kind::FolderFailed, folder, {}, failure};
}

// Folders found at each of the card's relative paths (letter case aside),
// following every match on the way.
std::vector<std::string> FoldersAt(const FileSystem& files, const std::string& card, const char* const paths[],
                                   std::size_t count) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < count; ++i) {
    std::vector<std::string> reached{card};
    const std::string path = paths[i];
    for (std::size_t start = 0; !reached.empty() && start < path.size();) {
      std::size_t end = path.find('/', start);
      if (end == std::string::npos) end = path.size();
      const std::string element = path.substr(start, end - start);
      std::vector<std::string> next;
      for (const std::string& folder : reached) {
        std::vector<std::string> children;
        if (!files.ListSubfolders(folder, children)) continue;
        for (const std::string& child : children)
          if (EqualsNoCase(GetFileName(child), element)) next.push_back(child);
      }
      reached = std::move(next);
      start = end + 1;
    }
    found.insert(found.end(), reached.begin(), reached.end());
  }
  return found;
}

// The camera's video folders beside "DCIM" (looked up without a refusal): a
// source without "DCIM" is scanned whole, its video folders included.
std::vector<std::string> VideoFolders(const FileSystem& files, const std::string& source) {
  std::vector<std::string> subfolders;
  if (!files.ListSubfolders(source, subfolders) || CameraFolderOf(source, subfolders) == source) return {};
  return FoldersAt(files, source, kCameraVideoFolders, kCameraVideoFolderCount);
}

void CollectNames(MovePlan& plan) {
  for (const ScannedFolder& folder : plan.folders)
    for (const Shot& shot : folder.shots) {
      Destination& destination = plan.destinations[shot.destination];
      destination.names.push_back(shot.name);
      ++destination.shotCount;
    }
}

// What stays of a scan that is only counted.
void CountLeft(SourceScan& into, const SourceScan& scan) {
  into.left += scan.left;
  into.splitFiles += scan.splitFiles;
  into.splitShots += scan.splitShots;
}

void Absorb(SourceScan& into, SourceScan&& scan) {
  for (ScannedFolder& folder : scan.folders) into.folders.push_back(std::move(folder));
  into.totalSize += scan.totalSize;
  into.shotCount += scan.shotCount;
  into.fileCount += scan.fileCount;
  CountLeft(into, scan);
}

// The files of the companion folders join the clips they belong to; one
// that belongs to no clip stays on the card. The folders themselves stay.
void JoinClips(SourceScan&& companions, SourceScan& scan) {
  std::map<std::string, Shot*> clips;  // folded shot name -> the clip's shot
  for (ScannedFolder& folder : scan.folders)
    for (Shot& shot : folder.shots) clips.try_emplace(FoldNoCase(shot.name), &shot);
  for (ScannedFolder& folder : companions.folders) {
    for (Shot& part : folder.shots) {
      const auto clip = clips.find(FoldNoCase(part.name));
      if (clip == clips.end()) {
        for (std::size_t i = 0; i < part.files.size(); ++i) scan.left.Add(FileFate::Sidecar);
        continue;
      }
      scan.fileCount += static_cast<std::int32_t>(part.files.size());
      scan.totalSize += static_cast<double>(part.bytes);
      clip->second->bytes += part.bytes;
      for (FileEntry& file : part.files) clip->second->files.push_back(std::move(file));
    }
    folder.shots.clear();
  }
  for (ScannedFolder& folder : companions.folders) scan.folders.push_back(std::move(folder));
  scan.left += companions.left;
}

// What the shots take on a volume that allocates in units: each file its
// size rounded up to whole units. Hidden pictures count, as in the total
// the progress is measured against.
double AllocatedSize(const MovePlan& plan, std::uint64_t unit) {
  double total = 0;
  for (const ScannedFolder& folder : plan.folders)
    for (const Shot& shot : folder.shots)
      for (const FileEntry& file : shot.files) total += static_cast<double>((file.size + unit - 1) / unit * unit);
  return total;
}

// Folder by folder as scanned; with every camera file in the order the
// camera wrote the shots (the time of each shot's first file, ties by name).
void Order(MovePlan& plan) {
  for (std::size_t folder = 0; folder < plan.folders.size(); ++folder)
    for (std::size_t shot = 0; shot < plan.folders[folder].shots.size(); ++shot)
      plan.order.push_back(ShotPlace{folder, shot});
  plan.inShootingOrder = plan.everyCameraFile;
  if (!plan.inShootingOrder) return;
  std::stable_sort(plan.order.begin(), plan.order.end(), [&](const ShotPlace& a, const ShotPlace& b) {
    const Shot& first = plan.ShotAt(a);
    const Shot& second = plan.ShotAt(b);
    if (first.firstWritten != second.firstWritten) return first.firstWritten < second.firstWritten;
    return CompareNoCase(first.name, second.name) < 0;
  });
}

// The scan gives each shot its destination: the one target folder, or the
// day folder of the day it was taken.
std::optional<Refusal> ScanSources(const FileSystem& files, const MoveRequest& request, const PlanProgress& progress,
                                   MovePlan& plan) {
  ScanRules rules;
  rules.everyCameraFile = plan.everyCameraFile;
  rules.afterFolder = progress.folderRead;
  std::map<std::string, std::size_t> dayFolders;  // day stamp -> destination
  // How the card keeps file times, for shots that have nothing else to tell their day.
  FileClock clock;
  if (!files.FileClockOf(plan.source, clock)) clock = FileClock{};
  if (plan.byDateTaken) {
    rules.destinationOf = [&](const Shot& shot) {
      const std::string day = DayStamp(DayTaken(shot, files, request.dayOf, clock));
      auto [at, added] = dayFolders.try_emplace(day, plan.destinations.size());
      if (added) plan.destinations.push_back(Destination{BuildPath(plan.targetFolder, day), {}, 0, 0, 0});
      return at->second;
    };
  } else {
    plan.destinations.push_back(Destination{plan.targetFolder, {}, 0, 0, 0});
  }

  SourceScan scan;
  std::string failedFolder;
  FsStatus scanned = ScanTree(files, plan.sourceFolder, rules, scan, failedFolder);
  // The camera's video folders: taken with every camera file; else only
  // counted, to tell what stays on the card.
  rules.where = CardFolder::Video;
  for (const std::string& folder : VideoFolders(files, plan.source)) {
    if (!scanned) break;
    SourceScan video;
    scanned = ScanTree(files, folder, rules, video, failedFolder);
    if (plan.everyCameraFile)
      Absorb(scan, std::move(video));
    else
      CountLeft(scan, video);
  }
  if (plan.everyCameraFile && scanned) {
    SourceScan companions;
    rules.destinationOf = nullptr;
    for (const std::string& folder : FoldersAt(files, plan.source, kClipCompanionFolders, kClipCompanionFolderCount))
      if (scanned) scanned = ScanTree(files, folder, rules, companions, failedFolder);
    JoinClips(std::move(companions), scan);
  }
  if (!scanned) return FolderFailed(failedFolder, scanned);
  plan.folders = std::move(scan.folders);
  plan.totalSize = scan.totalSize;
  plan.shotCount = scan.shotCount;
  plan.fileCount = scan.fileCount;
  plan.left = scan.left;
  plan.splitFiles = scan.splitFiles;
  plan.splitShots = scan.splitShots;
  CollectNames(plan);
  Order(plan);
  return std::nullopt;
}

// Without numbering, no two shots that go into one folder may have one name.
// Each folder's names are kept sorted for the survey of its files.
std::optional<Refusal> CheckNames(MovePlan& plan) {
  for (Destination& destination : plan.destinations) {
    std::vector<std::string> found = std::move(destination.names);
    destination.names.clear();
    SortNoCase(found);
    if (HasDoubleNames(found, destination.names) && !plan.autoRename)
      return Refusal{plan.byDateTaken ? Refusal::Kind::DoubleNamesInDay : Refusal::Kind::DoubleNames,
                     destination.folder};
  }
  return std::nullopt;
}

}  // namespace

std::string TargetFolderOf(const MoveRequest& request) {
  if (request.dayFolder && !request.byDateTaken) return BuildPath(request.target, DayStamp(request.today));
  return request.target;
}

std::optional<Refusal> CheckFolders(const FileSystem& files, const MoveRequest& request) {
  if (!files.FolderExists(request.target)) return Refusal{Refusal::Kind::TargetAbsent};
  if (!files.FolderExists(request.source)) return Refusal{Refusal::Kind::SourceAbsent};
  // Where a folder cannot be read, the steps after say so as usual.
  std::vector<std::string> subfolders;
  std::string target;
  if (!files.ListSubfolders(request.source, subfolders) || !files.CanonicalPath(request.target, target))
    return std::nullopt;
  const std::string targetFolder = TargetFolderOf(request);
  // The day folder need not exist yet; it would lie in the target.
  if (targetFolder != request.target) target = BuildPath(target, GetFileName(targetFolder));
  std::vector<std::string> scanned{CameraFolderOf(request.source, subfolders)};
  if (request.everyCameraFile)
    for (const std::string& folder : VideoFolders(files, request.source)) scanned.push_back(folder);
  for (const std::string& folder : scanned) {
    std::string scannedFolder;
    if (files.CanonicalPath(folder, scannedFolder) && IsSameOrInside(target, scannedFolder))
      return Refusal{Refusal::Kind::TargetInSource, targetFolder, scannedFolder};
  }
  return std::nullopt;
}

std::variant<MovePlan, Refusal> PlanMove(const FileSystem& files, const MoveRequest& request,
                                         const PlanProgress& progress) {
  MovePlan plan;
  plan.source = request.source;
  plan.targetFolder = TargetFolderOf(request);
  plan.byDateTaken = request.byDateTaken;
  plan.everyCameraFile = request.everyCameraFile;
  plan.autoRename = request.autoRename;
  // The camera's "DCIM" folder, in any letter case, when the source has one;
  // otherwise the source itself.
  std::vector<std::string> subfolders;
  if (const FsStatus listed = files.ListSubfolders(plan.source, subfolders); !listed)
    return FolderFailed(plan.source, listed);
  plan.sourceFolder = CameraFolderOf(plan.source, subfolders);
  if (progress.scanning) progress.scanning();
  if (std::optional<Refusal> refused = ScanSources(files, request, progress, plan)) return *refused;
  if (std::optional<Refusal> refused = CheckNames(plan)) return *refused;
  // Also a source whose pictures are all empty files.
  if (plan.totalSize == 0) return Refusal{Refusal::Kind::EmptySource};
  return plan;
}

std::optional<Refusal> CheckSpace(const FileSystem& files, const MovePlan& plan) {
  // A day folder not made yet lies on the target's volume.
  const std::string target =
      files.FolderExists(plan.targetFolder) ? plan.targetFolder : ParentFolder(plan.targetFolder);
  std::uint64_t sourceVolume = 0;
  std::uint64_t targetVolume = 0;
  if (const FsStatus status = files.VolumeId(plan.sourceFolder, sourceVolume); !status)
    return FolderFailed(plan.sourceFolder, status);
  if (const FsStatus status = files.VolumeId(target, targetVolume); !status) return FolderFailed(target, status);
  if (sourceVolume == targetVolume) return std::nullopt;
  std::uint64_t freeSpace = 0;
  std::uint64_t unit = 1;
  if (const FsStatus status = files.FreeSpace(target, freeSpace); !status) return FolderFailed(target, status);
  if (const FsStatus status = files.AllocationUnit(target, unit); !status) return FolderFailed(target, status);
  const double needed = AllocatedSize(plan, unit);
  if (static_cast<double>(freeSpace) >= needed) return std::nullopt;
  Refusal refusal{Refusal::Kind::NoSpace, plan.targetFolder};
  refusal.needed = needed;
  refusal.free = freeSpace;
  return refusal;
}

std::optional<Refusal> SurveyDestination(const FileSystem& files, const MovePlan& plan, Destination& destination,
                                         const std::function<void(const FileEntry&)>& surveyed) {
  std::vector<FileEntry> entries;
  // A folder the move will make holds nothing yet.
  if (const FsStatus listed = files.ListFiles(destination.folder, entries);
      !listed && !(listed.code == FsCode::NotFound && !files.FolderExists(destination.folder)))
    return FolderFailed(destination.folder, listed);
  for (const FileEntry& entry : entries) {
    // With every camera file any file but a hidden one may meet a moved one.
    if (plan.everyCameraFile ? entry.hidden : !IsPicture(entry.name)) continue;
    if (plan.autoRename) {
      if (!SurveyNumber(ReadBaseNameNumber(GetBaseName(entry.name)), destination.shotCount,
                        destination.highestNumber))
        return Refusal{Refusal::Kind::NumbersRunOut, destination.folder, entry.path};
    } else if (ClashesWithSourceName(destination.names,
                                     plan.everyCameraFile ? ShotName(entry.name) : entry.name)) {
      return Refusal{Refusal::Kind::NameTaken, destination.folder, entry.path};
    }
    if (surveyed) surveyed(entry);
  }
  return std::nullopt;
}

}  // namespace quillfen
