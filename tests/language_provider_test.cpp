#include "localization/clsLanguageProvider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "base/NoCase.h"
#include "localization/TranslatableWindow.h"
#include "memory/MemoryFileSystem.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::TempDir;
using testing::TestProgram;

// Every dialog key with a text naming it, as a complete [Dialogs] section.
std::string DialogsSection(const std::vector<std::string>& leaveOut = {},
                           const std::map<std::string, std::string>& texts = {}) {
  std::string section = "[Dialogs]\n";
  for (const std::string& key : clsLanguageProvider::DialogKeys()) {
    if (std::find(leaveOut.begin(), leaveOut.end(), key) != leaveOut.end()) continue;
    auto text = texts.find(key);
    section += key + "=" + (text == texts.end() ? "text of " + key : text->second) + "\n";
  }
  return section;
}

// A program whose folder holds the language files a test writes.
struct LanguageFixture : ::testing::Test {
  TempDir folder;
  TestProgram program;
  LanguageFixture() { program.system.programFolder = folder.path(); }
  clsLanguageProvider& Language() { return program.Module().objLanguageProvider(); }
  std::vector<std::string> Boxes() const { return program.log.Matching("box "); }
};

TEST_F(LanguageFixture, StoredSettingBeatsTheUsersLanguage) {
  folder.Write("Russian.ini", DialogsSection());
  folder.Write("English.ini", DialogsSection());
  program.system.localePreferences = {"ru_RU.UTF-8"};
  program.settings.SaveSetting("Quillfen", "Settings", "Language", "English");
  ASSERT_TRUE(Language().LoadLanguage());
  EXPECT_EQ(Language().Language(), "English");
  EXPECT_EQ(Language().LanguageIndex(), 2);
  EXPECT_TRUE(Boxes().empty());
}


TEST_F(LanguageFixture, NumberAndNameLoadTheSameFile) {
  folder.Write("English.ini", DialogsSection({}, {{"pause", "Pause"}}));
  folder.Write("Russian.ini", DialogsSection({}, {{"pause", "Пауза"}}));
  ASSERT_TRUE(Language().LoadLanguage(Variant(2)));
  EXPECT_EQ(Language().Language(), "English");
  EXPECT_EQ(Language().GetDialog("pause"), "Pause");
  ASSERT_TRUE(Language().LoadLanguage(Variant(std::int16_t{1})));
  EXPECT_EQ(Language().GetDialog("pause"), "Пауза");
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  EXPECT_EQ(Language().Language(), "English");
  EXPECT_EQ(Language().GetDialog("pause"), "Pause");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LanguageFixture, ValuesOfNoLanguageFailQuietlyOrLoudly) {
  folder.Write("English.ini", DialogsSection());
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  EXPECT_FALSE(Language().LoadLanguage(Variant(2.0)));
  EXPECT_EQ(Language().Language(), "");
  EXPECT_FALSE(Language().LoadLanguage(Variant(true)));
  EXPECT_FALSE(Language().LoadLanguage(Variant("")));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_THROW(Language().LanguageIndex(), std::out_of_range);
  EXPECT_THROW(Language().LoadLanguage(Variant(3)), std::out_of_range);
  EXPECT_THROW(Language().LoadLanguage(Variant(0)), std::out_of_range);
  EXPECT_EQ(Language().Language(), "");
  // The table of the last language that loaded stays in use.
  EXPECT_EQ(Language().GetDialog("pause"), "text of pause");
}

TEST_F(LanguageFixture, LanguageFileAddedAfterStartLoadsButHasNoNumber) {
  folder.Write("English.ini", DialogsSection());
  ASSERT_EQ(Language().Languages().size(), 2u) << "the menu was built with Russian and English";
  folder.Write("Deutsch.ini", DialogsSection());
  ASSERT_TRUE(Language().LoadLanguage(Variant("Deutsch")));
  EXPECT_EQ(Language().GetDialog("resume"), "text of resume");
  EXPECT_THROW(Language().LanguageIndex(), std::out_of_range);
}

