#pragma once
// The photo mover: source and target, and the move from the user's start to
// its report. It conducts the planner and the walk, turns what they find
// into the messages and status lines the user reads, and owns the state of
// a running move (paused, cancelled).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mover/MovePlan.h"
#include "mover/MoveRequest.h"
#include "mover/MoveWalk.h"
#include "mover/MoverView.h"
#include "mover/Refusal.h"
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
  const SystemInfo& system;  // today's date for the day folder, the user's time zone
  // Whether the test mode is on, asked before each shot: its files then stay in place.
  std::function<bool()> testMode;
};

class clsFSMoving : private WalkEvents {
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
  // The checks, the user's confirmation, the move and its report, all
  // before it returns; events are pumped on the way.
  void StartOperation();

  // State, for the window and for tests.
  const std::string& SourceValue() const { return source_; }
  const std::string& TargetValue() const { return target_; }
  bool Paused() const { return paused_; }
  bool CancelRequested() const override { return cancel_; }
  bool Running() const { return running_; }

 private:
  // The folders and options as they stand now, for the whole move.
  MoveRequest Request() const;
  // The plan; nothing when the move was refused or cancelled (it has then
  // been stopped).
  std::optional<MovePlan> Planned(const MoveRequest& request);
  // The steps after the plan; false when the move was refused, cancelled or
  // the user declined (it has then been stopped).
  bool CancelledInChecks();
  bool ShotsKeptWhole(MoveRequest& request, std::optional<MovePlan>& plan);
  bool RoomFound(const MovePlan& plan);
  bool Confirmed(const MovePlan& plan);
  bool Surveyed(MovePlan& plan);
  bool FoldersMade(const MovePlan& plan);
  void MovePhase(MovePlan& plan);
  // The end of a move that went through: eject, folder, notification, report.
  void FinishMove(const MovePlan& plan, const WalkState& walk, std::int64_t started);
  void WriteChecksumLists(const WrittenFiles& written);
  // A long move the user turned away from is told by a notification: what
  // moved, and whether the card may be removed.
  void NotifyIfBehind(std::int64_t started, const std::string& moved, bool cardEjected);
  // What stays on the card, by kind ("2 RAW files, 1 video"), and the line
  // that says so.
  std::string LeftList(const LeftOnCard& left) const;
  std::string LeftText(const LeftOnCard& left, bool everyCameraFile) const;
  // Makes a folder the move puts shots into, unless it is there; refuses when it cannot.
  bool FolderMade(const std::string& folder);
  // Tells the user why the move cannot go on, and stops it when it has started.
  void Refuse(const Refusal& refusal);

  // WalkEvents
  void ShotStarting(const Shot& shot) override;
  bool LeaveInPlace() override { return ports_.testMode(); }
  bool RetryMove(const std::string& source, const FsStatus& failure, FailedIn where,
                 const std::string& place) override;
  void ShotSplit(const Shot& shot, const std::vector<std::string>& whereNow) override;
  void ShotDone(const WalkState& walk) override;
  void PauseGate() override;

  void StartSteps();
  void EndSteps();
  // ClearInfo, then the end steps.
  void Stop();
  void ShowOperationInfo(const std::string& text);
  void ShowExtraInfo(const std::string& text);
  void ClearInfo();
  // The reason for a failed move in the user's words.
  std::string ReasonText(const FsStatus& status) const;
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
  std::string source_;
  std::string target_;
  bool cancel_ = false;
  bool paused_ = false;
  bool running_ = false;
};

}  // namespace quillfen
