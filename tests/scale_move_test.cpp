// A card of many pictures in many folders, moved by the real headless host:
// the checks, the survey and the move complete, numbering runs past 9999,
// the host stays small, and it keeps pumping events so that a pause is
// answered at once.
//
// QUILLFEN_SCALE_PICTURES (default 50000) sets the number of pictures on
// the card, QUILLFEN_SCALE_TARGET (default 20000) the number already in the
// target, QUILLFEN_SCALE_DIR the folder to work in (default /dev/shm when it
// is there: creating tens of thousands of files on a disk is slow). The
// figures are printed; scripts/bench-scale runs this test and shows them.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "support/HostProcess.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using testing::HostClock;
using testing::HostRun;
using testing::HostSandbox;

constexpr int kFolders = 100;
constexpr long kMemoryLimitKilobytes = 200 * 1024;

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

std::string WorkFolder() {
  if (const char* dir = std::getenv("QUILLFEN_SCALE_DIR"); dir && *dir) return dir;
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return "";
}

void WriteSmallFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

std::string ReadSmallFile(const std::string& path) {
  std::string bytes(256, '\0');
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  const ssize_t got = ::read(fd, bytes.data(), bytes.size());
  ::close(fd);
  bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  return bytes;
}

// Each picture's bytes name it, so that a swapped or damaged one shows.
std::string PictureBytes(int index) { return "picture " + std::to_string(index) + " of the scale card\n"; }

// count pictures IMG_nnnnn.JPG spread over kFolders folders below DCIM.
void MakeCard(const std::string& card, int count) {
  for (int folder = 0; folder < kFolders; ++folder)
    fs::create_directories(card + "/DCIM/" + std::to_string(100 + folder) + "SCALE");
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%05d.JPG", i);
    WriteSmallFile(card + "/DCIM/" + std::to_string(100 + i % kFolders) + "SCALE" + name, PictureBytes(i));
  }
}

long CountFiles(const std::string& folder) {
  long count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) ++count;
  return count;
}

// The longest stretch without a line from the host, from the line starting
// with `from` to the one starting with `to` (or the end): the host logs a
// line at each step and pumps events between pictures, so during the move a
// request waits at most about this long.
double LongestSilenceMs(const HostRun& run, const std::string& from, const std::string& to) {
  const long start = run.Find(from);
  if (start < 0) return -1;
  long end = to.empty() ? -1 : run.Find(to, start);
  if (end < 0) end = static_cast<long>(run.lines.size()) - 1;
  double longest = 0;
  std::size_t at = 0;
  for (std::size_t i = static_cast<std::size_t>(start) + 1; i <= static_cast<std::size_t>(end); ++i) {
    const double gap = std::chrono::duration<double, std::milli>(run.arrived[i] - run.arrived[i - 1]).count();
    if (gap > longest) {
      longest = gap;
      at = i;
    }
  }
  if (std::getenv("QUILLFEN_SCALE_SHOW_SILENCE") && at > 0)
    std::printf("longest silence between\n  %.200s\n  %.200s\n", run.lines[at - 1].c_str(), run.lines[at].c_str());
  return longest;
}

double Seconds(HostClock::duration d) { return std::chrono::duration<double>(d).count(); }

void Report(const std::string& what, const std::string& figure) {
  std::printf("[ figure   ] %-58s %s\n", what.c_str(), figure.c_str());
  std::fflush(stdout);
}

const std::string kControlsLocked = "movie <invoke name=\"SwitchControls\"";
const std::string kMoveBegins =
    "movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoExtra</string>"
    "<string>Moving pictures...</string>";

// Silences are printed for the checks (scan, sort, confirmation, survey) and
// for the move itself; a pause can only act on the move.
void ReportRun(const std::string& what, const HostRun& run, HostClock::duration took) {
  const double checks = LongestSilenceMs(run, kControlsLocked, kMoveBegins);
  const double move = LongestSilenceMs(run, kMoveBegins, "");
  char text[200];
  std::snprintf(text, sizeof text, "%.2f s, peak %.1f MB, longest silence: checks %.0f ms, move %s", Seconds(took),
                run.peakKilobytes / 1024.0, checks,
                move < 0 ? "(no move)" : (std::to_string(static_cast<int>(move + 0.5)) + " ms").c_str());
  Report(what, text);
}

const std::string kStartUp =
    "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
    "wait 100\n";

std::string SetPaths(const std::string& source, const std::string& target) {
  return "call <invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>Source</string><string>" + source +
         "</string></arguments></invoke>\n"
         "call <invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>Target</string><string>" + target +
         "</string></arguments></invoke>\n";
}

const std::string kStartMove =
    "answer OK\n"
    "call <invoke name=\"StartOperationX\" returntype=\"xml\"><arguments/></invoke>\n";

class ScaleTest : public ::testing::Test {
 protected:
  const int pictures_ = Setting("QUILLFEN_SCALE_PICTURES", 50000);
  const int inTarget_ = Setting("QUILLFEN_SCALE_TARGET", 20000);
  HostSandbox sandbox_{WorkFolder()};
  const std::string card_ = sandbox_.Path("card");
  const std::string target_ = sandbox_.Path("target");

  void SetUp() override {
    // The silences and the pause are measured by when the host's lines
    // arrive, so it writes each line as it happens.
    ::setenv("QUILLFEN_LOG_EACH_LINE", "1", 1);
    Report("work folder", sandbox_.root());
    const auto started = HostClock::now();
    MakeCard(card_, pictures_);
    fs::create_directories(target_);
    Report("card of " + std::to_string(pictures_) + " pictures made in",
           std::to_string(Seconds(HostClock::now() - started)) + " s");
  }

