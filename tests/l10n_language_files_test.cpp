// The language files that ship with the program, each held to English:
// every text with the same placeholders, counts in plural forms its language
// has, the file's own name and locales, the desktop's texts; and start-up
// choosing among them by the user's locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/MainMenu.h"
#include "base/IniDocument.h"
#include "base/Utf8.h"
#include "localization/INI_File.h"
#include "localization/clsLanguageProvider.h"
#include "posix/PosixFileSystem.h"
#include "support/HostProcess.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::ReadFileAt;
using testing::TestProgram;

const std::string kLangFolder = QUILLFEN_SOURCE_DIR "/lang";
// The sections the program reads; [Desktop] is read by the build.
const char* const kProgramSections[] = {"Language", "Dialogs", "frmQuillfen"};

struct Shipped {
  std::string name;  // "German"
  IniDocument file;
  std::string Text(const std::string& section, const std::string& key) const {
    return file.Get(section, key).value_or("");
  }
};

std::vector<Shipped> ShippedLanguages() {
  std::vector<Shipped> languages;
  for (const auto& entry : std::filesystem::directory_iterator(kLangFolder))
    if (entry.path().extension() == ".ini")
      languages.push_back({entry.path().stem().string(), IniDocument::Parse(ReadFileAt(entry.path().string()))});
  std::sort(languages.begin(), languages.end(), [](const Shipped& a, const Shipped& b) { return a.name < b.name; });
  return languages;
}

const Shipped& English() {
  static const std::vector<Shipped> all = ShippedLanguages();
  return *std::find_if(all.begin(), all.end(), [](const Shipped& s) { return s.name == "English"; });
}

// The values a text takes: the numbers of its %n and of its {n ...}.
std::set<int> Placeholders(const std::string& text) {
  std::set<int> numbers;
  const auto digit = [&](std::size_t at) { return at < text.size() && text[at] >= '1' && text[at] <= '9'; };
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '%' && digit(at + 1)) numbers.insert(text[at + 1] - '0');
    if (text[at] != '{') continue;
    std::size_t next = text.find_first_not_of(' ', at + 1);
    if (!digit(next)) continue;
    const std::size_t after = text.find_first_not_of(' ', next + 1);
    if (after < text.size() && (text[after] == ',' || text[after] == '}')) numbers.insert(text[next] - '0');
  }
  return numbers;
}

// A locale name as the files write it: "de", "pt_BR".
bool LocaleName(const std::string& locale) {
  const auto letters = [&](std::size_t from, std::size_t to, char first, char last) {
    return std::all_of(locale.begin() + static_cast<long>(from), locale.begin() + static_cast<long>(to),
                       [&](char c) { return c >= first && c <= last; });
  };
  const std::size_t language = locale.find('_') == std::string::npos ? locale.size() : locale.find('_');
  if (language < 2 || language > 3 || !letters(0, language, 'a', 'z')) return false;
  return language == locale.size() || (locale.size() == language + 3 && letters(language + 1, locale.size(), 'A', 'Z'));
}

