#pragma once
// The About window on GTK.
#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "platform/WindowSystem.h"

namespace quillfen {

// Shows the About window modally over owner with the product picture from
// picturePath; a click on the address calls openUrl with it. Returns when
// OK (captioned in `language`), Enter, Escape or the close box has closed it.
void RunAboutDialog(GtkWindow* owner, const AboutTexts& texts, const std::string& picturePath,
                    const std::function<void(const std::string&)>& openUrl, const WindowLanguage& language = {});

}  // namespace quillfen
