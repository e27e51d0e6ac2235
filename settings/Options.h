#pragma once
// The user's options, each declared once: the key it is stored under, its
// default, where the user sets it, the text key of its caption and the
// option it needs. The settings, the main window and its menus are all made
// from this table, so a new option is one row here, its texts in the
// language files, and the code that uses it.
#include <cstddef>
#include <optional>
#include <string_view>

namespace quillfen {

enum class Option {
  Automoving,
  Autorun,
  AutoRename,
  Subfolder,
  AllCameraFiles,
  DateTakenFolders,
  ChecksumList,
  EjectCard,
};

enum class OptionPlace {
  MovieCheckBox,  // a check box of the movie
  OptionsMenu,    // a check item of the Options menu
};

struct OptionDefinition {
  Option option;
  // The key in the settings, and the name the movie reports a change by.
  std::string_view key;
  bool byDefault;
  OptionPlace place;
  // The check box or menu item; its caption and tooltip are the texts of
  // this key (and "<control>:tooltip") in the main window's section.
  std::string_view control;
  // A menu item's caption until a language file gives it one.
  std::string_view designCaption;
  // The option takes effect only while this one is on too.
  std::optional<Option> needs;
};

// In the order the movie's check boxes are shown their values and the menu
// lists its items.
inline constexpr OptionDefinition kOptions[] = {
    {Option::Automoving, "Automoving", false, OptionPlace::MovieCheckBox, "chkAutomoving", "", std::nullopt},
    {Option::Autorun, "Autorun", false, OptionPlace::MovieCheckBox, "chkAutorun", "", std::nullopt},
    {Option::AutoRename, "AutoRename", true, OptionPlace::MovieCheckBox, "chkAutoRename", "", std::nullopt},
    {Option::Subfolder, "Subfolder", false, OptionPlace::MovieCheckBox, "chkSubfolder", "", std::nullopt},
    {Option::AllCameraFiles, "AllCameraFiles", false, OptionPlace::OptionsMenu, "mnuAllCameraFiles",
     "Перемещать все файлы камеры (RAW, видео...)", std::nullopt},
    {Option::DateTakenFolders, "DateTakenFolders", false, OptionPlace::OptionsMenu, "mnuDateTakenFolders",
     "Папки дней по дате съёмки", Option::Subfolder},
    {Option::ChecksumList, "ChecksumList", false, OptionPlace::OptionsMenu, "mnuChecksumList",
     "Список контрольных сумм", std::nullopt},
    {Option::EjectCard, "EjectCard", false, OptionPlace::OptionsMenu, "mnuEjectCard",
     "Извлекать пустую карту", std::nullopt},
};
inline constexpr std::size_t kOptionCount = std::size(kOptions);

// Each row sits at its option's place, so an option finds its row at once.
constexpr bool OptionsInOrder() {
  for (std::size_t i = 0; i < kOptionCount; ++i)
    if (static_cast<std::size_t>(kOptions[i].option) != i) return false;
  return true;
}
static_assert(OptionsInOrder(), "kOptions lists the options in the order of the enum");

inline constexpr const OptionDefinition& DefinitionOf(Option option) {
  return kOptions[static_cast<std::size_t>(option)];
}

// The option stored under exactly this key (letter case counts); none for any other.
inline std::optional<Option> OptionWithKey(std::string_view key) {
  for (const OptionDefinition& definition : kOptions)
    if (definition.key == key) return definition.option;
  return std::nullopt;
}

}  // namespace quillfen
