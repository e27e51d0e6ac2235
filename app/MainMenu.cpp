#include "app/MainMenu.h"

#include <charconv>

namespace quillfen::menu {

namespace {

const char* const kLanguageArray = "mnuLang";

Item Entry(const MenuItem& item, const MenuItem& parent, MenuKind kind, const std::string& caption,
           bool offered = true) {
  return Item{MenuEntry{item, parent, kind, caption, offered}, item.name};
}

}  // namespace

std::vector<Item> Items(const std::vector<std::string>& languages) {
  std::vector<Item> items;
  items.push_back(Entry(Options, {}, MenuKind::Submenu, "Настройки"));
  items.push_back(Entry(Language, Options, MenuKind::Submenu, "Язык"));
  for (std::size_t i = 0; i < languages.size(); ++i) {
    items.push_back(Entry(Lang(static_cast<int>(i) + 1), Language, MenuKind::Choice, languages[i]));
    items.back().control = kLanguageArray;
  }
  for (const OptionDefinition& option : kOptions)
    if (option.place == OptionPlace::OptionsMenu)
      items.push_back(Entry(ForOption(option.option), Options, MenuKind::Option, std::string(option.designCaption)));
  items.push_back(Entry(BackupTarget, Options, MenuKind::Option, "Вторая копия в резервной папке..."));
  items.push_back(Entry(Testing, Options, MenuKind::Check, "Тестовый режим (Без перемещения файлов)"));
  // The diagnostic item exists in the design but is never offered.
  items.push_back(Entry(Test, Options, MenuKind::Command, "Тест", false));
  items.push_back(Entry(Help, {}, MenuKind::Submenu, "Справка"));
  items.push_back(Entry(About, Help, MenuKind::Command, "О программе..."));
  return items;
}

MenuItem Lang(int index) { return MenuItem{std::string(kLanguageArray) + "(" + std::to_string(index) + ")"}; }

std::optional<int> LanguageIndexOf(const MenuItem& item) {
  const std::string prefix = std::string(kLanguageArray) + "(";
  const std::string& name = item.name;
  if (name.rfind(prefix, 0) != 0 || name.back() != ')') return std::nullopt;
  int index = 0;
  const char* last = name.data() + name.size() - 1;
  const auto [end, error] = std::from_chars(name.data() + prefix.size(), last, index);
  if (error != std::errc() || end != last || index < 1) return std::nullopt;
  return index;
}

MenuItem ForOption(Option option) { return MenuItem{std::string(DefinitionOf(option).control)}; }

std::optional<Option> OptionOf(const MenuItem& item) {
  for (const OptionDefinition& option : kOptions)
    if (option.place == OptionPlace::OptionsMenu && option.control == item.name) return option.option;
  return std::nullopt;
}

std::vector<MenuEntry> Entries(const std::vector<Item>& items) {
  std::vector<MenuEntry> entries;
  for (const Item& item : items) entries.push_back(item.entry);
  return entries;
}

}  // namespace quillfen::menu
