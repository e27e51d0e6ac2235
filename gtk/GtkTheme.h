#pragma once
// The program's colours on GTK: the grey-blue of the main window and the
// About window, and the About window's link.
#include <gtk/gtk.h>

namespace quillfen {

// The window colour, red 0x81, green 0x97, blue 0xA2.
inline constexpr const char* kWindowColour = "#8197A2";
// The link colour of the About window, blue 0x80.
inline constexpr const char* kLinkColour = "#000080";

// Style classes the windows put on their widgets.
inline constexpr const char* kWindowClass = "quillfen-window";
inline constexpr const char* kAboutClass = "quillfen-about";
inline constexpr const char* kTitleClass = "quillfen-title";
inline constexpr const char* kNoticeClass = "quillfen-notice";

// Installs the program's style sheet for the default screen, once.
void InstallTheme();

}  // namespace quillfen
