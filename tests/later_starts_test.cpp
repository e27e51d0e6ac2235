// A card handed over by a later start of the program, on the in-memory
// ports: taken at once while the program is at rest, offered once a running
// move has ended, kept until the loader has loaded the settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/frmQuillfen.h"
#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "support/MovieCalls.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::TempDir;
using testing::TestProgram;

const char* const kLoadSettings = R"(<invoke name="LoadSettings" returntype="xml"><arguments/></invoke>)";
const char* const kStartOperation = R"(<invoke name="StartOperationX" returntype="xml"><arguments/></invoke>)";
constexpr int kPicturesPerCard = 3;

// The program with its main window loaded, its movie not yet asking for the
// settings; cards are real folders.
struct RunningProgram {
  TempDir dir;
  TestProgram program;
  std::unique_ptr<frmQuillfen> form;
  const std::string target = dir.Path("target");

  explicit RunningProgram(bool automoving) {
    std::filesystem::create_directories(target);
    program.settings.SaveSetting("Quillfen", "Settings", "Target", target);
    program.settings.SaveSetting("Quillfen", "Settings", "Automoving", automoving ? "True" : "False");
    form = std::make_unique<frmQuillfen>(program.Module().MainWindow());
    form->Form_Load();
  }
  // The movie asks for its settings and the loader runs.
  void LoadSettings() {
    program.movie.Request(kLoadSettings);
    program.window.Wait(kLoaderInterval);
  }
  std::string Card(const std::string& name) {
    for (int i = 1; i <= kPicturesPerCard; ++i)
      dir.Write(name + "/DCIM/100TEST/IMG_" + name + std::to_string(i) + ".JPG", "picture " + std::to_string(i));
    return dir.Path(name);
  }
  // The answers to the next boxes, the final box of a move among them.
  void Answers(std::initializer_list<BoxAnswer> answers) {
    for (BoxAnswer answer : answers) program.window.QueueAnswer(answer);
  }
  // Runs at the move's first event pump, when it has begun.
  void DuringTheNextMove(std::function<void()> action) { program.window.QueueEvent(std::move(action)); }

  clsFSMoving& mover() { return program.Module().objFSMoving(); }
  std::string Text(const std::string& key, const std::vector<TextValue>& values = {}) {
    return program.Module().objLanguageProvider().GetDialog(key, values);
  }
  // The texts of the boxes shown, in order.
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const std::string& line : program.log.Matching("box ")) {
      const std::size_t text = line.find(" text=") + 6;
      texts.push_back(line.substr(text, line.rfind(" -> ") - text));
    }
    return texts;
  }
  std::string Confirmation(const std::string& card) { return EscapeLogText(Text("operation_alert", {card, target})); }
  std::string Moved() { return EscapeLogText(Text("files_moved")); }
  static int Pictures(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      count += entry.is_regular_file() ? 1 : 0;
    return count;
  }
};

TEST(LaterStartsTest, CardBecomesTheSourceOfAnIdleWindow) {
  RunningProgram p(/*automoving=*/false);
  p.LoadSettings();
  const std::string card = p.Card("b");
  p.form->LaterStart(card);
  EXPECT_EQ(p.mover().SourceValue(), card);
  EXPECT_EQ(testing::ValuesSetFor(p.program.movie.Calls(), "cmbSource").back(), card) << "the movie shows it";
  EXPECT_TRUE(p.BoxTexts().empty()) << "without Automoving the user starts the move";
  EXPECT_EQ(RunningProgram::Pictures(card), kPicturesPerCard);

  // A start without an argument only wanted the window.
  p.form->LaterStart("");
  EXPECT_EQ(p.mover().SourceValue(), card);
}

TEST(LaterStartsTest, CardIsMovedAtOnceWithAutomoving) {
  RunningProgram p(/*automoving=*/true);
  p.LoadSettings();
  const std::string card = p.Card("b");
  p.Answers({BoxAnswer::OK});
  p.form->LaterStart(card);
  EXPECT_EQ(p.BoxTexts(), (std::vector<std::string>{p.Confirmation(card), p.Moved()}));
  EXPECT_EQ(RunningProgram::Pictures(p.target), kPicturesPerCard);
  EXPECT_EQ(RunningProgram::Pictures(card), 0);
}

TEST(LaterStartsTest, CardArrivingDuringAMoveIsOfferedWhenTheMoveHasEnded) {
  RunningProgram p(/*automoving=*/false);
  const std::string first = p.Card("a");
  const std::string second = p.Card("b");
  p.program.settings.SaveSetting("Quillfen", "Settings", "Source", first);
  p.LoadSettings();
  std::string sourceAfterArrival;
  p.DuringTheNextMove([&] {
    ASSERT_TRUE(p.mover().Running());
    p.form->LaterStart(second);
    sourceAfterArrival = p.mover().SourceValue();
  });
  p.Answers({BoxAnswer::OK, BoxAnswer::OK, BoxAnswer::OK, BoxAnswer::OK});
  p.program.movie.Request(kStartOperation);

  EXPECT_EQ(sourceAfterArrival, first) << "the running move keeps its source";
  // One move after the other, never one inside the other.
  EXPECT_EQ(p.BoxTexts(), (std::vector<std::string>{p.Confirmation(first), p.Moved(), p.Confirmation(second), p.Moved()}));
  EXPECT_EQ(RunningProgram::Pictures(p.target), 2 * kPicturesPerCard);
  EXPECT_FALSE(p.mover().Running());
}

