#include "gtk/GtkTheme.h"

#include <string>

namespace quillfen {

void InstallTheme() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  const std::string colour = kWindowColour;
  const std::string css =
      std::string(".") + kWindowClass + ", ." + kWindowClass + " .quillfen-client, ." + kAboutClass +
      " { background-color: " + colour + "; }\n" +
      // The menu bar keeps the desktop's own colours, as menus do everywhere.
      "." + kWindowClass + " menubar { background-color: @theme_bg_color; }\n" + "." + kWindowClass + " .quillfen-loading { color: #1f2d36; }\n" +
      "." + kAboutClass + " label { color: #10202a; }\n" + "." + kAboutClass + " ." + kTitleClass +
      " { font-weight: bold; font-size: 150%; }\n" + "." + kAboutClass + " ." + kNoticeClass +
      " { font-size: 85%; }\n" + "." + kAboutClass + " separator { background-color: #5d7380; min-height: 1px; }\n";
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

}  // namespace quillfen
