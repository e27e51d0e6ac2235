#include "app/MainMenu.h"

namespace quillfen::menu {

namespace {

const char* const kLanguageArray = "mnuLang";
const char* const kLanguageCaptions[] = {"Русский", "English"};

Item Entry(const MenuItem& item, const MenuItem& parent, MenuKind kind, const std::string& caption,
           bool offered = true) {
  return Item{MenuEntry{item, parent, kind, caption, offered}, item.name};
}

std::vector<Item> BuildItems() {
  std::vector<Item> items;
  items.push_back(Entry(Options, {}, MenuKind::Submenu, "Настройки"));
  items.push_back(Entry(Language, Options, MenuKind::Submenu, "Язык"));
  for (int index = kFirstLanguage; index <= kLastLanguage; ++index) {
    items.push_back(Entry(Lang(index), Language, MenuKind::Choice, kLanguageCaptions[index - kFirstLanguage]));
    items.back().control = kLanguageArray;
  }
  for (const OptionDefinition& option : kOptions)
    if (option.place == OptionPlace::OptionsMenu)
      items.push_back(Entry(ForOption(option.option), Options, MenuKind::Option, std::string(option.designCaption)));
  items.push_back(Entry(Testing, Options, MenuKind::Check, "Тестовый режим (Без перемещения файлов)"));
  // The diagnostic item exists in the design but is never offered.
  items.push_back(Entry(Test, Options, MenuKind::Command, "Тест", false));
  items.push_back(Entry(Help, {}, MenuKind::Submenu, "Справка"));
  items.push_back(Entry(About, Help, MenuKind::Command, "О программе..."));
  return items;
}

}  // namespace

MenuItem Lang(int index) { return MenuItem{std::string(kLanguageArray) + "(" + std::to_string(index) + ")"}; }

std::optional<int> LanguageIndexOf(const MenuItem& item) {
  for (int index = kFirstLanguage; index <= kLastLanguage; ++index)
    if (item == Lang(index)) return index;
  return std::nullopt;
}

MenuItem ForOption(Option option) { return MenuItem{std::string(DefinitionOf(option).control)}; }

std::optional<Option> OptionOf(const MenuItem& item) {
  for (const OptionDefinition& option : kOptions)
    if (option.place == OptionPlace::OptionsMenu && option.control == item.name) return option.option;
  return std::nullopt;
}

const std::vector<Item>& Items() {
  static const std::vector<Item> items = BuildItems();
  return items;
}

std::vector<MenuEntry> Entries() {
  std::vector<MenuEntry> entries;
  for (const Item& item : Items()) entries.push_back(item.entry);
  return entries;
}

}  // namespace quillfen::menu
