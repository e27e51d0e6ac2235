#include "localization/clsLanguageProvider.h"

#include <stdexcept>

#include "base/AppNames.h"
#include "base/DayStamp.h"
#include "base/NoCase.h"
#include "base/PathParts.h"
#include "localization/TranslatableWindow.h"

namespace quillfen {

namespace {

struct KnownLanguage {
  std::int32_t number;
  const char* name;
};
constexpr KnownLanguage kKnownLanguages[] = {{1, "Russian"}, {2, "English"}};

constexpr int kRussianLanguageId = 1049;
const char* const kDialogsSection = "Dialogs";
// The movie's components are always looked up in the main window's section.
const char* const kComponentsSection = "frmQuillfen";

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  if (what.empty()) return;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

// The two characters backslash and n in a language file stand for a line break.
std::string WithLineBreaks(std::string text) {
  ReplaceAll(text, "\\n", "\r\n");
  return text;
}

std::string FoldKey(std::string key) {
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

}  // namespace

clsLanguageProvider::clsLanguageProvider(const SettingsStore& settings, const SystemInfo& system, WindowSystem& window,
                                         FileSystem& files)
    : settings_(settings), system_(system), window_(window), files_(files), languageFile_(files) {}

const std::vector<std::string>& clsLanguageProvider::DialogKeys() {
  static const std::vector<std::string> keys = {
      "targetDirAbsent", "sourceDirAbsent", "targetMoving", "sourceMoving", "pause", "resume",
      "quillfen_title", "quillfen_action_title", "browse_source_dialog", "browse_target_dialog",
      "source_undefined", "about_program", "version", "warning", "warning2", "swf_error", "loading_error",
      "description", "source_checking", "target_checking", "double_names", "double_names_caption",
      "empty_source", "empty_source_caption", "no_space", "no_space_caption", "operation_alert",
      "files_moving", "too_long_filename", "same_names", "same_names_caption", "checking", "moving_files",
      "moving_file", "moved_files", "files_moved", "quillfen_id", "move_failed", "operation_failed",
      "target_in_source", "copy_differs", "source_changed", "gnome_autorun_never", "operation_alert_days",
      "double_names_in", "camera_files_left", "xfce_automount_off", "argument_not_folder"};
  return keys;
}

std::string clsLanguageProvider::ChooseLanguage(const Variant& language) const {
  if (language.IsEmpty()) {
    std::string stored = settings_.GetSetting(kSettingsApp, kSettingsSection, "Language", "");
    if (!stored.empty()) return stored;
    return system_.UserLanguageId() == kRussianLanguageId ? "Russian" : "English";
  }
  if (const auto* name = std::get_if<std::string>(&language.value)) return *name;
  if (const auto* number = std::get_if<std::int64_t>(&language.value)) {
    for (const KnownLanguage& known : kKnownLanguages)
      if (known.number == *number) return known.name;
    throw std::out_of_range("no language number " + std::to_string(*number));
  }
  return {};
}

bool clsLanguageProvider::LoadLanguage(const Variant& language) {
  language_.clear();
  language_ = ChooseLanguage(language);
  if (language_.empty()) return false;

  std::string fileName = language_ + ".ini";
  // A name with a separator or a NUL cannot name a file of the program folder.
  bool plainName = language_.find_first_of(std::string("/\0", 2)) == std::string::npos;
  std::string path = BuildPath(system_.ProgramFolder(), fileName);
  if (plainName && files_.FileExists(path)) {
    languageFile_.File(path);
    LoadDialogStrings();
    return true;
  }
  window_.MessageBox("Can't find language file: " + fileName, "Error loading language file", BoxIcon::Information,
                     BoxButtons::OK);
  return false;
}

std::int32_t clsLanguageProvider::LanguageIndex() const {
  for (const KnownLanguage& language : kKnownLanguages)
    if (EqualsNoCase(language_, language.name)) return language.number;
  throw std::out_of_range("\"" + language_ + "\" is not a known language");
}

void clsLanguageProvider::LoadDialogStrings() {
  dialogTable_.clear();
  haveTable_ = true;
  for (const std::string& key : DialogKeys()) {
    std::string text = languageFile_.GetKeyStr(key, kDialogsSection);
    if (!text.empty()) {
      dialogTable_[FoldKey(key)] = WithLineBreaks(std::move(text));
      continue;
    }
    window_.MessageBox("Dialog string " + key + " not found.", "Error in ini file", BoxIcon::Information,
                       BoxButtons::OK);
  }
}

void clsLanguageProvider::LoadLanguageStrings(TranslatableWindow& window) {
  const std::string section = window.Name();
  std::string caption = languageFile_.GetKeyStr("Caption", section);
  if (!caption.empty()) window.SetCaption(caption);
  for (const std::string& control : window.ControlNames()) {
    std::string text = languageFile_.GetKeyStr(control, section);
    if (!text.empty()) window.SetControlCaption(control, WithLineBreaks(std::move(text)));
    std::string tooltip = languageFile_.GetKeyStr(control + ":tooltip", section);
    if (!tooltip.empty()) window.SetControlTooltip(control, tooltip);
  }
}

void clsLanguageProvider::ComponentsStrings(const std::vector<std::string>& components) { components_ = components; }

Collection clsLanguageProvider::TranslateComponents() const {
  if (!components_) throw std::logic_error("no movie components to translate yet");
  Collection result;
  for (const std::string& name : *components_) {
    std::string text = languageFile_.GetKeyStr(name, kComponentsSection);
    if (text.empty()) continue;
    if (name == "chkSubfolder") ReplaceAll(text, "%1", DayStamp(system_.Today()));
    result.emplace_back(name, Variant(std::move(text)));
    // The tooltip follows its caption, as "<name>:tooltip".
    std::string tooltip = languageFile_.GetKeyStr(name + ":tooltip", kComponentsSection);
    if (!tooltip.empty()) result.emplace_back(name + ":tooltip", Variant(std::move(tooltip)));
  }
  return result;
}

std::string clsLanguageProvider::GetDialog(const std::string& key, const std::vector<std::string>& values) const {
  auto found = haveTable_ ? dialogTable_.find(FoldKey(key)) : dialogTable_.end();
  if (found == dialogTable_.end()) return "<value for \"" + key + "\" is absent>";
  std::string text = found->second;
  for (std::size_t i = 0; i < values.size(); ++i) ReplaceAll(text, "%" + std::to_string(i + 1), values[i]);
  return text;
}

}  // namespace quillfen
