// Faults in the middle of a move from a real exFAT card (a loop device
// through FUSE) into a small tmpfs: the card pulled or unmounted while the
// move is paused, the target made read-only or filled up by someone else, a
// picture that vanishes and a target name that appears after the checks.
// Afterwards every picture is on the card or, byte for byte, in the target,
// and no temporary or partial file is left. Needs root; skipped elsewhere.
#include <signal.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "support/MoverHarness.h"
#include "support/Process.h"

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;

// Runs a shell command; its standard output, and whether it succeeded.
bool Shell(const std::string& command, std::string* output = nullptr) {
  const ProcessResult run = RunCommand({"/bin/sh", "-c", command});
  if (output) *output = run.lines.empty() ? std::string() : run.lines.front();
  return run.exitCode == 0;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Cards and small volumes mounted for one test, all undone at its end.
class RealVolumes {
 public:
  ~RealVolumes() {
    for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
      if (!Shell("umount " + Quoted(*it))) Shell("umount -l " + Quoted(*it));
    for (const auto& loop : loops_) Shell("losetup -d " + loop);
  }

  // Why the machine cannot give these volumes, or nothing.
  static std::string Unavailable() {
    if (::geteuid() != 0) return "mounting volumes needs root";
    if (!Shell("command -v mkfs.exfat")) return "mkfs.exfat is not installed (exfatprogs)";
    if (!Shell("command -v mount.exfat-fuse") || !fs::exists("/dev/fuse")) return "no exfat-fuse or /dev/fuse";
    return {};
  }

  // A freshly formatted exFAT card of mb megabytes at dir; its image lives at image.
  bool Card(const std::string& dir, const std::string& image, int mb) {
    if (!Shell("truncate -s " + std::to_string(mb) + "M " + Quoted(image) + " && mkfs.exfat " + Quoted(image)))
      return false;
    if (!Shell("losetup -f --show " + Quoted(image), &cardLoop_)) return false;
    loops_.push_back(cardLoop_);
    cardDir_ = dir;
    return MountCard();
  }
  // Mounts the card again (after it was unmounted or its process died).
  bool MountCard() {
    if (!Shell("mount.exfat-fuse " + cardLoop_ + " " + Quoted(cardDir_))) return false;
    mounts_.push_back(cardDir_);
    return true;
  }
  // Unmounts and mounts the card, so that what was written is on the device.
  bool Reinsert() { return Shell("umount " + Quoted(cardDir_)) && MountCard(); }
  // The process serving the card.
  pid_t CardProcess() const {
    std::string pid;
    Shell("pgrep -f -x 'mount.exfat-fuse " + cardLoop_ + " " + cardDir_ + "'", &pid);
    return pid.empty() || pid.find('\n') != std::string::npos ? 0 : static_cast<pid_t>(std::stol(pid));
  }

  bool Tmpfs(const std::string& dir, const std::string& size) {
    if (!Shell("mount -t tmpfs -o size=" + size + ",mode=0755 quillfen-test " + Quoted(dir))) return false;
    mounts_.push_back(dir);
    return true;
  }
  static bool Remount(const std::string& dir, const char* mode) {
    return Shell(std::string("mount -o remount,") + mode + " " + Quoted(dir));
  }

 private:
  std::vector<std::string> mounts_;
  std::vector<std::string> loops_;
  std::string cardLoop_;
  std::string cardDir_;
};

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class FaultMidMove : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why = RealVolumes::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    if (!volumes.Card(h.card, h.dir.Path("card.img"), 32)) GTEST_SKIP() << "this machine refuses loop devices or FUSE";
    if (!volumes.Tmpfs(h.pictures, "4M")) GTEST_SKIP() << "this machine refuses tmpfs mounts";
    // Six pictures of random bytes, A1 to A3 and then B1 to B3 in camera order.
    std::mt19937 random(std::random_device{}());
    for (const char* name : {"100TEST/A1.JPG", "100TEST/A2.JPG", "100TEST/A3.JPG", "101TEST/B1.JPG",
                             "101TEST/B2.JPG", "101TEST/B3.JPG"}) {
      std::string content(60000 + random() % 40000, '\0');
      for (char& c : content) c = static_cast<char>(random());
      h.dir.Write("card/DCIM/" + std::string(name), content);
      pictures[fs::path(name).filename()] = {h.card + "/DCIM/" + name, content};
    }
    ASSERT_TRUE(volumes.Reinsert());
  }

  // Runs action at a pump while the move is paused after picture n, then resumes.
  void WhilePausedAfter(int n, std::function<void()> action) {
    h.AfterPicture(n, [this] { h.mover().Pause(); });
    h.AfterPicture(
        n,
        [this, action] {
          pausedWhenActing = h.mover().Paused();
          action();
          h.mover().Pause();
        },
        2);
  }

  std::string MoveFailed(const std::string& name, const std::string& reason) {
    return MoverHarness::Box("warning", "RetryCancel", "Quillfen",
                             h.Text("move_failed", {pictures.at(name).source, reason}), "");
  }
  int BoxesStartingWith(const std::string& start) {
    int count = 0;
    for (const auto& box : h.Boxes()) count += box.rfind(start, 0) == 0;
    return count;
  }

  // Every picture either on the card or, byte for byte, in the target; only
  // `inBoth` may be in both; nothing else in the target but `foreign`.
  void ExpectEveryPictureOnce(const std::vector<std::string>& inBoth = {},
                              const std::vector<std::string>& foreign = {}) {
    for (const auto& [name, picture] : pictures) {
      const std::string moved = h.pictures + "/" + name;
      const bool onCard = fs::exists(picture.source);
      const bool inTarget = fs::exists(moved) && std::find(foreign.begin(), foreign.end(), name) == foreign.end();
      if (onCard) {
        EXPECT_EQ(Read(picture.source), picture.content) << name << " changed on the card";
      }
      if (inTarget) {
        EXPECT_EQ(Read(moved), picture.content) << name << " arrived damaged";
      }
      EXPECT_TRUE(onCard || inTarget) << name << " is lost";
      if (std::find(inBoth.begin(), inBoth.end(), name) == inBoth.end()) {
        EXPECT_FALSE(onCard && inTarget) << name << " is in both places";
      }
    }
    for (const auto& name : DiskMoverHarness::Names(h.pictures)) {
      EXPECT_TRUE(pictures.count(name) || std::find(foreign.begin(), foreign.end(), name) != foreign.end())
          << "left in the target: " << name;
    }
  }

  struct Picture {
    std::string source;
    std::string content;
  };
  DiskMoverHarness h;
  RealVolumes volumes;  // unmounted before the harness removes its folder
  std::map<std::string, Picture> pictures;
  bool pausedWhenActing = false;
};

