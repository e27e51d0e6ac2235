// A move from the user's start to its report: the planner's steps with the
// progress shown between them, the user's answers, and the walk.
#include <chrono>
#include <cmath>
#include <thread>

#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "mover/Megabytes.h"
#include "mover/MovePlanner.h"
#include "mover/clsFSMoving.h"

namespace quillfen {

MoveRequest clsFSMoving::Request() const {
  MoveRequest request;
  request.source = source_;
  request.target = target_;
  request.dayFolder = settings_.On(Option::Subfolder);
  request.byDateTaken = settings_.InEffect(Option::DateTakenFolders);
  request.everyCameraFile = settings_.InEffect(Option::AllCameraFiles);
  request.autoRename = settings_.On(Option::AutoRename);
  request.backup = settings_.Backup();
  request.checksums = settings_.On(Option::ChecksumList);
  request.ejectCard = settings_.On(Option::EjectCard);
  request.today = ports_.system.Today();
  request.dayOf = [&system = ports_.system](std::int64_t seconds) { return system.DayOf(seconds); };
  return request;
}

void clsFSMoving::StartOperation() {
  // The folders and options as set now hold for the whole operation,
  // whatever is set while it runs.
  MoveRequest request = Request();
  if (const std::optional<Refusal> refused = CheckFolders(ports_.files, request)) return Refuse(*refused);

  StartSteps();
  view_.SetCtlValue("infoFrom", Variant(T("sourceMoving") + " " + texts_.Embedded(request.source)), ControlKind::Text);
  view_.SetCtlValue("infoTo", Variant(T("targetMoving") + " " + texts_.Embedded(TargetFolderOf(request))),
                    ControlKind::Text);
  ports_.window.PumpEvents();

  std::optional<MovePlan> plan = Planned(request);
  // Nothing is made in the target before every check has passed.
  if (plan && ShotsKeptWhole(request, plan) && RoomFound(*plan) && Confirmed(*plan) && Surveyed(*plan) &&
      FoldersMade(*plan))
    MovePhase(*plan);
}

std::optional<MovePlan> clsFSMoving::Planned(const MoveRequest& request) {
  const PlanProgress progress{[this] {
                                ClearInfo();
                                ShowExtraInfo(T("source_checking"));
                              },
                              // A card with many folders does not freeze the window while it is read.
                              [this] { ports_.window.PumpEvents(); }};
  std::variant<MovePlan, Refusal> planned = PlanMove(ports_.files, request, progress);
  if (const Refusal* refused = std::get_if<Refusal>(&planned)) {
    Refuse(*refused);
    return std::nullopt;
  }
  if (CancelledInChecks()) return std::nullopt;
  return std::move(std::get<MovePlan>(planned));
}

// A Cancel the user pressed while the checks ran belongs to this move: it
// ends here, quietly, as a cancel during the walk does.
bool clsFSMoving::CancelledInChecks() {
  if (!cancel_) return false;
  cancel_ = false;
  Stop();
  return true;
}

// Pictures alone would leave the other files of their shots behind: the user
// takes them along (this once, or from now on) or moves the pictures alone.
bool clsFSMoving::ShotsKeptWhole(MoveRequest& request, std::optional<MovePlan>& plan) {
  if (plan->everyCameraFile || plan->splitFiles == 0) return true;
  const std::optional<std::size_t> chosen = ports_.window.ChoiceBox(
      texts_.GetDialog("split_shots", {TextValue(plan->splitShots), TextValue(plan->splitFiles)}),
      T("split_shots_caption"), BoxIcon::Question, {T("split_take"), T("split_always"), T("split_pictures_only")});
  if (!chosen) {
    Stop();
    return false;
  }
  if (*chosen == 2) return true;
  if (*chosen == 1) settings_.SaveAnswer(Option::AllCameraFiles, true);
  request.everyCameraFile = true;
  if (const std::optional<Refusal> refused = CheckFolders(ports_.files, request)) {
    Refuse(*refused);
    return false;
  }
  plan = Planned(request);
  return plan.has_value();
}

bool clsFSMoving::FolderMade(const std::string& folder) {
  if (ports_.files.FolderExists(folder)) return true;
  const FsStatus created = ports_.files.CreateFolder(folder);
  if (!created) Refuse(Refusal{Refusal::Kind::FolderFailed, folder, {}, created});
  return created.ok();
}

// Across volumes the target must hold every picture; the user may make room
// and try again.
bool clsFSMoving::RoomFound(const MovePlan& plan) {
  for (;;) {
    const std::optional<Refusal> refused = CheckSpace(ports_.files, plan);
    if (!refused) return true;
    const bool inBackup = refused->kind == Refusal::Kind::NoSpaceInBackup;
    if (refused->kind != Refusal::Kind::NoSpace && !inBackup) {
      Refuse(*refused);
      return false;
    }
    const std::string text = texts_.GetDialog(
        inBackup ? "no_space_backup" : "no_space",
        {TextValue(WholeMegabytes(refused->needed)), TextValue(WholeMegabytes(static_cast<double>(refused->free))),
         refused->folder});
    if (Box(text, "no_space_caption", BoxIcon::Warning, BoxButtons::RetryCancel) != BoxAnswer::Retry) {
      Stop();
      return false;
    }
  }
}

bool clsFSMoving::Confirmed(const MovePlan& plan) {
  const std::string question =
      plan.byDateTaken
          ? texts_.GetDialog("operation_alert_days", {plan.source, plan.targetFolder, TextValue(plan.destinations.size())})
          : texts_.GetDialog("operation_alert", {plan.source, plan.targetFolder});
  if (Box(question, "files_moving", BoxIcon::Question, BoxButtons::OKCancel) == BoxAnswer::OK) return true;
  Stop();
  return false;
}

bool clsFSMoving::Surveyed(MovePlan& plan) {
  for (Destination& destination : plan.destinations) {
    ShowExtraInfo(T("target_checking"));
    const std::optional<Refusal> refused =
        SurveyDestination(ports_.files, plan, destination, [this](const FileEntry& entry) {
          ports_.window.PumpEvents();
          ShowExtraInfo(T("checking") + " " + texts_.Embedded(entry.path) + "...");
        });
    if (refused) {
      Refuse(*refused);
      return false;
    }
  }
  return !CancelledInChecks();
}

bool clsFSMoving::FoldersMade(const MovePlan& plan) {
  for (const Destination& destination : plan.destinations) {
    if (!FolderMade(destination.folder)) return false;
    if (!destination.backupFolder.empty() && !FolderMade(destination.backupFolder)) return false;
  }
  return true;
}

void clsFSMoving::MovePhase(MovePlan& plan) {
  ShowExtraInfo(T("moving_files"));
  const std::int64_t started = ports_.system.Now();
  const WalkResult result = WalkPlan(ports_.files, plan, *this);
  const WalkState& walk = result.walk;
  ShowExtraInfo(plan.everyCameraFile
                    ? texts_.GetDialog("moved_files_shots", {TextValue(walk.movedFiles), TextValue(walk.moved)})
                    : texts_.GetDialog("moved_files", {TextValue(walk.moved)}));
  const LeftOnCard& left = plan.left;
  // What stays on the card is said, not passed over.
  if (left.Total() > 0) ShowOperationInfo(LeftText(left, plan.everyCameraFile));
  // The pictures that did move are listed, even when the move stopped.
  if (plan.checksums) WriteChecksumLists(result.written);
  if (cancel_ || result.gaveUp) {
    // The request is consumed here, and the user is not told twice.
    cancel_ = false;
    NotifyIfBehind(started, texts_.GetDialog("notify_stopped", {TextValue(walk.moved), plan.targetFolder}), false);
  } else {
    FinishMove(plan, walk, started);
  }
  EndSteps();
}

void clsFSMoving::ShotStarting(const Shot& shot) {
  ShowOperationInfo(T("moving_file") + " \"" + texts_.Embedded(shot.files.front().name) + "\"...");
}

// With a backup, the destination that failed is named: the picture is still
// on the card, and nothing of it is in either destination.
bool clsFSMoving::RetryMove(const std::string& source, const FsStatus& failure, FailedIn where,
                            const std::string& place) {
  const char* key = where == FailedIn::Backup ? "backup_failed" : where == FailedIn::Target ? "target_failed" : "move_failed";
  const std::string text = texts_.GetDialog(key, {source, ReasonText(failure), ParentFolder(place)});
  return Box(text, "", BoxIcon::Warning, BoxButtons::RetryCancel) == BoxAnswer::Retry;
}

void clsFSMoving::ShotSplit(const Shot& shot, const std::vector<std::string>& whereNow) {
  std::string places;
  for (const std::string& path : whereNow) places += (places.empty() ? "" : "\n") + path;
  Box(texts_.GetDialog("shot_split", {shot.name, places}), "", BoxIcon::Warning, BoxButtons::OK);
}

void clsFSMoving::ShotDone(const WalkState& walk) {
  view_.SetProgress(Variant(std::floor(100.0 / walk.totalSize * walk.movedSize)));
}

void clsFSMoving::PauseGate() {
  ports_.window.PumpEvents();
  ports_.window.PumpEvents();
  // A paused move holds no file of the card open: the user may take it out.
  if (paused_) ports_.files.ForgetHints();
  while (paused_) {
    // Waiting for the user's resume; a short sleep keeps the wait from
    // spinning a processor core.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ports_.window.PumpEvents();
  }
}

}  // namespace quillfen
