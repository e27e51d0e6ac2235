#pragma once
// The end-to-end tests' window into the running program, compiled only into
// the test build (quillfen-e2e), never into the shipped program. When
// QUILLFEN_TEST_HOOK names a folder, the hook
// - reads script lines from the FIFO "<folder>/script", evaluates each in the
//   movie page and appends "<number> <result as JSON>" to "<folder>/results"
//   (the number counts the lines read, from 1; a failed line gets "error: ..."),
//   except the line "window", answered with the main window's state read
//   from its widgets: {"caption", "label", "movieVisible", "direction" ("ltr"
//   or "rtl"), "menus": {name: {"caption", "checked", "enabled"}}},
// - appends "box title=<title> text=<text> buttons=<captions>" to
//   "<folder>/events" for every message box before it is shown (the
//   buttons' captions joined by "|").
// The tests' keys and clicks go through the real window (xdotool); the hook
// only reads the page's state and finds where its controls are.
#include <gtk/gtk.h>

#include <string>

#include "gtk/GtkWindowSystem.h"
#include "gtk/WebMovieHost.h"

namespace quillfen {

class TestHook {
 public:
  TestHook(GtkWindowSystem& window, WebMovieHost& movie);
  ~TestHook();
  TestHook(const TestHook&) = delete;
  TestHook& operator=(const TestHook&) = delete;

 private:
  static gboolean OnScriptInput(GIOChannel* channel, GIOCondition condition, gpointer data);
  static void OnEvaluated(GObject* source, GAsyncResult* result, gpointer data);
  void Append(const std::string& file, const std::string& line) const;
  std::string WindowState() const;

  GtkWindowSystem& window_;
  WebMovieHost& movie_;
  std::string folder_;
  GIOChannel* channel_ = nullptr;
  guint watch_ = 0;
  int linesRead_ = 0;
};

}  // namespace quillfen