TEST(LanguageFilesTest, EnglishHasTheTextsThePlaceholdersAndTheKeysTheProgramUses) {
  const std::map<std::string, std::set<int>> filled = {
      {"no_space", {1, 2}},        {"operation_alert", {1, 2}},  {"too_long_filename", {1}}, {"same_names", {1}},
      {"move_failed", {1, 2}},     {"operation_failed", {1, 2}}, {"target_in_source", {1, 2}},
      {"operation_alert_days", {1, 2, 3}}, {"double_names_in", {1}}, {"moved_files", {1}}, {"about_program", {1}},
      {"left_on_card", {1}}, {"left_on_card_hint", {1}}, {"files_moved_not_empty", {1}}, {"left_pictures", {1}},
      {"left_raw", {1}}, {"left_videos", {1}}, {"left_sidecars", {1}}, {"left_other", {1}}, {"left_camera_own", {1}},
      {"left_hidden", {1}}, {"moved_files_shots", {1, 2}}, {"split_shots", {1, 2}}, {"shot_split", {1, 2}},
      {"backup_absent", {1}}, {"backup_drive_absent", {1, 2}}, {"backup_in_source", {1, 2}},
      {"backup_beside_target", {1, 2}}, {"no_space_backup", {1, 2, 3}}, {"target_failed", {1, 2, 3}},
      {"backup_failed", {1, 2, 3}}, {"backup_change", {1}}, {"checksum_list_failed", {1, 2}}, {"eject_failed", {1}},
      {"notify_moved", {1, 2}}, {"notify_stopped", {1, 2}}, {"argument_not_folder", {1}}};
  for (const std::string& key : clsLanguageProvider::DialogKeys()) {
    const auto wanted = filled.find(key);
    EXPECT_EQ(Placeholders(English().Text("Dialogs", key)), wanted == filled.end() ? std::set<int>{} : wanted->second)
        << key;
  }
  // The window's caption, its label, every item of its menu bar but the
  // languages (which keep their own names) and the movie's components.
  std::vector<std::string> keys = {"Caption", "lblFirst", "chkAutorun:tooltip"};
  for (const menu::Item& item : menu::Items({})) keys.push_back(item.control);
  for (const char* component : {"cmbSource", "cmbTarget", "cmdBrowseSource", "cmdBrowseTarget", "lblSource",
                                "lblTarget", "chkAutomoving", "chkAutorun", "chkAutoRename", "chkSubfolder",
                                "cmdMove", "cmdPause", "cmdCancel", "progress"})
    keys.emplace_back(component);
  for (const std::string& key : keys) EXPECT_NE(English().Text("frmQuillfen", key), "") << key;
  EXPECT_EQ(Placeholders(English().Text("frmQuillfen", "chkSubfolder")), std::set<int>{1});
}

TEST(LanguageFilesTest, EveryFileHasEveryEnglishTextWithItsPlaceholders) {
  for (const Shipped& language : ShippedLanguages()) {
    for (const char* section : {"Dialogs", "frmQuillfen"}) {
      for (const std::string& key : English().file.Keys(section)) {
        const std::string text = language.Text(section, key);
        EXPECT_NE(text, "") << language.name << " lacks " << section << "/" << key;
        EXPECT_EQ(Placeholders(text), Placeholders(English().Text(section, key)))
            << language.name << " " << key << ": " << text;
      }
      for (const std::string& key : language.file.Keys(section))
        EXPECT_TRUE(English().file.Get(section, key)) << language.name << " has " << key << ", which English has not";
    }
  }
}

TEST(LanguageFilesTest, EveryFileLoadsWithoutAMessageAndItsCountsHaveTheLanguagesForms) {
  for (const Shipped& shipped : ShippedLanguages()) {
    TestProgram program;
    program.system.programFolder = kLangFolder;
    clsLanguageProvider& language = program.Module().objLanguageProvider();
    ASSERT_TRUE(language.LoadLanguage(Variant(shipped.name))) << shipped.name;
    EXPECT_TRUE(program.log.Matching("box ").empty()) << shipped.name;
    const std::string locale = language.Languages()[static_cast<std::size_t>(language.LanguageIndex() - 1)].Locale();
    for (const std::string& key : clsLanguageProvider::DialogKeys()) {
      EXPECT_EQ(language.GetDialog(key).find("<value for"), std::string::npos) << shipped.name << " " << key;
      const std::string text = shipped.Text("Dialogs", key);
      EXPECT_EQ(PatternProblem(text, locale), "") << shipped.name << " " << key << ": " << text;
    }
    EXPECT_EQ(language.GetDialog("quillfen_id"), "Quillfen") << shipped.name;
  }
}

TEST(LanguageFilesTest, EveryFileNamesItsLanguageAndLocalesOnce) {
  std::map<std::string, std::string> servedBy, namedBy;
  for (const Shipped& language : ShippedLanguages()) {
    const std::string name = language.Text("Language", "Name");
    EXPECT_NE(name, "") << language.name;
    EXPECT_TRUE(namedBy.emplace(name, language.name).second) << name << " twice";
    const std::string direction = language.Text("Language", "Direction");
    EXPECT_TRUE(direction == "ltr" || direction == "rtl") << language.name << ": " << direction;
    std::istringstream locales(language.Text("Language", "Locales"));
    int count = 0;
    for (std::string locale; locales >> locale; ++count) {
      EXPECT_TRUE(LocaleName(locale)) << language.name << ": " << locale;
      EXPECT_TRUE(servedBy.emplace(locale, language.name).second) << locale << " served twice";
    }
    EXPECT_GT(count, 0) << language.name;
  }
  EXPECT_EQ(English().Text("Language", "Locales"), "en");
}