TEST_F(LanguageFixture, MissingFileIsReportedByItsName) {
  EXPECT_FALSE(Language().LoadLanguage());
  EXPECT_EQ(Language().Language(), "English");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"box information OK title=Error loading language file "
                                              "text=Can't find language file: English.ini -> OK"});
  EXPECT_EQ(Language().GetDialog("pause"), "<value for \"pause\" is absent>");
}

TEST_F(LanguageFixture, FailedLoadKeepsThePreviousTexts) {
  folder.Write("English.ini", DialogsSection({}, {{"pause", "Pause"}}));
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  EXPECT_FALSE(Language().LoadLanguage(Variant(1)));
  EXPECT_EQ(Language().Language(), "Russian");
  EXPECT_EQ(Language().GetDialog("pause"), "Pause");
  EXPECT_EQ(program.log.Matching("box ").size(), 1u);
}

TEST_F(LanguageFixture, NameThatLeavesTheProgramFolderIsNotLoaded) {
  TempDir elsewhere;
  elsewhere.Write("Evil.ini", DialogsSection());
  std::string name = "../" + elsewhere.path().substr(elsewhere.path().rfind('/') + 1) + "/Evil";
  EXPECT_FALSE(Language().LoadLanguage(Variant(name)));
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Language().GetDialog("pause"), "<value for \"pause\" is absent>");
}

TEST_F(LanguageFixture, MissingKeysAreReportedOneByOneAndTheRestLoads) {
  folder.Write("English.ini", DialogsSection({"resume", "pause", "move_failed"},
                                             {{"targetDirAbsent", "No\\nfolder"}, {"quillfen_id", "   "}}));
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  auto box = [](const std::string& key) {
    return "box information OK title=Error in ini file text=Dialog string " + key + " not found. -> OK";
  };
  EXPECT_EQ(Boxes(), (std::vector<std::string>{box("pause"), box("resume"), box("quillfen_id"), box("move_failed")}));
  EXPECT_EQ(Language().GetDialog("targetDirAbsent"), "No\r\nfolder");
  EXPECT_EQ(Language().GetDialog("operation_failed"), "text of operation_failed");
  EXPECT_EQ(Language().GetDialog("pause"), "<value for \"pause\" is absent>");
}

TEST_F(LanguageFixture, EveryDialogKeyIsLoadedOnce) {
  const auto& keys = clsLanguageProvider::DialogKeys();
  std::set<std::string> folded;
  for (const std::string& key : keys) EXPECT_TRUE(folded.insert(FoldNoCase(key)).second) << key << " twice";
  EXPECT_EQ(keys.front(), "targetDirAbsent") << "the boxes about missing texts come in the files' order";
  for (const char* used : {"move_failed", "operation_failed", "quillfen_id", "files_moved", "no_space"})
    EXPECT_TRUE(folded.count(used)) << used;
}

TEST_F(LanguageFixture, GetDialogFillsPlaceholdersInOrder) {
  EXPECT_EQ(Language().GetDialog("pause"), "<value for \"pause\" is absent>");
  folder.Write("English.ini", DialogsSection({}, {{"version", "Version"},
                                                  {"no_space", "Need %1 MB, free %2 MB (%1)"},
                                                  {"operation_alert", "from %1 to %2"}}));
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  EXPECT_EQ(Language().GetDialog("Version"), "Version");
  EXPECT_EQ(Language().GetDialog("NO_SPACE", {"120", "80"}), "Need 120 MB, free 80 MB (120)");
  EXPECT_EQ(Language().GetDialog("no_space", {"120"}), "Need 120 MB, free %2 MB (120)");
  EXPECT_EQ(Language().GetDialog("operation_alert", {"a%2b", "X"}), "from aXb to X");
  EXPECT_EQ(Language().GetDialog("operation_alert", {"%1", "%2"}), "from %1 to %2");
  EXPECT_EQ(Language().GetDialog("no_such_key", {"x"}), "<value for \"no_such_key\" is absent>");
  EXPECT_TRUE(Boxes().empty());
}

