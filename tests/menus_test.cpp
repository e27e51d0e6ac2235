// The main window's menus and the About window: language switch, test mode,
// the diagnostic item, the About texts, and closing the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "about/frmAbout.h"
#include "app/MainMenu.h"
#include "app/frmQuillfen.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::TempDir;
using testing::TestProgram;

const char* const kLoadSettings = R"(<invoke name="LoadSettings" returntype="xml"><arguments/></invoke>)";
const char* const kGetFormStrings =
    R"(<invoke name="GetFormStrings" returntype="xml"><arguments><string>cmdMove:lblSource</string></arguments></invoke>)";

// A program past start-up: the movie has asked for its texts (unless told
// not to) and for its settings, and the loader has run.
struct RunningProgram {
  TestProgram program;
  std::unique_ptr<frmQuillfen> form;

  explicit RunningProgram(const std::string& storedLanguage, const std::string& programFolder = "",
                          bool askForTexts = true) {
    if (!programFolder.empty()) program.system.programFolder = programFolder;
    if (!storedLanguage.empty()) program.settings.SaveSetting("Quillfen", "Settings", "Language", storedLanguage);
    form = std::make_unique<frmQuillfen>(program.Module().MainWindow());
    form->Form_Load();
    if (askForTexts) program.movie.Request(kGetFormStrings);
    program.movie.Request(kLoadSettings);
    program.window.Wait(100);
  }
  ScriptedWindowSystem& window() { return program.window; }
  clsLanguageProvider& language() { return program.Module().objLanguageProvider(); }
  std::map<MenuItem, std::string> Captions() {
    std::map<MenuItem, std::string> captions;
    for (const menu::Item& item : form->MenuItems()) captions[item.entry.item] = window().MenuCaption(item.entry.item);
    return captions;
  }
};

TEST(MenusTest, SwitchingToEnglishChecksStoresRelabelsAndRenamesTheMovie) {
  const auto englishCaptions = RunningProgram("English").Captions();
  RunningProgram p("Russian");
  ASSERT_TRUE(p.window().MenuChecked(menu::Lang(1)));
  ASSERT_NE(p.Captions(), englishCaptions);
  p.program.settings.SaveSetting("Quillfen", "Settings", "Language", "");

  p.window().events()->OnMenu(menu::Lang(2));
  EXPECT_TRUE(p.window().MenuChecked(menu::Lang(2)));
  EXPECT_FALSE(p.window().MenuChecked(menu::Lang(1)));
  EXPECT_EQ(p.program.settings.Get("Language"), "English");
  EXPECT_EQ(p.Captions(), englishCaptions);
  ASSERT_EQ(p.program.movie.CallCount("renameControls"), 1);
  const std::string& rename = p.program.movie.Calls().back();
  EXPECT_NE(rename.find("renameControls"), std::string::npos);
  EXPECT_NE(rename.find("<property id=\"cmdMove\">"), std::string::npos) << rename;

  // Choosing the language already active runs every step again.
  p.window().events()->OnMenu(menu::Lang(2));
  EXPECT_EQ(p.program.movie.CallCount("renameControls"), 2);
  EXPECT_TRUE(p.window().MenuChecked(menu::Lang(2)));
}

TEST(MenusTest, FailedSwitchChangesNothing) {
  TempDir folder;
  std::filesystem::copy_file(std::string(QUILLFEN_PROGRAM_DIR) + "/English.ini", folder.Path("English.ini"));
  RunningProgram p("", folder.path());
  ASSERT_TRUE(p.window().MenuChecked(menu::Lang(2)));
  const auto captions = p.Captions();
  const auto calls = p.program.movie.Calls().size();

  p.form->mnuLang_Click(1);
  EXPECT_TRUE(p.program.log.Contains("box information OK title=Error loading language file "
                                     "text=Can't find language file: Russian.ini -> OK"));
  EXPECT_TRUE(p.window().MenuChecked(menu::Lang(2)));
  EXPECT_FALSE(p.window().MenuChecked(menu::Lang(1)));
  EXPECT_FALSE(p.program.settings.Has("Language"));
  EXPECT_EQ(p.Captions(), captions);
  EXPECT_EQ(p.program.movie.Calls().size(), calls) << "nothing is sent to the movie";
}

