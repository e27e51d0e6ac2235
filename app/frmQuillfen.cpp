#include "app/frmQuillfen.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "about/frmAbout.h"
#include "app/GlobalModule.h"
#include "base/AppNames.h"
#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "settings/clsSettings.h"

namespace quillfen {

namespace {

const char* const kLabelName = "lblFirst";
const char* const kDesignLabel = "Loading...";

struct NamedMenu {
  const char* name;
  MenuItem item;
};
// In the order of the menu bar; the language array's members share one name.
constexpr NamedMenu kNamedMenus[] = {
    {"mnuOptions", MenuItem::Options},     {"mnuLanguage", MenuItem::Language},
    {"mnuLang", MenuItem::LangRussian},    {"mnuLang", MenuItem::LangEnglish},
    {"mnuTesting", MenuItem::Testing},     {"mnuTest", MenuItem::Test},
    {"mnuHelp", MenuItem::Help},           {"mnuAbout", MenuItem::About},
    {"mnuAllCameraFiles", MenuItem::AllCameraFiles}, {"mnuDateTakenFolders", MenuItem::DateTakenFolders},
};

// The stored option behind each option item of the Options menu.
struct OptionItem {
  MenuItem item;
  const char* setting;
};
constexpr OptionItem kOptionItems[] = {{MenuItem::AllCameraFiles, "AllCameraFiles"},
                                       {MenuItem::DateTakenFolders, "DateTakenFolders"}};

}  // namespace

MenuItem LanguageMenuItem(int index) {
  switch (index) {
    case 1: return MenuItem::LangRussian;
    case 2: return MenuItem::LangEnglish;
  }
  throw std::out_of_range("no language menu item " + std::to_string(index));
}

int HeightRule(double movieHeight, double outerHeight, double clientHeight) {
  const double h = movieHeight + (outerHeight - clientHeight);
  // A height beyond the 16-bit range cannot be set; the nearest limit stands in.
  if (!(h > INT16_MIN)) return INT16_MIN;
  if (h > INT16_MAX) return INT16_MAX;
  // nearbyint rounds in the default mode: to nearest, ties to even.
  return static_cast<int>(std::nearbyint(h));
}

frmQuillfen::frmQuillfen(GlobalModule& module) : module_(module), loadingLabel_(kDesignLabel) {
  WindowSystem& w = window();
  w.SetCaption(kAppTitle);
  w.SetLabel(loadingLabel_);
  w.SetTimerInterval(Timer::Checker, kCheckerInterval);
  w.SetTimerEnabled(Timer::Checker, true);
  w.SetTimerInterval(Timer::Loader, kLoaderInterval);
  w.SetTimerEnabled(Timer::Loader, false);
  // The diagnostic item is switched off in the design.
  w.SetMenuEnabled(MenuItem::Test, false);
  w.Attach(this);
  module_.platform().movie.SetRequestHandler([this](const std::string& request) { swfControl_FlashCall(request); });
  module_.platform().movie.SetPageLostHandler([this] { swfControl_PageLost(); });
}

frmQuillfen::~frmQuillfen() {
  module_.platform().movie.SetPageLostHandler(nullptr);
  module_.platform().movie.SetRequestHandler(nullptr);
  window().Attach(nullptr);
}

WindowSystem& frmQuillfen::window() const { return module_.platform().window; }

void frmQuillfen::Form_Load() { App_Initialize(); }

void frmQuillfen::App_Initialize() {
  module_.blnSettingsLocked = true;
  EnableMenus(false);
  module_.objSWFProvider().Control(module_.platform().movie);
  clsLanguageProvider& language = module_.objLanguageProvider();
  if (!language.LoadLanguage()) return;  // the design captions stay
  CheckLoadedLanguage();
  language.LoadLanguageStrings(*this);
}

void frmQuillfen::CheckLoadedLanguage() {
  const clsLanguageProvider& language = module_.objLanguageProvider();
  for (int i = kFirstLanguageItem; i <= kLastLanguageItem; ++i) {
    bool loaded = false;
    try {
      loaded = i == language.LanguageIndex();
    } catch (const std::out_of_range&) {
      // A language file of an unknown language was loaded: no item is its own.
    }
    window().SetMenuChecked(LanguageMenuItem(i), loaded);
  }
}

void frmQuillfen::EnableMenus(bool enabled) {
  window().SetMenuEnabled(MenuItem::Options, enabled);
  window().SetMenuEnabled(MenuItem::Help, enabled);
}

void frmQuillfen::tmrLoader_Timer() {
  window().SetTimerEnabled(Timer::Loader, false);
  window().SetTimerEnabled(Timer::Checker, false);
  loaderStarted_ = true;
  reloadsInARow_ = 0;
  clsSettings& settings = module_.objSettings();
  clsFSMoving& mover = module_.objFSMoving();
  settings.LoadSettings(mover);
  ShowOptionItems();
  // A card the desktop handed over is emptied at once when the user asked for
  // that; the loader returns only after the move.
  if (!module_.platform().system.CommandLineArgument().empty() && settings.Automoving()) mover.StartOperation();
  // Requests the movie sent meanwhile, now that the settings take changes.
  window().PumpEvents();
  window().ShowMovie();
  EnableMenus(true);
}

void frmQuillfen::Form_Resize() {
  const int height = HeightRule(kMovieHeight, window().OuterHeight(), window().ClientHeight());
  // Setting the height resizes the window again; then the rule changes nothing.
  if (height != window().OuterHeight()) window().SetOuterHeight(height);
}

void frmQuillfen::tmrChecker_Timer() {
  window().SetTimerEnabled(Timer::Checker, false);
  const clsLanguageProvider& language = module_.objLanguageProvider();
  window().SetLabel(language.GetDialog("swf_error"));
  window().MessageBox(window().Label(), language.GetDialog("loading_error"), BoxIcon::Critical, BoxButtons::OK);
}

void frmQuillfen::swfControl_FlashCall(const std::string& request) {
  const std::string copy = request;  // the movie's text may go away while it is handled
  laterStarts_.Handle([&] { module_.objSWFProvider().FlashCall(copy); });
}

void frmQuillfen::swfControl_PageLost() {
  // A load the lost page asked for waits for the new page's own request, so
  // that the settings reach a page that can show them.
  window().SetTimerEnabled(Timer::Loader, false);
  window().SetLabel(loadingLabel_);
  window().HideMovie();
  // The watchdog tells the user when no page comes back.
  window().SetTimerEnabled(Timer::Checker, true);
  if (reloadsInARow_ >= kMaxReloadsInARow) return;
  ++reloadsInARow_;
  clsSWFProvider& swf = module_.objSWFProvider();
  if (loaderStarted_) swf.RestoreAtNextLoad([this] { MovieRestored(); });
  swf.Control(module_.platform().movie);
}

void frmQuillfen::MovieRestored() {
  reloadsInARow_ = 0;
  window().SetTimerEnabled(Timer::Checker, false);
  window().ShowMovie();
}

void frmQuillfen::mnuLang_Click(int index) {
  clsLanguageProvider& language = module_.objLanguageProvider();
  if (!language.LoadLanguage(Variant(static_cast<std::int32_t>(index)))) return;
  for (int i = kFirstLanguageItem; i <= kLastLanguageItem; ++i)
    window().SetMenuChecked(LanguageMenuItem(i), i == index);
  module_.platform().settings.SaveSetting(kSettingsApp, kSettingsSection, "Language", language.Language());
  language.LoadLanguageStrings(*this);
  try {
    module_.objSWFProvider().RenameComponents();
  } catch (const std::logic_error&) {
    // The movie has not asked for its component texts yet: there is nothing
    // of it to relabel, and it takes the new language when it asks.
  }
}

// An option changes like the movie's check boxes: stored at once, but not
// while the settings are locked (a move runs); the mark shows what holds.
void frmQuillfen::mnuOption_Click(MenuItem item) {
  clsSettings& settings = module_.objSettings();
  for (const OptionItem& option : kOptionItems)
    if (option.item == item) settings.SaveParameter(option.setting, !window().MenuChecked(item));
  ShowOptionItems();
}

void frmQuillfen::ShowOptionItems() {
  const clsSettings& settings = module_.objSettings();
  window().SetMenuChecked(MenuItem::AllCameraFiles, settings.AllCameraFiles());
  window().SetMenuChecked(MenuItem::DateTakenFolders, settings.DateTakenFolders());
}

void frmQuillfen::mnuTesting_Click() {
  window().SetMenuChecked(MenuItem::Testing, !window().MenuChecked(MenuItem::Testing));
}

void frmQuillfen::mnuTest_Click() { module_.objSWFProvider().SetProgress(Variant(std::int16_t{55})); }

void frmQuillfen::mnuAbout_Click() { ShowAboutWindow(window(), module_.objLanguageProvider()); }

void frmQuillfen::OnTimer(Timer timer) {
  laterStarts_.Handle([&] {
    switch (timer) {
      case Timer::Checker: tmrChecker_Timer(); break;
      case Timer::Loader: tmrLoader_Timer(); break;
    }
  });
}

void frmQuillfen::OnMenu(MenuItem item) {
  laterStarts_.Handle([&] {
    switch (item) {
      case MenuItem::LangRussian: mnuLang_Click(1); break;
      case MenuItem::LangEnglish: mnuLang_Click(2); break;
      case MenuItem::Testing: mnuTesting_Click(); break;
      case MenuItem::Test: mnuTest_Click(); break;
      case MenuItem::About: mnuAbout_Click(); break;
      case MenuItem::AllCameraFiles:
      case MenuItem::DateTakenFolders: mnuOption_Click(item); break;
      case MenuItem::Options:
      case MenuItem::Language:
      case MenuItem::Help: break;  // menus that only open
    }
  });
}

void frmQuillfen::OnClose() {
  laterStarts_.Close();
  // A move runs inside a call of the movie; it is cancelled so that it ends
  // after the picture in hand, and the window closes once that call returns.
  // Nothing is saved here: every setting was stored when it changed.
  clsFSMoving& mover = module_.objFSMoving();
  if (mover.Running()) mover.Cancel();
}

void frmQuillfen::SetCaption(const std::string& caption) { window().SetCaption(caption); }

std::vector<std::string> frmQuillfen::ControlNames() const {
  std::vector<std::string> names;
  for (const NamedMenu& menu : kNamedMenus)
    if (names.empty() || names.back() != menu.name) names.emplace_back(menu.name);
  names.emplace_back(kLabelName);
  return names;
}

std::vector<MenuItem> frmQuillfen::MenuItemsNamed(const std::string& control) {
  std::vector<MenuItem> items;
  for (const NamedMenu& menu : kNamedMenus)
    if (control == menu.name) items.push_back(menu.item);
  return items;
}

void frmQuillfen::SetControlCaption(const std::string& control, const std::string& caption) {
  if (control == kLabelName) {
    loadingLabel_ = caption;
    window().SetLabel(caption);
    return;
  }
  for (MenuItem item : MenuItemsNamed(control)) window().SetMenuCaption(item, caption);
}

void frmQuillfen::SetControlTooltip(const std::string& control, const std::string& tooltip) {
  if (control == kLabelName) {
    window().SetLabelTooltip(tooltip);
    return;
  }
  for (MenuItem item : MenuItemsNamed(control)) window().SetMenuTooltip(item, tooltip);
}

}  // namespace quillfen
