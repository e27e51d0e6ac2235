#pragma once
// The main window's logic: start-up, watchdog and loader, the hand-off of the
// movie's requests, the menus. The window itself is a view behind the
// window-system port.
#include <string>
#include <vector>

#include "localization/TranslatableWindow.h"
#include "platform/WindowSystem.h"

namespace quillfen {

class GlobalModule;

inline constexpr int kCheckerInterval = 7000;
inline constexpr int kLoaderInterval = 100;
inline constexpr int kMovieWidth = 593;
inline constexpr int kMovieHeight = 245;

// The outer height that makes the client area exactly as high as the movie
// (rounded to the nearest integer, ties to even).
int HeightRule(double movieHeight, double outerHeight, double clientHeight);

class frmQuillfen : public MainWindowEvents, public TranslatableWindow {
 public:
  // Puts the window into its design state (timers, label, caption).
  explicit frmQuillfen(GlobalModule& module);

  void Form_Load();
  void App_Initialize();
  void EnableMenus(bool enabled);
  void tmrLoader_Timer();
  void tmrChecker_Timer();
  void swfControl_FlashCall(const std::string& request);

  void mnuLang_Click(int index);
  void mnuTesting_Click();
  void mnuTest_Click();
  void mnuAbout_Click();

  // MainWindowEvents
  void OnTimer(Timer timer) override;
  void OnMenu(MenuItem item) override;
  void OnClose() override;

  // TranslatableWindow
  std::string Name() const override { return "frmQuillfen"; }
  void SetCaption(const std::string& caption) override;
  std::vector<std::string> ControlNames() const override;
  void SetControlCaption(const std::string& control, const std::string& caption) override;
  void SetControlTooltip(const std::string& control, const std::string& tooltip) override;

 private:
  GlobalModule& module_;
};

}  // namespace quillfen
