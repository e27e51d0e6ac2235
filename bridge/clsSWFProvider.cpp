#include "bridge/clsSWFProvider.h"

#include <stdexcept>
#include <vector>

#include "app/GlobalModule.h"
#include "bridge/FixedTexts.h"
#include "bridge/InvokeRequest.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "platform/Paths.h"
#include "settings/OptionText.h"
#include "settings/clsSettings.h"

namespace quillfen {

namespace {

// The argument at the index, or the empty text beyond those sent.
const std::string& Argument(const InvokeRequest& request, std::size_t index) {
  static const std::string kNone;
  return index < request.arguments.size() ? request.arguments[index] : kNone;
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

clsSWFProvider::clsSWFProvider(GlobalModule& module)
    : module_(module), xmlSetProgress_(module.platform().window), xmlSetValue_(module.platform().window) {
  xmlSetProgress_.InitializeXMLFunction("setProgress");
  xmlSetValue_.InitializeXMLFunction("setValue");
}

clsSWFProvider::~clsSWFProvider() = default;

MovieHost& clsSWFProvider::Movie() const { return ctlFlash_ ? *ctlFlash_ : module_.platform().movie; }

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
  WindowSystem& window = module_.platform().window;

  if (command == "LoadSettings") {
    window.SetTimerEnabled(Timer::Loader, true);
    return "";
  }
  if (command == "GetFormStrings") {
    clsLanguageProvider& language = module_.objLanguageProvider();
    language.ComponentsStrings(SplitComponentNames(Argument(request, 0)));
    clsXMLProvider xml(window);
    return xml.WrappArgument(Variant(language.TranslateComponents())).Xml();
  }
  if (command == "SavePreset") {
    // The same reading as a stored option: true/false in any case, or a number.
    const std::optional<bool> value = ParseOptionText(Argument(request, 1));
    if (!value) return "";  // the movie never sends another value: refused
    module_.objSettings().SaveParameter(Argument(request, 0), *value);
    return "Ok";
  }
  if (command == "BrowseForSourceFolder") return BrowseForFolder(Argument(request, 0), true);
  if (command == "BrowseForTargetFolder") return BrowseForFolder(Argument(request, 0), false);
  if (command == "SetPath") {
    const std::string& which = Argument(request, 0);
    if (which == "Source")
      module_.objFSMoving().Source(Argument(request, 1));
    else if (which == "Target")
      module_.objFSMoving().Target(Argument(request, 1));
    else
      window.MessageBox(kUnknownCommand + which, kProcedureCallError, BoxIcon::Information, BoxButtons::OK);
    return "";
  }
  if (command == "StartOperationX") {
    module_.objFSMoving().StartOperation();
    return "";
  }
  if (command == "PauseOperationX") {
    module_.objFSMoving().Pause();
    return "";
  }
  if (command == "CancelOperationX") {
    module_.objFSMoving().Cancel();
    return "";
  }
  if (command == "exit") return std::nullopt;

  window.MessageBox(kUnknownCommand + command, kApplicationTitle, BoxIcon::Information, BoxButtons::OK);
  return "";
}

std::string clsSWFProvider::BrowseForFolder(const std::string& initialFolder, bool source) {
  const std::string title =
      module_.objLanguageProvider().GetDialog(source ? "browse_source_dialog" : "browse_target_dialog");
  const std::string folder = module_.platform().window.SelectFolder(initialFolder, title);
  if (folder.empty()) return "";
  if (source)
    module_.objFSMoving().Source(folder);
  else
    module_.objFSMoving().Target(folder);
  return clsXMLProvider(module_.platform().window).GetWrappedString(folder);
}

void clsSWFProvider::Control(MovieHost& control) {
  ctlFlash_ = &control;
  control.LoadMovie(BuildPath(module_.platform().system.ProgramFolder(), kMovieRelativePath));
}

// Each call builds its whole request text before it calls the movie: a
// request the movie sends meanwhile may reset and reuse the same builder.
void clsSWFProvider::SetProgress(const Variant& value) {
  xmlSetProgress_.ResetArguments();
  xmlSetProgress_.AddXMLFunctionArgument(xmlSetProgress_.WrappArgument(value));
  CallMovie(xmlSetProgress_.GetWrappedXMLFunction());
}

void clsSWFProvider::SetCtlValue(const std::string& name, const Variant& value, std::int16_t kind) {
  xmlSetValue_.ResetArguments();
  xmlSetValue_.AddXMLFunctionArgument(xmlSetValue_.WrappArgument(Variant(name)));
  xmlSetValue_.AddXMLFunctionArgument(xmlSetValue_.WrappArgument(value));
  xmlSetValue_.AddXMLFunctionArgument(xmlSetValue_.WrappArgument(Variant(kind)));
  CallMovie(xmlSetValue_.GetWrappedXMLFunction());
}

void clsSWFProvider::RenameComponents() {
  Collection texts;
  try {
    texts = module_.objLanguageProvider().TranslateComponents();
  } catch (const std::logic_error&) {
    // The movie has not asked for its texts yet, so it has none to rename.
    return;
  }
  clsXMLProvider xml(module_.platform().window);
  xml.InitializeXMLFunction("renameControls");
  xml.AddXMLFunctionArgument(xml.WrappArgument(Variant(std::move(texts))));
  CallMovie(xml.GetWrappedXMLFunction());
}

void clsSWFProvider::SwitchControls(bool enabled) {
  clsXMLProvider xml(module_.platform().window);
  xml.InitializeXMLFunction("SwitchControls");
  xml.AddXMLFunctionArgument(xml.WrappArgument(Variant(enabled)));
  CallMovie(xml.GetWrappedXMLFunction());
}

void clsSWFProvider::CallMovie(const std::string& request) { Movie().CallFunction(request); }

}  // namespace quillfen
