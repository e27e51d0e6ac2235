#include "gtk/testhook/TestHook.h"

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>


namespace quillfen {

namespace {

struct Evaluation {
  TestHook* hook;
  int number;
};

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

const char* Json(bool value) { return value ? "true" : "false"; }

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

TestHook::TestHook(GtkWindowSystem& window, WebMovieHost& movie) : window_(window), movie_(movie) {
  const char* folder = std::getenv("QUILLFEN_TEST_HOOK");
  if (!folder || !*folder) return;
  folder_ = folder;
  window.SetBoxObserver([this](const std::string& title, const std::string& text, const std::string& buttons) {
    Append("events", "box title=" + OneLine(title) + " text=" + OneLine(text) + " buttons=" + buttons);
  });
  // Opened for writing too, so the FIFO never reports end of file between
  // the test's writes.
  const std::string fifo = folder_ + "/script";
  int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  if (fd < 0) {
    std::fprintf(stderr, "quillfen-e2e: cannot open %s\n", fifo.c_str());
    return;
  }
  channel_ = g_io_channel_unix_new(fd);
  g_io_channel_set_close_on_unref(channel_, TRUE);
  g_io_channel_set_encoding(channel_, nullptr, nullptr);
  watch_ = g_io_add_watch(channel_, G_IO_IN, OnScriptInput, this);
}

TestHook::~TestHook() {
  if (watch_) g_source_remove(watch_);
  if (channel_) g_io_channel_unref(channel_);
}

void TestHook::Append(const std::string& file, const std::string& line) const {
  std::ofstream out(folder_ + "/" + file, std::ios::app);
  out << line << "\n";
}

gboolean TestHook::OnScriptInput(GIOChannel* channel, GIOCondition, gpointer data) {
  auto* self = static_cast<TestHook*>(data);
  for (;;) {
    gchar* line = nullptr;
    gsize length = 0;
    GIOStatus status = g_io_channel_read_line(channel, &line, &length, nullptr, nullptr);
    if (status != G_IO_STATUS_NORMAL || !line) {
      g_free(line);
      break;
    }
    std::string script(line, length);
    g_free(line);
    while (!script.empty() && (script.back() == '\n' || script.back() == '\r')) script.pop_back();
    const int number = ++self->linesRead_;
    if (script == "window") {
      self->Append("results", std::to_string(number) + " " + self->WindowState());
      continue;
    }
    auto* evaluation = new Evaluation{self, number};
    webkit_web_view_evaluate_javascript(self->movie_.view(), script.c_str(), -1, nullptr, nullptr, nullptr,
                                        OnEvaluated, evaluation);
  }
  return G_SOURCE_CONTINUE;
}

std::string TestHook::WindowState() const {
  std::string menus;
  for (const MenuItem& item : window_.MenuItems()) {
    if (!menus.empty()) menus += ",";
    menus += Json(item.name) + ":{\"caption\":" + Json(window_.MenuCaption(item)) +
             ",\"checked\":" + Json(window_.MenuChecked(item)) + ",\"enabled\":" + Json(window_.MenuEnabled(item)) +
             "}";
  }
  const bool rightToLeft = gtk_widget_get_default_direction() == GTK_TEXT_DIR_RTL;
  return "{\"caption\":" + Json(window_.Caption()) + ",\"label\":" + Json(window_.Label()) +
         ",\"movieVisible\":" + Json(window_.MovieVisible()) + ",\"direction\":" + Json(std::string(rightToLeft ? "rtl" : "ltr")) +
         ",\"menus\":{" + menus + "}}";
}

void TestHook::OnEvaluated(GObject* source, GAsyncResult* result, gpointer data) {
  auto* evaluation = static_cast<Evaluation*>(data);
  GError* error = nullptr;
  JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
  std::string line = std::to_string(evaluation->number) + " ";
  if (value) {
    gchar* json = jsc_value_is_undefined(value) ? g_strdup("null") : jsc_value_to_json(value, 0);
    line += json ? json : "null";
    g_free(json);
    g_object_unref(value);
  } else {
    line += "error: " + OneLine(error ? error->message : "unknown");
  }
  if (error) g_error_free(error);
  evaluation->hook->Append("results", line);
  delete evaluation;
}

}  // namespace quillfen
