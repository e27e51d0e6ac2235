#pragma once
// The About window's texts, filled anew each time it opens.
#include "platform/WindowSystem.h"

namespace quillfen {

class GlobalModule;

inline constexpr const char* kHomePage = QUILLFEN_HOME_PAGE;

AboutTexts LoadAboutTexts(GlobalModule& module);
// Opens the About window modally.
void ShowAboutWindow(GlobalModule& module);

}  // namespace quillfen
