// The walk: progress, pause and cancel at their points, test mode, removal
// of emptied subfolders, hidden pictures, and moves that fail.
#include <gtest/gtest.h>

#include "app/MainMenu.h"
#include "support/MoverHarness.h"

namespace quillfen::testing {
namespace {

class MoverWalkTest : public ::testing::Test {
 protected:
  // Ten pictures in one camera folder, "p01.jpg" to "p10.jpg".
  void WriteTenPictures() {
    for (int k = 1; k <= 10; ++k) h.dir.Write("card/DCIM/100A/p" + std::string(k < 10 ? "0" : "") + std::to_string(k) + ".jpg", "x");
  }
  void Confirm() { h.program.window.QueueAnswer(BoxAnswer::OK); }
  std::string LastExtraInfo() {
    auto calls = h.SetValueCalls("infoExtra");
    return calls.empty() ? std::string() : calls.back();
  }
  bool Reported(int moved) {
    return LastExtraInfo().find("<string>" + h.Text("moved_files", {TextValue(moved)}) + "</string>") !=
           std::string::npos;
  }
  std::string FinalMessage() { return MoverHarness::Box("information", "OK", "Quillfen", h.Text("files_moved"), "OK"); }
  std::size_t MovedCount() { return h.Names(h.pictures).size(); }
  MoverHarness h;
};

TEST_F(MoverWalkTest, ProgressShowsTheWholePercentOfBytesMoved) {
  h.dir.Write("card/a.jpg", "1");
  h.dir.Write("card/b.jpg", "2");
  h.dir.Write("card/c.jpg", "3");
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.ProgressValues(), (std::vector<std::string>{"0", "33", "66", "100", "0"}));
  auto lines = h.SetValueCalls("infoOperation");
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(h.Text("moving_file") + " \"c.jpg\"..."), std::string::npos);
  EXPECT_TRUE(Reported(3));
  EXPECT_TRUE(h.program.log.Contains("open-folder " + h.card));
  EXPECT_EQ(h.Boxes().back(), FinalMessage());
  EXPECT_FALSE(h.module().settingsLock().Held());
}

TEST_F(MoverWalkTest, CancelAfterTheSecondPictureEndsTheWalkQuietly) {
  WriteTenPictures();
  h.AfterPicture(2, [&] { h.mover().Cancel(); });
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"p01.jpg", "p02.jpg"}));
  EXPECT_TRUE(Reported(2));
  EXPECT_FALSE(h.program.log.Contains("open-folder"));
  EXPECT_EQ(h.Boxes().size(), 1u);  // only the question
  EXPECT_FALSE(h.mover().CancelRequested());
  // The folder still holds pictures, so it stays.
  EXPECT_EQ(h.Names(h.dir.Path("card/DCIM/100A")).size(), 8u);
}

TEST_F(MoverWalkTest, PauseHoldsAfterThePictureInHandUntilResumed) {
  WriteTenPictures();
  std::size_t movedWhilePaused = 0;
  h.AfterPicture(1, [&] { h.mover().Pause(); });
  h.AfterPicture(
      1,
      [&] {
        movedWhilePaused = MovedCount();
        h.mover().Pause();
      },
      3);
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(movedWhilePaused, 1u);
  EXPECT_EQ(MovedCount(), 10u);
  auto captions = h.SetValueCalls("cmdPause");
  ASSERT_EQ(captions.size(), 2u);
  EXPECT_NE(captions[0].find("<string>" + h.Text("resume") + "</string><number>2</number>"), std::string::npos);
  EXPECT_NE(captions[1].find("<string>" + h.Text("pause") + "</string><number>2</number>"), std::string::npos);
  EXPECT_FALSE(h.mover().Paused());
}

TEST_F(MoverWalkTest, CancelWhilePausedWakesTheWalkAndEndsIt) {
  WriteTenPictures();
  h.AfterPicture(1, [&] { h.mover().Pause(); });
  h.AfterPicture(1, [&] { h.mover().Cancel(); }, 3);
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(MovedCount(), 1u);
  EXPECT_TRUE(Reported(1));
  EXPECT_FALSE(h.mover().Paused());
  EXPECT_FALSE(h.mover().CancelRequested());
  EXPECT_EQ(h.SetValueCalls("cmdPause").size(), 2u);  // "resume", then back to "pause"
}

