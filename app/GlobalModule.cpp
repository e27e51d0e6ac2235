#include "app/GlobalModule.h"

#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "settings/clsSettings.h"

namespace quillfen {

GlobalModule::GlobalModule(Platform platform) : platform_(platform) {}

// The objects refer to each other, so they go in reverse order of creation.
GlobalModule::~GlobalModule() {
  fsMoving_.reset();
  settings_.reset();
  swfProvider_.reset();
  languageProvider_.reset();
}

clsLanguageProvider& GlobalModule::objLanguageProvider() {
  if (!languageProvider_)
    languageProvider_ = std::make_unique<clsLanguageProvider>(platform_.settings, platform_.system, platform_.window,
                                                              platform_.files);
  return *languageProvider_;
}

// The bridge shows what the settings and the mover do, and the movie's
// commands reach those two: the three come into being together, the first
// time any of them is used. (None of them shows anything when it is made.)
void GlobalModule::CreateMovieObjects() {
  if (swfProvider_) return;
  clsLanguageProvider& language = objLanguageProvider();
  swfProvider_ = std::make_unique<clsSWFProvider>(platform_.window, platform_.movie, platform_.system, language);
  settings_ = std::make_unique<clsSettings>(
      *swfProvider_, language,
      SettingsPorts{platform_.settings, platform_.registry, platform_.window, platform_.system, platform_.desktop},
      blnSettingsLocked);
  fsMoving_ = std::make_unique<clsFSMoving>(
      *swfProvider_, *settings_, language,
      MoverPorts{platform_.files, platform_.window, platform_.shell, platform_.settings, platform_.system},
      blnSettingsLocked);
  swfProvider_->SetCommandTargets(*settings_, *fsMoving_);
}

clsSWFProvider& GlobalModule::objSWFProvider() {
  CreateMovieObjects();
  return *swfProvider_;
}

clsSettings& GlobalModule::objSettings() {
  CreateMovieObjects();
  return *settings_;
}

clsFSMoving& GlobalModule::objFSMoving() {
  CreateMovieObjects();
  return *fsMoving_;
}

}  // namespace quillfen
