#pragma once
// The modal folder dialog on GTK.
#include <gtk/gtk.h>

#include <string>

#include "platform/WindowSystem.h"

namespace quillfen {

// Lets the user choose a folder (or type its path, or make a new one),
// starting in initialFolder when it exists. Returns the folder's full path,
// or the empty text when the user cancelled or chose nothing local. Its
// buttons are captioned in `language`.
std::string RunFolderDialog(GtkWindow* owner, const std::string& initialFolder, const std::string& title,
                            const WindowLanguage& language = {});

}  // namespace quillfen
