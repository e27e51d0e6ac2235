#include "about/frmAbout.h"

#include <string>

#include "base/AppNames.h"

namespace quillfen {

std::string VersionNumber() {
  return std::to_string(QUILLFEN_VERSION_MAJOR) + "." + std::to_string(QUILLFEN_VERSION_MINOR) + "." +
         std::to_string(QUILLFEN_VERSION_REVISION);
}

AboutTexts LoadAboutTexts(const clsLanguageProvider& language) {
  AboutTexts texts;
  texts.windowTitle = language.GetDialog("about_program", {kAppTitle});
  texts.version = language.GetDialog("Version") + " " + VersionNumber();
  texts.description = language.GetDialog("description");
  texts.title = kAppTitle;
  texts.disclaimer = language.GetDialog("warning") + " " + language.GetDialog("warning2");
  texts.url = kHomePage;
  return texts;
}

void ShowAboutWindow(WindowSystem& window, const clsLanguageProvider& language) {
  window.ShowAbout(LoadAboutTexts(language));
}

void OpenHomePage(Shell& shell) { shell.OpenUrl(kHomePage); }

}  // namespace quillfen
