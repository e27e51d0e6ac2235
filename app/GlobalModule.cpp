#include "app/GlobalModule.h"

#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "settings/clsSettings.h"

namespace quillfen {

GlobalModule::GlobalModule(Platform platform) : platform_(platform) {}

GlobalModule::~GlobalModule() = default;

clsSWFProvider& GlobalModule::objSWFProvider() {
  if (!swfProvider_) swfProvider_ = std::make_unique<clsSWFProvider>(*this);
  return *swfProvider_;
}

clsLanguageProvider& GlobalModule::objLanguageProvider() {
  if (!languageProvider_) languageProvider_ = std::make_unique<clsLanguageProvider>(*this);
  return *languageProvider_;
}

clsSettings& GlobalModule::objSettings() {
  if (!settings_) settings_ = std::make_unique<clsSettings>(*this);
  return *settings_;
}

clsFSMoving& GlobalModule::objFSMoving() {
  if (!fsMoving_) fsMoving_ = std::make_unique<clsFSMoving>(*this);
  return *fsMoving_;
}

FileSystem& GlobalModule::objFileSystem() { return platform_.files; }

}  // namespace quillfen
