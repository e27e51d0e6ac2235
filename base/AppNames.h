#pragma once
// The names the program is known by: its title (the main window's design
// caption, the title of every box that names no other, the name the About
// window shows and the desktop's entry takes) and the place of its options
// in the user's settings store.

namespace quillfen {

inline constexpr const char* kAppTitle = "Quillfen";
// The desktop program's file name, beside the headless host in the program folder.
inline constexpr const char* kDesktopProgramName = "quillfen";
// The application name and the section every setting is stored under.
inline constexpr const char* kSettingsApp = kAppTitle;
inline constexpr const char* kSettingsSection = "Settings";

}  // namespace quillfen
