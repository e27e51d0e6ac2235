#include "MoviePage.h"

#include <cairo.h>

#include <utility>

namespace quillfen::movietest {

MoviePage::MoviePage(std::string htmlPath, int width, int height) : htmlPath_(std::move(htmlPath)) {
  WebKitUserContentManager* content = webkit_user_content_manager_new();
  webkit_user_content_manager_register_script_message_handler_with_reply(content, "quillfen", nullptr);
  g_signal_connect(content, "script-message-with-reply-received::quillfen", G_CALLBACK(OnMessage), this);
  // The settings the program shows its movie with: no file access beyond the
  // page's own loading, no windows opened by script.
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  webkit_settings_set_enable_page_cache(settings, FALSE);
  // As the program does, nothing is stored: the test writes no cache into
  // the home folder.
  WebKitWebContext* context = webkit_web_context_new_ephemeral();
  view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager", content,
                                       "settings", settings, nullptr));
  g_object_unref(context);
  g_object_unref(settings);
  g_object_unref(content);
  GdkRGBA background;
  gdk_rgba_parse(&background, "#8197A2");
  webkit_web_view_set_background_color(view_, &background);

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_widget_set_size_request(GTK_WIDGET(view_), width, height);
  gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(view_));
  gtk_widget_show_all(window_);
  gtk_widget_grab_focus(GTK_WIDGET(view_));
}

MoviePage::~MoviePage() {
  // A reply owed to the page is answered, or the page would wait for ever.
  while (ReleaseHeld()) {
  }
  gtk_widget_destroy(window_);
  Settle(20);
}

void MoviePage::Answer(const std::string& command, std::string reply) { answers_[command] = std::move(reply); }

void MoviePage::HoldBack(const std::string& command) { heldCommands_.insert(command); }

bool MoviePage::ReleaseHeld(const std::string& reply) {
  if (held_.empty()) return false;
  Held first = held_.front();
  held_.erase(held_.begin());
  Reply(first.reply, first.context, reply);
  webkit_script_message_reply_unref(first.reply);
  g_object_unref(first.context);
  return true;
}

gboolean MoviePage::OnMessage(WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply,
                              gpointer self) {
  auto* page = static_cast<MoviePage*>(self);
  char* text = jsc_value_to_string(message);
  std::string request = text ? text : "";
  g_free(text);
  page->requests_.push_back(request);
  std::string command = CommandName(request);
  if (page->heldCommands_.count(command)) {
    page->held_.push_back(Held{webkit_script_message_reply_ref(reply), JSC_VALUE(g_object_ref(message))});
    return TRUE;
  }
  auto answer = page->answers_.find(command);
  Reply(reply, message, answer == page->answers_.end() ? "" : answer->second);
  return TRUE;
}

void MoviePage::Reply(WebKitScriptMessageReply* reply, JSCValue* context, const std::string& text) {
  JSCValue* value = jsc_value_new_string(jsc_value_get_context(context), text.c_str());
  webkit_script_message_reply_return_value(reply, value);
  g_object_unref(value);
}

bool MoviePage::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  bool timedOut = false;
  guint timer = g_timeout_add(
      static_cast<guint>(timeoutMs),
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &timedOut);
  while (!done() && !timedOut) g_main_context_iteration(nullptr, TRUE);
  if (!timedOut) g_source_remove(timer);
  return done();
}

void MoviePage::Settle(int ms) {
  PumpUntil([] { return false; }, ms);
}

void MoviePage::PressTab() {
  gtk_window_present(GTK_WINDOW(window_));
  PumpUntil([this] { return gtk_window_is_active(GTK_WINDOW(window_)); }, 2000);
  for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window_)));
    event->key.keyval = GDK_KEY_Tab;
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gtk_widget_get_display(window_))));
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
  Settle(50);
}

bool MoviePage::Load() {
  GError* error = nullptr;
  char* uri = g_filename_to_uri(htmlPath_.c_str(), nullptr, &error);
  if (!uri) {
    g_clear_error(&error);
    return false;
  }
  webkit_web_view_load_uri(view_, uri);
  g_free(uri);
  return PumpUntil([this] { return Run("typeof externalCall") == "function"; }, 10000);
}

bool MoviePage::WaitForRequests(std::size_t count, int timeoutMs) {
  return PumpUntil([this, count] { return requests_.size() >= count; }, timeoutMs);
}

std::vector<std::string> MoviePage::RequestsSince(std::size_t from) const {
  if (from >= requests_.size()) return {};
  return {requests_.begin() + static_cast<std::ptrdiff_t>(from), requests_.end()};
}

namespace {

struct Outcome {
  bool done = false;
  std::string text;
};

std::string ResultText(JSCValue* value, GError* error) {
  if (!value) {
    std::string message = std::string("error: ") + (error ? error->message : "no result");
    g_clear_error(&error);
    return message;
  }
  std::string text;
  if (!jsc_value_is_undefined(value)) {
    char* raw = jsc_value_to_string(value);
    text = raw ? raw : "";
    g_free(raw);
  }
  g_object_unref(value);
  return text;
}

}  // namespace

std::string MoviePage::Run(const std::string& script) {
  Outcome outcome;
  webkit_web_view_evaluate_javascript(
      view_, script.c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* view, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
        auto* out = static_cast<Outcome*>(data);
        out->text = ResultText(value, error);
        out->done = true;
      },
      &outcome);
  PumpUntil([&outcome] { return outcome.done; }, 10000);
  return outcome.done ? outcome.text : "error: timed out";
}

std::string MoviePage::Call(const std::string& request) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&builder, "{sv}", "request", g_variant_new_string(request.c_str()));
  Outcome outcome;
  webkit_web_view_call_async_javascript_function(
      view_, "return externalCall(request);", -1, g_variant_builder_end(&builder), nullptr, nullptr, nullptr,
      [](GObject* view, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        JSCValue* value =
            webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(view), result, &error);
        auto* out = static_cast<Outcome*>(data);
        out->text = ResultText(value, error);
        out->done = true;
      },
      &outcome);
  PumpUntil([&outcome] { return outcome.done; }, 10000);
  return outcome.done ? outcome.text : "error: timed out";
}

bool MoviePage::Snapshot(const std::string& pngPath) {
  struct Shot {
    bool done = false;
    cairo_surface_t* surface = nullptr;
  } shot;
  webkit_web_view_get_snapshot(
      view_, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
      [](GObject* view, GAsyncResult* result, gpointer data) {
        auto* out = static_cast<Shot*>(data);
        out->surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
        out->done = true;
      },
      &shot);
  PumpUntil([&shot] { return shot.done; }, 10000);
  if (!shot.surface) return false;
  bool written = cairo_surface_write_to_png(shot.surface, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(shot.surface);
  return written;
}

std::string MoviePage::CommandName(const std::string& request) {
  const std::string start = "<invoke name=\"";
  auto from = request.find(start);
  if (from == std::string::npos) return {};
  from += start.size();
  auto to = request.find('"', from);
  return to == std::string::npos ? std::string() : request.substr(from, to - from);
}

}  // namespace quillfen::movietest
