// The planner and the walk on their own, over the in-memory file system: each
// refusal with the place it names, the plan's folders and numbers, and the
// walk's events, numbering, give-up and cancel.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "memory/MemoryFileSystem.h"
#include "mover/MovePlanner.h"
#include "mover/MoveWalk.h"

namespace quillfen::testing {
namespace {

using Kind = Refusal::Kind;

MoveRequest Request(bool autoRename = false) {
  MoveRequest request;
  request.source = "/card";
  request.target = "/pictures";
  request.autoRename = autoRename;
  request.today = {2026, 12, 8};
  request.dayOf = [](std::int64_t seconds) { return LocalDate{2026, 1, 1 + static_cast<int>(seconds / 86400)}; };
  return request;
}

// Every step of the planner up to the walk, the day folders made as the
// mover makes them once the user has confirmed; the refusal of the first
// step that refuses, or the plan.
std::variant<MovePlan, Refusal> PlanAll(MemoryFileSystem& files, const MoveRequest& request) {
  if (std::optional<Refusal> refused = CheckFolders(files, request)) return *refused;
  std::variant<MovePlan, Refusal> planned = PlanMove(files, request, {});
  MovePlan* plan = std::get_if<MovePlan>(&planned);
  if (!plan) return planned;
  if (std::optional<Refusal> refused = CheckSpace(files, *plan)) return *refused;
  for (Destination& destination : plan->destinations) {
    if (plan->byDateTaken) files.PutFolder(destination.folder);
    if (std::optional<Refusal> refused = SurveyDestination(files, *plan, destination, {})) return *refused;
  }
  return planned;
}

TEST(MovePlannerTest, EachRefusalSaysWhatAndWhere) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // path -> bytes ("/" at the end: a folder)
    MoveRequest request;
    Kind kind;
    std::string folder;
    std::string other;
  };
  MoveRequest numbered = Request(true);
  MoveRequest byDay = Request();
  byDay.dayFolder = byDay.byDateTaken = true;
  MoveRequest intoCard = Request();
  intoCard.target = "/card/DCIM/out";
  MoveRequest noSource = Request();
  noSource.source = "/nowhere";
  const std::vector<Case> cases = {
      {"no target", {{"/card/a.jpg", "a"}}, Request(), Kind::TargetAbsent, "", ""},
      {"no source", {{"/pictures/", ""}}, noSource, Kind::SourceAbsent, "", ""},
      {"target in the card", {{"/card/DCIM/a.jpg", "a"}, {"/card/DCIM/out/", ""}}, intoCard, Kind::TargetInSource,
       "/card/DCIM/out", "/card/DCIM"},
      {"double names", {{"/card/1/a.jpg", "a"}, {"/card/2/A.JPG", "b"}, {"/pictures/", ""}}, Request(),
       Kind::DoubleNames, "/pictures", ""},
      {"double names in a day", {{"/card/1/a.jpg", "a"}, {"/card/2/A.JPG", "b"}, {"/pictures/", ""}}, byDay,
       Kind::DoubleNamesInDay, "/pictures/260101", ""},
      {"only empty files", {{"/card/a.jpg", ""}, {"/pictures/", ""}}, Request(), Kind::EmptySource, "", ""},
      {"name taken", {{"/card/a.jpg", "a"}, {"/pictures/A.jpg", "old"}}, Request(), Kind::NameTaken, "/pictures",
       "/pictures/A.jpg"},
      {"numbers run out", {{"/card/a.jpg", "a"}, {"/pictures/9999.JPG", "old"}}, numbered, Kind::NumbersRunOut,
       "/pictures", "/pictures/9999.JPG"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem files;
    for (const auto& [path, bytes] : c.files)
      path.back() == '/' ? files.PutFolder(path) : files.Put(path, bytes);
    const std::variant<MovePlan, Refusal> planned = PlanAll(files, c.request);
    const Refusal* refusal = std::get_if<Refusal>(&planned);
    ASSERT_NE(refusal, nullptr) << c.name;
    EXPECT_EQ(refusal->kind, c.kind) << c.name;
    EXPECT_EQ(refusal->folder, c.folder) << c.name;
    EXPECT_EQ(refusal->other, c.other) << c.name;
  }
}

// Room is counted in the units the target allocates: three small files take
// three units, not their bytes.
TEST(MovePlannerTest, TooLittleRoomAcrossVolumesSaysHowMuchInTheTargetsUnits) {
  struct Case {
    std::uint64_t unit;
    double needed;
  };
  for (const Case& c : {Case{1, 36}, Case{4096, 3 * 4096}}) {
    MemoryFileSystem files;
    files.AddVolume("/pictures", 2 * 4096 - 1, false, c.unit);
    for (const char* name : {"a", "b", "c"}) files.Put(std::string("/card/DCIM/") + name + ".jpg", std::string(12, 'x'));
    std::variant<MovePlan, Refusal> planned = PlanMove(files, Request(), {});
    const std::optional<Refusal> refused = CheckSpace(files, std::get<MovePlan>(planned));
    if (c.unit == 1) {
      EXPECT_FALSE(refused) << "36 bytes fit";
      continue;
    }
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind, Kind::NoSpace);
    EXPECT_EQ(refused->needed, c.needed);
    EXPECT_EQ(refused->free, 2 * 4096u - 1);
  }
}

