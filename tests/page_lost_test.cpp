// The movie's page lost (its process ended) and loaded anew: the new page is
// shown what the lost one showed, while idle and during a move, and nothing
// of start-up runs twice.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/MainMenu.h"
#include "app/frmQuillfen.h"
#include "mover/clsFSMoving.h"
#include "settings/clsSettings.h"
#include "support/MovieCalls.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::MoviePage;
using testing::PageAfter;
using testing::TempDir;
using testing::TestProgram;

std::string Invoke(const std::string& name, const std::string& arguments = "") {
  return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments>" + arguments + "</arguments></invoke>";
}
std::string Str(const std::string& text) { return "<string>" + text + "</string>"; }

const std::string kGetFormStrings = Invoke(
    "GetFormStrings", Str("cmbSource:cmbTarget:cmdBrowseSource:cmdBrowseTarget:lblSource:lblTarget:chkAutomoving:"
                          "chkAutorun:chkAutoRename:chkSubfolder:cmdMove:cmdPause:cmdCancel"));
const std::string kLoadSettings = Invoke("LoadSettings");
constexpr int kPictures = 20;

class PageLostTest : public ::testing::Test {
 protected:
  TempDir dir;
  TestProgram program;
  ScriptedWindowSystem& window = program.window;
  ScriptedMovieHost& movie = program.movie;
  std::unique_ptr<frmQuillfen> form;
  const std::string card = dir.Path("card");
  const std::string pictures = dir.Path("pictures");
  std::size_t pageFrom = 0;  // where the calls that reached the newest page begin

  PageLostTest() {
    for (int i = 1; i <= kPictures; ++i) dir.Write("card/DCIM/IMG_" + std::to_string(1000 + i) + ".JPG", "picture");
    std::filesystem::create_directories(pictures);
    Store("Source", card);
    Store("Target", pictures);
    Store("AutoRename", "False");
  }
  void Store(const std::string& key, const std::string& value) {
    program.settings.SaveSetting("Quillfen", "Settings", key, value);
  }

  // The window loaded and its page started, as at process start.
  void Launch(bool runLoader = true) {
    form = std::make_unique<frmQuillfen>(program.Module().MainWindow());
    form->Form_Load();
    PageStarts();
    if (runLoader) window.Wait(kLoaderInterval);
  }
  // What a page does first: it asks for its captions, then for its settings.
  void PageStarts() {
    pageFrom = movie.Calls().size();
    movie.Request(kGetFormStrings);
    movie.Request(kLoadSettings);
  }
  // The same during a move, one request a pump, then `then`.
  void PageStartsLater(std::function<void()> then = [] {}) {
    window.QueueEvent([this, then] {
      pageFrom = movie.Calls().size();
      movie.Request(kGetFormStrings);
      window.QueueEvent([this, then] {
        movie.Request(kLoadSettings);
        then();
      });
    });
  }
  // Runs `event` at the pump after the n-th picture of the next move.
  void AfterPicture(int n, std::function<void()> event) {
    movie.After("setProgress", movie.CallCount("setProgress") + 1 + n, std::move(event));
  }
  // What a page shows that took every call; what the newest page shows.
  MoviePage Everything() const { return PageAfter(program.movie.Calls()); }
  MoviePage NewestPage() const { return PageAfter(program.movie.Calls(), pageFrom); }
  int PicturesIn(const std::string& folder) const {
    int n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) n += e.is_regular_file();
    return n;
  }
};

TEST_F(PageLostTest, WhileIdleTheNewPageIsShownTheLostOnesStateWithoutLoadingTheSettingsAgain) {
  Launch();
  movie.Request(Invoke("SetPath", Str("Source") + Str(dir.Path("other"))));
  movie.Request(Invoke("SavePreset", Str("AutoRename") + Str("true")));  // the user ticked it in the page
  MoviePage lost = Everything();
  lost.values["chkAutoRename/4"] = "true";

  movie.LosePage();
  EXPECT_FALSE(window.MovieVisible()) << "the loading label covers the blank window";
  EXPECT_EQ(window.Label(), "Loading...");
  EXPECT_EQ(program.log.Matching("load-movie ").size(), 2u);
  Store("Target", "/changed/behind/its/back");
  PageStarts();
  EXPECT_TRUE(window.MovieVisible()) << "shown with the reply to its LoadSettings";
  EXPECT_EQ(NewestPage(), lost);
  window.Wait(kCheckerInterval);
  EXPECT_FALSE(program.log.Contains("box ")) << "neither the loader nor the watchdog ran";
  EXPECT_EQ(program.Module().objFSMoving().TargetValue(), pictures);

  // An ordinary second LoadSettings still loads the settings again.
  movie.Request(kLoadSettings);
  window.Wait(kLoaderInterval);
  EXPECT_EQ(program.Module().objFSMoving().TargetValue(), "/changed/behind/its/back");
}

