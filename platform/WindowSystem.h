#pragma once
// The window system as the program sees it: message boxes, event pumping, the
// two timers, the main window's visible state and its menu bar, the modal
// folder dialog and About window.
#include <string>

namespace quillfen {

enum class BoxIcon { None, Information, Warning, Question, Critical };
enum class BoxButtons { OK, OKCancel, RetryCancel };
enum class BoxAnswer { OK, Cancel, Retry };

enum class Timer { Checker, Loader };

// Every menu item of the main window. LangRussian and LangEnglish are the
// members 1 and 2 of the language item array. AllCameraFiles and
// DateTakenFolders are the options of the Options menu that change what a
// move takes and where it puts it.
enum class MenuItem {
  Options, Language, LangRussian, LangEnglish, Testing, Test, Help, About, AllCameraFiles, DateTakenFolders
};

// An option item of the Options menu: a check mark that is one of the user's
// stored options.
inline bool IsOptionItem(MenuItem item) {
  return item == MenuItem::AllCameraFiles || item == MenuItem::DateTakenFolders;
}

// The menu captions built into the window, shown until a language file
// replaces them. The diagnostic item Test is never available to the user.
inline const char* DesignMenuCaption(MenuItem item) {
  switch (item) {
    case MenuItem::Options: return "Настройки";
    case MenuItem::Language: return "Язык";
    case MenuItem::LangRussian: return "Русский";
    case MenuItem::LangEnglish: return "English";
    case MenuItem::Testing: return "Тестовый режим (Без перемещения файлов)";
    case MenuItem::Test: return "Тест";
    case MenuItem::Help: return "Справка";
    case MenuItem::About: return "О программе...";
    case MenuItem::AllCameraFiles: return "Перемещать все файлы камеры (RAW, видео...)";
    case MenuItem::DateTakenFolders: return "Папки дней по дате съёмки";
  }
  return "";
}
// The name of an item as the program and its tests know it: the control's
// name, members of the language array with their index.
inline const char* MenuItemName(MenuItem item) {
  switch (item) {
    case MenuItem::Options: return "mnuOptions";
    case MenuItem::Language: return "mnuLanguage";
    case MenuItem::LangRussian: return "mnuLang(1)";
    case MenuItem::LangEnglish: return "mnuLang(2)";
    case MenuItem::Testing: return "mnuTesting";
    case MenuItem::Test: return "mnuTest";
    case MenuItem::Help: return "mnuHelp";
    case MenuItem::About: return "mnuAbout";
    case MenuItem::AllCameraFiles: return "mnuAllCameraFiles";
    case MenuItem::DateTakenFolders: return "mnuDateTakenFolders";
  }
  return "?";
}
inline constexpr MenuItem kAllMenuItems[] = {MenuItem::Options,        MenuItem::Language,
                                             MenuItem::LangRussian,    MenuItem::LangEnglish,
                                             MenuItem::Testing,        MenuItem::Test,
                                             MenuItem::Help,           MenuItem::About,
                                             MenuItem::AllCameraFiles, MenuItem::DateTakenFolders};

// What the About window shows; filled by the About logic each time it opens.
struct AboutTexts {
  std::string windowTitle;
  std::string title;
  std::string version;
  std::string description;
  std::string disclaimer;
  std::string url;
};

// The handlers of the main window, called by the window system.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void OnTimer(Timer timer) = 0;
  virtual void OnMenu(MenuItem item) = 0;
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

  // A modal box; the first button is the default, Cancel answers Escape.
  virtual BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxIcon icon,
                               BoxButtons buttons) = 0;
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
  // The main window's outer height (everything the window system draws of
  // it) and that of its client area, the movie's place, in pixels.
  virtual int OuterHeight() const = 0;
  virtual int ClientHeight() const = 0;
  // Changes the outer height; the client area grows or shrinks with it.
  virtual void SetOuterHeight(int height) = 0;

  virtual void SetMenuCaption(MenuItem item, const std::string& caption) = 0;
  virtual std::string MenuCaption(MenuItem item) const = 0;
  virtual void SetMenuTooltip(MenuItem item, const std::string& text) = 0;
  virtual void SetMenuChecked(MenuItem item, bool checked) = 0;
  virtual bool MenuChecked(MenuItem item) const = 0;
  virtual void SetMenuEnabled(MenuItem item, bool enabled) = 0;
  virtual bool MenuEnabled(MenuItem item) const = 0;

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