TEST(LaterStartsTest, CardArrivingWhileABoxIsOpenWaitsUntilItIsAnswered) {
  RunningProgram p(/*automoving=*/true);
  p.LoadSettings();
  const std::string card = p.Card("b");
  p.program.window.SetBoxObserver([&](const std::string&) { p.form->LaterStart(card); });
  p.Answers({BoxAnswer::OK, BoxAnswer::OK, BoxAnswer::OK});
  p.program.movie.Request(R"(<invoke name="NoSuchCommand" returntype="xml"><arguments/></invoke>)");
  const std::vector<std::string> texts = p.BoxTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_NE(texts[0].find("NoSuchCommand"), std::string::npos) << "the move came after the box, not inside it";
  EXPECT_EQ(texts[1], p.Confirmation(card));
  EXPECT_EQ(RunningProgram::Pictures(card), 0);
}

TEST(LaterStartsTest, TheCardBeingMovedIsNotTakenAgain) {
  RunningProgram p(/*automoving=*/true);
  const std::string card = p.Card("a");
  p.LoadSettings();
  p.DuringTheNextMove([&] { p.form->LaterStart(card); });
  p.Answers({BoxAnswer::OK});
  p.form->LaterStart(card);
  EXPECT_EQ(p.BoxTexts(), (std::vector<std::string>{p.Confirmation(card), p.Moved()}));
}

TEST(LaterStartsTest, CardArrivingBeforeTheSettingsWaitsForTheLoader) {
  RunningProgram p(/*automoving=*/true);
  const std::string first = p.Card("a");
  const std::string second = p.Card("b");
  p.program.system.argument = first;  // the desktop started the program for it
  p.form->LaterStart(second);
  p.form->LaterStart(first);  // the desktop offered the first card twice
  EXPECT_TRUE(p.BoxTexts().empty());
  EXPECT_TRUE(p.mover().SourceValue().empty()) << "nothing before the settings are loaded";

  p.Answers({BoxAnswer::OK, BoxAnswer::OK, BoxAnswer::OK, BoxAnswer::OK});
  p.LoadSettings();
  // The first start's card first, as the loader moves it; then the later one.
  EXPECT_EQ(p.BoxTexts(), (std::vector<std::string>{p.Confirmation(first), p.Moved(), p.Confirmation(second), p.Moved()}));
  EXPECT_EQ(RunningProgram::Pictures(p.target), 2 * kPicturesPerCard);
  EXPECT_TRUE(p.program.window.MovieVisible());
}

// Whether the first start or a later one was given it, a folder that does
// not exist is said to be none, and is neither stored nor moved, even with
// Automoving on: the stored card stays the source, with its pictures.
TEST(LaterStartsTest, AnArgumentThatIsNoFolderIsSaidToBeSoNeverStoredOrMoved) {
  for (const bool firstStart : {true, false}) {
    SCOPED_TRACE(firstStart ? "the first start" : "a later start");
    RunningProgram p(/*automoving=*/true);
    const std::string stored = p.Card("a");
    const std::string missing = p.dir.Path("no such card");
    p.program.settings.SaveSetting("Quillfen", "Settings", "Source", stored);
    if (firstStart) p.program.system.argument = missing;
    p.LoadSettings();
    if (!firstStart) p.form->LaterStart(missing);
    EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{EscapeLogText(p.Text("argument_not_folder", {missing}))});
    EXPECT_EQ(p.mover().SourceValue(), stored);
    EXPECT_EQ(p.program.settings.GetSetting("Quillfen", "Settings", "Source", ""), stored);
    EXPECT_EQ(RunningProgram::Pictures(stored), kPicturesPerCard);
  }
}

TEST(LaterStartsTest, ClosingTheWindowDropsAWaitingCard) {
  RunningProgram p(/*automoving=*/false);
  const std::string first = p.Card("a");
  const std::string second = p.Card("b");
  p.program.settings.SaveSetting("Quillfen", "Settings", "Source", first);
  p.LoadSettings();
  p.DuringTheNextMove([&] {
    p.form->LaterStart(second);
    p.program.window.Close();
  });
  p.Answers({BoxAnswer::OK});
  p.program.movie.Request(kStartOperation);
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{}) << "the move was cancelled in its checks, nothing offered";
  EXPECT_EQ(RunningProgram::Pictures(second), kPicturesPerCard);
}

}  // namespace
}  // namespace quillfen
