// Start-up of the main window on the in-memory ports: the design state, the
// watchdog, the loader, the language check mark, the height rule, and the
// system facts the program starts from.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/MainMenu.h"
#include "app/frmQuillfen.h"
#include "localization/INI_File.h"
#include "localization/clsLanguageProvider.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixSystemInfo.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::TempDir;
using testing::TestProgram;

const char* const kLoadSettings = R"(<invoke name="LoadSettings" returntype="xml"><arguments/></invoke>)";

// A main-window text of a language file of the build.
std::string WindowText(const std::string& language, const std::string& key) {
  PosixFileSystem files;
  INI_File file(files);
  file.File(std::string(QUILLFEN_PROGRAM_DIR) + "/" + language + ".ini");
  return file.GetKeyStr(key, "frmQuillfen");
}

// A program with its main window loaded, as after process start.
struct StartedProgram {
  TestProgram program;
  std::unique_ptr<frmQuillfen> form;

  explicit StartedProgram(const std::string& storedLanguage = "", std::vector<std::string> locales = {"C"}) {
    if (!storedLanguage.empty()) program.settings.SaveSetting("Quillfen", "Settings", "Language", storedLanguage);
    program.system.localePreferences = std::move(locales);
    form = std::make_unique<frmQuillfen>(program.Module().MainWindow());
    form->Form_Load();
  }
  ScriptedWindowSystem& window() { return program.window; }
  std::string Dialog(const std::string& key) { return program.Module().objLanguageProvider().GetDialog(key); }
  bool MenusEnabled() { return window().MenuEnabled(menu::Options) || window().MenuEnabled(menu::Help); }
  // The position of the first log line starting with prefix; -1 when none.
  long IndexOf(const std::string& prefix) {
    const auto& lines = program.log.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    return -1;
  }
};

TEST(StartupTest, LoadingStateAfterFormLoad) {
  StartedProgram p;
  EXPECT_TRUE(p.program.Module().settingsLock().Held());
  EXPECT_FALSE(p.MenusEnabled());
  EXPECT_FALSE(p.window().MovieVisible());
  EXPECT_TRUE(p.window().TimerEnabled(Timer::Checker));
  EXPECT_FALSE(p.window().TimerEnabled(Timer::Loader));
  EXPECT_FALSE(p.window().MenuEnabled(menu::Test)) << "the diagnostic item is never available";
  EXPECT_EQ(p.program.movie.MoviePath(), std::string(QUILLFEN_PROGRAM_DIR) + "/Flex/bin/Quillfen.html");
  // Both menus are greyed before the movie is loaded, Options first.
  const long options = p.IndexOf("menu mnuOptions checked=0 enabled=0");
  const long help = p.IndexOf("menu mnuHelp checked=0 enabled=0");
  const long movie = p.IndexOf("load-movie ");
  ASSERT_GE(options, 0);
  EXPECT_LT(options, help);
  EXPECT_LT(help, movie);
  EXPECT_EQ(p.program.movie.Calls().size(), 0u) << "nothing is sent to a movie that has not asked";
}

TEST(StartupTest, WatchdogReportsAMovieThatNeverAsks) {
  StartedProgram p;
  p.window().Wait(6999);
  EXPECT_FALSE(p.program.log.Contains("box "));
  p.window().Wait(1);
  const std::string expectedBox = "box critical OK title=" + EscapeLogText(p.Dialog("loading_error")) +
                                  " text=" + EscapeLogText(p.Dialog("swf_error")) + " -> OK";
  EXPECT_EQ(p.program.log.Matching("box "), std::vector<std::string>{expectedBox});
  EXPECT_EQ(p.window().Label(), p.Dialog("swf_error"));
  EXPECT_NE(p.Dialog("swf_error").find("could not"), std::string::npos) << "the English text, not a marker";
  EXPECT_FALSE(p.MenusEnabled());
  EXPECT_FALSE(p.window().MovieVisible());
  EXPECT_FALSE(p.window().TimerEnabled(Timer::Checker));
  EXPECT_FALSE(p.window().TimerEnabled(Timer::Loader));
  // It fires once only.
  p.window().Wait(30000);
  EXPECT_EQ(p.program.log.Matching("box ").size(), 1u);
}