TEST_F(PageLostTest, DuringAPausedMoveTheNewPageShowsItAndResumesAndCancelsIt) {
  Launch();
  MoviePage lost;
  MoviePage restored;
  AfterPicture(3, [&] {
    movie.Request(Invoke("PauseOperationX"));
    movie.LosePage();
    PageStartsLater([&] {
      lost = Everything();
      restored = NewestPage();
      movie.Request(Invoke("PauseOperationX"));  // resumes
    });
  });
  AfterPicture(8, [&] { movie.Request(Invoke("CancelOperationX")); });
  window.QueueAnswer(BoxAnswer::OK);
  movie.Request(Invoke("StartOperationX"));

  EXPECT_TRUE(lost.locked);
  EXPECT_EQ(lost.values["cmdPause/2"], "Resume");
  EXPECT_EQ(restored, lost);
  const int moved = PicturesIn(pictures);
  EXPECT_GT(moved, 3) << "resumed";
  EXPECT_LT(moved, kPictures) << "cancelled";
  EXPECT_EQ(moved + PicturesIn(card), kPictures);
  EXPECT_FALSE(NewestPage().locked) << "the new page was unlocked at the end";
  EXPECT_EQ(program.log.Matching("box ").size(), 1u) << "the confirmation only";
}

TEST_F(PageLostTest, DuringTheAutomaticMoveNothingOfStartUpRunsAgain) {
  program.system.argument = card;
  Store("Automoving", "True");
  Store("Autorun", "True");
  AfterPicture(3, [&] {
    movie.LosePage();
    // Were the settings loaded again, the registration would be written
    // again and the stored option read.
    program.registry.keys().clear();
    Store("Automoving", "False");
    PageStartsLater();
  });
  window.QueueAnswer(BoxAnswer::OK);
  Launch();  // the loader: settings, then the automatic move
  window.Wait(kCheckerInterval);

  EXPECT_EQ(PicturesIn(pictures), kPictures);
  EXPECT_EQ(program.log.Matching("box question").size(), 1u) << "one move only";
  EXPECT_EQ(program.log.Matching("box information").size(), 1u) << "one final box";
  EXPECT_TRUE(program.registry.keys().empty());
  EXPECT_TRUE(program.Module().objSettings().On(Option::Automoving));
  EXPECT_TRUE(window.MovieVisible());
  EXPECT_TRUE(window.MenuEnabled(menu::Options));
}

TEST_F(PageLostTest, BeforeTheSettingsWereLoadedTheNewPageGetsThemOnce) {
  Launch(/*runLoader=*/false);  // its LoadSettings starts the loader...
  movie.LosePage();             // ...but the page is gone before it runs
  window.Wait(kLoaderInterval);
  EXPECT_TRUE(testing::CheckBoxPushes(movie.Calls()).empty()) << "no settings for a lost page";

  PageStarts();
  window.Wait(kLoaderInterval);
  EXPECT_EQ(testing::CheckBoxPushes(movie.Calls()).size(), 4u);
  EXPECT_TRUE(window.MovieVisible());
}

TEST_F(PageLostTest, LossesInARowAreLoadedAgainUpToALimitThenTheWatchdogSpeaks) {
  Launch();
  const MoviePage lost = Everything();
  movie.LosePage();
  movie.LosePage();
  PageStarts();
  EXPECT_EQ(NewestPage(), lost);

  for (int i = 0; i <= kMaxReloadsInARow; ++i) movie.LosePage();
  EXPECT_EQ(program.log.Matching("load-movie ").size(), 3u + kMaxReloadsInARow);
  window.Wait(kCheckerInterval);
  EXPECT_EQ(program.log.Matching("box critical").size(), 1u);
}

}  // namespace
}  // namespace quillfen
