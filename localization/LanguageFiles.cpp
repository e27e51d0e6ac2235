#include "localization/LanguageFiles.h"

#include "base/NoCase.h"
#include "base/PathParts.h"
#include "localization/INI_File.h"

namespace quillfen {

namespace {

const char* const kHeaderSection = "Language";
const char* const kExtension = ".ini";

// The two languages the program always had, in the menu's first places.
const LanguageFile kFirstLanguages[] = {
    {"Russian", "Русский", {"ru"}, false},
    {"English", "English", {"en"}, false},
};

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + " ") {
    if (c == ' ' || c == ',' || c == ';' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// A locale name's language and region, in lower case: "pt_BR.UTF-8@euro"
// is pt and br; "de" is de and nothing.
struct LocaleParts {
  std::string language;
  std::string region;
};

LocaleParts PartsOf(const std::string& locale) {
  const std::string base = Lower(locale.substr(0, locale.find_first_of(".@")));
  const auto separator = base.find_first_of("_-");
  if (separator == std::string::npos) return {base, {}};
  return {base.substr(0, separator), base.substr(separator + 1)};
}

bool Serves(const LanguageFile& language, const LocaleParts& wanted, bool region) {
  for (const std::string& locale : language.locales) {
    const LocaleParts served = PartsOf(locale);
    if (served.language == wanted.language && (region ? !served.region.empty() && served.region == wanted.region
                                                      : served.region.empty()))
      return true;
  }
  return false;
}

const LanguageFile* Match(const std::vector<LanguageFile>& languages, const LocaleParts& wanted, bool region) {
  for (const LanguageFile& language : languages)
    if (Serves(language, wanted, region)) return &language;
  return nullptr;
}

}  // namespace

std::string LanguageFile::Tag() const {
  std::string tag = Locale();
  for (char& c : tag)
    if (c == '_') c = '-';
  return tag;
}

LanguageFile ReadLanguageFile(FileSystem& files, const std::string& folder, const std::string& name) {
  LanguageFile language{name, name, {}, false};
  for (const LanguageFile& first : kFirstLanguages)
    if (EqualsNoCase(first.name, name)) language = first;
  language.name = name;
  INI_File file(files);
  file.File(BuildPath(folder, name + kExtension));
  if (std::string caption = file.GetKeyStr("Name", kHeaderSection); !caption.empty()) language.caption = caption;
  if (std::vector<std::string> locales = Words(file.GetKeyStr("Locales", kHeaderSection)); !locales.empty())
    language.locales = locales;
  if (std::string direction = Lower(file.GetKeyStr("Direction", kHeaderSection)); !direction.empty())
    language.rightToLeft = direction == "rtl";
  return language;
}

std::vector<LanguageFile> FindLanguages(FileSystem& files, const std::string& folder) {
  std::vector<LanguageFile> languages;
  for (const LanguageFile& first : kFirstLanguages) languages.push_back(ReadLanguageFile(files, folder, first.name));
  const std::string extension = kExtension;
  for (const std::string& fileName : files.FileNames(folder)) {
    if (fileName.size() <= extension.size() || fileName.front() == '.' ||
        fileName.compare(fileName.size() - extension.size(), extension.size(), extension) != 0)
      continue;
    const std::string name = fileName.substr(0, fileName.size() - extension.size());
    bool first = false;
    for (const LanguageFile& known : kFirstLanguages) first = first || known.name == name;
    if (!first) languages.push_back(ReadLanguageFile(files, folder, name));
  }
  return languages;
}

std::string MatchLanguage(const std::vector<LanguageFile>& languages, const std::vector<std::string>& preferences) {
  for (const std::string& preference : preferences) {
    const LocaleParts wanted = PartsOf(preference);
    if (wanted.language.empty()) continue;
    for (bool region : {true, false})
      if (const LanguageFile* found = Match(languages, wanted, region)) return found->name;
  }
  return "English";
}

}  // namespace quillfen
