#include "app/GlobalModule.h"

#include "app/MainMenu.h"

namespace quillfen {

// The bridge shows what the settings and the mover do, and the movie's
// commands reach those two; none of them shows anything when it is made.
GlobalModule::GlobalModule(Platform platform)
    : platform_(platform),
      languageProvider_(platform.settings, platform.system, platform.window, platform.files),
      swfProvider_(platform.window, platform.movie, platform.system, platform.files, languageProvider_),
      settings_(swfProvider_, languageProvider_,
                SettingsPorts{platform.settings, platform.registry, platform.window, platform.system, platform.desktop},
                settingsLock_),
      fsMoving_(swfProvider_, settings_, languageProvider_,
                MoverPorts{platform.files, platform.window, platform.shell, platform.system,
                           [&window = platform.window] { return window.MenuChecked(menu::Testing); }},
                settingsLock_) {
  swfProvider_.SetCommandTargets(settings_, fsMoving_);
}

MainWindowParts GlobalModule::MainWindow() {
  return MainWindowParts{platform_.window, platform_.movie,  platform_.system, platform_.files, languageProvider_,
                         swfProvider_,     settings_,        fsMoving_,        settingsLock_};
}

}  // namespace quillfen
