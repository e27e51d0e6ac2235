// The first half of a move: the checks of source and target, the scan of the
// source, the refusals, the confirmation and the survey of the target.
#include "base/DayStamp.h"
#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "mover/BaseNameNumber.h"
#include "mover/Megabytes.h"
#include "mover/Pictures.h"
#include "mover/SourceFolder.h"
#include "mover/SourceNames.h"
#include "mover/SourceScan.h"
#include "mover/TargetNaming.h"
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

  // The folders as set now hold for the whole operation, whatever is set
  // while it runs.
  MovePlan plan;
  plan.source = strSource_;
  plan.targetFolder = strTarget_;
  if (options_.Subfolder())
    plan.targetFolder = BuildPath(strTarget_, DayStamp(ports_.system.Today()));
  std::string scannedFolder;
  if (TargetInSource(plan.targetFolder, scannedFolder)) {
    Box(texts_.GetDialog("target_in_source", {plan.targetFolder, scannedFolder}), "", BoxIcon::Information,
        BoxButtons::OK);
    return;
  }
  // The day folder is made before the source is looked at, and stays when the
  // operation is refused later.
  if (!files.FolderExists(plan.targetFolder)) {
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
  SourceScan scan;
  std::string failedFolder;
  FsStatus scanned = ScanSource(ports_.files, plan.sourceFolder, scan, failedFolder,
                                [this] { ports_.window.PumpEvents(); });
  if (!scanned) {
    ReportFolderFailure(failedFolder, scanned);
    Stop();
    return false;
  }
  plan.totalSize = scan.totalSize;
  plan.pictureCount = scan.pictureCount;
  plan.tree = std::move(scan.root);

  plan.autoRename = options_.AutoRename();
  SortNoCase(scan.names);
  const bool doubleNames = HasDoubleNames(scan.names, arrSourceNames_);
  if (!plan.autoRename && doubleNames) {
    Box(T("double_names"), "double_names_caption", BoxIcon::Information, BoxButtons::OK);
    Stop();
    return false;
  }
  // Also a source whose pictures are all empty files.
  if (plan.totalSize == 0) {
    Box(T("empty_source"), "empty_source_caption", BoxIcon::Information, BoxButtons::OK);
    Stop();
    return false;
  }
  if (!CheckFreeSpace(plan)) return false;

  const std::string question = texts_.GetDialog("operation_alert", {plan.source, plan.targetFolder});
  if (Box(question, "files_moving", BoxIcon::Question, BoxButtons::OKCancel) != BoxAnswer::OK) {
    Stop();
    return false;
  }
  return SurveyTarget(plan);
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

// A target folder inside the folder the pictures are taken from would be
// walked as part of the source: pictures already moved would be taken again
// and numbered on and on. Looked at before anything is made or moved; where
// a folder cannot be read, the steps after say so as usual.
bool clsFSMoving::TargetInSource(const std::string& targetFolder, std::string& scannedFolder) const {
  const FileSystem& files = ports_.files;
  std::vector<std::string> subfolders;
  std::string target;
  if (!files.ListSubfolders(strSource_, subfolders) ||
      !files.CanonicalPath(CameraFolderOf(strSource_, subfolders), scannedFolder) ||
      !files.CanonicalPath(strTarget_, target))
    return false;
  // The day folder need not exist yet; it would lie in the target.
  if (targetFolder != strTarget_) target = BuildPath(target, GetFileName(targetFolder));
  return IsSameOrInside(target, scannedFolder);
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

// The pictures directly in the target folder: with numbering, the highest
// number in use and the limit; without, no name may clash with a source
// picture's.
bool clsFSMoving::SurveyTarget(MovePlan& plan) {
  ShowExtraInfo(T("target_checking"));
  std::vector<FileEntry> entries;
  FsStatus listed = ports_.files.ListFiles(plan.targetFolder, entries);
  if (!listed) {
    ReportFolderFailure(plan.targetFolder, listed);
    Stop();
    return false;
  }
  const clsLanguageProvider& texts = texts_;
  for (const FileEntry& entry : entries) {
    if (!IsPicture(entry.name)) continue;
    if (plan.autoRename) {
      if (!SurveyNumber(ReadBaseNameNumber(GetBaseName(entry.name)), plan.pictureCount, plan.highestNumber)) {
        Box(texts.GetDialog("too_long_filename", {entry.path}), "", BoxIcon::Information, BoxButtons::OK);
        Stop();
        return false;
      }
    } else if (ClashesWithSourceName(arrSourceNames_, entry.name)) {
      Box(texts.GetDialog("same_names", {entry.path}), "same_names_caption", BoxIcon::Information, BoxButtons::OK);
      Stop();
      return false;
    }
    ports_.window.PumpEvents();
    ShowExtraInfo(T("checking") + " " + entry.path + "...");
  }
  return true;
}

}  // namespace quillfen
