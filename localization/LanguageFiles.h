#pragma once
// The program's languages: one file each in the program folder
// ("German.ini"), which says in its [Language] section what its language
// calls itself, which locales it serves and which way it is written:
//
//   [Language]
//   Name=Português (Brasil)
//   Locales=pt_BR pt
//   Direction=ltr
//
// Tested through clsLanguageProvider in tests/language_provider_test.cpp.
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace quillfen {

struct LanguageFile {
  // The file's name without ".ini": how the language is chosen and stored.
  std::string name;
  // What the language calls itself, as the Language menu shows it.
  std::string caption;
  // The locales the file serves, its own first ("pt_BR", "pt").
  std::vector<std::string> locales;
  bool rightToLeft = false;

  // The locale whose digits and plural forms the texts use: the first served.
  std::string Locale() const { return locales.empty() ? "en" : locales.front(); }
  // The language's tag as a web page names it ("pt-BR").
  std::string Tag() const;
};

// The language of the file folder/name.ini; what the file does not say
// (or a file that cannot be read) leaves the language's defaults: Russian
// and English are themselves, every other language its file's name,
// serving no locale, written left to right.
LanguageFile ReadLanguageFile(FileSystem& files, const std::string& folder, const std::string& name);

// Every language of the folder, in the Language menu's order: Russian and
// English first, whether or not their files are there, then each other
// "*.ini" file in the order of the folder's listing.
std::vector<LanguageFile> FindLanguages(FileSystem& files, const std::string& folder);

// The language for a user whose locale preferences are `preferences`, most
// wanted first ("pt_PT.UTF-8", "de"): of the first preference that a
// language serves, its region (pt_PT) before its language alone (pt); else
// English. Returns the language's name.
std::string MatchLanguage(const std::vector<LanguageFile>& languages, const std::vector<std::string>& preferences);

}  // namespace quillfen
