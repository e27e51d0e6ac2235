// A move the card can be formatted after: the backup's checks and failures,
// the checksum lists (checked by xxhsum itself), the card ejected and the
// notification of a move the user turned away from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/MoverHarness.h"
#include "support/Process.h"

namespace quillfen::testing {
namespace {

// A card of two pictures, moved into /test/pictures; the backup drive is a
// volume of its own at /backup.
struct BackupCard {
  MoverHarness h;
  const std::string drive = "/backup";

  BackupCard() {
    h.memory.AddVolume(drive, std::uint64_t{1} << 30);
    h.dir.Write("card/DCIM/100A/IMG_0001.JPG", "first");
    h.dir.Write("card/DCIM/100A/IMG_0002.JPG", "second");
  }
  void Backup(const std::string& folder) {
    h.module().objSettings().SaveBackup(folder);
    h.program.log.Clear();
  }
  // Starts the move and says OK to the confirmation.
  void Move() {
    h.program.window.QueueAnswer(BoxAnswer::OK);
    h.mover().StartOperation();
  }
  std::string Refusal(const std::string& key, const std::vector<TextValue>& values) {
    return MoverHarness::Box("information", "OK", "Quillfen", h.Text(key, values), "OK");
  }
  bool CardWhole() { return h.Names(h.dir.Path("card/DCIM/100A")).size() == 2; }
};

class MoverBackupTest : public ::testing::Test, public BackupCard {};

TEST_F(MoverBackupTest, ABackupThatIsNoSecondCopyIsRefusedBeforeAnythingMoves) {
  h.dir.MakeFolders("/test/card/DCIM/copy");
  h.dir.MakeFolders("/test/elsewhere");
  h.memory.AddVolume("/small", 4);
  h.memory.Put("/backup/clash/IMG_0001.JPG", "an older picture");
  struct Case {
    std::string backup;
    std::vector<std::string> boxes;
  };
  const std::vector<Case> cases = {
      {"/backup/none", {Refusal("backup_absent", {"/backup/none"})}},
      {"/media/user/USBDRIVE/Pictures", {Refusal("backup_drive_absent", {"/media/user/USBDRIVE/Pictures", "USBDRIVE"})}},
      {"/test/card/DCIM/copy", {Refusal("backup_in_source", {"/test/card/DCIM/copy", "/test/card"})}},
      {"/test/elsewhere", {Refusal("backup_beside_target", {"/test/elsewhere", "/test/pictures"})}},
      {"/small",
       {MoverHarness::Box("warning", "RetryCancel", h.Text("no_space_caption"),
                          h.Text("no_space_backup", {TextValue(0), TextValue(0), "/small"}), "Cancel")}},
      {"/backup/clash",
       {h.Confirmation("/test/pictures", "OK"),
        MoverHarness::Box("information", "OK", h.Text("same_names_caption"),
                          h.Text("same_names", {"/backup/clash/IMG_0001.JPG"}), "OK")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.backup);
    Backup(c.backup);
    Move();
    EXPECT_EQ(h.Boxes(), c.boxes);
    EXPECT_TRUE(CardWhole());
    EXPECT_TRUE(h.Names("/test/pictures").empty());
    EXPECT_FALSE(h.mover().Running());
  }
}

TEST_F(MoverBackupTest, EveryShotLandsInBothPlacesUnderOneNameOrStaysOnTheCard) {
  struct Case {
    std::string name;
    std::map<std::string, int> OverlayFileSystem::*failing;  // null: nothing fails
    std::string box;                                          // the failure's text
  };
  const std::string card = h.dir.Path("card/DCIM/100A/IMG_0001.JPG");
  const std::vector<Case> cases = {
      {"both", nullptr, ""},
      {"target fails", &OverlayFileSystem::failingMoves, "target_failed"},
      {"backup fails", &OverlayFileSystem::failingCopies, "backup_failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BackupCard fresh;
    MoverHarness& m = fresh.h;
    m.Options(/*autoRename=*/true, /*subfolder=*/false);
    fresh.Backup("/backup");
    if (c.failing) (m.overlay.*c.failing)[card] = 1;
    // A number the backup has already is taken in neither place.
    m.memory.Put("/backup/0001.JPG", "an older picture");
    fresh.Move();  // the failed shot is given up: the walk ends there
    if (c.box.empty()) {
      EXPECT_EQ(m.Names("/test/pictures"), (std::vector<std::string>{"0002.JPG", "0003.JPG"}));
      EXPECT_EQ(m.Names("/backup"), (std::vector<std::string>{"0001.JPG", "0002.JPG", "0003.JPG"}));
      EXPECT_EQ(m.memory.Contents("/backup/0003.JPG"), "second");
      EXPECT_TRUE(m.Names(m.dir.Path("card/DCIM/100A")).empty());
      continue;
    }
    const std::string place = c.box == "backup_failed" ? "/backup" : "/test/pictures";
    EXPECT_EQ(m.Boxes().at(1), MoverHarness::Box("warning", "RetryCancel", "Quillfen",
                                                 m.Text(c.box, {card, m.overlay.failureReason, place}), "Cancel"));
    EXPECT_TRUE(fresh.CardWhole());
    EXPECT_TRUE(m.Names("/test/pictures").empty());
    EXPECT_EQ(m.Names("/backup"), (std::vector<std::string>{"0001.JPG"}));
  }
}

// The end of a move: with eject on, a card left with nothing shot on it is
// ejected and the pictures' folder shown; a card the volume service cannot eject is said
// plainly; a card that keeps files is not ejected. A long move the user
// turned away from ends with a notification.
TEST_F(MoverBackupTest, TheEndOfAMoveEjectsACardWithNothingShotLeftAndTellsAUserWhoLookedAway) {
  struct Case {
    std::string name;
    bool eject;
    std::string ejectFailure;
    std::string kept;  // a file that stays on the card
    bool behind;
    std::vector<std::string> lines;  // the log from the report on
  };
  const std::string card = "/test/card";
  const std::string dcim = "/test/card/DCIM";
  const std::string moved = h.Text("notify_moved", {TextValue(2), "/test/pictures"});
  const auto report = [&](const std::string& icon, const std::string& text) {
    return MoverHarness::Box(icon, "OK", "Quillfen", text, "OK");
  };
  const std::string ejected = report("information", h.Text("files_moved_ejected"));
  const std::vector<Case> cases = {
      {"eject off", false, "", "", false, {"open-folder " + dcim, report("information", h.Text("files_moved"))}},
      {"ejected", true, "", "", false, {"eject " + card, "open-folder /test/pictures", ejected}},
      {"busy", true, "target is busy", "", false,
       {"eject " + card + " -> target is busy", "open-folder /test/pictures",
        report("warning", h.Text("eject_failed", {"target is busy"}))}},
      // The camera's own catalogue goes with the formatting; a note of the user's does not.
      {"camera's own file", true, "", "card/DCIM/CANONMSC/M0100.CTG", false,
       {"eject " + card, "open-folder /test/pictures", ejected}},
      {"not empty", true, "", "card/DCIM/100A/NOTES.TXT", false, {"open-folder " + dcim}},
      {"behind, ejected", true, "", "", true,
       {"eject " + card, "notify title=Quillfen body=" + EscapeLogText(moved + "\n" + h.Text("notify_card_removable")),
        "open-folder /test/pictures", ejected}},
      {"behind, not ejected", false, "", "", true,
       {"notify title=Quillfen body=" + EscapeLogText(moved + "\n" + h.Text("notify_card_mounted")),
        "open-folder " + dcim, report("information", h.Text("files_moved"))}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BackupCard fresh;
    MoverHarness& m = fresh.h;
    m.module().objSettings().SaveParameter("EjectCard", c.eject);
    m.program.shell.ejectFailure = c.ejectFailure;
    if (!c.kept.empty()) m.dir.Write(c.kept, "kept");
    m.program.window.inFront = !c.behind;
    m.program.system.tick = 10;  // every reading of the clock: ten seconds on
    fresh.Move();
    std::vector<std::string> lines = m.program.log.Lines();
    const auto from = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
      return line.rfind("eject ", 0) == 0 || line.rfind("notify ", 0) == 0 || line.rfind("open-folder ", 0) == 0;
    });
    lines.erase(lines.begin(), from);
    lines.resize(std::min(lines.size(), c.lines.size()));
    EXPECT_EQ(lines, c.lines);
  }
}

// The lists xxhsum checks: one in each folder a move wrote to, after the
// pictures, passing `xxhsum -c` until a picture changes.
TEST(ChecksumListTest, XxhsumChecksTheListsOfBothDestinations) {
  if (std::system("xxhsum --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xxhsum is not installed";
  DiskMoverHarness h;
  h.dir.Write("card/DCIM/100A/IMG_0001.JPG", "first picture");
  h.dir.Write("card/DCIM/100A/IMG_0001.CR2", "its raw file");
  const std::string backup = h.dir.Path("backup");
  std::filesystem::create_directories(backup);
  h.overlay.volumeIds[backup] = 99;  // a drive of its own
  h.module().objSettings().SaveBackup(backup);
  h.module().objSettings().SaveParameter("ChecksumList", true);
  h.module().objSettings().SaveParameter("AllCameraFiles", true);
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  const std::string list = "zz-checksums-20261206-100000.xxh128";
  for (const std::string& folder : {h.pictures, backup}) {
    SCOPED_TRACE(folder);
    EXPECT_EQ(DiskMoverHarness::Names(folder), (std::vector<std::string>{"IMG_0001.CR2", "IMG_0001.JPG", list}));
    const std::string check = "cd '" + folder + "' && xxhsum -c " + list + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(check.c_str()), 0);
    std::ofstream(folder + "/IMG_0001.JPG", std::ios::app) << "changed";
    EXPECT_NE(std::system(check.c_str()), 0);
  }
}

}  // namespace
}  // namespace quillfen::testing