TEST(MenusTest, SwitchBeforeTheMovieAskedForItsTextsRelabelsOnlyTheWindow) {
  RunningProgram p("English", "", /*askForTexts=*/false);
  ASSERT_NO_THROW(p.form->mnuLang_Click(1));
  EXPECT_TRUE(p.window().MenuChecked(menu::Lang(1)));
  EXPECT_EQ(p.program.settings.Get("Language"), "Russian");
  EXPECT_EQ(p.program.movie.CallCount("renameControls"), 0);
  // The movie asking afterwards gets the new language.
  const auto reply = p.program.movie.Request(kGetFormStrings);
  ASSERT_TRUE(reply);
  EXPECT_EQ(p.language().Language(), "Russian");
}

TEST(MenusTest, TestModeTogglesAndIsNeverStored) {
  {
    RunningProgram p("English");
    EXPECT_FALSE(p.window().MenuChecked(menu::Testing));
    p.window().events()->OnMenu(menu::Testing);
    EXPECT_TRUE(p.window().MenuChecked(menu::Testing));
    EXPECT_FALSE(p.program.settings.Has("Testing"));
    EXPECT_FALSE(p.program.settings.Has("mnuTesting"));
    p.form->mnuTesting_Click();
    EXPECT_FALSE(p.window().MenuChecked(menu::Testing));
    p.form->mnuTesting_Click();
    EXPECT_TRUE(p.window().MenuChecked(menu::Testing));
  }
  RunningProgram restarted("English");
  EXPECT_FALSE(restarted.window().MenuChecked(menu::Testing)) << "every run starts with test mode off";
}

TEST(MenusTest, DiagnosticItemSendsProgress55) {
  RunningProgram p("English");
  p.window().events()->OnMenu(menu::Test);
  ASSERT_EQ(p.program.movie.CallCount("setProgress"), 1);
  EXPECT_EQ(p.program.movie.Calls().back(),
            R"(<invoke name="setProgress" returntype="xml"><arguments><number>55</number></arguments></invoke>)");
}

TEST(MenusTest, AboutTextsFollowTheCurrentLanguage) {
  RunningProgram p("English");
  const AboutTexts english = LoadAboutTexts(p.program.Module().objLanguageProvider());
  EXPECT_EQ(english.windowTitle, "About Quillfen");
  EXPECT_EQ(english.version, p.language().GetDialog("version") + " 1.0.29");
  EXPECT_EQ(english.description, p.language().GetDialog("description"));
  EXPECT_EQ(english.title, "Quillfen");
  EXPECT_EQ(english.disclaimer, p.language().GetDialog("warning") + " " + p.language().GetDialog("warning2"));
  EXPECT_EQ(english.url, kHomePage);
  EXPECT_EQ(english.windowTitle.find("<value for"), std::string::npos);

  p.window().events()->OnMenu(menu::About);
  const auto shown = p.program.log.Matching("about ");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "about title=" + english.windowTitle + " name=Quillfen version=" + english.version +
                          " description=" + english.description + " notice=" + english.disclaimer +
                          " url=" + kHomePage);

  // Opened again after a switch: the texts are loaded anew.
  p.form->mnuLang_Click(1);
  const AboutTexts russian = LoadAboutTexts(p.program.Module().objLanguageProvider());
  EXPECT_EQ(russian.windowTitle, "О программе Quillfen");
  EXPECT_NE(russian.windowTitle, english.windowTitle);
  EXPECT_NE(russian.description, english.description);
  EXPECT_EQ(russian.version.substr(russian.version.size() - 7), " 1.0.29");

  // The link opens the home page.
  OpenHomePage(p.program.shell);
  EXPECT_TRUE(p.program.log.Contains(std::string("open-url ") + kHomePage));
}

TEST(MenusTest, AboutNoticeShowsTheMarkerForAMissingText) {
  TempDir folder;
  std::ifstream in(std::string(QUILLFEN_PROGRAM_DIR) + "/English.ini");
  std::string line, withoutWarning2;
  while (std::getline(in, line))
    if (line.rfind("warning2=", 0) != 0) withoutWarning2 += line + "\n";
  folder.Write("English.ini", withoutWarning2);

  RunningProgram p("English", folder.path());
  EXPECT_TRUE(p.program.log.Contains("box information OK title=Error in ini file text=Dialog string warning2 not found."));
  const AboutTexts texts = LoadAboutTexts(p.program.Module().objLanguageProvider());
  EXPECT_EQ(texts.disclaimer, p.language().GetDialog("warning") + " <value for \"warning2\" is absent>");
}

