#include "script/ScriptedWindowSystem.h"

#include <limits>

namespace quillfen {

namespace {

const char* IconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None: return "none";
    case BoxIcon::Information: return "information";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Question: return "question";
    case BoxIcon::Critical: return "critical";
  }
  return "none";
}

const char* ButtonsName(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OK: return "OK";
    case BoxButtons::OKCancel: return "OKCancel";
    case BoxButtons::RetryCancel: return "RetryCancel";
  }
  return "OK";
}

const char* AnswerName(BoxAnswer answer) {
  switch (answer) {
    case BoxAnswer::OK: return "OK";
    case BoxAnswer::Cancel: return "Cancel";
    case BoxAnswer::Retry: return "Retry";
  }
  return "OK";
}

bool Offers(BoxButtons buttons, BoxAnswer answer) {
  switch (buttons) {
    case BoxButtons::OK: return answer == BoxAnswer::OK;
    case BoxButtons::OKCancel: return answer == BoxAnswer::OK || answer == BoxAnswer::Cancel;
    case BoxButtons::RetryCancel: return answer == BoxAnswer::Retry || answer == BoxAnswer::Cancel;
  }
  return false;
}

}  // namespace

ScriptedWindowSystem::ScriptedWindowSystem(EventLog& log) : log_(log) {}

// The menu bar as built, before the program has changed anything: not logged.
void ScriptedWindowSystem::SetMenus(const std::vector<MenuEntry>& entries) {
  menus_.clear();
  for (const MenuEntry& entry : entries) {
    MenuState& menu = menus_[entry.item];
    menu.kind = entry.kind;
    menu.caption = entry.caption;
    menu.enabled = entry.offered;
  }
}

BoxAnswer ScriptedWindowSystem::MessageBox(const std::string& text, const std::string& title, BoxIcon icon,
                                           BoxButtons buttons) {
  if (boxObserver_) boxObserver_(text);
  BoxAnswer answer = buttons == BoxButtons::OK ? BoxAnswer::OK : BoxAnswer::Cancel;
  // An answer the box does not offer counts as its Escape answer.
  if (const std::optional<QueuedAnswer> queued = NextAnswer(); queued && queued->box && Offers(buttons, *queued->box))
    answer = *queued->box;
  log_.Add(std::string("box ") + IconName(icon) + " " + ButtonsName(buttons) + " title=" + EscapeLogText(title) +
           " text=" + EscapeLogText(text) + " -> " + AnswerName(answer));
  // A box is where a user would see the program wait: its reader sees it now.
  log_.Flush();
  return answer;
}

std::optional<ScriptedWindowSystem::QueuedAnswer> ScriptedWindowSystem::NextAnswer() {
  if (answers_.empty()) return std::nullopt;
  const QueuedAnswer queued = answers_.front();
  answers_.pop_front();
  return queued;
}

// OK chooses the first button; Cancel, Retry and a button the box does not
// have close it, as Escape does.
std::optional<std::size_t> ScriptedWindowSystem::ChoiceBox(const std::string& text, const std::string& title,
                                                           BoxIcon icon, const std::vector<std::string>& buttons) {
  if (boxObserver_) boxObserver_(text);
  std::optional<std::size_t> chosen;
  if (const std::optional<QueuedAnswer> queued = NextAnswer()) {
    if (queued->box == BoxAnswer::OK && !buttons.empty()) chosen = 0;
    if (!queued->box && queued->button < buttons.size()) chosen = queued->button;
  }
  std::string line = std::string("choice ") + IconName(icon) + " title=" + EscapeLogText(title) +
                     " text=" + EscapeLogText(text) + " buttons=";
  for (std::size_t i = 0; i < buttons.size(); ++i) line += (i ? "|" : "") + EscapeLogText(buttons[i]);
  log_.Add(line + " -> " + (chosen ? EscapeLogText(buttons[*chosen]) : std::string("cancel")));
  log_.Flush();
  return chosen;
}

void ScriptedWindowSystem::PumpEvents() {
  // Only what was pending when the pump began runs now; an event queued by
  // an event runs at the next pump.
  std::size_t count = pending_.size();
  for (std::size_t i = 0; i < count && !pending_.empty(); ++i) {
    auto event = std::move(pending_.front());
    pending_.pop_front();
    event();
  }
}

void ScriptedWindowSystem::SetTimerInterval(Timer timer, int milliseconds) {
  auto& state = timers_[timer];
  state.interval = milliseconds;
  if (state.enabled) state.due = now_ + milliseconds;
}

void ScriptedWindowSystem::SetTimerEnabled(Timer timer, bool enabled) {
  auto& state = timers_[timer];
  if (enabled && !state.enabled) state.due = now_ + state.interval;
  state.enabled = enabled;
}

