// The checks before a move: every refusal with its box, the day folder, the
// DCIM folder, the free space across volumes and folders that fail.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/DayStamp.h"
#include "mover/TargetNaming.h"
#include "support/MoverHarness.h"

namespace quillfen::testing {
namespace {

TEST(MoverChecksTest, MissingTargetOrSourceIsRefusedBeforeAnythingIsLocked) {
  MoverHarness h;
  h.mover().Target(h.dir.Path("no-such-folder"));
  h.program.log.Clear();
  h.mover().StartOperation();
  EXPECT_EQ(h.program.log.Lines(), (std::vector<std::string>{MoverHarness::Box(
                                       "information", "OK", "Quillfen", h.Text("targetDirAbsent"), "OK")}));

  h.mover().Target(h.pictures);
  h.mover().Source(h.Text("source_undefined"));
  h.program.log.Clear();
  h.mover().StartOperation();
  EXPECT_EQ(h.program.log.Lines(), (std::vector<std::string>{MoverHarness::Box(
                                       "information", "OK", "Quillfen", h.Text("sourceDirAbsent"), "OK")}));
  EXPECT_FALSE(h.module().settingsLock().Held());
  EXPECT_FALSE(h.mover().Running());
}

// A target inside the scanned folder would be walked too: pictures moved
// again and again, numbers past 9999. Refused before anything is made.
TEST(MoverChecksTest, ATargetInsideTheScannedFolderIsRefusedBeforeAnythingIsMade) {
  DiskMoverHarness h;  // the target is reached through a link
  h.dir.Write("card/DCIM/100CANON/IMG_0001.JPG", "one");
  h.dir.Write("card/DCIM/100CANON/out/0007.JPG", "already moved");
  const std::string dcim = h.dir.Path("card/DCIM");
  const auto refusal = [&](const std::string& target) {
    return std::vector<std::string>{MoverHarness::Box("information", "OK", "Quillfen",
                                                      h.Text("target_in_source", {target, dcim}), "OK")};
  };
  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  h.mover().Target(h.dir.Path("card/DCIM/100CANON/out"));
  h.program.log.Clear();
  h.mover().StartOperation();
  EXPECT_EQ(h.program.log.Lines(), refusal(h.dir.Path("card/DCIM/100CANON/out")));

  // The scanned folder itself, through a link and with a day folder that
  // does not exist yet: refused, and the day folder is not made.
  std::filesystem::create_symlink(dcim, h.dir.Path("link-to-dcim"));
  h.Options(/*autoRename=*/true, /*subfolder=*/true);
  h.mover().Target(h.dir.Path("link-to-dcim"));
  h.program.log.Clear();
  h.mover().StartOperation();
  const std::string day = h.dir.Path("link-to-dcim/" + DayStamp(h.program.system.today));
  EXPECT_EQ(h.program.log.Lines(), refusal(day));
  EXPECT_FALSE(std::filesystem::exists(day));
  EXPECT_EQ(h.dir.Read("card/DCIM/100CANON/IMG_0001.JPG"), "one");
  EXPECT_EQ(h.dir.Read("card/DCIM/100CANON/out/0007.JPG"), "already moved");

  // Beside the DCIM folder, or a target that holds the card, is fine.
  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  h.mover().Target(h.dir.Path("card"));
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  EXPECT_EQ(h.dir.Read("card/0001.JPG"), "one");
  EXPECT_EQ(h.dir.Read("card/0002.JPG"), "already moved");
}

TEST(MoverChecksTest, DoubleNamesAreRefusedOnlyWithoutNumbering) {
  MoverHarness h;
  h.dir.Write("card/DCIM/100A/IMG_0001.JPG", "one");
  h.dir.Write("card/DCIM/101B/img_0001.jpg", "two");
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{MoverHarness::Box(
                           "information", "OK", h.Text("double_names_caption"), h.Text("double_names"), "OK")}));
  EXPECT_TRUE(h.Names(h.pictures).empty());
  // The end steps ran once: unlocked, controls on, progress back to 0.
  EXPECT_FALSE(h.module().settingsLock().Held());
  EXPECT_FALSE(h.mover().Running());
  EXPECT_EQ(h.ProgressValues(), (std::vector<std::string>{"0", "0"}));
  EXPECT_EQ(h.program.movie.CallCount("SwitchControls"), 2);

  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  h.program.log.Clear();
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"0001.JPG", "0002.JPG"}));
  EXPECT_EQ(h.dir.Read("pictures/0001.JPG"), "one");
  EXPECT_EQ(h.dir.Read("pictures/0002.JPG"), "two");
}