TEST(StartupTest, MenusStayGreyedUntilTheLoaderHasRun) {
  StartedProgram p;
  p.window().Wait(3000);
  EXPECT_EQ(p.program.movie.Request(kLoadSettings), std::optional<std::string>(""));
  EXPECT_TRUE(p.window().TimerEnabled(Timer::Loader));
  EXPECT_FALSE(p.MenusEnabled());
  p.window().Wait(99);
  EXPECT_FALSE(p.MenusEnabled());
  EXPECT_FALSE(p.window().MovieVisible());
  p.window().Wait(1);
  EXPECT_TRUE(p.window().MovieVisible());
  EXPECT_TRUE(p.window().MenuEnabled(menu::Options));
  EXPECT_TRUE(p.window().MenuEnabled(menu::Help));
  EXPECT_FALSE(p.window().TimerEnabled(Timer::Loader));
  EXPECT_FALSE(p.window().TimerEnabled(Timer::Checker));
  EXPECT_FALSE(p.program.Module().settingsLock().Held());
  // The watchdog was stopped for good.
  p.window().Wait(20000);
  EXPECT_FALSE(p.program.log.Contains("box "));
}

TEST(StartupTest, MovieThatAnswersLateStillBecomesUsable) {
  StartedProgram p;
  p.window().Wait(8000);
  ASSERT_EQ(p.program.log.Matching("box ").size(), 1u);
  p.program.movie.Request(kLoadSettings);
  p.window().Wait(100);
  EXPECT_TRUE(p.window().MovieVisible());
  EXPECT_TRUE(p.MenusEnabled());
  EXPECT_EQ(p.window().Label(), p.Dialog("swf_error")) << "the label stays, covered by the movie";
}

TEST(StartupTest, LoaderLoadsSettingsThenShowsMovieThenEnablesMenus) {
  StartedProgram p;
  p.program.movie.Request(kLoadSettings);
  p.window().Wait(100);
  const long values = p.IndexOf("movie <invoke name=\"setValue\"");
  const long visible = p.IndexOf("movie-visible");
  const long options = p.IndexOf("menu mnuOptions checked=0 enabled=1");
  const long help = p.IndexOf("menu mnuHelp checked=0 enabled=1");
  ASSERT_GE(values, 0) << "the settings were pushed into the movie";
  EXPECT_LT(values, visible);
  EXPECT_LT(visible, options);
  EXPECT_LT(options, help);

  // A second request after running loads and pushes the settings again.
  const int pushed = p.program.movie.CallCount("setValue");
  p.program.movie.Request(kLoadSettings);
  EXPECT_TRUE(p.window().TimerEnabled(Timer::Loader));
  p.window().Wait(100);
  EXPECT_EQ(p.program.movie.CallCount("setValue"), 2 * pushed);
  EXPECT_FALSE(p.window().TimerEnabled(Timer::Loader));
  EXPECT_TRUE(p.window().MovieVisible());
  EXPECT_TRUE(p.MenusEnabled());
}

TEST(StartupTest, CheckMarkOfTheLoadedLanguage) {
  {
    StartedProgram english("", {"en_GB.UTF-8"});
    EXPECT_TRUE(english.window().MenuChecked(menu::Lang(2)));
    EXPECT_FALSE(english.window().MenuChecked(menu::Lang(1)));
    EXPECT_EQ(english.window().MenuCaption(menu::Options), WindowText("English", "mnuOptions"));
  }
  {
    StartedProgram russian("", {"ru_RU.UTF-8"});
    EXPECT_TRUE(russian.window().MenuChecked(menu::Lang(1)));
    EXPECT_FALSE(russian.window().MenuChecked(menu::Lang(2)));
    EXPECT_EQ(russian.window().MenuCaption(menu::About), WindowText("Russian", "mnuAbout"));
  }
  {
    StartedProgram stored("English", {"ru_RU.UTF-8"});
    EXPECT_TRUE(stored.window().MenuChecked(menu::Lang(2))) << "the stored choice beats the locale";
    EXPECT_FALSE(stored.window().MenuChecked(menu::Lang(1)));
  }
}

