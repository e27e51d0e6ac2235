// The first half of a move: the checks of source and target, the scan of the
// source, the refusals and the confirmation.
#include "base/DayStamp.h"
#include "base/NoCase.h"
#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "mover/CameraFiles.h"
#include "mover/Megabytes.h"
#include "mover/SourceFolder.h"
#include "mover/clsFSMoving.h"

namespace quillfen {

void clsFSMoving::StartOperation() {
  FileSystem& files = ports_.files;
  // Nothing is locked or switched before both folders are known to exist.
  if (!files.FolderExists(strTarget_)) {
    Box(T("targetDirAbsent"), "", BoxIcon::Information, BoxButtons::OK);
    return;
  }
  if (!files.FolderExists(strSource_)) {
    Box(T("sourceDirAbsent"), "", BoxIcon::Information, BoxButtons::OK);
    return;
  }

  // The folders and options as set now hold for the whole operation,
  // whatever is set while it runs.
  MovePlan plan;
  plan.source = strSource_;
  plan.targetFolder = strTarget_;
  plan.everyCameraFile = settings_.InEffect(Option::AllCameraFiles);
  plan.byDateTaken = settings_.InEffect(Option::DateTakenFolders);
  if (settings_.On(Option::Subfolder) && !plan.byDateTaken)
    plan.targetFolder = BuildPath(strTarget_, DayStamp(ports_.system.Today()));
  std::string scannedFolder;
  if (TargetInSource(plan.targetFolder, plan.everyCameraFile, scannedFolder)) {
    Box(texts_.GetDialog("target_in_source", {plan.targetFolder, scannedFolder}), "", BoxIcon::Information,
        BoxButtons::OK);
    return;
  }
  // The day folder is made before the source is looked at, and stays when the
  // operation is refused later. (Day folders by the date taken are known
  // only once the source has been read.)
  if (!plan.byDateTaken && !files.FolderExists(plan.targetFolder)) {
    FsStatus created = files.CreateFolder(plan.targetFolder);
    if (!created) {
      ReportFolderFailure(plan.targetFolder, created);
      return;
    }
  }

  StartSteps();
  view_.SetCtlValue("infoFrom", Variant(T("sourceMoving") + " " + plan.source), ControlKind::Text);
  view_.SetCtlValue("infoTo", Variant(T("targetMoving") + " " + plan.targetFolder), ControlKind::Text);
  ports_.window.PumpEvents();

  if (PlanMove(plan)) MovePhase(plan);
}

bool clsFSMoving::PlanMove(MovePlan& plan) {
  if (!FindSourceFolder(plan.source, plan.sourceFolder)) return false;
  ClearInfo();
  ShowExtraInfo(T("source_checking"));
  if (!ScanSources(plan)) return false;
  plan.autoRename = settings_.On(Option::AutoRename);
  if (!CheckNames(plan)) return false;
  // Also a source whose pictures are all empty files.
  if (plan.totalSize == 0) {
    Box(T("empty_source"), "empty_source_caption", BoxIcon::Information, BoxButtons::OK);
    Stop();
    return false;
  }
  if (!CheckFreeSpace(plan) || !Confirm(plan) || !MakeDayFolders(plan)) return false;
  for (Destination& destination : plan.destinations)
    if (!SurveyTarget(plan, destination)) return false;
  return true;
}

// The camera's "DCIM" folder, in any letter case, when the source has one;
// otherwise the source itself.
bool clsFSMoving::FindSourceFolder(const std::string& source, std::string& sourceFolder) {
  std::vector<std::string> subfolders;
  FsStatus listed = ports_.files.ListSubfolders(source, subfolders);
  if (!listed) {
    ReportFolderFailure(source, listed);
    Stop();
    return false;
  }
  sourceFolder = CameraFolderOf(source, subfolders);
  return true;
}

// Beside "DCIM" only: a source without one is scanned whole, its video
// folders included.
std::vector<std::string> clsFSMoving::VideoFolders(const std::string& source) const {
  std::vector<std::string> subfolders;
  if (!ports_.files.ListSubfolders(source, subfolders) || CameraFolderOf(source, subfolders) == source) return {};
  // Every folder on the way that matches in any letter case is followed.
  std::vector<std::string> found;
  for (std::size_t i = 0; i < kCameraVideoFolderCount; ++i) {
    std::vector<std::string> reached{source};
    const std::string path = kCameraVideoFolders[i];
    for (std::size_t start = 0; !reached.empty() && start < path.size();) {
      std::size_t end = path.find('/', start);
      if (end == std::string::npos) end = path.size();
      const std::string element = path.substr(start, end - start);
      std::vector<std::string> next;
      for (const std::string& folder : reached) {
        std::vector<std::string> children;
        if (!ports_.files.ListSubfolders(folder, children)) continue;
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

// A target folder inside a folder the shots are taken from would be walked
// as part of the source: pictures already moved would be taken again and
// numbered on and on. Looked at before anything is made or moved; where a
// folder cannot be read, the steps after say so as usual.
bool clsFSMoving::TargetInSource(const std::string& targetFolder, bool everyCameraFile,
                                 std::string& scannedFolder) const {
  const FileSystem& files = ports_.files;
  std::vector<std::string> subfolders;
  std::string target;
  if (!files.ListSubfolders(strSource_, subfolders) || !files.CanonicalPath(strTarget_, target)) return false;
  // The day folder need not exist yet; it would lie in the target.
  if (targetFolder != strTarget_) target = BuildPath(target, GetFileName(targetFolder));
  std::vector<std::string> scanned{CameraFolderOf(strSource_, subfolders)};
  if (everyCameraFile)
    for (const std::string& folder : VideoFolders(strSource_)) scanned.push_back(folder);
  for (const std::string& folder : scanned)
    if (files.CanonicalPath(folder, scannedFolder) && IsSameOrInside(target, scannedFolder)) return true;
  return false;
}

// A move within one volume needs no space; across volumes the target must
// hold every picture, and the user may make room and try again.
bool clsFSMoving::CheckFreeSpace(const MovePlan& plan) {
  FileSystem& files = ports_.files;
  std::uint64_t sourceVolume = 0;
  std::uint64_t targetVolume = 0;
  FsStatus status = files.VolumeId(plan.sourceFolder, sourceVolume);
  if (!status) {
    ReportFolderFailure(plan.sourceFolder, status);
    Stop();
    return false;
  }
  status = files.VolumeId(plan.targetFolder, targetVolume);
  if (!status) {
    ReportFolderFailure(plan.targetFolder, status);
    Stop();
    return false;
  }
  if (sourceVolume == targetVolume) return true;

  const std::locale numbers = UserNumericLocale();
  for (;;) {
    std::uint64_t freeSpace = 0;
    status = files.FreeSpace(plan.targetFolder, freeSpace);
    if (!status) {
      ReportFolderFailure(plan.targetFolder, status);
      Stop();
      return false;
    }
    if (static_cast<double>(freeSpace) >= plan.totalSize) return true;
    const std::string text = texts_.GetDialog(
        "no_space", {FormatMegabytes(plan.totalSize, numbers), FormatMegabytes(static_cast<double>(freeSpace), numbers)});
    if (Box(text, "no_space_caption", BoxIcon::Warning, BoxButtons::RetryCancel) != BoxAnswer::Retry) {
      Stop();
      return false;
    }
  }
}

bool clsFSMoving::Confirm(const MovePlan& plan) {
  const std::string question =
      plan.byDateTaken ? texts_.GetDialog("operation_alert_days", {plan.source, plan.targetFolder,
                                                                   std::to_string(plan.destinations.size())})
                       : texts_.GetDialog("operation_alert", {plan.source, plan.targetFolder});
  if (Box(question, "files_moving", BoxIcon::Question, BoxButtons::OKCancel) == BoxAnswer::OK) return true;
  Stop();
  return false;
}

}  // namespace quillfen
