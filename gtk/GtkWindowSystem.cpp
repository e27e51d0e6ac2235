#include "gtk/GtkWindowSystem.h"

#include <cmath>
#include <cstdlib>

#include "base/AppNames.h"
#include "gtk/GtkAboutDialog.h"
#include "gtk/GtkFolderDialog.h"
#include "gtk/GtkMessageBox.h"
#include "gtk/GtkTheme.h"

namespace quillfen {

namespace {

// A pump that never finds the queue empty (a source that is always ready)
// must still return to the move that called it.
constexpr int kMaxPumpIterations = 1000;
// The resolution fonts are designed for; the desktop's text scaling raises
// GTK's font resolution above it.
constexpr double kDesignResolution = 96.0;

double TextScale() {
  const double resolution = gdk_screen_get_resolution(gdk_screen_get_default());
  if (resolution <= 0) return 1.0;
  const double scale = resolution / kDesignResolution;
  return scale < 0.5 ? 0.5 : scale > 3.0 ? 3.0 : scale;
}

}  // namespace



GtkWindowSystem::GtkWindowSystem(GtkWidget* movieView, int movieWidth, int movieHeight, Resources resources,
                                 std::function<void(const std::string&)> openUrl, HandlerNesting& nesting)
    : nesting_(nesting),
      menu_([this](const MenuItem& item) {
        HandlerNesting::Scope scope(nesting_);
        if (events_) events_->OnMenu(item);
      }),
      resources_(std::move(resources)),
      openUrl_(std::move(openUrl)) {
  movieView_ = movieView;
  movieWidth_ = movieWidth;
  movieHeight_ = movieHeight;
  InstallTheme([this] { FollowStyle(); });
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(window_);
  gtk_window_set_title(window, kAppTitle);
  gtk_window_set_role(window, "main");
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  if (!resources_.iconPath.empty()) gtk_window_set_icon_from_file(window, resources_.iconPath.c_str(), nullptr);
  gtk_style_context_add_class(gtk_widget_get_style_context(window_), kWindowClass);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDeleteEvent), this);
  g_signal_connect_after(window_, "realize", G_CALLBACK(OnRealize), this);
  g_signal_connect_after(window_, "size-allocate", G_CALLBACK(OnSizeAllocate), this);

  // The client area is the movie's area exactly: the overlay asks for the
  // movie's size and the fixed window grows by nothing but the menu bar.
  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_pack_start(GTK_BOX(column), menu_.bar(), FALSE, FALSE, 0);
  GtkWidget* client = client_ = gtk_overlay_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(client), "quillfen-client");
  gtk_widget_set_vexpand(client, FALSE);
  // The movie loads and runs beneath the label, which covers it until it is shown.
  gtk_container_add(GTK_CONTAINER(client), movieView);
  labelBox_ = gtk_event_box_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(labelBox_), "quillfen-client");
  label_ = gtk_label_new("Loading...");
  gtk_style_context_add_class(gtk_widget_get_style_context(label_), "quillfen-loading");
  gtk_label_set_line_wrap(GTK_LABEL(label_), TRUE);
  gtk_label_set_justify(GTK_LABEL(label_), GTK_JUSTIFY_CENTER);
  gtk_label_set_max_width_chars(GTK_LABEL(label_), 60);
  gtk_container_add(GTK_CONTAINER(labelBox_), label_);
  gtk_overlay_add_overlay(GTK_OVERLAY(client), labelBox_);
  gtk_box_pack_start(GTK_BOX(column), client, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window_), column);

  timers_[Timer::Checker] = {};
  timers_[Timer::Loader] = {};
  FollowStyle();
  FollowTextScale();
  g_signal_connect_swapped(gtk_settings_get_default(), "notify::gtk-xft-dpi", G_CALLBACK(OnTextScale), this);
}

void GtkWindowSystem::OnTextScale(GtkWindowSystem* self) { self->FollowTextScale(); }

// WebKit enlarges the whole page with the desktop's text scaling (its zoom
// follows GTK's font resolution); the window grows with it, so that the
// page's fixed layout keeps its proportions.
void GtkWindowSystem::FollowTextScale() {
  const double scale = TextScale();
  // Rounded up, so that the page never has less room than designed.
  const int width = static_cast<int>(std::ceil(movieWidth_ * scale));
  const int height = static_cast<int>(std::ceil(movieHeight_ * scale));
  // The height rule keeps the client area exactly this high.
  scale_ = static_cast<double>(height) / movieHeight_;
  gtk_widget_set_size_request(client_, width, height);
  gtk_widget_set_size_request(movieView_, width, height);
}