TEST(StartupTest, NoLanguageLoadedLeavesDesignCaptionsAndNoCheckMark) {
  StartedProgram p("Klingon");
  EXPECT_TRUE(p.program.log.Contains("box information OK title=Error loading language file "
                                     "text=Can't find language file: Klingon.ini"));
  for (const menu::Item& item : p.form->MenuItems())
    EXPECT_EQ(p.window().MenuCaption(item.entry.item), item.entry.caption);
  EXPECT_FALSE(p.window().MenuChecked(menu::Lang(1)));
  EXPECT_FALSE(p.window().MenuChecked(menu::Lang(2)));
  EXPECT_EQ(p.window().Caption(), "Quillfen");
  // Start-up goes on: the movie still becomes usable.
  p.program.movie.Request(kLoadSettings);
  p.window().Wait(100);
  EXPECT_TRUE(p.window().MovieVisible());
}

TEST(StartupTest, LanguageFileOfAnUnknownLanguageChecksNoItem) {
  // A file beside the program for a language the menu does not list loads,
  // but no language item is its own; start-up must not fail over it.
  TempDir folder;
  std::filesystem::copy_file(std::string(QUILLFEN_PROGRAM_DIR) + "/English.ini", folder.Path("Esperanto.ini"));
  TestProgram program;
  program.system.programFolder = folder.path();
  program.settings.SaveSetting("Quillfen", "Settings", "Language", "Esperanto");
  frmQuillfen form(program.Module().MainWindow());
  ASSERT_NO_THROW(form.Form_Load());
  EXPECT_FALSE(program.window.MenuChecked(menu::Lang(1)));
  EXPECT_FALSE(program.window.MenuChecked(menu::Lang(2)));
  EXPECT_EQ(program.window.MenuCaption(menu::Options), WindowText("English", "mnuOptions")) << "the window is translated all the same";
}

TEST(StartupTest, HeightRuleFitsTheClientAreaToTheMovie) {
  EXPECT_EQ(HeightRule(245, 300, 245), 300);
  EXPECT_EQ(HeightRule(245, 520, 460), 305) << "frame of 60 added to the movie";
  // Halves go to the even neighbour.
  EXPECT_EQ(HeightRule(245, 60.5, 0), 306);   // 305.5
  EXPECT_EQ(HeightRule(245, 61.5, 0), 306);   // 306.5
  EXPECT_EQ(HeightRule(244.5, 0, 0), 244);
  EXPECT_EQ(HeightRule(245, 0.4, 0), 245);
  EXPECT_EQ(HeightRule(245, 0.6, 0), 246);
  // Applying the rule twice changes nothing the second time.
  const int once = HeightRule(kMovieHeight, 700, 640);
  EXPECT_EQ(HeightRule(kMovieHeight, once, once - 60), once);
  // Beyond the 16-bit range the nearest limit stands in.
  EXPECT_EQ(HeightRule(40000, 100, 0), 32767);
  EXPECT_EQ(HeightRule(-40000, 0, 0), -32768);

  // The window applies it whenever its size changes.
  TestProgram program;
  frmQuillfen form(program.Module().MainWindow());
  program.window.SetClientHeight(200);
  form.OnResize();
  EXPECT_EQ(program.window.ClientHeight(), kMovieHeight);
}

TEST(StartupTest, SystemFactsFromTheRunningProgram) {
  const char* argv[] = {"quillfen", "/media/user/EOS", "DIGITAL", "", "x"};
  EXPECT_EQ(JoinArguments(5, argv, 1), "/media/user/EOS DIGITAL  x");
  EXPECT_EQ(JoinArguments(1, argv, 1), "");

  PosixSystemInfo system("/media/card");
  const auto self = std::filesystem::canonical("/proc/self/exe");
  EXPECT_EQ(system.ProgramFolder(), self.parent_path().string());
  EXPECT_EQ(system.DesktopProgramFileName(), "startup_test");
  EXPECT_EQ(PosixSystemInfo("", "quillfen").DesktopProgramFileName(), "quillfen") << "the host names the desktop program";
  EXPECT_EQ(system.CommandLineArgument(), "/media/card");
  const LocalDate today = system.Today();
  EXPECT_GE(today.year, 2024);
  EXPECT_TRUE(today.month >= 1 && today.month <= 12);
  EXPECT_TRUE(today.day >= 1 && today.day <= 31);
}

}  // namespace
}  // namespace quillfen
