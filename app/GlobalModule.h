#pragma once
// The owner of the program-wide objects: it creates each of them with
// exactly the collaborators it needs, and they live as long as the module.
// No object holds the module. The program has one module; a test builds its
// own over in-memory ports.
#include "app/frmQuillfen.h"
#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "platform/DesktopIntegration.h"
#include "platform/FileSystem.h"
#include "platform/MovieHost.h"
#include "platform/RegistryHive.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/SettingsLock.h"
#include "settings/clsSettings.h"

namespace quillfen {

// The platform services the program runs on.
struct Platform {
  WindowSystem& window;
  MovieHost& movie;
  FileSystem& files;
  SettingsStore& settings;
  RegistryHive& registry;
  Shell& shell;
  SystemInfo& system;
  // Mirrors the AutoPlay registration onto the desktop; may be absent.
  DesktopIntegration* desktop = nullptr;
};

class GlobalModule {
 public:
  explicit GlobalModule(Platform platform);
  GlobalModule(const GlobalModule&) = delete;
  GlobalModule& operator=(const GlobalModule&) = delete;

  clsSWFProvider& objSWFProvider() { return swfProvider_; }
  clsLanguageProvider& objLanguageProvider() { return languageProvider_; }
  clsSettings& objSettings() { return settings_; }
  clsFSMoving& objFSMoving() { return fsMoving_; }
  SettingsLock& settingsLock() { return settingsLock_; }
  // What the main window works with.
  MainWindowParts MainWindow();

 private:
  Platform platform_;
  SettingsLock settingsLock_;
  clsLanguageProvider languageProvider_;
  clsSWFProvider swfProvider_;
  clsSettings settings_;
  clsFSMoving fsMoving_;
};

}  // namespace quillfen
