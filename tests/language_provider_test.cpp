#include "localization/clsLanguageProvider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "base/NoCase.h"
#include "localization/TranslatableWindow.h"
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
  program.system.languageId = 1049;
  program.settings.SaveSetting("Quillfen", "Settings", "Language", "English");
  ASSERT_TRUE(Language().LoadLanguage());
  EXPECT_EQ(Language().Language(), "English");
  EXPECT_EQ(Language().LanguageIndex(), 2);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LanguageFixture, UsersLanguageDecidesWhenNothingIsStored) {
  folder.Write("Russian.ini", DialogsSection());
  folder.Write("English.ini", DialogsSection());
  for (auto [id, name, index] : {std::tuple{1049, "Russian", 1}, {1033, "English", 2}, {2057, "English", 2}}) {
    program.system.languageId = id;
    ASSERT_TRUE(Language().LoadLanguage()) << id;
    EXPECT_EQ(Language().Language(), name) << id;
    EXPECT_EQ(Language().LanguageIndex(), index) << id;
  }
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

TEST_F(LanguageFixture, UnknownLanguageWithAFileLoadsButHasNoNumber) {
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

}  // namespace
}  // namespace quillfen