// A window that records what the language gives it.
struct RecordingWindow : TranslatableWindow {
  std::string caption = "design caption";
  std::map<std::string, std::string> captions, tooltips;
  std::string Name() const override { return "frmTest"; }
  void SetCaption(const std::string& text) override { caption = text; }
  std::vector<std::string> ControlNames() const override { return {"mnuOptions", "mnuAbout", "lblFirst"}; }
  void SetControlCaption(const std::string& control, const std::string& text) override { captions[control] = text; }
  void SetControlTooltip(const std::string& control, const std::string& text) override { tooltips[control] = text; }
};

TEST_F(LanguageFixture, WindowTakesItsSectionsTexts) {
  folder.Write("English.ini", DialogsSection() +
                                  "[FRMTEST]\ncaption=Two\\nwords\nmnuOptions=Opt\\nions\n"
                                  "mnuOptions:tooltip=Tip\\nhere\nmnuAbout=\nlblFirst:TOOLTIP=Wait\n");
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  RecordingWindow window;
  window.captions["mnuAbout"] = "About (design)";
  Language().LoadLanguageStrings(window);
  EXPECT_EQ(window.caption, "Two\\nwords");
  EXPECT_EQ(window.captions, (std::map<std::string, std::string>{{"mnuOptions", "Opt\r\nions"},
                                                                 {"mnuAbout", "About (design)"}}));
  EXPECT_EQ(window.tooltips, (std::map<std::string, std::string>{{"mnuOptions", "Tip\\nhere"},
                                                                 {"lblFirst", "Wait"}}));
}

TEST_F(LanguageFixture, ComponentsGetTheirCaptionsTooltipsAndTheDayFolderDate) {
  EXPECT_THROW(Language().TranslateComponents(), std::logic_error);
  folder.Write("English.ini", DialogsSection() +
                                  "[frmQuillfen]\ncmdMove=Move\ncmdMove:tooltip=Moves them\nchkSubfolder=Day folder (%1), again %1\n"
                                  "lblNoText:tooltip=Not without a caption\n[Other]\nlblOther=Elsewhere\n");
  ASSERT_TRUE(Language().LoadLanguage(Variant("English")));
  Language().ComponentsStrings({"cmdMove", "chkSubfolder", "lblNoText", "lblOther"});
  Collection result = Language().TranslateComponents();
  ASSERT_EQ(result.size(), 3u);
  EXPECT_EQ(result[0].first, "cmdMove");
  EXPECT_EQ(std::get<std::string>(result[0].second.value), "Move");
  EXPECT_EQ(result[1].first, "cmdMove:tooltip");
  EXPECT_EQ(std::get<std::string>(result[1].second.value), "Moves them");
  EXPECT_EQ(result[2].first, "chkSubfolder");
  EXPECT_EQ(std::get<std::string>(result[2].second.value), "Day folder (261206), again 261206");

  program.system.today = {2031, 3, 9};
  Language().ComponentsStrings({"ChkSubfolder"});
  result = Language().TranslateComponents();
  ASSERT_EQ(result.size(), 1u);
  EXPECT_EQ(std::get<std::string>(result[0].second.value), "Day folder (%1), again %1");
  Language().ComponentsStrings({"chkSubfolder"});
  EXPECT_EQ(std::get<std::string>(Language().TranslateComponents()[0].second.value),
            "Day folder (310309), again 310309");

  Language().ComponentsStrings({});
  EXPECT_TRUE(Language().TranslateComponents().empty());
}