// Pictures on a card and an empty target, for a move the window can interrupt.
struct Card {
  TempDir dir;
  Card() {
    for (int i = 1; i <= 5; ++i) dir.Write("card/DCIM/100TEST/IMG_000" + std::to_string(i) + ".JPG", "picture");
    std::filesystem::create_directories(dir.Path("pictures"));
  }
  int PicturesLeft() const {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path("card/DCIM/100TEST"))) n += e.is_regular_file();
    return n;
  }
};

TEST(MenusTest, ClosingDuringAMoveCancelsIt) {
  Card card;
  RunningProgram p("English");
  auto& mover = p.program.Module().objFSMoving();
  mover.Source(card.dir.Path("card"));
  mover.Target(card.dir.Path("pictures"));
  p.window().QueueAnswer(BoxAnswer::OK);  // confirms the move
  bool sawRunning = false;
  // The user closes the window as soon as the first picture has been moved:
  // a request arriving then stands for the close event.
  p.program.movie.After("setProgress", 2, "<invoke name=\"none\"><arguments/></invoke>");
  p.program.movie.SetRequestHandler([&](const std::string&) {
    sawRunning = mover.Running();
    p.window().Close();
  });
  mover.StartOperation();
  EXPECT_TRUE(sawRunning);
  EXPECT_FALSE(mover.Running());
  EXPECT_GT(card.PicturesLeft(), 0) << "the move stopped after the picture in hand";
  EXPECT_LT(card.PicturesLeft(), 5);
  EXPECT_FALSE(p.program.log.Contains("open-folder ")) << "a cancelled move opens no folder";
}

// An option item is unavailable while a click cannot take effect (the event
// logs show when), and a click on it then stores nothing: day folders by
// the date taken while day folders are off.
TEST(MenusTest, AClickOnAnUnavailableOptionItemStoresNothing) {
  RunningProgram p("English");
  const MenuItem dateTaken = menu::ForOption(Option::DateTakenFolders);
  EXPECT_FALSE(p.window().MenuEnabled(dateTaken));
  p.window().events()->OnMenu(dateTaken);
  EXPECT_FALSE(p.program.settings.Has("DateTakenFolders"));
  EXPECT_FALSE(p.window().MenuChecked(dateTaken));
}

}  // namespace
}  // namespace quillfen

namespace quillfen {
namespace {

// The backup item: a folder chosen in the dialog is stored, marked and
// shown in the movie; with one set, the item offers another folder or none.
TEST(MenusTest, TheBackupItemChoosesChangesAndStopsTheSecondCopy) {
  RunningProgram p("English");
  ScriptedWindowSystem& window = p.window();
  const auto click = [&] { window.events()->OnMenu(menu::BackupTarget); };
  const auto stored = [&] { return p.program.Module().objSettings().Backup(); };
  struct Step {
    std::optional<std::size_t> button;  // the answer to the change box (0: another folder, 1: none)
    std::optional<std::string> folder;  // the dialog's answer (nothing: cancelled or not asked)
    std::string backup;                 // stored afterwards
  };
  const std::vector<Step> steps = {
      {std::nullopt, std::nullopt, ""},  // the dialog cancelled
      {std::nullopt, "/media/user/DRIVE/Pictures", "/media/user/DRIVE/Pictures"},
      {0, "/media/user/OTHER", "/media/user/OTHER"},
      {1, std::nullopt, ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.backup);
    if (step.button) window.QueueButton(*step.button);
    if (step.folder || !step.button) window.QueueFolder(step.folder);
    click();
    EXPECT_EQ(stored(), step.backup);
    EXPECT_EQ(window.MenuChecked(menu::BackupTarget), !step.backup.empty());
  }
  EXPECT_EQ(p.program.log.Matching("folder-dialog").front(),
            "folder-dialog title=" + p.language().GetDialog("backup_dialog") + " initial=/media/user -> cancel");
}

}  // namespace
}  // namespace quillfen
