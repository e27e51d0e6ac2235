#include "mover/clsFSMoving.h"

#include "app/GlobalModule.h"
#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "settings/clsSettings.h"

namespace quillfen {

namespace {

// Kinds of the movie's set-value call.
constexpr std::int16_t kTextKind = 1;
constexpr std::int16_t kCaptionKind = 2;

}  // namespace

clsFSMoving::clsFSMoving(GlobalModule& module) : module_(module) {}

// Both paths are stored as soon as they are set, even while a move runs: they
// are the user's choice, not an option the move depends on.
void clsFSMoving::Target(const std::string& value) {
  strTarget_ = value;
  module_.objSWFProvider().SetCtlValue("cmbTarget", Variant(value), kTextKind);
  module_.platform().settings.SaveSetting(kAppName, kSettingsSection, "Target", value);
}

void clsFSMoving::Source(const std::string& value) {
  strSource_ = value;
  module_.objSWFProvider().SetCtlValue("cmbSource", Variant(value), kTextKind);
  module_.platform().settings.SaveSetting(kAppName, kSettingsSection, "Source", value);
}

void clsFSMoving::Cancel() {
  blnCancel_ = true;
  // A waiting walk must wake to see the request.
  if (blnPaused_) Pause();
}

void clsFSMoving::Pause() {
  const std::string caption = blnPaused_ ? T("pause") : T("resume");
  module_.objSWFProvider().SetCtlValue("cmdPause", Variant(caption), kCaptionKind);
  blnPaused_ = !blnPaused_;
}

void clsFSMoving::StartSteps() {
  // A pause made before the operation never holds it.
  if (blnPaused_) Pause();
  running_ = true;
  module_.blnSettingsLocked = true;
  module_.objSWFProvider().SwitchControls(false);
  module_.objSWFProvider().SetProgress(Variant(0));
}

void clsFSMoving::EndSteps() {
  module_.blnSettingsLocked = false;
  module_.objSWFProvider().SwitchControls(true);
  module_.objSWFProvider().SetProgress(Variant(0));
  if (blnPaused_) Pause();
  running_ = false;
}

void clsFSMoving::Stop() {
  ClearInfo();
  EndSteps();
}

void clsFSMoving::ShowOperationInfo(const std::string& text) {
  module_.objSWFProvider().SetCtlValue("infoOperation", Variant(text), kTextKind);
}

void clsFSMoving::ShowExtraInfo(const std::string& text) {
  module_.objSWFProvider().SetCtlValue("infoExtra", Variant(text), kTextKind);
}

void clsFSMoving::ClearInfo() {
  ShowOperationInfo(std::string());
  ShowExtraInfo(std::string());
}

std::string clsFSMoving::T(const std::string& key) const { return module_.objLanguageProvider().GetDialog(key); }

BoxAnswer clsFSMoving::Box(const std::string& text, const std::string& captionKey, BoxIcon icon, BoxButtons buttons) {
  const std::string title = captionKey.empty() ? std::string(kAppName) : T(captionKey);
  return module_.platform().window.MessageBox(text, title, icon, buttons);
}

void clsFSMoving::ReportFolderFailure(const std::string& folder, const FsStatus& status) {
  Box(module_.objLanguageProvider().GetDialog("operation_failed", {folder, status.reason}), "", BoxIcon::Warning,
      BoxButtons::OK);
}

}  // namespace quillfen