// Until the page has drawn, the view shows the window colour of the style.
void GtkWindowSystem::FollowStyle() {
  const char* colour = WindowColour(CurrentStyle());
  if (!colour || !WEBKIT_IS_WEB_VIEW(movieView_)) return;
  GdkRGBA background;
  gdk_rgba_parse(&background, colour);
  webkit_web_view_set_background_color(WEBKIT_WEB_VIEW(movieView_), &background);
}

GtkWindowSystem::~GtkWindowSystem() {
  for (auto& [timer, state] : timers_)
    if (state.source) g_source_remove(state.source);
  if (window_) gtk_widget_destroy(window_);
}

void GtkWindowSystem::OnRealize(GtkWidget* widget, gpointer data) {
  // One fixed window: it can be moved and closed, not maximised or minimised.
  GdkWindow* gdkWindow = gtk_widget_get_window(widget);
  gdk_window_set_functions(gdkWindow, GdkWMFunction(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
  gdk_window_set_decorations(gdkWindow, GdkWMDecoration(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
  if (static_cast<GtkWindowSystem*>(data)->movieVisible_) MarkMovieShown(widget, true);
}

// The main window's logic keeps the client area as high as the movie: it is
// told of every change of the window's height.
void GtkWindowSystem::OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer data) {
  auto* self = static_cast<GtkWindowSystem*>(data);
  if (allocation->height == self->allocatedHeight_) return;
  self->allocatedHeight_ = allocation->height;
  if (self->events_) self->events_->OnResize();
}

void GtkWindowSystem::SetOuterHeight(int height) {
  gtk_window_resize(GTK_WINDOW(window_), gtk_widget_get_allocated_width(window_), height);
}

void GtkWindowSystem::Show() { gtk_widget_show_all(window_); }

void GtkWindowSystem::Run() {
  if (closing_) return;
  running_ = true;
  gtk_main();
  running_ = false;
}

void GtkWindowSystem::Present(const std::string& startupId) {
  // A window not shown yet comes up by itself, and one that is closing stays down.
  if (closing_ || !gtk_widget_get_visible(window_)) return;
  GtkWindow* window = GTK_WINDOW(window_);
  // The id carries the time of the user's action, which lets the window
  // manager raise the window, and ends that start's startup notification.
  if (!startupId.empty()) gtk_window_set_startup_id(window, startupId.c_str());
  gtk_window_present(window);
}

void GtkWindowSystem::Quit() {
  if (closing_) return;
  closing_ = true;
  if (running_) gtk_main_quit();
}

gboolean GtkWindowSystem::OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<GtkWindowSystem*>(data);
  if (self->closing_) return TRUE;
  // A running move is told to stop; the window goes when the move's call,
  // and every other handler, has returned.
  if (self->events_) self->events_->OnClose();
  self->nesting_.WhenIdle([self] { self->Quit(); });
  return TRUE;
}

// GTK lays out every window, those open now among them, in the default
// direction: the menu bar, the boxes and the dialogs mirror together.
void GtkWindowSystem::SetLanguage(const WindowLanguage& language) {
  language_ = language;
  gtk_widget_set_default_direction(language.rightToLeft ? GTK_TEXT_DIR_RTL : GTK_TEXT_DIR_LTR);
}

BoxAnswer GtkWindowSystem::MessageBox(const std::string& text, const std::string& title, BoxIcon icon,
                                      BoxButtons buttons) {
  if (boxObserver_) {
    const std::string& first = buttons == BoxButtons::RetryCancel ? language_.retry : language_.ok;
    boxObserver_(title, text, buttons == BoxButtons::OK ? first : first + "|" + language_.cancel);
  }
  return RunMessageBox(GTK_WINDOW(window_), text, title, icon, buttons, language_);
}

std::optional<std::size_t> GtkWindowSystem::ChoiceBox(const std::string& text, const std::string& title, BoxIcon icon,
                                                      const std::vector<std::string>& buttons) {
  if (boxObserver_) {
    std::string captions;
    for (const std::string& caption : buttons) captions += (captions.empty() ? "" : "|") + caption;
    boxObserver_(title, text, captions);
  }
  return RunChoiceBox(GTK_WINDOW(window_), text, title, icon, buttons);
}

void GtkWindowSystem::PumpEvents() {
  for (int i = 0; i < kMaxPumpIterations && g_main_context_pending(nullptr); ++i)
    g_main_context_iteration(nullptr, FALSE);
}

gboolean GtkWindowSystem::OnTimerTick(gpointer data) {
  auto* tick = static_cast<TimerTick*>(data);
  GtkWindowSystem* self = tick->self;
  const guint me = g_source_get_id(g_main_current_source());
  {
    HandlerNesting::Scope scope(self->nesting_);
    if (self->events_) self->events_->OnTimer(tick->timer);
  }
  // The handler may have stopped or restarted the timer; then this source is done.
  return self->timers_[tick->timer].source == me ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void GtkWindowSystem::StartTimer(Timer timer) {
  auto& tick = ticks_[timer];
  if (!tick) tick = std::make_unique<TimerTick>(TimerTick{this, timer});
  TimerState& state = timers_[timer];
  state.source = g_timeout_add(static_cast<guint>(state.interval), OnTimerTick, tick.get());
}

void GtkWindowSystem::SetTimerInterval(Timer timer, int milliseconds) {
  TimerState& state = timers_[timer];
  state.interval = milliseconds < 0 ? 0 : milliseconds;
  if (state.source) {
    // A running timer starts its new interval now.
    g_source_remove(state.source);
    state.source = 0;
    StartTimer(timer);
  }
}

void GtkWindowSystem::SetTimerEnabled(Timer timer, bool enabled) {
  TimerState& state = timers_[timer];
  if (enabled == (state.source != 0)) return;
  if (!enabled) {
    g_source_remove(state.source);
    state.source = 0;
    return;
  }
  // An interval of 0 keeps a timer from ticking, whether enabled or not:
  // g_timeout_add would fire it in every turn of the main loop.
  if (state.interval > 0) StartTimer(timer);
}

bool GtkWindowSystem::TimerEnabled(Timer timer) const {
  auto it = timers_.find(timer);
  return it != timers_.end() && it->second.source != 0;
}

void GtkWindowSystem::SetCaption(const std::string& caption) { gtk_window_set_title(GTK_WINDOW(window_), caption.c_str()); }

std::string GtkWindowSystem::Caption() const {
  const char* title = gtk_window_get_title(GTK_WINDOW(window_));
  return title ? title : "";
}

void GtkWindowSystem::SetLabel(const std::string& text) { gtk_label_set_text(GTK_LABEL(label_), text.c_str()); }

std::string GtkWindowSystem::Label() const { return gtk_label_get_text(GTK_LABEL(label_)); }

void GtkWindowSystem::SetLabelTooltip(const std::string& text) {
  gtk_widget_set_tooltip_text(labelBox_, text.empty() ? nullptr : text.c_str());
}

void GtkWindowSystem::ShowMovie() {
  if (movieVisible_) return;
  movieVisible_ = true;
  gtk_widget_hide(labelBox_);
  gtk_widget_grab_focus(movieView_);
  MarkMovieShown(window_, true);
}

void GtkWindowSystem::HideMovie() {
  if (!movieVisible_) return;
  movieVisible_ = false;
  gtk_widget_show(labelBox_);
  MarkMovieShown(window_, false);
}

// Tells the desktop (and the start command, which waits for it) whether the
// movie is shown: the window carries _QUILLFEN_MOVIE_SHOWN = 1 while it is,
// and 0 while a lost movie is loaded anew.
void GtkWindowSystem::MarkMovieShown(GtkWidget* window, bool shown) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (!gdkWindow) return;  // marked when it is realized
  const long value = shown ? 1 : 0;
  gdk_property_change(gdkWindow, gdk_atom_intern_static_string("_QUILLFEN_MOVIE_SHOWN"),
                      gdk_atom_intern_static_string("CARDINAL"), 32, GDK_PROP_MODE_REPLACE,
                      reinterpret_cast<const guchar*>(&value), 1);
}

std::string GtkWindowSystem::SelectFolder(const std::string& initialFolder, const std::string& title) {
  return RunFolderDialog(GTK_WINDOW(window_), initialFolder, title, language_);
}

void GtkWindowSystem::ShowAbout(const AboutTexts& texts) {
  RunAboutDialog(GTK_WINDOW(window_), texts, resources_.picturePath, openUrl_, language_);
}

void GtkWindowSystem::EndProgram(int exitCode) { std::exit(exitCode); }

}  // namespace quillfen