TEST(MoverChecksTest, EmptySourceIsRefusedAlsoWhenEveryPictureIsEmpty) {
  MoverHarness h;
  h.dir.Write("card/notes.txt", "no pictures here");
  h.mover().StartOperation();
  const std::string refusal =
      MoverHarness::Box("information", "OK", h.Text("empty_source_caption"), h.Text("empty_source"), "OK");
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{refusal}));

  h.dir.Write("card/empty.jpg", "");
  h.program.log.Clear();
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{refusal}));
  EXPECT_TRUE(h.dir.Exists(h.dir.Path("card/empty.jpg")));
}

TEST(MoverChecksTest, DcimInAnyLetterCaseIsTheOnlyFolderMoved) {
  MoverHarness h;
  h.dir.Write("card/dcim/100A/a.jpg", "a");
  h.dir.Write("card/beside.jpg", "b");
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  // The question names the source as set, not its DCIM folder.
  EXPECT_EQ(h.Boxes().front(), h.Confirmation(h.pictures, "OK"));
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"a.jpg"}));
  EXPECT_TRUE(h.dir.Exists(h.dir.Path("card/beside.jpg")));
  // The browser shows the folder that was emptied.
  EXPECT_TRUE(h.program.log.Contains("open-folder " + h.dir.Path("card/dcim")));
  EXPECT_TRUE(h.dir.Exists(h.dir.Path("card/dcim")));
  EXPECT_FALSE(h.dir.Exists(h.dir.Path("card/dcim/100A")));
}

TEST(MoverChecksTest, FreeSpaceIsCheckedOnlyAcrossVolumesAndRetryReadsItAgain) {
  MoverHarness h;
  h.dir.Write("card/DCIM/big.jpg", std::string(3 * 1024 * 1024, 'x'));
  const std::string dcim = h.dir.Path("card/DCIM");
  // One volume: no question about space even on a full disk.
  h.overlay.freeSpaceReadings = {0};
  h.mover().StartOperation();
  EXPECT_EQ(h.overlay.freeSpaceCalls, 0);
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{h.Confirmation(h.pictures, "Cancel")}));

  h.overlay.volumeIds = {{dcim, 1}, {h.pictures, 2}};
  h.overlay.freeSpaceReadings = {1468006, 1468006};  // 1.4 MB, still after Retry
  h.program.log.Clear();
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.program.window.QueueAnswer(BoxAnswer::Cancel);
  h.mover().StartOperation();
  const std::string noSpace = h.Text("no_space", {"3", "1"});
  EXPECT_EQ(h.Boxes(),
            (std::vector<std::string>{MoverHarness::Box("warning", "RetryCancel", h.Text("no_space_caption"), noSpace, "Retry"),
                                      MoverHarness::Box("warning", "RetryCancel", h.Text("no_space_caption"), noSpace, "Cancel")}));
  EXPECT_EQ(h.overlay.freeSpaceCalls, 2);
  EXPECT_FALSE(h.module().settingsLock().Held());
  EXPECT_TRUE(h.Names(h.pictures).empty());

  // Room made after the first warning: Retry goes on to the question.
  h.overlay.freeSpaceReadings = {3 * 1024 * 1024 - 1, 3 * 1024 * 1024};
  h.program.log.Clear();
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  ASSERT_EQ(h.Boxes().size(), 3u);
  EXPECT_EQ(h.Boxes()[1], h.Confirmation(h.pictures, "OK"));
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"big.jpg"}));
}

TEST(MoverChecksTest, FreeSpaceEqualToTheSizePasses) {
  MoverHarness h;
  h.dir.Write("card/a.jpg", "12345");
  h.overlay.volumeIds = {{h.card, 1}, {h.pictures, 2}};
  h.overlay.freeSpaceReadings = {5};
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{h.Confirmation(h.pictures, "Cancel")}));
}

