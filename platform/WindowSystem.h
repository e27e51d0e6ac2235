#pragma once
// The window system as the program sees it: message boxes, event pumping, the
// two timers, the main window's visible state and its menu bar, the modal
// folder dialog and About window.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

enum class BoxIcon { None, Information, Warning, Question, Critical };
enum class BoxButtons { OK, OKCancel, RetryCancel };
enum class BoxAnswer { OK, Cancel, Retry };

enum class Timer { Checker, Loader };

// A menu item of the main window, by the name the program knows it by: the
// control's name; items that share one name carry their index ("mnuLang(2)").
struct MenuItem {
  std::string name;
  friend bool operator==(const MenuItem&, const MenuItem&) = default;
  friend auto operator<=>(const MenuItem&, const MenuItem&) = default;
};

enum class MenuKind {
  Submenu,  // opens a menu of its own
  Command,  // does something when chosen
  Check,    // a check mark the program sets when the item is chosen
  Choice,   // a check mark shown as one of several (a radio item)
  Option,   // a check mark that is one of the user's stored options
};

struct MenuEntry {
  MenuItem item;
  MenuItem parent;  // no name: on the menu bar
  MenuKind kind = MenuKind::Command;
  std::string caption;  // the caption built into the window
  bool offered = true;  // false: the item exists but is never the user's to choose
};

// What the About window shows; filled by the About logic each time it opens.
struct AboutTexts {
  std::string windowTitle;
  std::string title;
  std::string version;
  std::string description;
  std::string disclaimer;
  std::string url;
};

// What the window system's own parts say in the program's language: the
// buttons of its boxes and of the folder dialog ("_" before the letter that
// chooses a button with Alt), and which way the language is written.
struct WindowLanguage {
  std::string ok = "_OK";
  std::string cancel = "_Cancel";
  std::string retry = "_Retry";
  std::string select = "_Select";
  bool rightToLeft = false;
};

// The handlers of the main window, called by the window system.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void OnTimer(Timer timer) = 0;
  virtual void OnMenu(const MenuItem& item) = 0;
  // The user closes the main window. The window system ends the program
  // after this returns.
  virtual void OnClose() = 0;
  // The main window's size changed (it is first sized when it is shown).
  virtual void OnResize() = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual void Attach(MainWindowEvents* events) = 0;
  // Builds the menu bar from its entries, parents before their items, in
  // the order they are shown; once, before any other call about menus.
  virtual void SetMenus(const std::vector<MenuEntry>& entries) = 0;

  // The language of the boxes, the folder dialog and the About window from
  // the next one on; the windows are laid out right to left at once when the
  // language is written so.
  virtual void SetLanguage(const WindowLanguage& language) = 0;

  // A modal box; the first button is the default, Cancel answers Escape.
  virtual BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxIcon icon,
                               BoxButtons buttons) = 0;
  // A modal box with buttons the program names, the first the default: the
  // index of the button chosen, or nothing when the user closed the box
  // (Escape).
  virtual std::optional<std::size_t> ChoiceBox(const std::string& text, const std::string& title, BoxIcon icon,
                                               const std::vector<std::string>& buttons) = 0;
  // Lets the interface process every pending event once (timers, the movie's
  // requests, menu clicks); returns when nothing is pending.
  virtual void PumpEvents() = 0;

  virtual void SetTimerInterval(Timer timer, int milliseconds) = 0;
  virtual void SetTimerEnabled(Timer timer, bool enabled) = 0;
  virtual bool TimerEnabled(Timer timer) const = 0;

  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetLabel(const std::string& text) = 0;
  virtual std::string Label() const = 0;
  virtual void SetLabelTooltip(const std::string& text) = 0;
  // Shows the movie, covering the label.
  virtual void ShowMovie() = 0;
  // Covers the movie with the label again, while a lost movie is loaded anew.
  virtual void HideMovie() = 0;
  virtual bool MovieVisible() const = 0;
  // How much larger than designed the movie is shown (the desktop's text
  // scaling); the window grows with it.
  virtual double MovieScale() const { return 1.0; }
  // Whether the main window is the one the user works in (it has the focus).
  virtual bool InFront() const = 0;
  // The main window's outer height (everything the window system draws of
  // it) and that of its client area, the movie's place, in pixels.
  virtual int OuterHeight() const = 0;
  virtual int ClientHeight() const = 0;
  // Changes the outer height; the client area grows or shrinks with it.
  virtual void SetOuterHeight(int height) = 0;

  virtual void SetMenuCaption(const MenuItem& item, const std::string& caption) = 0;
  virtual std::string MenuCaption(const MenuItem& item) const = 0;
  virtual void SetMenuTooltip(const MenuItem& item, const std::string& text) = 0;
  virtual void SetMenuChecked(const MenuItem& item, bool checked) = 0;
  virtual bool MenuChecked(const MenuItem& item) const = 0;
  virtual void SetMenuEnabled(const MenuItem& item, bool enabled) = 0;
  virtual bool MenuEnabled(const MenuItem& item) const = 0;

  // The modal folder dialog: returns the chosen folder's full path, or the
  // empty text when the user cancelled.
  virtual std::string SelectFolder(const std::string& initialFolder, const std::string& title) = 0;

  // Shows the About window modally; returns when it is closed.
  virtual void ShowAbout(const AboutTexts& texts) = 0;

  // Ends the program at once after a fatal error (a test's window system
  // throws instead, so the test can observe it).
  [[noreturn]] virtual void EndProgram(int exitCode) = 0;
};

}  // namespace quillfen
