// The mover's state and what it shows: source and target, pause and cancel,
// the start and end of every move, the status lines and the boxes.
#include "mover/clsFSMoving.h"

#include "base/AppNames.h"
#include "localization/clsLanguageProvider.h"

namespace quillfen {

clsFSMoving::clsFSMoving(MoverView& view, clsSettings& settings, const clsLanguageProvider& texts,
                         MoverPorts ports, SettingsLock& lock)
    : view_(view), settings_(settings), texts_(texts), ports_(std::move(ports)), lock_(lock) {}

// Both paths are stored as soon as they are set, even while a move runs: they
// are the user's choice, not an option the move depends on.
void clsFSMoving::Target(const std::string& value) {
  target_ = value;
  view_.SetCtlValue("cmbTarget", Variant(value), ControlKind::Text);
  settings_.SaveTarget(value);
}

void clsFSMoving::Source(const std::string& value) {
  source_ = value;
  view_.SetCtlValue("cmbSource", Variant(value), ControlKind::Text);
  settings_.SaveSource(value);
}

// A Cancel belongs to the move it is pressed in; one pressed while no move
// runs is none's.
void clsFSMoving::Cancel() {
  if (!running_) return;
  cancel_ = true;
  // A waiting walk must wake to see the request.
  if (paused_) Pause();
}

void clsFSMoving::Pause() {
  const std::string caption = paused_ ? T("pause") : T("resume");
  view_.SetCtlValue("cmdPause", Variant(caption), ControlKind::Caption);
  paused_ = !paused_;
}

void clsFSMoving::StartSteps() {
  // A pause made before the operation never holds it.
  if (paused_) Pause();
  running_ = true;
  lock_.Hold();
  view_.SwitchControls(false);
  view_.SetProgress(Variant(0));
}

void clsFSMoving::EndSteps() {
  lock_.Release();
  view_.SwitchControls(true);
  view_.SetProgress(Variant(0));
  if (paused_) Pause();
  running_ = false;
}

void clsFSMoving::Stop() {
  ClearInfo();
  EndSteps();
}

void clsFSMoving::ShowOperationInfo(const std::string& text) {
  view_.SetCtlValue("infoOperation", Variant(text), ControlKind::Text);
}

void clsFSMoving::ShowExtraInfo(const std::string& text) {
  view_.SetCtlValue("infoExtra", Variant(text), ControlKind::Text);
}

void clsFSMoving::ClearInfo() {
  ShowOperationInfo(std::string());
  ShowExtraInfo(std::string());
}

std::string clsFSMoving::T(const std::string& key) const { return texts_.GetDialog(key); }

BoxAnswer clsFSMoving::Box(const std::string& text, const std::string& captionKey, BoxIcon icon, BoxButtons buttons) {
  const std::string title = captionKey.empty() ? std::string(kAppTitle) : T(captionKey);
  return ports_.window.MessageBox(text, title, icon, buttons);
}

// The reasons the program itself finds are told in the user's language; the
// system's own reasons as the system gives them.
std::string clsFSMoving::ReasonText(const FsStatus& status) const {
  switch (status.code) {
    case FsCode::CopyDiffers: return T("copy_differs");
    case FsCode::SourceChanged: return T("source_changed");
    default: return status.reason;
  }
}

std::string clsFSMoving::LeftList(const LeftOnCard& left) const {
  static constexpr std::pair<FileFate, const char*> kNames[] = {
      {FileFate::Picture, "left_pictures"}, {FileFate::Raw, "left_raw"},     {FileFate::Video, "left_videos"},
      {FileFate::Sidecar, "left_sidecars"}, {FileFate::Other, "left_other"}, {FileFate::CameraOwn, "left_camera_own"},
      {FileFate::Hidden, "left_hidden"}};
  std::string list;
  for (const auto& [fate, key] : kNames)
    if (const std::int32_t count = left.Count(fate))
      list += (list.empty() ? "" : ", ") + texts_.GetDialog(key, {TextValue(count)});
  return list;
}

// Without every camera file, the user hears that the option takes the
// camera files that stay.
std::string clsFSMoving::LeftText(const LeftOnCard& left, bool everyCameraFile) const {
  const bool cameraFilesLeft = left.Count(FileFate::Picture) + left.Count(FileFate::Raw) +
                                   left.Count(FileFate::Video) + left.Count(FileFate::Sidecar) >
                               0;
  const char* key = !everyCameraFile && cameraFilesLeft ? "left_on_card_hint" : "left_on_card";
  return texts_.GetDialog(key, {LeftList(left)});
}

void clsFSMoving::Refuse(const Refusal& refusal) {
  using Kind = Refusal::Kind;
  switch (refusal.kind) {
    case Kind::TargetAbsent: Box(T("targetDirAbsent"), "", BoxIcon::Information, BoxButtons::OK); break;
    case Kind::SourceAbsent: Box(T("sourceDirAbsent"), "", BoxIcon::Information, BoxButtons::OK); break;
    case Kind::TargetInSource:
      Box(texts_.GetDialog("target_in_source", {refusal.folder, refusal.other}), "", BoxIcon::Information,
          BoxButtons::OK);
      break;
    case Kind::FolderFailed:
      Box(texts_.GetDialog("operation_failed", {refusal.folder, refusal.failure.reason}), "", BoxIcon::Warning,
          BoxButtons::OK);
      break;
    case Kind::DoubleNames:
      Box(T("double_names"), "double_names_caption", BoxIcon::Information, BoxButtons::OK);
      break;
    case Kind::DoubleNamesInDay:
      Box(texts_.GetDialog("double_names_in", {refusal.folder}), "double_names_caption", BoxIcon::Information,
          BoxButtons::OK);
      break;
    case Kind::EmptySource:
      Box(T("empty_source"), "empty_source_caption", BoxIcon::Information, BoxButtons::OK);
      break;
    case Kind::NumbersRunOut:
      Box(texts_.GetDialog("too_long_filename", {refusal.other}), "", BoxIcon::Information, BoxButtons::OK);
      break;
    case Kind::NameTaken:
      Box(texts_.GetDialog("same_names", {refusal.other}), "same_names_caption", BoxIcon::Information,
          BoxButtons::OK);
      break;
    case Kind::BackupAbsent:
      Box(refusal.other.empty() ? texts_.GetDialog("backup_absent", {refusal.folder})
                                : texts_.GetDialog("backup_drive_absent", {refusal.folder, refusal.other}),
          "", BoxIcon::Information, BoxButtons::OK);
      break;
    case Kind::BackupInSource:
      Box(texts_.GetDialog("backup_in_source", {refusal.folder, refusal.other}), "", BoxIcon::Information,
          BoxButtons::OK);
      break;
    case Kind::BackupBesideTarget:
      Box(texts_.GetDialog("backup_beside_target", {refusal.folder, refusal.other}), "", BoxIcon::Information,
          BoxButtons::OK);
      break;
    // Asked about where the space is checked: the user may make room.
    case Kind::NoSpace:
    case Kind::NoSpaceInBackup: break;
  }
  // Nothing is locked or switched before both folders are known to exist.
  if (running_) Stop();
}

}  // namespace quillfen
