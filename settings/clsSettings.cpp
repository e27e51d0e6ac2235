#include "settings/clsSettings.h"

#include "app/GlobalModule.h"
#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "platform/posix/XdgPaths.h"
#include "settings/OptionText.h"

namespace quillfen {

clsSettings::clsSettings(GlobalModule& module) : module_(module) {}

std::string clsSettings::DefaultTarget() const { return xdg::PicturesFolder(); }

// A stored text outside the format (neither True/False nor a number) counts as
// the option's default, as an absent key does.
bool clsSettings::ReadOption(const char* key, const char* defaultText, bool defaultValue) const {
  const std::string text = module_.platform().settings.GetSetting(kAppName, kSettingsSection, key, defaultText);
  return ParseOptionText(text).value_or(defaultValue);
}

void clsSettings::LoadSettings() {
  automoving_ = ReadOption("Automoving", "0", false);
  autorun_ = ReadOption("Autorun", "0", false);
  autoRename_ = ReadOption("AutoRename", "1", true);
  subfolder_ = ReadOption("Subfolder", "0", false);

  clsSWFProvider& movie = module_.objSWFProvider();
  movie.SetCtlValue("chkAutomoving", Variant(automoving_), 4);
  movie.SetCtlValue("chkAutorun", Variant(autorun_), 4);
  movie.SetCtlValue("chkAutoRename", Variant(autoRename_), 4);
  movie.SetCtlValue("chkSubfolder", Variant(subfolder_), 4);

  RewritePaths();

  SettingsStore& store = module_.platform().settings;
  module_.objFSMoving().Target(store.GetSetting(kAppName, kSettingsSection, "Target", DefaultTarget()));

  const std::string argument = module_.platform().system.CommandLineArgument();
  if (argument.empty()) {
    const std::string undefined = module_.objLanguageProvider().GetDialog("source_undefined");
    module_.objFSMoving().Source(store.GetSetting(kAppName, kSettingsSection, "Source", undefined));
    module_.blnSettingsLocked = false;
  } else {
    module_.objFSMoving().Source(argument);
    module_.blnSettingsLocked = false;
    if (automoving_) module_.objFSMoving().StartOperation();
  }

  module_.platform().window.PumpEvents();
}

void clsSettings::SaveParameter(const std::string& name, bool value) {
  if (module_.blnSettingsLocked) return;
  if (name == "Autorun") {
    SaveAutorun(value);
  } else if (name == "Automoving") {
    automoving_ = value;
  } else if (name == "AutoRename") {
    autoRename_ = value;
  } else if (name == "Subfolder") {
    subfolder_ = value;
  }
  module_.platform().settings.SaveSetting(kAppName, kSettingsSection, name, OptionText(value));
}

}  // namespace quillfen
