#include "localization/clsLanguageProvider.h"

#include <stdexcept>

#include "base/AppNames.h"
#include "base/DayStamp.h"
#include "base/NoCase.h"
#include "base/PathParts.h"
#include "localization/TranslatableWindow.h"

namespace quillfen {

namespace {

const char* const kEnglish = "English";
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
    : settings_(settings), system_(system), window_(window), files_(files), languageFile_(files), englishFile_(files) {}

const std::vector<LanguageFile>& clsLanguageProvider::Languages() const {
  if (!languages_) languages_ = FindLanguages(files_, system_.ProgramFolder());
  return *languages_;
}

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
      "double_names_in", "left_on_card", "left_on_card_hint", "files_moved_not_empty", "left_pictures", "left_raw",
      "left_videos", "left_sidecars", "left_other", "left_camera_own", "left_hidden", "moved_files_shots", "split_shots",
      "split_shots_caption", "split_take", "split_always", "split_pictures_only", "shot_split", "button_ok",
      "button_cancel", "button_retry", "button_select", "backup_absent", "backup_drive_absent", "backup_in_source",
      "backup_beside_target", "no_space_backup", "target_failed", "backup_failed", "backup_dialog", "backup_change",
      "backup_choose", "backup_off", "checksum_list_failed", "files_moved_ejected", "eject_failed", "notify_moved",
      "notify_stopped", "notify_card_removable", "notify_card_mounted", "xfce_automount_off",
      "argument_not_folder"};
  return keys;
}

std::string clsLanguageProvider::ChooseLanguage(const Variant& language) const {
  if (language.IsEmpty()) {
    std::string stored = settings_.GetSetting(kSettingsApp, kSettingsSection, "Language", "");
    if (!stored.empty()) return stored;
    return MatchLanguage(Languages(), system_.LocalePreferences());
  }
  if (const auto* name = std::get_if<std::string>(&language.value)) return *name;
  if (const auto* number = std::get_if<std::int64_t>(&language.value)) {
    const std::vector<LanguageFile>& languages = Languages();
    if (*number >= 1 && static_cast<std::size_t>(*number) <= languages.size())
      return languages[static_cast<std::size_t>(*number - 1)].name;
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
  const std::string folder = system_.ProgramFolder();
  std::string path = BuildPath(folder, fileName);
  if (plainName && files_.FileExists(path)) {
    loaded_ = ReadLanguageFile(files_, folder, language_);
    rightToLeft_ = WrittenRightToLeft(loaded_.Locale());
    languageFile_.File(path);
    englishFile_.File(language_ == kEnglish ? std::string() : BuildPath(folder, std::string(kEnglish) + ".ini"));
    LoadDialogStrings();
    TellWindowSystem();
    return true;
  }
  window_.MessageBox("Can't find language file: " + fileName, "Error loading language file", BoxIcon::Information,
                     BoxButtons::OK);
  return false;
}

std::int32_t clsLanguageProvider::LanguageIndex() const {
  const std::vector<LanguageFile>& languages = Languages();
  for (std::size_t i = 0; i < languages.size(); ++i)
    if (EqualsNoCase(language_, languages[i].name)) return static_cast<std::int32_t>(i + 1);
  throw std::out_of_range("\"" + language_ + "\" is not a known language");
}

clsLanguageProvider::DialogText clsLanguageProvider::Text(const std::string& key, const std::string& section) const {
  std::string own = languageFile_.GetKeyStr(key, section);
  if (!own.empty() && CanFormat(own)) return {std::move(own), loaded_.Locale()};
  std::string english = englishFile_.GetKeyStr(key, section);
  if (!english.empty()) return {std::move(english), "en"};
  return {std::move(own), loaded_.Locale()};
}

void clsLanguageProvider::LoadDialogStrings() {
  dialogTable_.clear();
  haveTable_ = true;
  for (const std::string& key : DialogKeys()) {
    DialogText text = Text(key, kDialogsSection);
    if (!text.text.empty()) {
      text.text = WithLineBreaks(std::move(text.text));
      dialogTable_[FoldKey(key)] = std::move(text);
      continue;
    }
    window_.MessageBox("Dialog string " + key + " not found.", "Error in ini file", BoxIcon::Information,
                       BoxButtons::OK);
  }
}

void clsLanguageProvider::TellWindowSystem() {
  WindowLanguage language;
  auto take = [this](const char* key, std::string& caption) {
    const auto found = dialogTable_.find(FoldKey(key));
    if (found != dialogTable_.end()) caption = found->second.text;
  };
  take("button_ok", language.ok);
  take("button_cancel", language.cancel);
  take("button_retry", language.retry);
  take("button_select", language.select);
  language.rightToLeft = loaded_.rightToLeft;
  window_.SetLanguage(language);
}

void clsLanguageProvider::LoadLanguageStrings(TranslatableWindow& window) {
  const std::string section = window.Name();
  std::string caption = Text("Caption", section).text;
  if (!caption.empty()) window.SetCaption(caption);
  for (const std::string& control : window.ControlNames()) {
    std::string text = Text(control, section).text;
    if (!text.empty()) window.SetControlCaption(control, WithLineBreaks(std::move(text)));
    std::string tooltip = Text(control + ":tooltip", section).text;
    if (!tooltip.empty()) window.SetControlTooltip(control, tooltip);
  }
}

void clsLanguageProvider::ComponentsStrings(const std::vector<std::string>& components) { components_ = components; }

Collection clsLanguageProvider::TranslateComponents() const {
  if (!components_) throw std::logic_error("no movie components to translate yet");
  Collection result;
  for (const std::string& name : *components_) {
    std::string text = name == "lang"  ? loaded_.Tag()
                       : name == "dir" ? std::string(loaded_.rightToLeft ? "rtl" : "ltr")
                                       : Text(name, kComponentsSection).text;
    if (text.empty()) continue;
    if (name == "chkSubfolder") ReplaceAll(text, "%1", DayStamp(system_.Today()));
    result.emplace_back(name, Variant(std::move(text)));
    // The tooltip follows its caption, as "<name>:tooltip".
    std::string tooltip = languageFile_.GetKeyStr(name + ":tooltip", kComponentsSection);
    if (!tooltip.empty()) result.emplace_back(name + ":tooltip", Variant(std::move(tooltip)));
  }
  return result;
}

std::string clsLanguageProvider::GetDialog(const std::string& key, const std::vector<TextValue>& values) const {
  auto found = haveTable_ ? dialogTable_.find(FoldKey(key)) : dialogTable_.end();
  if (found == dialogTable_.end()) return "<value for \"" + key + "\" is absent>";
  return FormatText(found->second.text, values, found->second.locale);
}

}  // namespace quillfen
