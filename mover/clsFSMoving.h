#pragma once
// The photo mover: source and target, the checks before a move, the move with
// progress, pause and cancel, and its report.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mover/MovePlan.h"
#include "mover/MoverView.h"
#include "mover/SourceScan.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/SettingsLock.h"
#include "settings/clsSettings.h"

namespace quillfen {

class clsLanguageProvider;

// The platform services a move uses.
struct MoverPorts {
  FileSystem& files;
  WindowSystem& window;      // boxes, event pumping
  Shell& shell;              // the source shown in the file browser at the end
  const SystemInfo& system;  // today's date for the day folder
  // Whether the test mode is on, asked before each shot: its files then stay in place.
  std::function<bool()> testMode;
};

class clsFSMoving {
 public:
  // settings: the options a move reads when it starts, and where source and
  // target are stored as they are set. lock: the guard that keeps the
  // options from changing; the mover holds it for the whole of every move.
  clsFSMoving(MoverView& view, clsSettings& settings, const clsLanguageProvider& texts, MoverPorts ports,
              SettingsLock& lock);

  void Target(const std::string& value);
  void Source(const std::string& value);
  void Cancel();
  void Pause();
  void StartOperation();

  // State, for the window and for tests.
  const std::string& SourceValue() const { return strSource_; }
  const std::string& TargetValue() const { return strTarget_; }
  bool Paused() const { return blnPaused_; }
  bool CancelRequested() const { return blnCancel_; }
  bool Running() const { return running_; }
  const std::vector<std::string>& SourceNames() const { return arrSourceNames_; }

 private:
  // The checks and the planning before the move; false when the operation
  // was refused (it has then been stopped).
  bool PlanMove(MovePlan& plan);
  bool FindSourceFolder(const std::string& source, std::string& sourceFolder);
  // The camera's video folders the source has (looked up without a box).
  std::vector<std::string> VideoFolders(const std::string& source) const;
  // True when the target folder (made or not yet) is a folder the shots
  // would be taken from or lies inside one; `scannedFolder` then names it.
  bool TargetInSource(const std::string& targetFolder, bool everyCameraFile, std::string& scannedFolder) const;
  // The scan of every folder the move takes from, each shot given its
  // destination; a failure is told and the operation stopped.
  bool ScanSources(MovePlan& plan);
  // The double-name check of each destination (its names sorted on the way).
  bool CheckNames(MovePlan& plan);
  bool CheckFreeSpace(const MovePlan& plan);
  bool Confirm(const MovePlan& plan);
  // With day folders by the date taken: makes those that do not exist yet.
  bool MakeDayFolders(const MovePlan& plan);
  bool SurveyTarget(const MovePlan& plan, Destination& destination);
  void MovePhase(MovePlan& plan);
  void MovePictures(const ScannedFolder& folder, MovePlan& plan, WalkState& walk);
  // Moves each file of the shot under its target name, asking the user when
  // one fails; false when the user gave up on it (its files already moved
  // are then moved back, so a shot is never split).
  void AnnounceNextShot(const ScannedFolder& folder, std::size_t index, const MovePlan& plan);
  bool MoveShot(const Shot& shot, const MovePlan& plan, const Destination& destination, std::int32_t number);
  // Moves one file, asking the user when it fails; false when the user gave
  // up on it.
  bool MoveOnePicture(const std::string& source, const std::string& target);
  std::string ReasonText(const FsStatus& status) const;
  void RemoveFolder(const std::string& folder);

  void StartSteps();
  void EndSteps();
  // ClearInfo, then the end steps.
  void Stop();
  void ShowOperationInfo(const std::string& text);
  void ShowExtraInfo(const std::string& text);
  void ClearInfo();

  // A folder that could not be created, read or listed.
  void ReportFolderFailure(const std::string& folder, const FsStatus& status);
  // The text of a dialog key without values.
  std::string T(const std::string& key) const;
  // A message box whose title is the caption key's text, or the
  // application's title when there is no caption key.
  BoxAnswer Box(const std::string& text, const std::string& captionKey, BoxIcon icon, BoxButtons buttons);

  MoverView& view_;
  clsSettings& settings_;
  const clsLanguageProvider& texts_;
  MoverPorts ports_;
  SettingsLock& lock_;
  std::vector<std::string> arrSourceNames_;
  std::string strSource_;
  std::string strTarget_;
  bool blnCancel_ = false;
  bool blnPaused_ = false;
  bool running_ = false;
};

}  // namespace quillfen