TEST(LanguageFilesTest, FilesAreUtf8AndNoTextIsCut) {
  for (const Shipped& language : ShippedLanguages()) {
    const std::string path = kLangFolder + "/" + language.name + ".ini";
    EXPECT_TRUE(IsValidUtf8(ReadFileAt(path))) << language.name;
    PosixFileSystem files;
    INI_File ini(files);
    ini.File(path);
    for (const char* section : kProgramSections)
      for (const std::string& key : language.file.Keys(section))
        EXPECT_EQ(ini.GetKeyStr(key, section), language.Text(section, key)) << language.name << " " << key;
  }
}

// The paragraphs of the software centre's description in English.
int DescriptionParagraphs() {
  const std::string metainfo = ReadFileAt(QUILLFEN_SOURCE_DIR "/packaging/quillfen.metainfo.xml.in");
  const auto start = metainfo.find("<description>");
  const std::string description = metainfo.substr(start, metainfo.find("</description>", start) - start);
  int count = 0;
  for (auto at = description.find("<p>"); at != std::string::npos; at = description.find("<p>", at + 1)) ++count;
  return count;
}

TEST(LanguageFilesTest, EveryOtherFileTranslatesTheDesktopEntryAndTheSoftwareCentre) {
  std::vector<std::string> keys = {"Name", "GenericName", "Comment", "Keywords", "Summary"};
  for (int n = 1; n <= DescriptionParagraphs(); ++n) keys.push_back("Description" + std::to_string(n));
  for (const Shipped& language : ShippedLanguages()) {
    if (language.name == "English") continue;  // its texts are those of packaging/
    for (const std::string& key : keys) EXPECT_NE(language.Text("Desktop", key), "") << language.name << " " << key;
    EXPECT_EQ(language.file.Keys("Desktop").size(), keys.size()) << language.name;
    const std::string keywords = language.Text("Desktop", "Keywords");
    EXPECT_TRUE(!keywords.empty() && keywords.back() == ';') << language.name << ": " << keywords;
  }
}

// Start-up of the real headless host under each locale: the language it
// checks in the menu is named by its own name.
TEST(LanguageFilesTest, StartUpTakesTheLanguageOfTheUsersLocale) {
  std::map<std::string, std::string> ownName;
  for (const Shipped& language : ShippedLanguages()) ownName[language.name] = language.Text("Language", "Name");
  struct Case {
    std::vector<std::string> locale;
    const char* language;
  };
  const Case cases[] = {
      {{"LANG=de_DE.UTF-8"}, "German"},
      {{"LANG=pt_BR.UTF-8"}, "Portuguese-Brazil"},
      {{"LANG=pt_PT.UTF-8"}, "Portuguese-Brazil"},
      {{"LANG=zh_CN.UTF-8"}, "Chinese-Simplified"},
      {{"LANG=ru_UA.UTF-8"}, "Russian"},
      {{"LANG=uk_UA.UTF-8", "LC_MESSAGES=ar_EG.UTF-8"}, "Arabic"},
      {{"LANG=fr_FR.UTF-8", "LC_ALL=ja_JP.UTF-8"}, "Japanese"},
      {{"LANG=C"}, "English"},
      {{"LANG=kl_GL.UTF-8"}, "English"},
      {{"LANG=ru_RU.UTF-8", "LANGUAGE=tlh:nl:de"}, "Dutch"},
  };
  const std::string transcript = "wait 1\n";
  for (const Case& c : cases) {
    testing::HostSandbox sandbox;
    sandbox.Locale(c.locale);
    const testing::HostRun run = sandbox.Run(transcript);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<std::string> checked = run.Matching("menu mnuLang(");
    ASSERT_EQ(checked.size(), 1u) << run.Log();
    EXPECT_NE(checked[0].find(" checked=1 enabled=1 caption=" + ownName.at(c.language)), std::string::npos)
        << ::testing::PrintToString(c.locale) << ": " << checked[0];
  }
}

}  // namespace
}  // namespace quillfen
