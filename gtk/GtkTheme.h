#pragma once
// The program's colours on GTK: the grey-blue of the main window and the
// About window, and the About window's link, in the desktop's style. The
// style follows the desktop: its dark style (the settings portal's colour
// scheme, which GTK 3 does not read by itself, or a dark GTK theme) and
// high contrast (GTK's HighContrast themes, or the portal's contrast), where
// the program leaves every colour to the theme. The movie page takes the
// same style from the same GTK settings (prefers-color-scheme,
// prefers-contrast).
#include <gtk/gtk.h>

#include <functional>

namespace quillfen {

enum class DesktopStyle { Light, Dark, HighContrast };

// The window colour, red 0x81, green 0x97, blue 0xA2, and its dark
// counterpart (the page's own in each style).
inline constexpr const char* kWindowColour = "#8197A2";
inline constexpr const char* kDarkWindowColour = "#1E282E";
// The link colour of the About window, blue 0x80, and on the dark colour.
inline constexpr const char* kLinkColour = "#000080";
inline constexpr const char* kDarkLinkColour = "#8FC8E6";

// Style classes the windows put on their widgets.
inline constexpr const char* kWindowClass = "quillfen-window";
inline constexpr const char* kAboutClass = "quillfen-about";
inline constexpr const char* kTitleClass = "quillfen-title";
inline constexpr const char* kNoticeClass = "quillfen-notice";

// The style the GTK settings stand for now.
DesktopStyle CurrentStyle();
// The window colour of the style (the theme's own in high contrast: none).
const char* WindowColour(DesktopStyle style);

// Installs the program's style sheet for the default screen, once, and
// keeps it in the desktop's style from then on; `changed` is told after
// every change of style.
void InstallTheme(std::function<void()> changed = nullptr);

}  // namespace quillfen
