#pragma once
// Chooses and loads the interface language and gives every text of it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Variant.h"
#include "localization/INI_File.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"

namespace quillfen {

class TranslatableWindow;

class clsLanguageProvider {
 public:
  // settings: where the chosen language is stored; system: the program folder
  // (the language files lie there), the user's language and today's date;
  // window: the boxes about a missing file or text; files: reads the files.
  clsLanguageProvider(const SettingsStore& settings, const SystemInfo& system, WindowSystem& window,
                      FileSystem& files);

  // language: empty (omitted: the stored or the user's language), a language
  // name, or a language number (1 Russian, 2 English). True when loaded.
  bool LoadLanguage(const Variant& language = Variant());
  const std::string& Language() const { return language_; }
  // The number of the current language; throws std::out_of_range when it is
  // none of the known ones.
  std::int32_t LanguageIndex() const;

  void LoadLanguageStrings(TranslatableWindow& window);
  void ComponentsStrings(const std::vector<std::string>& components);
  // The caption of each component asked for, each followed by its tooltip
  // ("<name>:tooltip") where it has one. Throws std::logic_error before any
  // component list was stored.
  Collection TranslateComponents() const;
  // The dialog text with %1, %2, ... replaced; the marker
  // <value for "key" is absent> when there is no text.
  std::string GetDialog(const std::string& key, const std::vector<std::string>& values = {}) const;

  // The fixed dialog keys, in load order.
  static const std::vector<std::string>& DialogKeys();

 private:
  // The language name `language` stands for; empty when it names none. Throws
  // std::out_of_range for a number that is not a known language's.
  std::string ChooseLanguage(const Variant& language) const;
  void LoadDialogStrings();
  const SettingsStore& settings_;
  const SystemInfo& system_;
  WindowSystem& window_;
  FileSystem& files_;
  std::string language_;
  INI_File languageFile_;
  bool haveTable_ = false;
  std::map<std::string, std::string> dialogTable_;  // keys folded to lower case
  std::optional<std::vector<std::string>> components_;
};

}  // namespace quillfen