bool ScriptedWindowSystem::TimerEnabled(Timer timer) const {
  auto it = timers_.find(timer);
  return it != timers_.end() && it->second.enabled;
}

void ScriptedWindowSystem::Wait(std::int64_t milliseconds) {
  const std::int64_t end = now_ + milliseconds;
  for (;;) {
    // As in a main loop, what is pending is handled before time goes on.
    while (!pending_.empty()) PumpEvents();
    // The earliest due timer within the wait; Checker before Loader on a tie.
    std::optional<Timer> next;
    std::int64_t due = std::numeric_limits<std::int64_t>::max();
    for (auto& [timer, state] : timers_) {
      if (state.enabled && state.interval > 0 && state.due <= end && state.due < due) {
        due = state.due;
        next = timer;
      }
    }
    if (!next) break;
    now_ = due;
    timers_[*next].due = now_ + timers_[*next].interval;
    if (events_) events_->OnTimer(*next);
  }
  now_ = end;
}

void ScriptedWindowSystem::Close() {
  if (events_) events_->OnClose();
  log_.Add("exit");
}

void ScriptedWindowSystem::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  log_.Add("window caption=" + EscapeLogText(caption));
}

void ScriptedWindowSystem::SetLabel(const std::string& text) {
  if (text == label_) return;
  label_ = text;
  log_.Add("label " + EscapeLogText(text));
}

void ScriptedWindowSystem::ShowMovie() {
  if (movieVisible_) return;
  movieVisible_ = true;
  log_.Add("movie-visible");
}

void ScriptedWindowSystem::HideMovie() {
  if (!movieVisible_) return;
  movieVisible_ = false;
  log_.Add("movie-hidden");
}

void ScriptedWindowSystem::LogMenu(const MenuItem& item) {
  const auto& menu = menus_[item];
  log_.Add("menu " + item.name + " checked=" + (menu.checked ? "1" : "0") +
           " enabled=" + (menu.enabled ? "1" : "0") + " caption=" + EscapeLogText(menu.caption));
}

void ScriptedWindowSystem::SetMenuCaption(const MenuItem& item, const std::string& caption) {
  if (menus_[item].caption == caption) return;
  menus_[item].caption = caption;
  // An option item is logged when its check mark changes, not for its
  // caption: a user who never switches an option sees no line of it.
  if (menus_[item].kind != MenuKind::Option) LogMenu(item);
}

// A program that built no menu bar (a test of the mover alone) finds every
// item as a new one: no caption, no check mark, available.
const ScriptedWindowSystem::MenuState& ScriptedWindowSystem::Menu(const MenuItem& item) const {
  static const MenuState kUnbuilt;
  const auto found = menus_.find(item);
  return found == menus_.end() ? kUnbuilt : found->second;
}

std::string ScriptedWindowSystem::MenuCaption(const MenuItem& item) const { return Menu(item).caption; }

void ScriptedWindowSystem::SetMenuTooltip(const MenuItem& item, const std::string& text) { menus_[item].tooltip = text; }

void ScriptedWindowSystem::SetMenuChecked(const MenuItem& item, bool checked) {
  if (menus_[item].checked == checked) return;
  menus_[item].checked = checked;
  LogMenu(item);
}

bool ScriptedWindowSystem::MenuChecked(const MenuItem& item) const { return Menu(item).checked; }

void ScriptedWindowSystem::SetMenuEnabled(const MenuItem& item, bool enabled) {
  if (menus_[item].enabled == enabled) return;
  menus_[item].enabled = enabled;
  LogMenu(item);
}

bool ScriptedWindowSystem::MenuEnabled(const MenuItem& item) const { return Menu(item).enabled; }

std::string ScriptedWindowSystem::SelectFolder(const std::string& initialFolder, const std::string& title) {
  std::optional<std::string> chosen;
  if (!folders_.empty()) {
    chosen = folders_.front();
    folders_.pop_front();
  }
  log_.Add("folder-dialog title=" + EscapeLogText(title) + " initial=" + EscapeLogText(initialFolder) + " -> " +
           (chosen ? EscapeLogText(*chosen) : std::string("cancel")));
  log_.Flush();
  return chosen.value_or(std::string());
}

void ScriptedWindowSystem::ShowAbout(const AboutTexts& texts) {
  log_.Add("about title=" + EscapeLogText(texts.windowTitle) + " name=" + EscapeLogText(texts.title) +
           " version=" + EscapeLogText(texts.version) + " description=" + EscapeLogText(texts.description) +
           " notice=" + EscapeLogText(texts.disclaimer) + " url=" + EscapeLogText(texts.url));
  log_.Flush();
}

void ScriptedWindowSystem::EndProgram(int exitCode) { throw ProgramEnded(exitCode); }

}  // namespace quillfen