  HostRun Move(const std::string& what, const std::string& settings, const std::string& transcript) {
    sandbox_.Settings(settings);
    const auto started = HostClock::now();
    HostRun run = sandbox_.Run(transcript, {}, 600);
    ReportRun(what, run, HostClock::now() - started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_LT(testing::CheckedPeakKilobytes(run.peakKilobytes), kMemoryLimitKilobytes);
    return run;
  }
};

TEST_F(ScaleTest, AmongManyOtherPicturesEveryPictureArrivesAndAPauseIsAnsweredAtOnce) {
  for (int i = 0; i < inTarget_; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/OTHER_%05d.JPG", i);
    WriteSmallFile(target_ + name, "other");
  }
  const int half = pictures_ / 2;
  // Paused in the middle of the move and then cancelled; the pause's reply
  // must follow the picture it came after without delay. The first
  // progress call is the reset to 0 before the move.
  const std::string trigger = "after setProgress " + std::to_string(half + 1);
  HostRun run = Move("move paused and cancelled halfway", "AutoRename=false\nSubfolder=false\n",
                     kStartUp + SetPaths(card_, target_) + trigger +
                         " call <invoke name=\"PauseOperationX\" returntype=\"xml\"><arguments/></invoke>\n" + trigger +
                         " call <invoke name=\"CancelOperationX\" returntype=\"xml\"><arguments/></invoke>\n" +
                         kStartMove);
  long lastProgress = -1;
  for (int seen = 0; seen <= half; ++seen) {
    lastProgress = run.Find("movie <invoke name=\"setProgress\"", lastProgress + 1);
    ASSERT_GE(lastProgress, 0) << "fewer than " << half << " pictures were moved";
  }
  const long pauseReply = run.Find("reply ", lastProgress);
  ASSERT_GE(pauseReply, 0);
  EXPECT_NE(run.lines[pauseReply - 1].find("<string>cmdPause</string>"), std::string::npos)
      << "the pause is the first request answered after the picture";
  const double pauseMs = std::chrono::duration<double, std::milli>(run.arrived[pauseReply] - run.arrived[lastProgress]).count();
  char figure[32];
  std::snprintf(figure, sizeof figure, "%.3f ms", pauseMs);
  Report("pause answered after the picture in hand", figure);
  EXPECT_FALSE(run.Has("open-folder")) << "a cancelled move is not reported as done";
  EXPECT_EQ(CountFiles(target_), inTarget_ + half);

  // The rest, in one go.
  run = Move("rest of the move, " + std::to_string(pictures_ - half) + " pictures among " +
                 std::to_string(inTarget_ + half),
             "AutoRename=false\nSubfolder=false\n", kStartUp + SetPaths(card_, target_) + kStartMove);
  EXPECT_TRUE(run.Has("open-folder " + card_ + "/DCIM"));
  EXPECT_EQ(CountFiles(card_), 0);
  EXPECT_EQ(CountFiles(target_), inTarget_ + pictures_);
  for (int i = 0; i < pictures_; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%05d.JPG", i);
    ASSERT_EQ(ReadSmallFile(target_ + name), PictureBytes(i)) << name;
  }
}

TEST_F(ScaleTest, NumberingRunsPast9999WithoutPadding) {
  const HostRun run = Move("numbered move into an empty target", "AutoRename=true\nSubfolder=false\n",
                           kStartUp + SetPaths(card_, target_) + kStartMove);
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=All pictures have been moved.")) << run.errors;
  EXPECT_EQ(CountFiles(card_), 0);
  EXPECT_EQ(CountFiles(target_), pictures_);
  std::set<std::string> contents;
  for (int n = 1; n <= pictures_; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/%04d.JPG", n);
    const std::string bytes = ReadSmallFile(target_ + name);
    ASSERT_EQ(bytes.rfind("picture ", 0), 0u) << name << " is missing or not a picture of the card";
    contents.insert(bytes);
  }
  EXPECT_EQ(contents.size(), static_cast<std::size_t>(pictures_)) << "every picture arrives once";
  if (pictures_ >= 10000) {
    EXPECT_TRUE(fs::exists(target_ + "/9999.JPG"));
    EXPECT_TRUE(fs::exists(target_ + "/10000.JPG"));
    EXPECT_FALSE(fs::exists(target_ + "/010000.JPG"));
  }
}

TEST_F(ScaleTest, NumberingIntoATargetOfNumberedPicturesIsRefusedBeforeAnythingMoves) {
  for (int n = 1; n <= inTarget_; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/%04d.JPG", n);
    WriteSmallFile(target_ + name, "numbered");
  }
  // Any picture of the target reads as 0 or more, and 0 + the card's
  // pictures passes 9999: the rule refuses the move, naming that picture.
  const HostRun run = Move("numbered move refused by a numbered target", "AutoRename=true\nSubfolder=false\n",
                           kStartUp + SetPaths(card_, target_) + kStartMove);
  const std::string refusal =
      "box information OK title=Quillfen text=Pictures cannot be numbered beyond 9999:\\r\\n" + target_ + "/";
  bool refused = false;
  for (const std::string& line : run.Matching(refusal))
    if (line.find(".JPG\\r\\n\\r\\nChoose another destination folder. -> OK") != std::string::npos) refused = true;
  EXPECT_TRUE(refused) << run.Log().substr(0, 4000);
  EXPECT_FALSE(run.Has("movie <invoke name=\"setProgress\" returntype=\"xml\"><arguments><number>1"));
  EXPECT_EQ(CountFiles(card_), pictures_);
  EXPECT_EQ(CountFiles(target_), inTarget_);
}

}  // namespace
}  // namespace quillfen
