#pragma once
// An in-memory window system: message boxes and folder dialogs answered from
// queues, timers on virtual time, every visible change written to the event
// log. The headless host and the tests run the program on it.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/WindowSystem.h"
#include "script/EventLog.h"

namespace quillfen {

// Thrown by EndProgram, so that a host or a test sees the program end.
struct ProgramEnded : std::runtime_error {
  explicit ProgramEnded(int code) : std::runtime_error("program ended"), exitCode(code) {}
  int exitCode;
};

class ScriptedWindowSystem : public WindowSystem {
 public:
  explicit ScriptedWindowSystem(EventLog& log);

  // Answers of the next message boxes and folder dialogs, first in, first out.
  void QueueAnswer(BoxAnswer answer) { answers_.push_back(QueuedAnswer{answer, 0}); }
  // The button (from 0) of the next box with the program's own buttons.
  void QueueButton(std::size_t button) { answers_.push_back(QueuedAnswer{std::nullopt, button}); }
  void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  // Work that arrives with the next event pump (a request of the movie).
  void QueueEvent(std::function<void()> event) { pending_.push_back(std::move(event)); }
  bool HasPendingEvents() const { return !pending_.empty(); }
  // Called for each message box before it is answered (a test may act then).
  void SetBoxObserver(std::function<void(const std::string& text)> observer) { boxObserver_ = std::move(observer); }

  // Virtual time: lets ms pass; due timers fire in order of their due time.
  void Wait(std::int64_t milliseconds);
  std::int64_t Now() const { return now_; }
  // The user closes the main window.
  void Close();
  MainWindowEvents* events() const { return events_; }

  void Attach(MainWindowEvents* events) override { events_ = events; }
  void SetMenus(const std::vector<MenuEntry>& entries) override;
  // The boxes' buttons are not part of the event log.
  void SetLanguage(const WindowLanguage& language) override { language_ = language; }
  const WindowLanguage& Language() const { return language_; }
  BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxIcon icon, BoxButtons buttons) override;
  std::optional<std::size_t> ChoiceBox(const std::string& text, const std::string& title, BoxIcon icon,
                                       const std::vector<std::string>& buttons) override;
  void PumpEvents() override;
  void SetTimerInterval(Timer timer, int milliseconds) override;
  void SetTimerEnabled(Timer timer, bool enabled) override;
  bool TimerEnabled(Timer timer) const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return caption_; }
  void SetLabel(const std::string& text) override;
  std::string Label() const override { return label_; }
  // The label's tooltip is not part of the event log.
  void SetLabelTooltip(const std::string&) override {}
  void ShowMovie() override;
  void HideMovie() override;
  bool MovieVisible() const override { return movieVisible_; }
  bool InFront() const override { return inFront; }
  // Whether the window has the focus; a test may send it behind.
  bool inFront = true;
  int OuterHeight() const override { return clientHeight_ + kFrameHeight; }
  int ClientHeight() const override { return clientHeight_; }
  void SetOuterHeight(int height) override { clientHeight_ = height - kFrameHeight; }
  // A window whose client area a window manager or theme made another height.
  void SetClientHeight(int height) { clientHeight_ = height; }
  void SetMenuCaption(const MenuItem& item, const std::string& caption) override;
  std::string MenuCaption(const MenuItem& item) const override;
  void SetMenuTooltip(const MenuItem& item, const std::string& text) override;
  void SetMenuChecked(const MenuItem& item, bool checked) override;
  bool MenuChecked(const MenuItem& item) const override;
  void SetMenuEnabled(const MenuItem& item, bool enabled) override;
  bool MenuEnabled(const MenuItem& item) const override;
  std::string SelectFolder(const std::string& initialFolder, const std::string& title) override;
  void ShowAbout(const AboutTexts& texts) override;
  [[noreturn]] void EndProgram(int exitCode) override;

 private:
  struct TimerState {
    int interval = 0;
    bool enabled = false;
    std::int64_t due = 0;  // virtual time of the next tick
  };
  struct MenuState {
    MenuKind kind = MenuKind::Command;
    std::string caption;
    std::string tooltip;
    bool checked = false;
    bool enabled = true;
  };
  void LogMenu(const MenuItem& item);
  const MenuState& Menu(const MenuItem& item) const;

  EventLog& log_;
  MainWindowEvents* events_ = nullptr;
  // An answer to a box: one of its buttons, or a numbered button of a box
  // with the program's own.
  struct QueuedAnswer {
    std::optional<BoxAnswer> box;
    std::size_t button = 0;
  };
  std::optional<QueuedAnswer> NextAnswer();
  std::deque<QueuedAnswer> answers_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::function<void()>> pending_;
  std::function<void(const std::string&)> boxObserver_;
  std::map<Timer, TimerState> timers_;
  std::map<MenuItem, MenuState> menus_;
  WindowLanguage language_;
  // The menu bar above the client area; the client starts as high as the movie.
  static constexpr int kFrameHeight = 25;
  int clientHeight_ = 245;
  std::int64_t now_ = 0;
  std::string caption_ = "Quillfen";
  std::string label_ = "Loading...";
  bool movieVisible_ = false;
};

}  // namespace quillfen