TEST(MovePlannerTest, ShotsGoToTheDayTheyWereTakenAndNumbersContinueThere) {
  MemoryFileSystem files;
  files.Put("/card/DCIM/100A/a.jpg", "a", 0);           // 1 January
  files.Put("/card/DCIM/100A/b.jpg", "b", 86400 + 5);   // 2 January
  files.Put("/card/DCIM/101B/c.jpg", "c", 10);          // 1 January
  files.Put("/pictures/260102/0041.JPG", "old");
  MoveRequest request = Request(true);
  request.dayFolder = request.byDateTaken = true;
  std::variant<MovePlan, Refusal> planned = PlanAll(files, request);
  MovePlan& plan = std::get<MovePlan>(planned);
  ASSERT_EQ(plan.destinations.size(), 2u);
  EXPECT_EQ(plan.destinations[0].folder, "/pictures/260101");
  EXPECT_EQ(plan.destinations[0].shotCount, 2);
  EXPECT_EQ(plan.destinations[1].folder, "/pictures/260102");
  EXPECT_EQ(plan.destinations[1].highestNumber, 41);
  EXPECT_EQ(plan.sourceFolder, "/card/DCIM");
  EXPECT_EQ(plan.totalSize, 3);
}

// What the walk tells, in order, and the answers it gets.
class RecordingEvents : public WalkEvents {
 public:
  std::vector<std::string> heard;
  int retries = 0;  // how often a failed move is tried again before giving up
  bool cancelAfterFirst = false;
  bool testMode = false;

  void ShotStarting(const Shot& shot) override { heard.push_back("start " + shot.name); }
  bool LeaveInPlace() override { return testMode; }
  bool RetryMove(const std::string& source, const FsStatus&, FailedIn where, const std::string&) override {
    heard.push_back(std::string(where == FailedIn::Backup ? "backup failed " : "failed ") + source);
    return retries-- > 0;
  }
  void ShotSplit(const Shot& shot, const std::vector<std::string>& whereNow) override {
    heard.push_back("split " + shot.name + " " + std::to_string(whereNow.size()));
  }
  void ShotDone(const WalkState& walk) override {
    heard.push_back("done " + std::to_string(walk.moved) + " " + std::to_string(int(walk.movedSize)) + "/" +
                    std::to_string(int(walk.totalSize)));
  }
  void PauseGate() override {
    heard.push_back("gate");
    cancelled_ = cancelAfterFirst;
  }
  bool CancelRequested() const override { return cancelled_; }

 private:
  bool cancelled_ = false;
};

class MoveWalkTest : public ::testing::Test {
 protected:
  MemoryFileSystem files;
  RecordingEvents events;

  void SetUp() override { files.PutFolder("/pictures"); }

  MovePlan Plan(bool autoRename, bool everyCameraFile) {
    MoveRequest request = Request(autoRename);
    request.everyCameraFile = everyCameraFile;
    std::variant<MovePlan, Refusal> planned = PlanAll(files, request);
    return std::get<MovePlan>(planned);
  }
};

TEST_F(MoveWalkTest, ShotsAreNumberedTogetherAndEmptiedFoldersGo) {
  files.Put("/card/DCIM/100A/IMG_1.JPG", "j1");
  files.Put("/card/DCIM/100A/IMG_1.CR2", "raw1");
  files.Put("/card/DCIM/101B/IMG_2.JPG", "j2");
  files.Put("/pictures/0007.JPG", "old");
  MovePlan plan = Plan(true, true);
  const WalkResult result = WalkPlan(files, plan, events);
  EXPECT_EQ(events.heard, (std::vector<std::string>{"start IMG_1", "done 1 6/8", "gate", "start IMG_2", "done 2 8/8",
                                                    "gate"}));
  EXPECT_EQ(result.walk.moved, 2);
  EXPECT_FALSE(result.gaveUp);
  EXPECT_EQ(files.Contents("/pictures/0008.CR2"), "raw1");
  EXPECT_EQ(files.Contents("/pictures/0008.JPG"), "j1");
  EXPECT_EQ(files.Contents("/pictures/0009.JPG"), "j2");
  EXPECT_FALSE(files.FolderExists("/card/DCIM/100A"));
  EXPECT_TRUE(files.FolderExists("/card/DCIM"));
}

TEST_F(MoveWalkTest, AShotGivenUpGoesBackWholeAndEndsTheWalk) {
  files.Put("/card/IMG_1.CR2", "raw");
  files.Put("/card/IMG_1.JPG", "jpeg");
  files.Put("/card/IMG_2.JPG", "next");
  MovePlan plan = Plan(false, true);
  files.Put("/pictures/IMG_1.JPG", "someone else's");  // appears after the checks
  events.retries = 1;
  const WalkResult result = WalkPlan(files, plan, events);
  EXPECT_TRUE(result.gaveUp);
  EXPECT_EQ(result.walk.moved, 0);
  EXPECT_EQ(events.heard, (std::vector<std::string>{"start IMG_1", "failed /card/IMG_1.JPG", "failed /card/IMG_1.JPG"}));
  EXPECT_EQ(files.Contents("/card/IMG_1.CR2"), "raw");
  EXPECT_EQ(files.Contents("/card/IMG_2.JPG"), "next");
  EXPECT_FALSE(files.FileExists("/pictures/IMG_1.CR2"));
}

TEST_F(MoveWalkTest, ACancelEndsTheWalkAfterTheShotInHandAndTestModeMovesNothing) {
  files.Put("/card/a.jpg", "a");
  files.Put("/card/b.jpg", "b");
  MovePlan plan = Plan(false, false);
  events.cancelAfterFirst = true;
  EXPECT_EQ(WalkPlan(files, plan, events).walk.moved, 1);
  EXPECT_EQ(files.Contents("/pictures/a.jpg"), "a");
  EXPECT_EQ(files.Contents("/card/b.jpg"), "b");

  RecordingEvents testMode;
  testMode.testMode = true;
  MovePlan again = Plan(false, false);
  EXPECT_EQ(WalkPlan(files, again, testMode).walk.moved, 1);
  EXPECT_EQ(files.Contents("/card/b.jpg"), "b");
}

}  // namespace
}  // namespace quillfen::testing
