#pragma once
// The About window's texts, filled anew each time it opens, so that it always
// shows the current language.
#include "platform/WindowSystem.h"

namespace quillfen {

class GlobalModule;

inline constexpr const char* kHomePage = QUILLFEN_HOME_PAGE;

AboutTexts LoadAboutTexts(GlobalModule& module);
// Opens the About window modally; returns when it is closed.
void ShowAboutWindow(GlobalModule& module);
// The link of the About window: the home page in the default browser. The
// outcome is not reported.
void OpenHomePage(GlobalModule& module);

}  // namespace quillfen
