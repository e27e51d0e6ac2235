#include "about/frmAbout.h"

#include <string>

#include "app/AppTitle.h"
#include "app/GlobalModule.h"
#include "localization/clsLanguageProvider.h"

namespace quillfen {

namespace {

std::string VersionNumber() {
  return std::to_string(QUILLFEN_VERSION_MAJOR) + "." + std::to_string(QUILLFEN_VERSION_MINOR) + "." +
         std::to_string(QUILLFEN_VERSION_REVISION);
}

}  // namespace

AboutTexts LoadAboutTexts(GlobalModule& module) {
  const clsLanguageProvider& language = module.objLanguageProvider();
  AboutTexts texts;
  texts.windowTitle = language.GetDialog("about_program") + " " + kAppTitle;
  texts.version = language.GetDialog("Version") + " " + VersionNumber();
  texts.description = language.GetDialog("description");
  texts.title = kAppTitle;
  texts.disclaimer = language.GetDialog("warning") + " " + language.GetDialog("warning2");
  texts.url = kHomePage;
  return texts;
}

void ShowAboutWindow(GlobalModule& module) { module.platform().window.ShowAbout(LoadAboutTexts(module)); }

void OpenHomePage(GlobalModule& module) { module.platform().shell.OpenUrl(kHomePage); }

}  // namespace quillfen
