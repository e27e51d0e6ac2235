#pragma once
// Chooses and loads the interface language and gives every text of it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Variant.h"
#include "localization/INI_File.h"
#include "localization/LanguageFiles.h"
#include "localization/TextFormat.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"

namespace quillfen {

class TranslatableWindow;

class clsLanguageProvider {
 public:
  // settings: where the chosen language is stored; system: the program folder
  // (the language files lie there), the user's languages and today's date;
  // window: the boxes about a missing file or text, and the language of its
  // own dialogs; files: reads the files.
  clsLanguageProvider(const SettingsStore& settings, const SystemInfo& system, WindowSystem& window,
                      FileSystem& files);

  // Every language of the program folder, numbered from 1 in this order
  // (1 Russian, 2 English, then the others); found once, when first asked.
  const std::vector<LanguageFile>& Languages() const;

  // language: empty (omitted: the stored language, else the first of the
  // user's languages that a file serves), a language name, or a language
  // number. True when loaded. A text the language's file lacks is taken
  // from English.
  bool LoadLanguage(const Variant& language = Variant());
  const std::string& Language() const { return language_; }
  // The number of the current language; throws std::out_of_range when it is
  // none of Languages().
  std::int32_t LanguageIndex() const;

  void LoadLanguageStrings(TranslatableWindow& window);
  void ComponentsStrings(const std::vector<std::string>& components);
  // The caption of each component asked for, each followed by its tooltip
  // ("<name>:tooltip") where it has one; "lang" and "dir" give the page's
  // language tag and direction ("rtl" or "ltr"). Throws std::logic_error
  // before any component list was stored.
  Collection TranslateComponents() const;
  // The dialog text with its values put in, as FormatText puts them in the
  // language's way; the marker <value for "key" is absent> when there is no
  // text.
  std::string GetDialog(const std::string& key, const std::vector<TextValue>& values = {}) const;
  // A value (a path, a name) as a text of the loaded language holds it
  // beside its own words: set apart where the language is written right to left.
  std::string Embedded(const std::string& value) const { return rightToLeft_ ? Isolated(value) : value; }

  // The fixed dialog keys, in load order.
  static const std::vector<std::string>& DialogKeys();

 private:
  // A dialog text and the locale that writes its numbers.
  struct DialogText {
    std::string text;
    std::string locale;
  };
  // The language name `language` stands for; empty when it names none. Throws
  // std::out_of_range for a number that is not a known language's.
  std::string ChooseLanguage(const Variant& language) const;
  void LoadDialogStrings();
  // The text of the key in the loaded language, else in English; with the
  // locale that writes its numbers.
  DialogText Text(const std::string& key, const std::string& section) const;
  void TellWindowSystem();

  const SettingsStore& settings_;
  const SystemInfo& system_;
  WindowSystem& window_;
  FileSystem& files_;
  mutable std::optional<std::vector<LanguageFile>> languages_;
  std::string language_;
  LanguageFile loaded_;
  bool rightToLeft_ = false;  // the loaded language's texts are written right to left
  INI_File languageFile_;
  INI_File englishFile_;  // the texts a language lacks; no file while English itself is loaded
  bool haveTable_ = false;
  std::map<std::string, DialogText> dialogTable_;  // keys folded to lower case
  std::optional<std::vector<std::string>> components_;
};

}  // namespace quillfen
