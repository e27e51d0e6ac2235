#include "gtk/GtkCommandLine.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "about/frmAbout.h"
#include "base/AppNames.h"
#include "base/PathParts.h"

namespace quillfen {

namespace {

constexpr int kUsageError = 2;
constexpr int kNoDisplay = 1;

std::string Absolute(const std::string& argument) {
  if (argument.empty() || argument.front() == '/') return argument;
  gchar* folder = g_get_current_dir();
  std::string path = BuildPath(folder, argument);
  g_free(folder);
  return path;
}

}  // namespace

CommandLine ReadCommandLine(int argc, char** argv) {
  gboolean version = FALSE;
  GOptionEntry entries[] = {
      {"version", 'V', 0, G_OPTION_ARG_NONE, &version, "Show the program's version", nullptr},
      {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr}};
  GOptionContext* context = g_option_context_new("[FOLDER]");
  g_option_context_set_summary(context,
                               "Moves the pictures of a camera card (FOLDER, or the card last chosen)\n"
                               "into your picture folder.");
  g_option_context_add_main_entries(context, entries, nullptr);
  // The display is opened below, so that --version needs none.
  g_option_context_add_group(context, gtk_get_option_group(FALSE));
  GError* error = nullptr;
  const gboolean parsed = g_option_context_parse(context, &argc, &argv, &error);
  g_option_context_free(context);
  const std::string name = GetFileName(argv[0]);
  if (!parsed) {
    std::fprintf(stderr, "%s: %s\nTry \"%s --help\" for the options.\n", name.c_str(), error->message, name.c_str());
    g_error_free(error);
    return {kUsageError, {}};
  }
  if (version) {
    std::printf("%s %s\n", kAppTitle, VersionNumber().c_str());
    return {0, {}};
  }
  if (!gtk_init_check(&argc, &argv)) {
    const char* display = gdk_get_display_arg_name();
    std::fprintf(stderr, "%s: cannot open display: %s\n", name.c_str(), display ? display : "");
    return {kNoDisplay, {}};
  }
  // "--" ends the options, so that a folder's name may begin with "-".
  const int first = argc > 1 && std::string(argv[1]) == "--" ? 2 : 1;
  std::string argument;
  for (int i = first; i < argc; ++i) {
    if (i > first) argument += ' ';
    argument += argv[i];
  }
  return {std::nullopt, Absolute(argument)};
}

}  // namespace quillfen
