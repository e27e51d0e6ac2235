#include "app/frmQuillfen.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "about/frmAbout.h"
#include "base/AppNames.h"

namespace quillfen {

namespace {

const char* const kLabelName = "lblFirst";
const char* const kDesignLabel = "Loading...";

std::vector<std::string> LanguageCaptions(const clsLanguageProvider& language) {
  std::vector<std::string> captions;
  for (const LanguageFile& file : language.Languages()) captions.push_back(file.caption);
  return captions;
}

}  // namespace

int HeightRule(double movieHeight, double outerHeight, double clientHeight) {
  const double h = movieHeight + (outerHeight - clientHeight);
  // A height beyond the 16-bit range cannot be set; the nearest limit stands in.
  if (!(h > INT16_MIN)) return INT16_MIN;
  if (h > INT16_MAX) return INT16_MAX;
  // nearbyint rounds in the default mode: to nearest, ties to even.
  return static_cast<int>(std::nearbyint(h));
}

frmQuillfen::frmQuillfen(const MainWindowParts& parts)
    : window_(parts.window),
      movie_(parts.movie),
      system_(parts.system),
      language_(parts.language),
      swf_(parts.swf),
      settings_(parts.settings),
      mover_(parts.mover),
      lock_(parts.lock),
      menuItems_(menu::Items(LanguageCaptions(parts.language))),
      loadingLabel_(kDesignLabel),
      cards_({parts.system, parts.files, parts.mover, parts.settings, parts.window, parts.language}) {
  window_.SetMenus(menu::Entries(menuItems_));
  window_.SetCaption(kAppTitle);
  window_.SetLabel(loadingLabel_);
  window_.SetTimerInterval(Timer::Checker, kCheckerInterval);
  window_.SetTimerEnabled(Timer::Checker, true);
  window_.SetTimerInterval(Timer::Loader, kLoaderInterval);
  window_.SetTimerEnabled(Timer::Loader, false);
  window_.Attach(this);
  movie_.SetRequestHandler([this](const std::string& request) { swfControl_FlashCall(request); });
  movie_.SetPageLostHandler([this] { swfControl_PageLost(); });
  lock_.SetObserver([this] { ShowOptionItems(); });
}

frmQuillfen::~frmQuillfen() {
  lock_.SetObserver(nullptr);
  movie_.SetPageLostHandler(nullptr);
  movie_.SetRequestHandler(nullptr);
  window_.Attach(nullptr);
}

void frmQuillfen::Form_Load() { App_Initialize(); }

void frmQuillfen::App_Initialize() {
  lock_.Hold();
  EnableMenus(false);
  swf_.Control(movie_);
  if (!language_.LoadLanguage()) return;  // the design captions stay
  CheckLoadedLanguage();
  language_.LoadLanguageStrings(*this);
}

void frmQuillfen::CheckLoadedLanguage() {
  int loaded = 0;
  try {
    loaded = language_.LanguageIndex();
  } catch (const std::out_of_range&) {
    // A language file of an unknown language was loaded: no item is its own.
  }
  const int count = static_cast<int>(language_.Languages().size());
  for (int i = 1; i <= count; ++i) window_.SetMenuChecked(menu::Lang(i), i == loaded);
}

void frmQuillfen::EnableMenus(bool enabled) {
  window_.SetMenuEnabled(menu::Options, enabled);
  window_.SetMenuEnabled(menu::Help, enabled);
}

void frmQuillfen::tmrLoader_Timer() {
  window_.SetTimerEnabled(Timer::Loader, false);
  window_.SetTimerEnabled(Timer::Checker, false);
  loaderStarted_ = true;
  reloadsInARow_ = 0;
  settings_.LoadSettings();
  mover_.Target(settings_.StoredTarget());
  cards_.GiveStartSource();
  lock_.Release();
  ShowOptionItems();
  // A card the desktop handed over is emptied at once when the user asked for
  // that; the loader returns only after the move.
  cards_.MoveStartCard();
  // Requests the movie sent meanwhile, now that the settings take changes.
  window_.PumpEvents();
  window_.ShowMovie();
  EnableMenus(true);
}

void frmQuillfen::Form_Resize() {
  const int height = HeightRule(kMovieHeight * window_.MovieScale(), window_.OuterHeight(), window_.ClientHeight());
  // Setting the height resizes the window again; then the rule changes nothing.
  if (height != window_.OuterHeight()) window_.SetOuterHeight(height);
}

void frmQuillfen::tmrChecker_Timer() {
  window_.SetTimerEnabled(Timer::Checker, false);
  window_.SetLabel(language_.GetDialog("swf_error"));
  window_.MessageBox(window_.Label(), language_.GetDialog("loading_error"), BoxIcon::Critical, BoxButtons::OK);
}

void frmQuillfen::swfControl_FlashCall(const std::string& request) {
  const std::string copy = request;  // the movie's text may go away while it is handled
  // A check box of the movie may switch what an option needs.
  Handle([&] { swf_.FlashCall(copy); });
}

void frmQuillfen::swfControl_PageLost() {
  // A load the lost page asked for waits for the new page's own request, so
  // that the settings reach a page that can show them.
  window_.SetTimerEnabled(Timer::Loader, false);
  window_.SetLabel(loadingLabel_);
  window_.HideMovie();
  // The watchdog tells the user when no page comes back.
  window_.SetTimerEnabled(Timer::Checker, true);
  if (reloadsInARow_ >= kMaxReloadsInARow) return;
  ++reloadsInARow_;
  if (loaderStarted_) swf_.RestoreAtNextLoad([this] { MovieRestored(); });
  swf_.Control(movie_);
}

void frmQuillfen::MovieRestored() {
  reloadsInARow_ = 0;
  window_.SetTimerEnabled(Timer::Checker, false);
  window_.ShowMovie();
}

void frmQuillfen::mnuLang_Click(int index) {
  if (!language_.LoadLanguage(Variant(static_cast<std::int32_t>(index)))) return;
  const int count = static_cast<int>(language_.Languages().size());
  for (int i = 1; i <= count; ++i) window_.SetMenuChecked(menu::Lang(i), i == index);
  settings_.SaveLanguage(language_.Language());
  language_.LoadLanguageStrings(*this);
  try {
    swf_.RenameComponents();
  } catch (const std::logic_error&) {
    // The movie has not asked for its component texts yet: there is nothing
    // of it to relabel, and it takes the new language when it asks.
  }
}

// An option changes like the movie's check boxes: stored at once, but not
// while the settings are locked (a move runs), nor while what it needs is
// off; the mark shows what holds.
void frmQuillfen::mnuOption_Click(Option option) {
  if (!OptionAvailable(option)) return;
  const MenuItem item = menu::ForOption(option);
  settings_.SaveParameter(std::string(DefinitionOf(option).key), !window_.MenuChecked(item));
  ShowOptionItems();
}

bool frmQuillfen::OptionAvailable(Option option) const {
  const std::optional<Option> needs = DefinitionOf(option).needs;
  return !lock_.Held() && (!needs || settings_.InEffect(*needs));
}

void frmQuillfen::ShowOptionItems() {
  // Until the loader has read the settings, the Options menu is greyed as a
  // whole and the items keep their design state.
  if (!loaderStarted_) return;
  for (const OptionDefinition& option : kOptions) {
    if (option.place != OptionPlace::OptionsMenu) continue;
    const MenuItem item = menu::ForOption(option.option);
    window_.SetMenuChecked(item, settings_.On(option.option));
    window_.SetMenuEnabled(item, OptionAvailable(option.option));
  }
  window_.SetMenuChecked(menu::BackupTarget, !settings_.Backup().empty());
  window_.SetMenuEnabled(menu::BackupTarget, !lock_.Held());
}

// With a backup folder set, the user chooses another or stops the second
// copies; without one, the folder dialog opens at once. The folder's checks
// (another drive, not on the card) come with the move, where the drives are
// known.
void frmQuillfen::mnuBackupTarget_Click() {
  if (lock_.Held()) return;
  const std::string current = settings_.Backup();
  if (!current.empty()) {
    const std::optional<std::size_t> chosen = window_.ChoiceBox(
        language_.GetDialog("backup_change", {current}), language_.GetDialog("backup_dialog"), BoxIcon::Question,
        {language_.GetDialog("backup_choose"), language_.GetDialog("backup_off")});
    if (!chosen) return;
    if (*chosen == 1) return settings_.SaveBackup("");
  }
  const std::string folder = window_.SelectFolder(current.empty() ? system_.MediaFolder() : current,
                                                  language_.GetDialog("backup_dialog"));
  if (!folder.empty()) settings_.SaveBackup(folder);
}

void frmQuillfen::mnuTesting_Click() { window_.SetMenuChecked(menu::Testing, !window_.MenuChecked(menu::Testing)); }

void frmQuillfen::mnuTest_Click() { swf_.SetProgress(Variant(std::int16_t{55})); }

void frmQuillfen::mnuAbout_Click() { ShowAboutWindow(window_, language_); }

void frmQuillfen::OnTimer(Timer timer) {
  Handle([&] {
    switch (timer) {
      case Timer::Checker: tmrChecker_Timer(); break;
      case Timer::Loader: tmrLoader_Timer(); break;
    }
  });
}

void frmQuillfen::OnMenu(const MenuItem& item) {
  Handle([&] {
    const std::optional<int> language = menu::LanguageIndexOf(item);
    if (language && *language <= static_cast<int>(language_.Languages().size()))
      mnuLang_Click(*language);
    else if (const std::optional<Option> option = menu::OptionOf(item))
      mnuOption_Click(*option);
    else if (item == menu::BackupTarget)
      mnuBackupTarget_Click();
    else if (item == menu::Testing)
      mnuTesting_Click();
    else if (item == menu::Test)
      mnuTest_Click();
    else if (item == menu::About)
      mnuAbout_Click();
    // The other items are menus that only open.
  });
}

// A move may change an option itself when the user answers its question:
// the menu shows what holds once the handler is done.
void frmQuillfen::Handle(const std::function<void()>& handler) {
  cards_.Handle(handler);
  ShowOptionItems();
}

void frmQuillfen::OnClose() {
  cards_.Close();
  // A move runs inside a call of the movie; it is cancelled so that it ends
  // after the picture in hand, and the window closes once that call returns.
  // Nothing is saved here: every setting was stored when it changed.
  if (mover_.Running()) mover_.Cancel();
}

void frmQuillfen::SetCaption(const std::string& caption) { window_.SetCaption(caption); }

std::vector<std::string> frmQuillfen::ControlNames() const {
  std::vector<std::string> names;
  for (const menu::Item& item : menuItems_)
    if (names.empty() || names.back() != item.control) names.push_back(item.control);
  names.emplace_back(kLabelName);
  return names;
}

std::vector<MenuItem> frmQuillfen::MenuItemsNamed(const std::string& control) const {
  std::vector<MenuItem> items;
  for (const menu::Item& item : menuItems_)
    if (control == item.control) items.push_back(item.entry.item);
  return items;
}

void frmQuillfen::SetControlCaption(const std::string& control, const std::string& caption) {
  if (control == kLabelName) {
    loadingLabel_ = caption;
    window_.SetLabel(caption);
    return;
  }
  for (const MenuItem& item : MenuItemsNamed(control)) window_.SetMenuCaption(item, caption);
}

void frmQuillfen::SetControlTooltip(const std::string& control, const std::string& tooltip) {
  if (control == kLabelName) {
    window_.SetLabelTooltip(tooltip);
    return;
  }
  for (const MenuItem& item : MenuItemsNamed(control)) window_.SetMenuTooltip(item, tooltip);
}

}  // namespace quillfen
