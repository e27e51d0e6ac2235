#pragma once
// The user's folders as the XDG base directory and user directory rules name
// them, read from the environment each time (a test may point HOME elsewhere).
#include <string>
#include <string_view>

namespace quillfen::xdg {

// $HOME, else the home folder of the user's account.
std::string HomeFolder();
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string ConfigHome();
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::string DataHome();
// The user's picture folder: $XDG_PICTURES_DIR, else its line in
// $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Pictures.
std::string PicturesFolder();

// Where the desktop mounts removable media for the user: the first folder
// that exists of /run/media/$USER (udisks2), /media/$USER (udisks2 as
// Debian builds it) and /media; else the home folder.
std::string MediaFolder();

// True when XDG_CURRENT_DESKTOP names this desktop ("GNOME", "XFCE") among
// the session's desktops.
bool CurrentDesktopIs(std::string_view desktop);

// The value of one XDG_*_DIR line of a user-dirs.dirs text ("$HOME/..." or an
// absolute path in double quotes); empty when the line is absent or unusable.
std::string UserDirFromText(const std::string& text, const std::string& name, const std::string& home);

}  // namespace quillfen::xdg