// Nothing is made in the target before every check has passed: a question
// cancelled leaves no day folder behind.
TEST(MoverChecksTest, DayFolderIsMadeOnlyOnceEveryCheckHasPassed) {
  MoverHarness h;
  h.Options(/*autoRename=*/false, /*subfolder=*/true);
  h.program.system.today = {2024, 3, 7};
  h.dir.Write("card/a.jpg", "a");
  const std::string day = h.dir.Path("pictures/240307");
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{h.Confirmation(day, "Cancel")}));
  EXPECT_FALSE(h.dir.IsFolder(day));
  EXPECT_TRUE(h.dir.Exists(h.dir.Path("card/a.jpg")));
  // The movie shows where the pictures go.
  ASSERT_EQ(h.SetValueCalls("infoTo").size(), 1u);
  EXPECT_NE(h.SetValueCalls("infoTo")[0].find(h.Text("targetMoving") + " " + day), std::string::npos);

  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  EXPECT_EQ(h.Names(day), (std::vector<std::string>{"a.jpg"}));
}

TEST(MoverChecksTest, SameNameInTheTargetIsRefusedWithItsFullPath) {
  MoverHarness h;
  h.dir.Write("card/DCIM/img_0001.jpg", "new");
  h.dir.Write("pictures/IMG_0001.JPG", "old");
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  const std::string clash = h.dir.Path("pictures/IMG_0001.JPG");
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{h.Confirmation(h.pictures, "OK"),
                                                 MoverHarness::Box("information", "OK", h.Text("same_names_caption"),
                                                                   h.Text("same_names", {clash}), "OK")}));
  EXPECT_EQ(h.dir.Read("pictures/IMG_0001.JPG"), "old");
  EXPECT_EQ(h.dir.Read("card/DCIM/img_0001.jpg"), "new");
  EXPECT_FALSE(h.module().settingsLock().Held());

  // Neither another extension nor a picture below the target is a clash.
  h.dir.Remove(clash);
  h.dir.Write("pictures/IMG_0001.jpeg", "other");
  h.dir.Write("pictures/older/img_0001.jpg", "older");
  h.program.log.Clear();
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  EXPECT_EQ(h.dir.Read("pictures/img_0001.jpg"), "new");
}

TEST(MoverChecksTest, FolderThatCannotBeReadStopsTheOperationAndSaysWhy) {
  MoverHarness h;
  h.dir.Write("card/DCIM/100A/a.jpg", "a");
  h.dir.Write("card/DCIM/101B/b.jpg", "b");
  const std::string unreadable = h.dir.Path("card/DCIM/101B");
  h.overlay.unlistable.insert(unreadable);
  h.mover().StartOperation();
  EXPECT_EQ(h.Boxes(), (std::vector<std::string>{MoverHarness::Box(
                           "warning", "OK", "Quillfen", h.Text("operation_failed", {unreadable, "Permission denied"}),
                           "OK")}));
  EXPECT_EQ(h.overlay.moveCalls, 0);
  EXPECT_FALSE(h.module().settingsLock().Held());
  EXPECT_FALSE(h.mover().Running());
  EXPECT_EQ(h.ProgressValues(), (std::vector<std::string>{"0", "0"}));

  // An unreadable target folder is found by the survey, after the question.
  h.overlay.unlistable = {h.pictures};
  h.dir.Write("card/DCIM/101B/b.jpg", "b");
  h.program.log.Clear();
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  ASSERT_EQ(h.Boxes().size(), 2u);
  EXPECT_EQ(h.Boxes()[1], MoverHarness::Box("warning", "OK", "Quillfen",
                                            h.Text("operation_failed", {h.pictures, "Permission denied"}), "OK"));
  EXPECT_EQ(h.overlay.moveCalls, 0);
}

// The day folder is made after the question, before anything moves.
TEST(MoverChecksTest, DayFolderThatCannotBeCreatedIsReportedBeforeAnythingMoves) {
  MoverHarness h;
  h.Options(/*autoRename=*/false, /*subfolder=*/true);
  h.program.system.today = {2024, 12, 31};
  h.dir.Write("card/a.jpg", "a");
  h.dir.Write("pictures/241231", "a file where the day folder belongs");
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  ASSERT_EQ(h.Boxes().size(), 2u);
  EXPECT_NE(h.Boxes()[1].find("box warning OK title=Quillfen"), std::string::npos);
  EXPECT_FALSE(h.module().settingsLock().Held());
  EXPECT_FALSE(h.mover().Running());
  EXPECT_EQ(h.dir.Read("card/a.jpg"), "a");
}

}  // namespace
}  // namespace quillfen::testing
