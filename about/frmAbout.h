#pragma once
// Opens the About window and its link to the home page. The texts are filled
// anew each time it opens, so that it always shows the current language.
#include "localization/clsLanguageProvider.h"
#include "platform/Shell.h"
#include "platform/WindowSystem.h"

namespace quillfen {

inline constexpr const char* kHomePage = QUILLFEN_HOME_PAGE;

// The version the program shows: major.minor.revision.
std::string VersionNumber();
AboutTexts LoadAboutTexts(const clsLanguageProvider& language);
// Opens the About window modally; returns when it is closed.
void ShowAboutWindow(WindowSystem& window, const clsLanguageProvider& language);
// The link of the About window: the home page in the default browser. The
// outcome is not reported.
void OpenHomePage(Shell& shell);

}  // namespace quillfen
