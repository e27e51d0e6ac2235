#pragma once
// The main window's logic: start-up, watchdog and loader, the hand-off of the
// movie's requests, the menus. The window itself is a view behind the
// window-system port.
#include <functional>
#include <string>
#include <vector>

#include "app/CardArrivals.h"
#include "app/MainMenu.h"
#include "bridge/clsSWFProvider.h"
#include "localization/TranslatableWindow.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "platform/FileSystem.h"
#include "platform/MovieHost.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/SettingsLock.h"
#include "settings/clsSettings.h"

namespace quillfen {

inline constexpr int kCheckerInterval = 7000;
inline constexpr int kLoaderInterval = 100;
inline constexpr int kMovieWidth = 593;
inline constexpr int kMovieHeight = 245;
// A movie whose page is lost this many times in a row, never shown again in
// between, is not loaded once more: the watchdog tells the user.
inline constexpr int kMaxReloadsInARow = 3;

// The outer height that makes the client area exactly as high as the movie
// (as the window system shows it, scaled with the desktop's text):
// the movie's height plus the frame (outer minus client), rounded to the
// nearest 16-bit integer, ties to even.
int HeightRule(double movieHeight, double outerHeight, double clientHeight);

// What the main window works with.
struct MainWindowParts {
  WindowSystem& window;
  MovieHost& movie;
  const SystemInfo& system;  // the argument this start was given, the media folder
  const FileSystem& files;   // whether a card's folder exists
  clsLanguageProvider& language;
  clsSWFProvider& swf;
  clsSettings& settings;
  clsFSMoving& mover;
  SettingsLock& lock;
};

class frmQuillfen : public MainWindowEvents, public TranslatableWindow {
 public:
  // Puts the window into its design state (menus, timers, label, caption)
  // and becomes the receiver of the window's events and of the movie's
  // requests.
  explicit frmQuillfen(const MainWindowParts& parts);
  ~frmQuillfen() override;
  frmQuillfen(const frmQuillfen&) = delete;
  frmQuillfen& operator=(const frmQuillfen&) = delete;

  void Form_Load();
  void App_Initialize();
  void EnableMenus(bool enabled);
  void tmrLoader_Timer();
  void tmrChecker_Timer();
  // The height rule: the client area exactly as high as the movie.
  void Form_Resize();
  void swfControl_FlashCall(const std::string& request);
  // The movie's page was lost: it is loaded anew and, once the settings
  // have been shown, shown again what the lost page showed.
  void swfControl_PageLost();
  // Another start of the program handed over its argument (a card's folder,
  // or nothing).
  void LaterStart(const std::string& argument) { cards_.Arrive(argument); }
  // The menu bar as built, with an item for each language.
  const std::vector<menu::Item>& MenuItems() const { return menuItems_; }

  void mnuLang_Click(int index);
  void mnuBackupTarget_Click();
  void mnuTesting_Click();
  void mnuTest_Click();
  void mnuAbout_Click();
  void mnuOption_Click(Option option);

  // MainWindowEvents
  void OnTimer(Timer timer) override;
  void OnMenu(const MenuItem& item) override;
  void OnClose() override;
  void OnResize() override { Form_Resize(); }

  // TranslatableWindow
  std::string Name() const override { return "frmQuillfen"; }
  void SetCaption(const std::string& caption) override;
  std::vector<std::string> ControlNames() const override;
  void SetControlCaption(const std::string& control, const std::string& caption) override;
  void SetControlTooltip(const std::string& control, const std::string& tooltip) override;

 private:
  // Checks the item of the loaded language; none when it is not a known one.
  void CheckLoadedLanguage();
  // The menu items that carry a control name's texts (a control array has several).
  std::vector<MenuItem> MenuItemsNamed(const std::string& control) const;
  // The option items' check marks as the settings hold them, each item
  // available only while it can take effect.
  void ShowOptionItems();
  bool OptionAvailable(Option option) const;
  // A page loaded anew has been shown what the lost one showed.
  void MovieRestored();
  // Runs one of the window's handlers (see CardArrivals::Handle).
  void Handle(const std::function<void()>& handler);

  WindowSystem& window_;
  MovieHost& movie_;
  const SystemInfo& system_;
  clsLanguageProvider& language_;
  clsSWFProvider& swf_;
  clsSettings& settings_;
  clsFSMoving& mover_;
  SettingsLock& lock_;
  // The menu bar, with an item for each language.
  const std::vector<menu::Item> menuItems_;
  // The label's text while the movie loads, in the current language.
  std::string loadingLabel_;
  // The loader has begun showing the settings: from then on a new page is
  // restored, not loaded, so nothing of start-up runs twice.
  bool loaderStarted_ = false;
  int reloadsInARow_ = 0;
  CardArrivals cards_;
};

}  // namespace quillfen
