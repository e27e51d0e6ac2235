#pragma once
// The owner of the program-wide objects. Each is created on first use and
// lives as long as the module, and each is handed exactly the collaborators
// it needs; no object holds the module. The program has one module; a test
// builds its own over fakes.
#include <memory>

#include "platform/DesktopIntegration.h"
#include "platform/FileSystem.h"
#include "platform/MovieHost.h"
#include "platform/RegistryHive.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"

namespace quillfen {

class clsSWFProvider;
class clsLanguageProvider;
class clsSettings;
class clsFSMoving;

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
  ~GlobalModule();
  GlobalModule(const GlobalModule&) = delete;
  GlobalModule& operator=(const GlobalModule&) = delete;

  clsSWFProvider& objSWFProvider();
  clsLanguageProvider& objLanguageProvider();
  clsSettings& objSettings();
  clsFSMoving& objFSMoving();
  FileSystem& objFileSystem() { return platform_.files; }

  const Platform& platform() const { return platform_; }

  // While set, option changes reported by the movie are neither applied nor
  // stored: from start-up until the settings are loaded, and during a move.
  bool blnSettingsLocked = false;

 private:
  void CreateMovieObjects();

  Platform platform_;
  std::unique_ptr<clsLanguageProvider> languageProvider_;
  std::unique_ptr<clsSWFProvider> swfProvider_;
  std::unique_ptr<clsSettings> settings_;
  std::unique_ptr<clsFSMoving> fsMoving_;
};

}  // namespace quillfen
