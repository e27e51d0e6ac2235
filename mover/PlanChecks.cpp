// The middle of a move's checks: the scan of the source, which gives each
// shot the folder it goes to; the names within each of those folders; the
// day folders by the date taken; the survey of each target folder.
#include <map>

#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "mover/BaseNameNumber.h"
#include "mover/CameraFiles.h"
#include "mover/Pictures.h"
#include "mover/ShotDays.h"
#include "mover/SourceNames.h"
#include "mover/TargetNaming.h"
#include "mover/clsFSMoving.h"

namespace quillfen {

namespace {

void CollectNames(const ScannedFolder& folder, std::vector<Destination>& destinations) {
  for (const Shot& shot : folder.shots) {
    Destination& destination = destinations[shot.destination];
    destination.names.push_back(shot.name);
    ++destination.shotCount;
  }
  for (const ScannedFolder& subfolder : folder.subfolders) CollectNames(subfolder, destinations);
}

}  // namespace

bool clsFSMoving::ScanSources(MovePlan& plan) {
  ScanRules rules;
  rules.everyCameraFile = plan.everyCameraFile;
  rules.afterFolder = [this] { ports_.window.PumpEvents(); };
  std::map<std::string, std::size_t> dayFolders;  // day stamp -> destination
  if (plan.byDateTaken) {
    rules.destinationOf = [&](const Shot& shot) {
      const std::string day = DayStamp(DayTaken(shot, ports_.files, ports_.system));
      auto [at, added] = dayFolders.try_emplace(day, plan.destinations.size());
      if (added) plan.destinations.push_back(Destination{BuildPath(plan.targetFolder, day), {}, 0, 0, 0});
      return at->second;
    };
  } else {
    plan.destinations.push_back(Destination{plan.targetFolder, {}, 0, 0, 0});
  }

  SourceScan scan;
  std::string failedFolder;
  FsStatus scanned = ScanTree(ports_.files, plan.sourceFolder, rules, scan, failedFolder);
  // The camera's video folders: taken with every camera file; else only
  // counted, to tell what stays on the card.
  const std::vector<std::string> videoFolders = VideoFolders(plan.source);
  SourceScan counted;
  for (const std::string& folder : videoFolders) {
    if (!scanned) break;
    scanned = ScanTree(ports_.files, folder, rules, plan.everyCameraFile ? scan : counted, failedFolder);
  }
  if (!scanned) {
    ReportFolderFailure(failedFolder, scanned);
    Stop();
    return false;
  }
  plan.trees = std::move(scan.trees);
  plan.totalSize = scan.totalSize;
  plan.shotCount = scan.shotCount;
  plan.otherCameraFiles = scan.otherCameraFiles + counted.otherCameraFiles;
  for (const ScannedFolder& tree : plan.trees) CollectNames(tree, plan.destinations);
  return true;
}

// Without numbering, no two shots that go into one folder may have one name.
bool clsFSMoving::CheckNames(MovePlan& plan) {
  for (Destination& destination : plan.destinations) {
    std::vector<std::string> found = std::move(destination.names);
    destination.names.clear();
    SortNoCase(found);
    // With one target folder the mover keeps the sorted names as it always has.
    std::vector<std::string>& sorted = plan.byDateTaken ? destination.names : arrSourceNames_;
    const bool doubleNames = HasDoubleNames(found, sorted);
    if (!plan.byDateTaken) destination.names = arrSourceNames_;
    if (plan.autoRename || !doubleNames) continue;
    if (plan.byDateTaken)
      Box(texts_.GetDialog("double_names_in", {destination.folder}), "double_names_caption", BoxIcon::Information,
          BoxButtons::OK);
    else
      Box(T("double_names"), "double_names_caption", BoxIcon::Information, BoxButtons::OK);
    Stop();
    return false;
  }
  return true;
}

bool clsFSMoving::MakeDayFolders(const MovePlan& plan) {
  if (!plan.byDateTaken) return true;
  for (const Destination& destination : plan.destinations) {
    if (ports_.files.FolderExists(destination.folder)) continue;
    FsStatus created = ports_.files.CreateFolder(destination.folder);
    if (!created) {
      ReportFolderFailure(destination.folder, created);
      Stop();
      return false;
    }
  }
  return true;
}

// The files directly in a target folder that can meet a moved shot
// (pictures, or with every camera file each camera file): with numbering,
// the highest number in use and the limit; without, no name may clash with
// a shot's.
bool clsFSMoving::SurveyTarget(const MovePlan& plan, Destination& destination) {
  ShowExtraInfo(T("target_checking"));
  std::vector<FileEntry> entries;
  FsStatus listed = ports_.files.ListFiles(destination.folder, entries);
  if (!listed) {
    ReportFolderFailure(destination.folder, listed);
    Stop();
    return false;
  }
  for (const FileEntry& entry : entries) {
    if (plan.everyCameraFile ? !IsCameraFile(entry.name) : !IsPicture(entry.name)) continue;
    if (plan.autoRename) {
      if (!SurveyNumber(ReadBaseNameNumber(GetBaseName(entry.name)), destination.shotCount,
                        destination.highestNumber)) {
        Box(texts_.GetDialog("too_long_filename", {entry.path}), "", BoxIcon::Information, BoxButtons::OK);
        Stop();
        return false;
      }
    } else if (ClashesWithSourceName(destination.names, plan.everyCameraFile ? GetBaseName(entry.name) : entry.name)) {
      Box(texts_.GetDialog("same_names", {entry.path}), "same_names_caption", BoxIcon::Information, BoxButtons::OK);
      Stop();
      return false;
    }
    ports_.window.PumpEvents();
    ShowExtraInfo(T("checking") + " " + entry.path + "...");
  }
  return true;
}

}  // namespace quillfen