// A program whose folder lies in memory, with the language files a test puts there.
struct MemoryLanguages : ::testing::Test {
  MemoryFileSystem memory;
  TestProgram program;
  const std::string folder = "/usr/lib/quillfen";
  MemoryLanguages() {
    memory.PutFolder(folder);
    program.files = &memory;
    program.system.programFolder = folder;
  }
  void Put(const std::string& name, const std::string& text) { memory.Put(folder + "/" + name, text); }
  clsLanguageProvider& Language() { return program.Module().objLanguageProvider(); }
  std::string Component(const std::string& name) {
    Language().ComponentsStrings({name});
    const Collection texts = Language().TranslateComponents();
    return texts.empty() ? "" : std::get<std::string>(texts[0].second.value);
  }
};

std::string Header(const std::string& name, const std::string& locales, const std::string& direction = "ltr") {
  return "[Language]\nName=" + name + "\nLocales=" + locales + "\nDirection=" + direction + "\n";
}

TEST_F(MemoryLanguages, EveryLanguageFileIsALanguageInTheMenusOrder) {
  Put("English.ini", Header("English", "en") + DialogsSection());
  Put("Zulu.ini", std::string("\xff\xfe\0[broken", 10));
  Put("German.ini", Header("Deutsch", "de") + "[Dialogs]\npause=Anhalten\n");
  Put("notes.txt", Header("Notes", "xx"));
  Put(".German.ini", Header("Hidden", "xx"));
  memory.PutFolder(folder + "/Polish.ini");
  struct Expected {
    std::string name, caption, tag;
  };
  const std::vector<Expected> expected = {
      {"Russian", "Русский", "ru"}, {"English", "English", "en"}, {"German", "Deutsch", "de"}, {"Zulu", "Zulu", "en"}};
  const std::vector<LanguageFile>& languages = Language().Languages();
  ASSERT_EQ(languages.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(languages[i].name, expected[i].name);
    EXPECT_EQ(languages[i].caption, expected[i].caption);
    EXPECT_EQ(languages[i].Tag(), expected[i].tag);
  }
  ASSERT_TRUE(Language().LoadLanguage(Variant(3)));
  EXPECT_EQ(Language().Language(), "German");
  EXPECT_EQ(Language().LanguageIndex(), 3);
  EXPECT_EQ(Language().GetDialog("pause"), "Anhalten");
  // A broken file is a language too: it speaks English.
  ASSERT_TRUE(Language().LoadLanguage(Variant(4)));
  EXPECT_EQ(Language().GetDialog("pause"), "text of pause");
  EXPECT_TRUE(program.log.Matching("box ").empty());
  EXPECT_THROW(Language().LoadLanguage(Variant(5)), std::out_of_range);
}

TEST_F(MemoryLanguages, TheUsersLocalesChooseWhenNothingIsStored) {
  for (auto [name, locales] : {std::pair{"English", "en"}, {"Russian", "ru"}, {"German", "de"},
                               {"Portuguese", "pt_PT pt"}, {"PortugueseBrazil", "pt_BR"}, {"Chinese", "zh_CN, zh_SG"}})
    Put(std::string(name) + ".ini", Header(name, locales) + DialogsSection());
  struct Case {
    std::vector<std::string> preferences;
    const char* language;
  };
  const Case cases[] = {
      {{"de_DE.UTF-8"}, "German"},
      {{"de_AT.UTF-8", "de_AT", "de.UTF-8", "de", "C"}, "German"},
      {{"pt_BR.UTF-8"}, "PortugueseBrazil"},  // the region first, though another file serves pt
      {{"pt_PT.UTF-8"}, "Portuguese"},
      {{"pt_AO"}, "Portuguese"},  // then the language
      {{"zh_CN.GB18030"}, "Chinese"},
      {{"zh_TW.UTF-8"}, "English"},  // no file serves Chinese alone
      {{"ru_UA.UTF-8"}, "Russian"},
      {{"sr_RS@latin", "xx", "ru", "de"}, "Russian"},  // the first preference that a file serves
      {{"C"}, "English"},
      {{"C.UTF-8", "POSIX"}, "English"},
      {{"tlh_QO.UTF-8"}, "English"},
      {{}, "English"},
  };
  for (const Case& c : cases) {
    program.system.localePreferences = c.preferences;
    ASSERT_TRUE(Language().LoadLanguage()) << c.language;
    EXPECT_EQ(Language().Language(), c.language) << ::testing::PrintToString(c.preferences);
  }
}

