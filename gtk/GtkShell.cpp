#include "gtk/GtkShell.h"

#include <gio/gio.h>

#include <cstdio>

namespace quillfen {

namespace {

void LaunchDefault(const char* uri) {
  GError* error = nullptr;
  if (!g_app_info_launch_default_for_uri(uri, nullptr, &error)) {
    // Nothing depends on it; it is said where a curious user can read it.
    std::fprintf(stderr, "quillfen: could not open %s: %s\n", uri, error ? error->message : "no program");
    if (error) g_error_free(error);
  }
}

}  // namespace

void GtkShell::OpenFolder(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (!uri) {
    std::fprintf(stderr, "quillfen: could not open the folder %s\n", path.c_str());
    return;
  }
  LaunchDefault(uri);
  g_free(uri);
}

void GtkShell::OpenUrl(const std::string& url) { LaunchDefault(url.c_str()); }

}  // namespace quillfen
