#include "gtk/GtkTheme.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* kAppearance = "org.freedesktop.appearance";
constexpr int kPortalTimeoutMs = 1000;

struct Theme {
  GtkCssProvider* provider = nullptr;
  std::vector<std::function<void()>> listeners;
  GDBusProxy* portal = nullptr;
  bool darkFromPortal = false;
};

Theme& TheTheme() {
  static Theme theme;
  return theme;
}

std::string ThemeName() {
  gchar* name = nullptr;
  g_object_get(gtk_settings_get_default(), "gtk-theme-name", &name, nullptr);
  std::string text = name ? name : "";
  g_free(name);
  if (const char* forced = g_getenv("GTK_THEME")) text = forced;
  return text;
}

std::string Css(DesktopStyle style) {
  if (style == DesktopStyle::HighContrast) return {};  // the theme's own colours
  const bool dark = style == DesktopStyle::Dark;
  const std::string window = dark ? kDarkWindowColour : kWindowColour;
  const std::string ink = dark ? "#E4ECEF" : "#10202A";
  const std::string loading = dark ? "#E4ECEF" : "#1F2D36";
  const std::string rule = dark ? "#8DA1AB" : "#5D7380";
  const std::string link = dark ? kDarkLinkColour : kLinkColour;
  const std::string w = std::string(".") + kWindowClass, a = std::string(".") + kAboutClass;
  return w + ", " + w + " .quillfen-client, " + a + " { background-color: " + window + "; }\n" +
         // The menu bar keeps the desktop's own colours, as menus do everywhere.
         w + " menubar { background-color: @theme_bg_color; }\n" + w + " .quillfen-loading { color: " + loading +
         "; }\n" + a + " label { color: " + ink + "; }\n" + a + " button.link label { color: " + link +
         "; }\n" + a + " separator { background-color: " + rule + "; min-height: 1px; }\n";
}

void Apply() {
  Theme& theme = TheTheme();
  // GTK's white-on-black high contrast theme is a dark one: the page, which
  // reads the dark style from the GTK settings, is told so.
  gboolean preferDark = FALSE;
  GtkSettings* settings = gtk_settings_get_default();
  g_object_get(settings, "gtk-application-prefer-dark-theme", &preferDark, nullptr);
  if (ThemeName() == "HighContrastInverse" && !preferDark) {
    g_object_set(settings, "gtk-application-prefer-dark-theme", TRUE, nullptr);
    return;  // applied again on the change
  }
  const DesktopStyle style = CurrentStyle();
  const std::string fixed = std::string(".") + kAboutClass + " ." + kTitleClass +
                            " { font-weight: bold; font-size: 150%; }\n." + kAboutClass + " ." + kNoticeClass +
                            " { font-size: 85%; }\n." + kAboutClass +
                            " button.link { padding: 0; border: none; background: none; box-shadow: none; }\n";
  const std::string css = Css(style) + fixed;
  gtk_css_provider_load_from_data(theme.provider, css.c_str(), -1, nullptr);
  for (const auto& listener : theme.listeners) listener();
}

// The portal's colour scheme: 1 asks for the dark style. GTK 3 reads it
// only through its own setting, which the program sets accordingly.
void TakeColourScheme(GVariant* value) {
  Theme& theme = TheTheme();
  // Read wraps the value in one variant more than SettingChanged does.
  GVariant* inner = g_variant_ref(value);
  while (g_variant_is_of_type(inner, G_VARIANT_TYPE_VARIANT)) {
    GVariant* next = g_variant_get_variant(inner);
    g_variant_unref(inner);
    inner = next;
  }
  const bool scheme = g_variant_is_of_type(inner, G_VARIANT_TYPE_UINT32);
  const bool dark = scheme && g_variant_get_uint32(inner) == 1;
  g_variant_unref(inner);
  if (!scheme) return;
  GtkSettings* settings = gtk_settings_get_default();
  if (dark) g_object_set(settings, "gtk-application-prefer-dark-theme", TRUE, nullptr);
  else if (theme.darkFromPortal) g_object_set(settings, "gtk-application-prefer-dark-theme", FALSE, nullptr);
  theme.darkFromPortal = dark;
}

void OnPortalSignal(GDBusProxy*, gchar*, gchar* signal, GVariant* parameters, gpointer) {
  if (std::string_view(signal) != "SettingChanged") return;
  const char* space = nullptr;
  const char* key = nullptr;
  GVariant* value = nullptr;
  g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
  if (std::string_view(space) == kAppearance && std::string_view(key) == "color-scheme") TakeColourScheme(value);
  g_variant_unref(value);
}

void FollowPortal() {
  GError* error = nullptr;
  Theme& theme = TheTheme();
  theme.portal = g_dbus_proxy_new_for_bus_sync(G_BUS_TYPE_SESSION, G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES, nullptr,
                                               kPortal, kPortalPath, kSettingsInterface, nullptr, &error);
  if (!theme.portal) {
    g_clear_error(&error);
    return;
  }
  GVariant* reply = g_dbus_proxy_call_sync(theme.portal, "Read", g_variant_new("(ss)", kAppearance, "color-scheme"),
                                           G_DBUS_CALL_FLAGS_NONE, kPortalTimeoutMs, nullptr, &error);
  if (!reply) {
    // No portal on this desktop: the GTK settings alone say the style.
    g_clear_error(&error);
    g_clear_object(&theme.portal);
    return;
  }
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  TakeColourScheme(value);
  g_variant_unref(value);
  g_variant_unref(reply);
  g_signal_connect(theme.portal, "g-signal", G_CALLBACK(OnPortalSignal), nullptr);
}

}  // namespace

DesktopStyle CurrentStyle() {
  const std::string name = ThemeName();
  if (name.rfind("HighContrast", 0) == 0) return DesktopStyle::HighContrast;
  gboolean preferDark = FALSE;
  g_object_get(gtk_settings_get_default(), "gtk-application-prefer-dark-theme", &preferDark, nullptr);
  const auto endsWith = [&](std::string_view end) {
    return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
  };
  return preferDark || endsWith("-dark") || endsWith(":dark") ? DesktopStyle::Dark : DesktopStyle::Light;
}

const char* WindowColour(DesktopStyle style) {
  switch (style) {
    case DesktopStyle::Light: return kWindowColour;
    case DesktopStyle::Dark: return kDarkWindowColour;
    case DesktopStyle::HighContrast: return nullptr;
  }
  return nullptr;
}

void InstallTheme(std::function<void()> changed) {
  Theme& theme = TheTheme();
  if (changed) theme.listeners.push_back(std::move(changed));
  if (theme.provider) return;
  theme.provider = gtk_css_provider_new();
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(theme.provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  GtkSettings* settings = gtk_settings_get_default();
  for (const char* property : {"notify::gtk-theme-name", "notify::gtk-application-prefer-dark-theme"})
    g_signal_connect(settings, property, G_CALLBACK(+[](GObject*, GParamSpec*, gpointer) { Apply(); }), nullptr);
  FollowPortal();
  Apply();
}

}  // namespace quillfen
