#pragma once
// The window system on GTK: the one fixed main window with its menu bar, the
// "Loading..." label covering the movie until it is shown, the two timers,
// modal message boxes, the folder dialog and the About window.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/WindowSystem.h"
#include "gtk/GtkMainMenu.h"
#include "gtk/HandlerNesting.h"

namespace quillfen {

class GtkWindowSystem : public WindowSystem {
 public:
  struct Resources {
    std::string picturePath;  // the product picture of the About window
    std::string iconPath;     // the window's icon
  };
  // movieView: the movie's widget, laid out at the movie's size below the
  // menu bar. openUrl: opens the About window's address. nesting: where the
  // program's handlers on the stack are counted (shared with the movie host).
  GtkWindowSystem(GtkWidget* movieView, int movieWidth, int movieHeight, Resources resources,
                  std::function<void(const std::string&)> openUrl, HandlerNesting& nesting);
  ~GtkWindowSystem() override;
  GtkWindowSystem(const GtkWindowSystem&) = delete;
  GtkWindowSystem& operator=(const GtkWindowSystem&) = delete;

  // Shows the window centred on the screen.
  void Show();
  // Runs the main loop until the window has been closed.
  void Run();
  // Brings the shown window to the front for another start of the program;
  // startupId: that start's startup-notification id, or empty.
  void Present(const std::string& startupId);
  // Called with every message box before it is shown (title, text, and the
  // captions of its buttons joined by "|").
  using BoxObserver = std::function<void(const std::string&, const std::string&, const std::string&)>;
  void SetBoxObserver(BoxObserver observer) {
    boxObserver_ = std::move(observer);
  }

  // The menu bar's items, in the order they were built.
  const std::vector<MenuItem>& MenuItems() const { return menu_.Items(); }

  void Attach(MainWindowEvents* events) override { events_ = events; }
  void SetLanguage(const WindowLanguage& language) override;
  BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxIcon icon, BoxButtons buttons) override;
  std::optional<std::size_t> ChoiceBox(const std::string& text, const std::string& title, BoxIcon icon,
                                       const std::vector<std::string>& buttons) override;
  void PumpEvents() override;
  void SetTimerInterval(Timer timer, int milliseconds) override;
  void SetTimerEnabled(Timer timer, bool enabled) override;
  bool TimerEnabled(Timer timer) const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  void SetLabel(const std::string& text) override;
  std::string Label() const override;
  void SetLabelTooltip(const std::string& text) override;
  void ShowMovie() override;
  void HideMovie() override;
  bool MovieVisible() const override { return movieVisible_; }
  double MovieScale() const override { return scale_; }
  bool InFront() const override { return window_ && gtk_window_is_active(GTK_WINDOW(window_)); }
  int OuterHeight() const override { return gtk_widget_get_allocated_height(window_); }
  int ClientHeight() const override { return gtk_widget_get_allocated_height(client_); }
  void SetOuterHeight(int height) override;
  void SetMenus(const std::vector<MenuEntry>& entries) override { menu_.Build(entries); }
  void SetMenuCaption(const MenuItem& item, const std::string& caption) override { menu_.SetCaption(item, caption); }
  std::string MenuCaption(const MenuItem& item) const override { return menu_.Caption(item); }
  void SetMenuTooltip(const MenuItem& item, const std::string& text) override { menu_.SetTooltip(item, text); }
  void SetMenuChecked(const MenuItem& item, bool checked) override { menu_.SetChecked(item, checked); }
  bool MenuChecked(const MenuItem& item) const override { return menu_.Checked(item); }
  void SetMenuEnabled(const MenuItem& item, bool enabled) override { menu_.SetEnabled(item, enabled); }
  bool MenuEnabled(const MenuItem& item) const override { return menu_.Enabled(item); }
  std::string SelectFolder(const std::string& initialFolder, const std::string& title) override;
  void ShowAbout(const AboutTexts& texts) override;
  [[noreturn]] void EndProgram(int exitCode) override;

 private:
  struct TimerState {
    int interval = 0;
    guint source = 0;  // 0 while disabled
  };
  struct TimerTick {
    GtkWindowSystem* self;
    Timer timer;
  };
  static gboolean OnTimerTick(gpointer data);
  static gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer data);
  static void OnRealize(GtkWidget* widget, gpointer data);
  static void OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer data);
  static void MarkMovieShown(GtkWidget* window, bool shown);
  void StartTimer(Timer timer);
  void Quit();
  static void OnTextScale(GtkWindowSystem* self);
  void FollowTextScale();
  void FollowStyle();

  GtkWidget* window_ = nullptr;
  GtkWidget* label_ = nullptr;
  GtkWidget* labelBox_ = nullptr;
  GtkWidget* client_ = nullptr;
  int allocatedHeight_ = 0;
  GtkWidget* movieView_ = nullptr;
  int movieWidth_ = 0;
  int movieHeight_ = 0;
  double scale_ = 1.0;
  HandlerNesting& nesting_;
  GtkMainMenu menu_;
  Resources resources_;
  std::function<void(const std::string&)> openUrl_;
  BoxObserver boxObserver_;
  MainWindowEvents* events_ = nullptr;
  WindowLanguage language_;
  std::map<Timer, TimerState> timers_;
  std::map<Timer, std::unique_ptr<TimerTick>> ticks_;
  bool movieVisible_ = false;
  bool closing_ = false;
  bool running_ = false;
};

}  // namespace quillfen