TEST_F(MoverWalkTest, RequestsMadeWhileIdle) {
  h.dir.Write("card/a.jpg", "a");
  // A pause made before the move is ended by it and never holds it.
  h.mover().Pause();
  Confirm();
  h.mover().StartOperation();
  EXPECT_FALSE(h.mover().Paused());
  EXPECT_EQ(MovedCount(), 1u);

  // A cancel made while idle belongs to no move: the next one runs whole.
  h.dir.Write("card/b.jpg", "b");
  h.mover().Cancel();
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.dir.Read("pictures/b.jpg"), "b");

  // A cancel made while the checks run ends that move before its question,
  // quietly, and is consumed there: the next move asks and runs.
  h.dir.Write("card/c.jpg", "c");
  h.AtPump(1, [&] { h.mover().Cancel(); });
  h.program.log.Clear();
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), std::vector<std::string>{});
  EXPECT_EQ(h.dir.Read("card/c.jpg"), "c");
  EXPECT_FALSE(h.mover().CancelRequested());
  EXPECT_FALSE(h.mover().Running());
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.dir.Read("pictures/c.jpg"), "c");
}

TEST_F(MoverWalkTest, EachMoveIsPrecededByTheHintOfTheNextPictureInItsFolder) {
  h.dir.Write("card/a.jpg", "a");
  h.dir.Write("card/b.jpg", "b");
  h.dir.Write("card/b2.jpg", "b");
  h.dir.Write("card/.c.jpg", "hidden");
  h.dir.Write("card/d.jpg", "d");
  h.dir.Write("card/sub/e.jpg", "e");
  Confirm();
  h.mover().StartOperation();
  const auto hint = [&](const std::string& name) { return "hint " + h.dir.Path("card/" + name) + " -> " + h.pictures; };
  const auto move = [&](const std::string& name) { return "move " + h.dir.Path("card/" + name); };
  EXPECT_EQ(h.overlay.moveJournal, (std::vector<std::string>{hint("b.jpg"), move("a.jpg"), hint("b2.jpg"),
                                                               move("b.jpg"), hint("d.jpg"), move("b2.jpg"),
                                                               move("d.jpg"), move("sub/e.jpg")}));
}

TEST_F(MoverWalkTest, TestModeMovesNothingButReportsAsAMove) {
  for (int k = 1; k <= 5; ++k) h.dir.Write("card/DCIM/10" + std::to_string(k) + "X/p.jpg", "x");
  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  h.program.window.SetMenuChecked(menu::Testing, true);
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(MovedCount(), 0u);
  EXPECT_EQ(h.overlay.moveJournal, std::vector<std::string>{});  // not even a hint
  EXPECT_TRUE(Reported(5));
  EXPECT_EQ(h.ProgressValues()[5], "100");
  EXPECT_TRUE(h.program.log.Contains("open-folder " + h.dir.Path("card/DCIM")));
  EXPECT_EQ(h.Boxes().back(), FinalMessage());
  EXPECT_EQ(h.Names(h.dir.Path("card/DCIM")).size(), 5u);  // no folder emptied
}

TEST_F(MoverWalkTest, TestModeSwitchedOnDuringTheMoveLeavesTheRestInPlace) {
  WriteTenPictures();
  h.AfterPicture(3, [&] { h.program.window.SetMenuChecked(menu::Testing, true); });
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(MovedCount(), 3u);
  EXPECT_TRUE(Reported(10));
}

TEST_F(MoverWalkTest, EmptiedSubfoldersGoAndOthersStay) {
  h.dir.Write("card/DCIM/100A/a.jpg", "a");
  h.dir.Write("card/DCIM/100A/deeper/b.JPG", "b");
  h.dir.Write("card/DCIM/101B/c.jpg", "c");
  h.dir.Write("card/DCIM/101B/c.wav", "sound");
  h.dir.Write("card/DCIM/102C/.hidden.jpg", "h");
  h.dir.MakeFolders(h.dir.Path("card/DCIM/103D"));
  h.program.window.QueueButton(2);  // the sound of c.jpg stays: pictures only
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"a.jpg", "b.JPG", "c.jpg"}));
  // An empty folder that was empty before goes too; one with any file stays.
  EXPECT_EQ(h.Names(h.dir.Path("card/DCIM")), (std::vector<std::string>{"101B", "102C"}));
  EXPECT_EQ(h.Names(h.dir.Path("card/DCIM/101B")), (std::vector<std::string>{"c.wav"}));
  EXPECT_TRUE(h.dir.IsFolder(h.dir.Path("card/DCIM")));
}

TEST_F(MoverWalkTest, HiddenPicturesAreCountedButNotMoved) {
  h.dir.Write("card/a.jpg", "12");
  h.dir.Write("card/.b.jpg", "12");
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"a.jpg"}));
  EXPECT_EQ(h.dir.Read("card/.b.jpg"), "12");
  EXPECT_EQ(h.ProgressValues(), (std::vector<std::string>{"0", "50", "0"}));
  EXPECT_TRUE(Reported(1));
}

