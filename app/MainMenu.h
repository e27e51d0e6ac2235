#pragma once
// The main window's menu bar, declared once: each item's name, its place,
// its kind and the caption built into the window. The option items come
// from the option table, the language items from the language files. The
// window system builds the bar from these entries; the main window
// translates them by their control names.
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"
#include "settings/Options.h"

namespace quillfen::menu {

inline const MenuItem Options{"mnuOptions"};
inline const MenuItem Language{"mnuLanguage"};
// A check item: marked while a backup folder is set; choosing it picks the
// folder, or stops the second copies.
inline const MenuItem BackupTarget{"mnuBackupTarget"};
inline const MenuItem Testing{"mnuTesting"};
inline const MenuItem Test{"mnuTest"};
inline const MenuItem Help{"mnuHelp"};
inline const MenuItem About{"mnuAbout"};

// The language items form one array, numbered from 1 in the order of the
// program's languages: "mnuLang(1)" is Russian, "mnuLang(2)" English.
MenuItem Lang(int index);
// The number of a language item, whatever the number of languages.
std::optional<int> LanguageIndexOf(const MenuItem& item);

MenuItem ForOption(Option option);
std::optional<Option> OptionOf(const MenuItem& item);

// One entry of the menu bar with the control name its texts are kept
// under in the language files (every language item under "mnuLang").
struct Item {
  MenuEntry entry;
  std::string control;
};
// Every item, in the order of the menu bar, with one language item for
// each of `languages`, captioned with its own name.
std::vector<Item> Items(const std::vector<std::string>& languages);
std::vector<MenuEntry> Entries(const std::vector<Item>& items);

}  // namespace quillfen::menu
