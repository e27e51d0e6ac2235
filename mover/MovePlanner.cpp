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

// A folder the shots go into, and the same folder in the backup (the day
// folder by the same name).
Destination MakeDestination(const MoveRequest& request, const std::string& folder) {
  Destination destination;
  destination.folder = folder;
  if (!request.backup.empty())
    destination.backupFolder = folder == request.target ? request.backup : BuildPath(request.backup, GetFileName(folder));
  return destination;
}

// The drive a missing folder would be on, where it lies where the desktop
// mounts drives ("/media/anna/BACKUP/Pictures" is on BACKUP); else nothing.
std::string DriveOf(const std::string& folder) {
  const std::vector<std::string> roots = {"/run/media/", "/media/", "/mnt/"};
  for (const std::string& root : roots) {
    if (folder.rfind(root, 0) != 0) continue;
    std::string rest = folder.substr(root.size());
    // /media/<user>/<drive> and /run/media/<user>/<drive>; /mnt/<drive>
    if (root != "/mnt/") rest = rest.find('/') == std::string::npos ? "" : rest.substr(rest.find('/') + 1);
    return rest.substr(0, rest.find('/'));
  }
  return {};
}

// The folders the shots are taken from, canonical.
std::vector<std::string> ScannedFolders(const FileSystem& files, const MoveRequest& request,
                                        const std::vector<std::string>& subfolders) {
  std::vector<std::string> scanned{CameraFolderOf(request.source, subfolders)};
  if (request.everyCameraFile)
    for (const std::string& folder : VideoFolders(files, request.source)) scanned.push_back(folder);
  std::vector<std::string> canonical;
  for (const std::string& folder : scanned) {
    std::string path;
    if (files.CanonicalPath(folder, path)) canonical.push_back(path);
  }
  return canonical;
}

// The backup must be there, outside the card, and on a volume of its own.
std::optional<Refusal> CheckBackup(const FileSystem& files, const MoveRequest& request,
                                   const std::vector<std::string>& scanned) {
  if (request.backup.empty()) return std::nullopt;
  if (!files.FolderExists(request.backup))
    return Refusal{Refusal::Kind::BackupAbsent, request.backup, DriveOf(request.backup)};
  // Anywhere on the card given as the source is inside it, not only in the
  // folders the shots are taken from: the card is emptied to be formatted.
  std::string backup;
  std::string card;
  std::vector<std::string> taken = scanned;
  if (files.CanonicalPath(request.source, card)) taken.insert(taken.begin(), card);
  if (files.CanonicalPath(request.backup, backup))
    for (const std::string& folder : taken)
      if (IsSameOrInside(backup, folder)) return Refusal{Refusal::Kind::BackupInSource, request.backup, folder};
  std::uint64_t backupVolume = 0;
  std::uint64_t targetVolume = 0;
  if (files.VolumeId(request.backup, backupVolume) && files.VolumeId(request.target, targetVolume) &&
      backupVolume == targetVolume)
    return Refusal{Refusal::Kind::BackupBesideTarget, request.backup, request.target};
  return std::nullopt;
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

// Whether the volume of `folder` holds every shot.
std::optional<Refusal> CheckRoom(const FileSystem& files, const MovePlan& plan, const std::string& folder,
                                 Refusal::Kind kind) {
  std::uint64_t freeSpace = 0;
  std::uint64_t unit = 1;
  if (const FsStatus status = files.FreeSpace(folder, freeSpace); !status) return FolderFailed(folder, status);
  if (const FsStatus status = files.AllocationUnit(folder, unit); !status) return FolderFailed(folder, status);
  const double needed = AllocatedSize(plan, unit);
  if (static_cast<double>(freeSpace) >= needed) return std::nullopt;
  Refusal refusal{kind, folder};
  refusal.needed = needed;
  refusal.free = freeSpace;
  return refusal;
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
      if (added) plan.destinations.push_back(MakeDestination(request, BuildPath(plan.targetFolder, day)));
      return at->second;
    };
  } else {
    plan.destinations.push_back(MakeDestination(request, plan.targetFolder));
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
  const std::vector<std::string> scanned = ScannedFolders(files, request, subfolders);
  for (const std::string& scannedFolder : scanned)
    if (IsSameOrInside(target, scannedFolder)) return Refusal{Refusal::Kind::TargetInSource, targetFolder, scannedFolder};
  return CheckBackup(files, request, scanned);
}

std::variant<MovePlan, Refusal> PlanMove(const FileSystem& files, const MoveRequest& request,
                                         const PlanProgress& progress) {
  MovePlan plan;
  plan.source = request.source;
  plan.targetFolder = TargetFolderOf(request);
  plan.byDateTaken = request.byDateTaken;
  plan.everyCameraFile = request.everyCameraFile;
  plan.autoRename = request.autoRename;
  plan.backup = request.backup;
  plan.checksums = request.checksums;
  plan.ejectCard = request.ejectCard;
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
  // A move within one volume needs no room; a second copy always does.
  if (sourceVolume != targetVolume)
    if (std::optional<Refusal> refused = CheckRoom(files, plan, target, Refusal::Kind::NoSpace)) return refused;
  if (!plan.backup.empty()) return CheckRoom(files, plan, plan.backup, Refusal::Kind::NoSpaceInBackup);
  return std::nullopt;
}

namespace {

// One folder the shots go into: its files that may meet a moved shot.
std::optional<Refusal> SurveyFolder(const FileSystem& files, const MovePlan& plan, const std::string& folder,
                                    Destination& destination, const std::function<void(const FileEntry&)>& surveyed) {
  std::vector<FileEntry> entries;
  // A folder the move will make holds nothing yet.
  if (const FsStatus listed = files.ListFiles(folder, entries);
      !listed && !(listed.code == FsCode::NotFound && !files.FolderExists(folder)))
    return FolderFailed(folder, listed);
  for (const FileEntry& entry : entries) {
    // With every camera file any file but a hidden one may meet a moved one.
    if (plan.everyCameraFile ? entry.hidden : !IsPicture(entry.name)) continue;
    if (plan.autoRename) {
      if (!SurveyNumber(ReadBaseNameNumber(GetBaseName(entry.name)), destination.shotCount,
                        destination.highestNumber))
        return Refusal{Refusal::Kind::NumbersRunOut, folder, entry.path};
    } else if (ClashesWithSourceName(destination.names,
                                     plan.everyCameraFile ? ShotName(entry.name) : entry.name)) {
      return Refusal{Refusal::Kind::NameTaken, folder, entry.path};
    }
    if (surveyed) surveyed(entry);
  }
  return std::nullopt;
}

}  // namespace

// The target folder, then the same folder in the backup: a number or a name
// must be free in both.
std::optional<Refusal> SurveyDestination(const FileSystem& files, const MovePlan& plan, Destination& destination,
                                         const std::function<void(const FileEntry&)>& surveyed) {
  if (std::optional<Refusal> refused = SurveyFolder(files, plan, destination.folder, destination, surveyed))
    return refused;
  if (destination.backupFolder.empty()) return std::nullopt;
  return SurveyFolder(files, plan, destination.backupFolder, destination, surveyed);
}

}  // namespace quillfen
