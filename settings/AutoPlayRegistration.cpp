// The AutoPlay registration of the program, kept by the settings object.
#include <limits>

#include "base/PathParts.h"
#include "localization/clsLanguageProvider.h"
#include "settings/AutoPlayKeys.h"
#include "platform/RegistryRootNames.h"
#include "settings/clsSettings.h"
#include "settings/registry.h"

namespace quillfen {

using namespace autoplay;

std::string clsSettings::ProgramPath() const {
  return BuildPath(ports_.system.ProgramFolder(), ports_.system.DesktopProgramFileName());
}

void clsSettings::SaveAutorun(bool value) {
  if (lock_.Held()) return;
  Value(Option::Autorun) = value;
  if (value) {
    // The handler's icon is the last entry a registration writes: without it
    // an earlier registration was cut short (the program was killed between
    // two writes) and is written again, or it would stay half done for good.
    if (registry::QueryStringValue(ports_.registry, ports_.window, kClassKey, "") == "0" ||
        registry::QueryStringValue(ports_.registry, ports_.window, kHandlerKey, "DefaultIcon") == "0") {
      registry::CreateKey(ports_.registry, ports_.window, kCommandKey);
      registry::SetStringValue(ports_.registry, ports_.window, kClassKey, "", texts_.GetDialog("quillfen_title"));
      registry::CreateKey(ports_.registry, ports_.window, kHandlerKey);
      registry::SetStringValue(ports_.registry, ports_.window, kHandlerKey, "Action", texts_.GetDialog("quillfen_action_title"));
      registry::SetStringValue(ports_.registry, ports_.window, kHandlerKey, "InvokeProgID", texts_.GetDialog("quillfen_id"));
      registry::SetStringValue(ports_.registry, ports_.window, kHandlerKey, "InvokeVerb", texts_.GetDialog("quillfen_id"));
      registry::SetStringValue(ports_.registry, ports_.window, kHandlerKey, "Provider", texts_.GetDialog("quillfen_title"));
      RewritePaths();
    }
    registry::SetStringValue(ports_.registry, ports_.window, kMixedContentKey, kHandlerName, "");
    registry::SetStringValue(ports_.registry, ports_.window, kShowPicturesKey, kHandlerName, "");
  } else {
    registry::DeleteValue(ports_.registry, ports_.window, kMixedContentKey, kHandlerName);
    registry::DeleteValue(ports_.registry, ports_.window, kShowPicturesKey, kHandlerName);
  }
  MirrorToDesktop(value);
}

void clsSettings::RewritePaths() {
  if (!On(Option::Autorun)) return;
  const std::string programPath = ProgramPath();
  registry::SetStringValue(ports_.registry, ports_.window, kCommandKey, "", programPath + kCommandArgument);
  registry::SetStringValue(ports_.registry, ports_.window, kHandlerKey, "DefaultIcon", programPath + ",0");
  MirrorToDesktop();
}

namespace {

// Reads a value as the desktop would, without the module's buffer limit, and
// telling a stored "0" from a missing value.
std::optional<std::string> ReadForDesktop(const RegistryHive& hive, const char* keyPath, const char* valueName) {
  const auto key = SplitRootAndSubkey(keyPath);
  std::string data;
  if (!key || !hive.QueryValue(key->first, key->second, valueName, std::numeric_limits<std::size_t>::max(), data))
    return std::nullopt;
  return data;
}

}  // namespace

void clsSettings::MirrorToDesktop(bool switchedOn) {
  DesktopIntegration* desktop = ports_.desktop;
  if (!desktop) return;
  AutoPlayRegistration registration;
  const auto command = ReadForDesktop(ports_.registry, kCommandKey, "");
  registration.registered = command.has_value() && !command->empty();
  if (registration.registered) {
    registration.programPath = *command;
    const std::string argument = kCommandArgument;
    if (registration.programPath.size() > argument.size() &&
        registration.programPath.compare(registration.programPath.size() - argument.size(), argument.size(),
                                         argument) == 0)
      registration.programPath.resize(registration.programPath.size() - argument.size());
  }
  const auto name = ReadForDesktop(ports_.registry, kClassKey, "");
  registration.name = name && !name->empty() ? *name : texts_.GetDialog("quillfen_title");
  const auto action = ReadForDesktop(ports_.registry, kHandlerKey, "Action");
  registration.action = action && !action->empty() ? *action : texts_.GetDialog("quillfen_action_title");
  registration.offered = registration.registered && ReadForDesktop(ports_.registry, kShowPicturesKey, kHandlerName);
  const DesktopNotices notices = desktop->Synchronize(registration);
  // The information line is where the movie shows what the program has to
  // say without stopping the user; once a start is enough, since every start
  // and every switch-on would otherwise repeat it.
  if (notices.gnomeAutorunNever && !gnomeNoticeShown_) {
    gnomeNoticeShown_ = true;
    view_.SetCtlValue("infoExtra", Variant(texts_.GetDialog("gnome_autorun_never")), ControlKind::Text);
  }
  // The user who has just asked for the offer hears why it would not come,
  // and may have that changed along with it.
  if (notices.xfceAutomountOff && switchedOn &&
      ports_.window.MessageBox(texts_.GetDialog("xfce_automount_off"), texts_.GetDialog("quillfen_title"),
                               BoxIcon::Question, BoxButtons::OKCancel) == BoxAnswer::OK)
    desktop->MountCards();
}

}  // namespace quillfen
