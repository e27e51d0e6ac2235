#include "bridge/clsSWFProvider.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "base/AppNames.h"
#include "base/PathParts.h"
#include "bridge/EncodingFailure.h"
#include "bridge/FixedTexts.h"
#include "bridge/InvokeRequest.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "settings/OptionText.h"
#include "settings/clsSettings.h"

namespace quillfen {

namespace {

// An option's check box is named after the option: "chk" + "AutoRename".
constexpr const char* kOptionBoxPrefix = "chk";

// The argument at the index, or the empty text beyond those sent.
const std::string& Argument(const InvokeRequest& request, std::size_t index) {
  static const std::string kNone;
  return index < request.arguments.size() ? request.arguments[index] : kNone;
}

// A call of a movie function with one argument.
std::string CallWithOneArgument(const char* function, const Variant& argument) {
  clsXMLProvider xml;
  xml.InitializeXMLFunction(function);
  xml.AddXMLFunctionArgument(xml.WrappArgument(argument));
  return xml.GetWrappedXMLFunction();
}

}  // namespace

std::vector<std::string> SplitComponentNames(const std::string& joined) {
  std::vector<std::string> names;
  if (joined.empty()) return names;
  for (std::size_t start = 0;;) {
    const std::size_t colon = joined.find(':', start);
    names.push_back(joined.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) return names;
    start = colon + 1;
  }
}

clsSWFProvider::clsSWFProvider(WindowSystem& window, MovieHost& movie, const SystemInfo& system,
                               const FileSystem& files, clsLanguageProvider& language)
    : window_(window),
      platformMovie_(movie),
      system_(system),
      files_(files),
      language_(language) {
  setProgressCall_.InitializeXMLFunction("setProgress");
  setValueCall_.InitializeXMLFunction("setValue");
}

clsSWFProvider::~clsSWFProvider() = default;

void clsSWFProvider::SetCommandTargets(clsSettings& settings, clsFSMoving& mover) {
  settings_ = &settings;
  mover_ = &mover;
}

clsSettings& clsSWFProvider::Settings() const {
  if (!settings_) throw std::logic_error("clsSWFProvider: the movie's commands have no settings to reach");
  return *settings_;
}

clsFSMoving& clsSWFProvider::Mover() const {
  if (!mover_) throw std::logic_error("clsSWFProvider: the movie's commands have no mover to reach");
  return *mover_;
}

MovieHost& clsSWFProvider::Movie() const { return ctlFlash_ ? *ctlFlash_ : platformMovie_; }

void clsSWFProvider::FlashCall(const std::string& request) {
  // Everything of this request stays local, so that a request arriving while
  // this one pumps events (a pause during a move) is read and answered on
  // its own, before this one.
  const std::optional<InvokeRequest> invoke =
      request.size() <= kMaxRequestBytes ? ReadInvokeRequest(request) : std::nullopt;
  if (!invoke) {
    // The movie never sends such a text: refused without any action.
    Movie().SetReturnValue("");
    return;
  }
  std::optional<std::string> reply;
  try {
    reply = Dispatch(*invoke);
  } catch (...) {
    // The movie's call is not left waiting; the failure goes on to the caller.
    Movie().SetReturnValue("");
    throw;
  }
  if (reply) Movie().SetReturnValue(*reply);
}

std::optional<std::string> clsSWFProvider::Dispatch(const InvokeRequest& request) {
  const std::string& command = request.name;
  if (command == "LoadSettings") {
    if (restoreAtLoad_) {
      const std::function<void()> restored = std::exchange(restoreAtLoad_, nullptr);
      ShowAgain();
      restored();
    } else {
      window_.SetTimerEnabled(Timer::Loader, true);
    }
    return "";
  }
  if (command == "GetFormStrings") {
    language_.ComponentsStrings(SplitComponentNames(Argument(request, 0)));
    return EncodedOrEnd(window_, [&] {
      return clsXMLProvider().WrappArgument(Variant(language_.TranslateComponents())).Xml();
    });
  }
  if (command == "SavePreset") {
    // The same reading as a stored option: true/false in any case, or a number.
    const std::optional<bool> value = ParseOptionText(Argument(request, 1));
    if (!value) return "";  // the movie never sends another value: refused
    Settings().SaveParameter(Argument(request, 0), *value);
    // The page shows the user's tick; a page shown again must show it too.
    shown_.ChangedByPage(kOptionBoxPrefix + Argument(request, 0), Variant(*value));
    return "Ok";
  }
  if (command == "BrowseForSourceFolder") return BrowseForFolder(Argument(request, 0), true);
  if (command == "BrowseForTargetFolder") return BrowseForFolder(Argument(request, 0), false);
  if (command == "SetPath") {
    const std::string& which = Argument(request, 0);
    if (which == "Source")
      Mover().Source(Argument(request, 1));
    else if (which == "Target")
      Mover().Target(Argument(request, 1));
    else
      window_.MessageBox(kUnknownCommand + which, kProcedureCallError, BoxIcon::Information, BoxButtons::OK);
    return "";
  }
  if (command == "StartOperationX") {
    Mover().StartOperation();
    return "";
  }
  if (command == "PauseOperationX") {
    Mover().Pause();
    return "";
  }
  if (command == "CancelOperationX") {
    Mover().Cancel();
    return "";
  }
  if (command == "exit") return std::nullopt;

  window_.MessageBox(kUnknownCommand + command, kAppTitle, BoxIcon::Information, BoxButtons::OK);
  return "";
}

std::string clsSWFProvider::BrowseForFolder(const std::string& initialFolder, bool source) {
  const std::string title =
      language_.GetDialog(source ? "browse_source_dialog" : "browse_target_dialog");
  // Where there is no folder to start in yet (a first start, a card taken
  // out), the dialog opens where cards appear, or in the picture folder.
  const std::string start = files_.FolderExists(initialFolder) ? initialFolder
                            : source                          ? system_.MediaFolder()
                                                              : system_.PicturesFolder();
  const std::string folder = window_.SelectFolder(start, title);
  if (folder.empty()) return "";
  if (source)
    Mover().Source(folder);
  else
    Mover().Target(folder);
  return clsXMLProvider().GetWrappedString(folder);
}

void clsSWFProvider::Control(MovieHost& control) {
  ctlFlash_ = &control;
  control.LoadMovie(BuildPath(system_.ProgramFolder(), kMovieRelativePath));
}

void clsSWFProvider::RestoreAtNextLoad(std::function<void()> restored) { restoreAtLoad_ = std::move(restored); }

void clsSWFProvider::ShowAgain() {
  for (const ShownState::ControlValue& shown : shown_.Values()) SendCtlValue(shown.name, shown.value, shown.kind);
  if (shown_.Progress()) SendProgress(*shown_.Progress());
  if (shown_.ControlsEnabled()) SendSwitchControls(*shown_.ControlsEnabled());
}

void clsSWFProvider::SetProgress(const Variant& value) {
  shown_.SetProgress(value);
  SendProgress(value);
}

void clsSWFProvider::SetCtlValue(const std::string& name, const Variant& value, ControlKind kind) {
  shown_.SetValue(name, value, kind);
  SendCtlValue(name, value, kind);
}

void clsSWFProvider::SwitchControls(bool enabled) {
  shown_.SetControlsEnabled(enabled);
  SendSwitchControls(enabled);
}

template <typename Build>
void clsSWFProvider::CallMovie(Build&& build) {
  const std::string request = EncodedOrEnd(window_, std::forward<Build>(build));
  Movie().CallFunction(request);
}

// Each call builds its whole request text before it calls the movie: a
// request the movie sends meanwhile may reset and reuse the same builder.
void clsSWFProvider::SendProgress(const Variant& value) {
  CallMovie([&] {
    setProgressCall_.ResetArguments();
    setProgressCall_.AddXMLFunctionArgument(setProgressCall_.WrappArgument(value));
    return setProgressCall_.GetWrappedXMLFunction();
  });
}

void clsSWFProvider::SendCtlValue(const std::string& name, const Variant& value, ControlKind kind) {
  CallMovie([&] {
    setValueCall_.ResetArguments();
    setValueCall_.AddXMLFunctionArgument(setValueCall_.WrappArgument(Variant(name)));
    setValueCall_.AddXMLFunctionArgument(setValueCall_.WrappArgument(value));
    setValueCall_.AddXMLFunctionArgument(setValueCall_.WrappArgument(Variant(static_cast<std::int16_t>(kind))));
    return setValueCall_.GetWrappedXMLFunction();
  });
}

void clsSWFProvider::RenameComponents() {
  Collection texts;
  try {
    texts = language_.TranslateComponents();
  } catch (const std::logic_error&) {
    // The movie has not asked for its texts yet, so it has none to rename.
    return;
  }
  shown_.Renamed(texts);
  CallMovie([&] { return CallWithOneArgument("renameControls", Variant(std::move(texts))); });
}

void clsSWFProvider::SendSwitchControls(bool enabled) {
  CallMovie([&] { return CallWithOneArgument("SwitchControls", Variant(enabled)); });
}

}  // namespace quillfen