TEST_F(FaultMidMove, CardWhoseProcessDiesWhilePausedKeepsEveryPicture) {
  WhilePausedAfter(2, [&] {
    pid_t card = volumes.CardProcess();
    ASSERT_GT(card, 0);
    ::kill(card, SIGKILL);
    while (::kill(card, 0) == 0) ::usleep(10000);
  });
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.program.window.QueueAnswer(BoxAnswer::Cancel);
  h.mover().StartOperation();

  EXPECT_TRUE(pausedWhenActing);
  EXPECT_EQ(BoxesStartingWith(MoveFailed("A3.JPG", "Transport endpoint is not connected")), 2);
  EXPECT_EQ(h.Boxes().size(), 3u);  // the question and the failure twice: no "all moved"
  EXPECT_EQ(DiskMoverHarness::Names(h.pictures), (std::vector<std::string>{"A1.JPG", "A2.JPG"}));

  // The card comes back; what its dying process had not yet written of the
  // two removals may bring those pictures back too, never damaged.
  ASSERT_TRUE(Shell("umount -l " + Quoted(h.card)));
  ASSERT_TRUE(volumes.MountCard());
  ExpectEveryPictureOnce({"A1.JPG", "A2.JPG"});
}

TEST_F(FaultMidMove, CardUnmountedWhilePausedKeepsEveryPicture) {
  WhilePausedAfter(4, [&] { ASSERT_TRUE(Shell("umount " + Quoted(h.card))); });
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Cancel);
  h.mover().StartOperation();

  EXPECT_TRUE(pausedWhenActing);
  EXPECT_EQ(BoxesStartingWith(MoveFailed("B2.JPG", "No such file or directory")), 1);
  EXPECT_EQ(DiskMoverHarness::Names(h.pictures), (std::vector<std::string>{"A1.JPG", "A2.JPG", "A3.JPG", "B1.JPG"}));
  ASSERT_TRUE(volumes.MountCard());
  ExpectEveryPictureOnce();
  EXPECT_TRUE(fs::exists(pictures["B3.JPG"].source));
}

