#include "mover/clsFSMoving.h"

#include "base/AppNames.h"
#include "localization/clsLanguageProvider.h"

namespace quillfen {

clsFSMoving::clsFSMoving(MoverView& view, clsSettings& settings, const clsLanguageProvider& texts,
                         MoverPorts ports, SettingsLock& lock)
    : view_(view), settings_(settings), texts_(texts), ports_(ports), lock_(lock) {}

// Both paths are stored as soon as they are set, even while a move runs: they
// are the user's choice, not an option the move depends on.
void clsFSMoving::Target(const std::string& value) {
  strTarget_ = value;
  view_.SetCtlValue("cmbTarget", Variant(value), ControlKind::Text);
  settings_.SaveTarget(value);
}

void clsFSMoving::Source(const std::string& value) {
  strSource_ = value;
  view_.SetCtlValue("cmbSource", Variant(value), ControlKind::Text);
  settings_.SaveSource(value);
}

void clsFSMoving::Cancel() {
  blnCancel_ = true;
  // A waiting walk must wake to see the request.
  if (blnPaused_) Pause();
}

void clsFSMoving::Pause() {
  const std::string caption = blnPaused_ ? T("pause") : T("resume");
  view_.SetCtlValue("cmdPause", Variant(caption), ControlKind::Caption);
  blnPaused_ = !blnPaused_;
}

void clsFSMoving::StartSteps() {
  // A pause made before the operation never holds it.
  if (blnPaused_) Pause();
  running_ = true;
  lock_.Hold();
  view_.SwitchControls(false);
  view_.SetProgress(Variant(0));
}

void clsFSMoving::EndSteps() {
  lock_.Release();
  view_.SwitchControls(true);
  view_.SetProgress(Variant(0));
  if (blnPaused_) Pause();
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

void clsFSMoving::ReportFolderFailure(const std::string& folder, const FsStatus& status) {
  Box(texts_.GetDialog("operation_failed", {folder, status.reason}), "", BoxIcon::Warning,
      BoxButtons::OK);
}

}  // namespace quillfen
