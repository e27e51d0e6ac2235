#pragma once
// A modal message box on GTK.
#include <gtk/gtk.h>

#include <string>

#include "platform/WindowSystem.h"

namespace quillfen {

// Shows the box modally over owner (may be null) and returns the button
// chosen. The first button answers Enter; Escape and closing the box answer
// Cancel, or OK where OK is the only button. The buttons are captioned in
// `language`.
BoxAnswer RunMessageBox(GtkWindow* owner, const std::string& text, const std::string& title, BoxIcon icon,
                        BoxButtons buttons, const WindowLanguage& language = {});

// The answer for a dialog's response, given the box's buttons.
BoxAnswer AnswerForResponse(int response, BoxButtons buttons);

}  // namespace quillfen
