#include "localization/clsLanguageProvider.h"

namespace quillfen {
// Placeholder until the language provider lands.
clsLanguageProvider::clsLanguageProvider(GlobalModule& module) : module_(module) {}
bool clsLanguageProvider::LoadLanguage(const Variant&) { return false; }
std::int32_t clsLanguageProvider::LanguageIndex() const { return 2; }
void clsLanguageProvider::LoadLanguageStrings(TranslatableWindow&) {}
void clsLanguageProvider::ComponentsStrings(const std::vector<std::string>& c) { components_ = c; }
Collection clsLanguageProvider::TranslateComponents() const { return {}; }
std::string clsLanguageProvider::GetDialog(const std::string& strID, const std::vector<std::string>&) const {
  return "<value for \"" + strID + "\" is absent>";
}
const std::vector<std::string>& clsLanguageProvider::DialogKeys() {
  static const std::vector<std::string> keys;
  return keys;
}
void clsLanguageProvider::LoadDialogStrings() {}
}  // namespace quillfen