TEST_F(MoverWalkTest, AFailedMoveIsOfferedAgainAndThenDone) {
  h.dir.Write("card/a.jpg", "a");
  const std::string source = h.dir.Path("card/a.jpg");
  h.overlay.failingMoves[source] = 1;
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{h.Confirmation(h.pictures, "OK"),
                                                 MoverHarness::Box("warning", "RetryCancel", "Quillfen",
                                                                   h.Text("move_failed", {source, "Permission denied"}),
                                                                   "Retry"),
                                                 FinalMessage()}));
  EXPECT_EQ(h.dir.Read("pictures/a.jpg"), "a");
  EXPECT_TRUE(Reported(1));
}

TEST_F(MoverWalkTest, GivingUpOnAFailedMoveEndsTheWalkAsACancel) {
  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  h.dir.Write("card/a.jpg", "a");
  h.dir.Write("card/b.jpg", "b");
  h.dir.Write("card/c.jpg", "c");
  h.overlay.failingMoves[h.dir.Path("card/b.jpg")] = -1;
  Confirm();
  h.mover().StartOperation();  // the warning gets Cancel
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"0001.JPG"}));
  EXPECT_EQ(h.dir.Read("card/b.jpg"), "b");
  EXPECT_EQ(h.dir.Read("card/c.jpg"), "c");
  // Not counted: neither in the report nor in the progress.
  EXPECT_TRUE(Reported(1));
  EXPECT_EQ(h.ProgressValues(), (std::vector<std::string>{"0", "33", "0"}));
  EXPECT_FALSE(h.program.log.Contains("open-folder"));
  EXPECT_EQ(h.Boxes().size(), 2u);
  EXPECT_FALSE(h.mover().CancelRequested());
  EXPECT_FALSE(h.module().settingsLock().Held());

  // The next move continues the numbering from what really arrived.
  h.overlay.failingMoves.clear();
  Confirm();
  h.mover().StartOperation();
  EXPECT_EQ(h.dir.Read("pictures/0002.JPG"), "b");
  EXPECT_EQ(h.dir.Read("pictures/0003.JPG"), "c");
}

// The walk takes the pictures the scan found; one that someone else took
// away meanwhile is told about like any picture that cannot be moved.
TEST_F(MoverWalkTest, APictureGoneSinceTheScanIsToldAndTheWalkCanEnd) {
  h.dir.Write("card/DCIM/100A/a.jpg", "a");
  h.dir.Write("card/DCIM/101B/b.jpg", "b");
  h.dir.Write("card/DCIM/101B/c.jpg", "c");
  const std::string gone = h.dir.Path("card/DCIM/101B/b.jpg");
  h.AfterPicture(1, [&] { h.dir.Rename(gone, h.dir.Path("elsewhere.jpg")); });
  Confirm();
  h.mover().StartOperation();  // the warning gets Cancel
  EXPECT_EQ(h.Boxes().back(), MoverHarness::Box("warning", "RetryCancel", "Quillfen",
                                                h.Text("move_failed", {gone, "No such file or directory"}), "Cancel"));
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"a.jpg"}));
  EXPECT_TRUE(Reported(1));
  EXPECT_FALSE(h.program.log.Contains("open-folder"));
  EXPECT_EQ(h.dir.Read("card/DCIM/101B/c.jpg"), "c");
}

TEST_F(MoverWalkTest, PathsAreStoredWhenSetEvenDuringAMove) {
  h.dir.Write("card/a.jpg", "a");
  const std::string other = h.dir.Path("elsewhere");
  bool lockedThen = false;
  h.AfterPicture(1, [&] {
    lockedThen = h.module().settingsLock().Held();
    h.mover().Source(other);
  });
  Confirm();
  h.mover().StartOperation();
  EXPECT_TRUE(lockedThen);
  // The move itself went on from the source it began with.
  EXPECT_EQ(h.dir.Read("pictures/a.jpg"), "a");
  EXPECT_TRUE(h.program.log.Contains("open-folder " + h.card));
  EXPECT_EQ(h.program.settings.Get("Source"), other);
  EXPECT_EQ(h.program.settings.Get("Target"), h.pictures);
  EXPECT_EQ(h.mover().SourceValue(), other);
  ASSERT_FALSE(h.SetValueCalls("cmbSource").empty());
  EXPECT_NE(h.SetValueCalls("cmbSource").back().find("<string>" + other + "</string><number>1</number>"),
            std::string::npos);
}

}  // namespace
}  // namespace quillfen::testing
