// The AutoPlay registration of the program, kept by the settings object.
#include <limits>

#include "app/GlobalModule.h"
#include "localization/clsLanguageProvider.h"
#include "platform/DesktopIntegration.h"
#include "platform/Paths.h"
#include "settings/AutoPlayKeys.h"
#include "settings/clsSettings.h"
#include "settings/registry.h"

namespace quillfen {

using namespace autoplay;

std::string clsSettings::ProgramPath() const {
  const SystemInfo& system = module_.platform().system;
  return BuildPath(system.ProgramFolder(), system.ProgramFileName());
}

void clsSettings::SaveAutorun(bool value) {
  if (module_.blnSettingsLocked) return;
  autorun_ = value;
  if (value) {
    // The handler's icon is the last entry a registration writes: without it
    // an earlier registration was cut short (the program was killed between
    // two writes) and is written again, or it would stay half done for good.
    if (registry::QueryStringValue(module_, kClassKey, "") == "0" ||
        registry::QueryStringValue(module_, kHandlerKey, "DefaultIcon") == "0") {
      const clsLanguageProvider& texts = module_.objLanguageProvider();
      registry::CreateKey(module_, kCommandKey);
      registry::SetStringValue(module_, kClassKey, "", texts.GetDialog("quillfen_title"));
      registry::CreateKey(module_, kHandlerKey);
      registry::SetStringValue(module_, kHandlerKey, "Action", texts.GetDialog("quillfen_action_title"));
      registry::SetStringValue(module_, kHandlerKey, "InvokeProgID", texts.GetDialog("quillfen_id"));
      registry::SetStringValue(module_, kHandlerKey, "InvokeVerb", texts.GetDialog("quillfen_id"));
      registry::SetStringValue(module_, kHandlerKey, "Provider", texts.GetDialog("quillfen_title"));
      RewritePaths();
    }
    registry::SetStringValue(module_, kMixedContentKey, kHandlerName, "");
    registry::SetStringValue(module_, kShowPicturesKey, kHandlerName, "");
  } else {
    registry::DeleteValue(module_, kMixedContentKey, kHandlerName);
    registry::DeleteValue(module_, kShowPicturesKey, kHandlerName);
  }
  MirrorToDesktop();
}

void clsSettings::RewritePaths() {
  if (!autorun_) return;
  const std::string programPath = ProgramPath();
  registry::SetStringValue(module_, kCommandKey, "", programPath + kCommandArgument);
  registry::SetStringValue(module_, kHandlerKey, "DefaultIcon", programPath + ",0");
  MirrorToDesktop();
}

namespace {

// Reads a value as the desktop would, without the module's buffer limit, and
// telling a stored "0" from a missing value.
std::optional<std::string> ReadForDesktop(GlobalModule& module, const char* keyPath, const char* valueName) {
  std::string subkey = keyPath;
  const auto separator = subkey.find('\\');
  const auto root = registry::RootKeyFromName(subkey.substr(0, separator));
  subkey = separator == std::string::npos ? std::string() : subkey.substr(separator + 1);
  std::string data;
  if (!root || !module.platform().registry.QueryValue(*root, subkey, valueName,
                                                       std::numeric_limits<std::size_t>::max(), data))
    return std::nullopt;
  return data;
}

}  // namespace

void clsSettings::MirrorToDesktop() {
  DesktopIntegration* desktop = module_.platform().desktop;
  if (!desktop) return;
  AutoPlayRegistration registration;
  const auto command = ReadForDesktop(module_, kCommandKey, "");
  registration.registered = command.has_value() && !command->empty();
  if (registration.registered) {
    registration.programPath = *command;
    const std::string argument = kCommandArgument;
    if (registration.programPath.size() > argument.size() &&
        registration.programPath.compare(registration.programPath.size() - argument.size(), argument.size(),
                                         argument) == 0)
      registration.programPath.resize(registration.programPath.size() - argument.size());
  }
  const clsLanguageProvider& texts = module_.objLanguageProvider();
  const auto name = ReadForDesktop(module_, kClassKey, "");
  registration.name = name && !name->empty() ? *name : texts.GetDialog("quillfen_title");
  const auto action = ReadForDesktop(module_, kHandlerKey, "Action");
  registration.action = action && !action->empty() ? *action : texts.GetDialog("quillfen_action_title");
  registration.offered = registration.registered && ReadForDesktop(module_, kShowPicturesKey, kHandlerName);
  desktop->Synchronize(registration);
}

}  // namespace quillfen
