#pragma once
// A modal message box on GTK.
#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace quillfen {

// Shows the box modally over owner (may be null) and returns the button
// chosen. The first button answers Enter; Escape and closing the box answer
// Cancel, or OK where OK is the only button. The buttons are captioned in
// `language`.
BoxAnswer RunMessageBox(GtkWindow* owner, const std::string& text, const std::string& title, BoxIcon icon,
                        BoxButtons buttons, const WindowLanguage& language = {});

// A box with the program's own buttons, the first the default: the index of
// the button chosen, or nothing when the box was closed (Escape).
std::optional<std::size_t> RunChoiceBox(GtkWindow* owner, const std::string& text, const std::string& title,
                                        BoxIcon icon, const std::vector<std::string>& buttons);

// The answer for a dialog's response, given the box's buttons.
BoxAnswer AnswerForResponse(int response, BoxButtons buttons);

}  // namespace quillfen