TEST_F(MemoryLanguages, TextsALanguageLacksOrCannotFormatAreEnglish) {
  const std::string count = "{1, plural, one {# picture moved} other {# pictures moved}}";
  Put("English.ini", Header("English", "en") + DialogsSection({}, {{"moved_files", count}}) +
                         "[frmQuillfen]\ncmdMove=Move\nlblSource=Pictures from:\n[frmTest]\nmnuAbout=About...\n");
  Put("German.ini", Header("Deutsch", "de") +
                        "[Dialogs]\npause=Anhalten\nmoved_files={1, plural, one {# Bild verschoben}\n"
                        "no_space=%1 MB\n[frmQuillfen]\ncmdMove=Verschieben\n");
  ASSERT_TRUE(Language().LoadLanguage(Variant("German")));
  EXPECT_TRUE(program.log.Matching("box ").empty()) << "a language's missing texts are no error";
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {Language().GetDialog("pause"), "Anhalten"},
      {Language().GetDialog("resume"), "text of resume"},
      // English words follow the English forms; digits the chosen language.
      {Language().GetDialog("moved_files", {TextValue(1)}), "1 picture moved"},
      {Language().GetDialog("no_space", {TextValue(1234)}), "1.234 MB"},
      {Component("cmdMove"), "Verschieben"},
      {Component("lblSource"), "Pictures from:"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);
  RecordingWindow window;
  Language().LoadLanguageStrings(window);
  EXPECT_EQ(window.captions["mnuAbout"], "About...") << "the window's texts too";
}

TEST_F(MemoryLanguages, TheWindowAndThePageTakeTheLanguagesButtonsAndDirection) {
  const std::string buttons = "button_ok=_OK\nbutton_cancel=_Cancel\nbutton_retry=_Retry\nbutton_select=_Select\n";
  Put("English.ini", Header("English", "en") + DialogsSection({"button_ok", "button_cancel", "button_retry",
                                                                "button_select"}) + buttons);
  Put("Arabic.ini", Header("العربية", "ar", "rtl") + "[Dialogs]\nbutton_ok=_موافق\nbutton_cancel=إ_لغاء\n");
  Put("Portuguese.ini", Header("Português (Brasil)", "pt_BR pt", "ltr") + "[Dialogs]\nbutton_retry=_Repetir\n");
  struct Case {
    const char* language;
    WindowLanguage window;
    const char* lang;
    const char* dir;
  };
  const Case cases[] = {
      {"Arabic", {"_موافق", "إ_لغاء", "_Retry", "_Select", true}, "ar", "rtl"},
      {"Portuguese", {"_OK", "_Cancel", "_Repetir", "_Select", false}, "pt-BR", "ltr"},
      {"English", {"_OK", "_Cancel", "_Retry", "_Select", false}, "en", "ltr"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Language().LoadLanguage(Variant(c.language)));
    const WindowLanguage& told = program.window.Language();
    EXPECT_EQ(std::tie(told.ok, told.cancel, told.retry, told.select, told.rightToLeft),
              std::tie(c.window.ok, c.window.cancel, c.window.retry, c.window.select, c.window.rightToLeft))
        << c.language;
    EXPECT_EQ(Component("lang"), c.lang);
    EXPECT_EQ(Component("dir"), c.dir);
  }
}

}  // namespace
}  // namespace quillfen