TEST_F(FaultMidMove, TargetMadeReadOnlyThenWritableAgainOnRetry) {
  WhilePausedAfter(1, [&] { ASSERT_TRUE(RealVolumes::Remount(h.pictures, "ro")); });
  std::vector<std::string> leftAtTheBox;
  h.program.window.SetBoxObserver([&](const std::string& text) {
    if (text.find("Read-only file system") == std::string::npos) return;
    leftAtTheBox = DiskMoverHarness::Names(h.pictures);
    RealVolumes::Remount(h.pictures, "rw");
  });
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.mover().StartOperation();

  EXPECT_EQ(BoxesStartingWith(MoveFailed("A2.JPG", "Read-only file system")), 1);
  EXPECT_EQ(leftAtTheBox, (std::vector<std::string>{"A1.JPG"}));
  EXPECT_NE(h.Boxes().back().find(h.Text("files_moved")), std::string::npos);
  EXPECT_EQ(DiskMoverHarness::Names(h.pictures).size(), 6u);
  ExpectEveryPictureOnce();
  EXPECT_FALSE(fs::exists(h.card + "/DCIM/100TEST"));  // emptied, then removed
}

TEST_F(FaultMidMove, TargetFilledBySomeoneElseLeavesNoPartialCopyAndRetryGoesOn) {
  const std::string filler = h.pictures + "/.filler";
  WhilePausedAfter(2, [&] {
    // Room for a part of the next picture only, so its copy fails half-way.
    struct statvfs vfs {};
    ASSERT_EQ(::statvfs(h.pictures.c_str(), &vfs), 0);
    const std::uint64_t room = vfs.f_bavail * vfs.f_frsize;
    ASSERT_TRUE(Shell("head -c " + std::to_string(room - 16384) + " /dev/zero > " + Quoted(filler)));
  });
  std::vector<std::string> leftAtTheBox;
  h.program.window.SetBoxObserver([&](const std::string& text) {
    if (text.find("No space left on device") == std::string::npos) return;
    leftAtTheBox = DiskMoverHarness::Names(h.pictures);
    fs::remove(filler);
  });
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.mover().StartOperation();

  EXPECT_EQ(BoxesStartingWith(MoveFailed("A3.JPG", "No space left on device")), 1);
  EXPECT_EQ(leftAtTheBox, (std::vector<std::string>{".filler", "A1.JPG", "A2.JPG"}));
  EXPECT_NE(h.Boxes().back().find(h.Text("files_moved")), std::string::npos);
  ExpectEveryPictureOnce();
  EXPECT_EQ(DiskMoverHarness::Names(h.pictures).size(), 6u);
}

TEST_F(FaultMidMove, PictureVanishingOrTargetNameAppearingAfterTheChecks) {
  // A2 is taken off the card after A1 has moved.
  h.AfterPicture(1, [&] { fs::remove(pictures["A2.JPG"].source); });
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Cancel);
  h.mover().StartOperation();
  EXPECT_EQ(BoxesStartingWith(MoveFailed("A2.JPG", "No such file or directory")), 1);
  EXPECT_EQ(DiskMoverHarness::Names(h.pictures), (std::vector<std::string>{"A1.JPG"}));
  pictures.erase("A2.JPG");
  ExpectEveryPictureOnce();

  // In a second move, a file named B1.JPG appears in the target after A3 has
  // moved: it is never replaced, B1 stays on the card, Retry meets it again.
  h.program.log.Clear();
  const std::string stranger = "someone else's picture";
  h.AfterPicture(1, [&] { h.dir.Write("pictures/B1.JPG", stranger); }, 1);
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.program.window.QueueAnswer(BoxAnswer::Retry);
  h.program.window.QueueAnswer(BoxAnswer::Cancel);
  h.mover().StartOperation();
  EXPECT_EQ(BoxesStartingWith(MoveFailed("B1.JPG", "File exists")), 2);
  EXPECT_EQ(Read(h.pictures + "/B1.JPG"), stranger);
  EXPECT_EQ(DiskMoverHarness::Names(h.pictures), (std::vector<std::string>{"A1.JPG", "A3.JPG", "B1.JPG"}));
  ExpectEveryPictureOnce({}, {"B1.JPG"});
  EXPECT_TRUE(fs::exists(pictures["B1.JPG"].source));
}

}  // namespace
}  // namespace quillfen::testing
