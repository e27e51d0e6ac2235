// What only the POSIX file system has to get right (the rest is in the
// contract test both file systems pass): links, times to the nanosecond,
// copies that fail half-way, durability, leftovers of killed runs, links and
// pipes in a file's place.
#include "posix/CardClock.h"
#include "posix/PosixFileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/PathParts.h"
#include "mover/Pictures.h"
#include "posix/PartialCopies.h"
#include "posix/ReadAhead.h"
#include "support/TempDir.h"

namespace quillfen {
namespace {

using testing::ReadFileAt;
using testing::TempDir;
using testing::WriteFileAt;
namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<FileEntry>& files) {
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(f.name);
  return names;
}

std::vector<std::string> LastElements(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const auto& p : paths) names.push_back(fs::path(p).filename().string());
  return names;
}

struct timespec ModifiedAt(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mtim;
}

void SetTimes(const std::string& path, time_t seconds, long nanoseconds) {
  const struct timespec times[2] = {{seconds - 3600, 0}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A folder on another volume than the temporary folder, when the machine has one.
class OtherVolume {
 public:
  OtherVolume() {
    struct stat shm {}, tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(fs::temp_directory_path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev)
      return;
    std::string pattern = "/dev/shm/quillfen-test-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~OtherVolume() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  bool available() const { return !path_.empty(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::string path = path_ + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    return path;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
  return s;
}

TEST(PosixListing, LinksAreNeitherFilesNorSubfolders) {
  TempDir dir;
  dir.Write("a.jpg", "xy");
  dir.Write("sub/inner.jpg", "z");
  ASSERT_EQ(::symlink(dir.Path("a.jpg").c_str(), dir.Path("link.jpg").c_str()), 0);
  ASSERT_EQ(::symlink(dir.path().c_str(), dir.Path("loop").c_str()), 0);

  PosixFileSystem files;
  std::vector<FileEntry> listed;
  ASSERT_TRUE(files.ListFiles(dir.path(), listed));
  EXPECT_EQ(Names(listed), std::vector<std::string>{"a.jpg"});
  std::vector<std::string> subfolders;
  ASSERT_TRUE(files.ListSubfolders(dir.path(), subfolders));
  EXPECT_EQ(LastElements(subfolders), std::vector<std::string>{"sub"}) << "a linked folder never leads into a loop";
  EXPECT_FALSE(files.FolderIsEmpty(dir.Path("sub")));
  // The program's own files may be links (an installation links its data).
  ASSERT_EQ(::symlink(dir.Path("gone.ini").c_str(), dir.Path("dangling.ini").c_str()), 0);
  EXPECT_EQ(files.FileNames(dir.path()), (std::vector<std::string>{"a.jpg", "link.jpg"}));
}

TEST(PosixFiles, ReplacingFollowsLinksKeepsModesAndAPipeNeverBlocks) {
  TempDir dir;
  dir.Write("real.ini", "old");
  ASSERT_EQ(::chmod(dir.Path("real.ini").c_str(), 0640), 0);
  ASSERT_EQ(::symlink(dir.Path("real.ini").c_str(), dir.Path("link.ini").c_str()), 0);
  PosixFileSystem files;
  ASSERT_TRUE(files.ReplaceFile(dir.Path("link.ini"), "new"));
  EXPECT_EQ(dir.Read("real.ini"), "new");
  EXPECT_TRUE(fs::is_symlink(dir.Path("link.ini"))) << "the link stays a link";
  struct stat st {};
  ASSERT_EQ(::stat(dir.Path("real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  ASSERT_EQ(::mkfifo(dir.Path("pipe.ini").c_str(), 0600), 0);
  std::string bytes;
  EXPECT_EQ(files.ReadFile(dir.Path("pipe.ini"), bytes).code, FsCode::Other) << "refused without waiting";
}

// How many of the file's first `bytes` are in the page cache.
std::size_t CachedBytes(const std::string& path, std::size_t bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  void* map = ::mmap(nullptr, bytes, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return 0;
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> resident((bytes + page - 1) / page);
  ::mincore(map, bytes, resident.data());
  ::munmap(map, bytes);
  return page * static_cast<std::size_t>(std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return r & 1; }));
}

TEST(PosixReadAhead, ReadsTheStartOfAFileAndNeverWaitsForAPipe) {
  TempDir dir;
  const std::size_t size = 2 << 20;
  dir.Write("big.jpg", std::string(size, 'x'));
  const int fd = ::open(dir.Path("big.jpg").c_str(), O_RDONLY);
  ASSERT_EQ(::fsync(fd), 0);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
  if (CachedBytes(dir.Path("big.jpg"), size) != 0) GTEST_SKIP() << "this file system keeps its files in memory";
  ASSERT_EQ(::mkfifo(dir.Path("pipe.jpg").c_str(), 0600), 0);

  posix::ReadAhead ahead;
  ahead.Request(dir.Path("pipe.jpg"), size);
  ahead.Request(dir.Path("missing.jpg"), size);
  ahead.Request(dir.Path("big.jpg"), size / 2);
  ahead.Drain();
  EXPECT_GE(CachedBytes(dir.Path("big.jpg"), size / 2), size / 2);

  // A file forgotten is closed, whether it was waiting or being read.
  const auto heldOpen = [&] {
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      if (fs::read_symlink(fd.path(), error) == dir.Path("big.jpg")) return true;
    }
    return false;
  };
  for (int k = 0; k < 20; ++k) {
    ahead.Request(dir.Path("big.jpg"), size);
    ahead.Forget(dir.Path("big.jpg"));
    EXPECT_FALSE(heldOpen());
  }
  // Stopping with work waiting returns at once.
  for (int k = 0; k < 20; ++k) ahead.Request(dir.Path("big.jpg"), size);
}

TEST(PosixMove, TimesAreKeptToTheNanosecondWithinAndAcrossVolumes) {
  TempDir dir;
  std::string source = dir.Write("card/IMG_0001.JPG", Pattern(3 << 20));
  SetTimes(source, 1700000000, 123456789);
  fs::create_directories(dir.Path("target"));
  PosixFileSystem files;
  ASSERT_TRUE(files.MoveFile(source, dir.Path("target/IMG_0001.JPG")));
  EXPECT_EQ(ModifiedAt(dir.Path("target/IMG_0001.JPG")).tv_nsec, 123456789);

  OtherVolume card;
  if (!card.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  std::string content = Pattern((5 << 20) + 17);  // several chunks and a ragged end
  std::string far = card.Write("IMG_0002.JPG", content);
  SetTimes(far, 1600000000, 500000000);
  ASSERT_TRUE(files.MoveFile(far, dir.Path("target/IMG_0002.JPG")));
  EXPECT_EQ(dir.Read("target/IMG_0002.JPG"), content);
  struct timespec kept = ModifiedAt(dir.Path("target/IMG_0002.JPG"));
  EXPECT_EQ(kept.tv_sec, 1600000000);
  EXPECT_EQ(kept.tv_nsec, 500000000);
}

// A target folder whose path leaves room for the picture's name but not for
// the longer temporary name beside it: the temporary name must not be what
// makes the move fail.
TEST(PosixMove, AcrossVolumesALongTargetPathThatFitsTheNameMoves) {
  OtherVolume card;
  if (!card.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  TempDir disk;
  std::string folder = disk.path();
  while (folder.size() < 4075) folder += "/" + std::string(std::min<std::size_t>(200, 4075 - folder.size() - 1), 'f');
  ASSERT_EQ(folder.size(), 4075u);
  fs::create_directories(folder);
  const std::string target = folder + "/IMG_0001.JPG";
  PosixFileSystem files;
  ASSERT_TRUE(files.MoveFile(card.Write("IMG_0001.JPG", "long way"), target));
  std::string bytes;
  ASSERT_TRUE(files.ReadFile(target, bytes));
  EXPECT_EQ(bytes, "long way");
  EXPECT_EQ(EntriesOf(folder), std::vector<std::string>{"IMG_0001.JPG"});
}

TEST(PosixMove, CopyFailingMidwayKeepsTheSourceAndRemovesThePartialCopy) {
  OtherVolume card;
  if (!card.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  TempDir disk;
  disk.Write("target/keep.txt", "");
  std::string content = Pattern(3 << 20);
  std::string source = card.Write("BIG.JPG", content);
  PosixFileSystem files;

  // A file-size limit makes the disk refuse the copy after its first megabyte,
  // as a full volume would.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 1 << 20;
  auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  FsStatus failed = files.MoveFile(source, disk.Path("target/BIG.JPG"));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);

  EXPECT_FALSE(failed);
  EXPECT_EQ(EntriesOf(disk.Path("target")), (std::vector<std::string>{"keep.txt"}));
  EXPECT_EQ(fs::file_size(source), content.size());
}

TEST(PosixMove, AcrossVolumesEachSourceIsGoneWhenItsMoveReturns) {
  OtherVolume card;
  if (!card.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  TempDir disk;
  ::mkdir(disk.Path("target").c_str(), 0777);
  PosixFileSystem files;
  for (int i = 0; i < 50; ++i) {
    std::string name = "P" + std::to_string(i) + ".JPG";
    std::string source = card.Write(name, std::to_string(i));
    ASSERT_TRUE(files.MoveFile(source, disk.Path("target/" + name)));
    // Seen from outside, not through the same object: nothing is left for later.
    struct stat st {};
    ASSERT_NE(::lstat(source.c_str(), &st), 0) << name;
    ASSERT_EQ(disk.Read("target/" + name), std::to_string(i));
  }
  EXPECT_TRUE(EntriesOf(card.path()).empty());
}

// The process id of a child that has already ended.
pid_t EndedProcess() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(PosixMove, TemporaryCopiesOfKilledRunsAreClearedFromAFolderOnAnotherVolume) {
  OtherVolume card;
  if (!card.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  TempDir disk;
  const std::string dead = std::to_string(EndedProcess());
  const std::vector<std::string> stale = {".quillfen-IMG_1.JPG.partial-" + dead,
                                          ".quillfen-IMG_2.JPG.partial-" + dead + "-3"};
  const std::vector<std::string> kept = {
      ".quillfen-IMG_3.JPG.partial-1",            // its writer still runs
      ".quillfen-IMG_4.JPG.partial-" + dead + "x",  // not our name
      ".quillfen-IMG_5.JPG.partial-",             // no writer at all
      ".other-IMG_6.JPG.partial-" + dead,         // someone else's
      "IMG_7.JPG",
  };
  for (const auto& name : stale) disk.Write("target/" + name, "half");
  for (const auto& name : kept) disk.Write("target/" + name, "keep");
  disk.Write("target/.quillfen-dir.partial-" + dead + "/inner", "folders are never ours");
  disk.Write("same/.quillfen-IMG_8.JPG.partial-" + dead, "half");
  PosixFileSystem files;

  // A move within one volume leaves the folder alone.
  std::string local = disk.Write("card/IMG_9.JPG", "nine");
  ASSERT_TRUE(files.MoveFile(local, disk.Path("same/IMG_9.JPG")));
  EXPECT_TRUE(fs::exists(disk.Path("same/.quillfen-IMG_8.JPG.partial-" + dead)));

  ASSERT_TRUE(files.MoveFile(card.Write("A.JPG", "a"), disk.Path("target/A.JPG")));
  std::vector<std::string> expected = kept;
  expected.push_back(".quillfen-dir.partial-" + dead);
  expected.push_back("A.JPG");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(EntriesOf(disk.Path("target")), expected);

  // Once per folder: a later leftover is not looked for again by this process.
  disk.Write("target/" + stale[0], "half");
  ASSERT_TRUE(files.MoveFile(card.Write("B.JPG", "b"), disk.Path("target/B.JPG")));
  EXPECT_TRUE(fs::exists(disk.Path("target/" + stale[0])));
}

TEST(PosixMove, PartialCopyNameIsHiddenBesideTheTargetAndFitsOneName) {
  std::string pid = std::to_string(::getpid());
  EXPECT_EQ(PartialCopyName("/t/IMG_0001.JPG", 0), "/t/.quillfen-IMG_0001.JPG.partial-" + pid);
  EXPECT_EQ(PartialCopyName("/t/a.jpg", 2), "/t/.quillfen-a.jpg.partial-" + pid + "-2");
  std::string longName;
  for (int i = 0; i < 120; ++i) longName += "я";  // 240 bytes, two per letter
  std::string partial = fs::path(PartialCopyName("/t/" + longName, 0)).filename().string();
  EXPECT_LE(partial.size(), 255u);
  EXPECT_EQ(partial.rfind(".quillfen-яя", 0), 0u);
  EXPECT_EQ(partial.find(".partial-") % 2, 0u);  // cut between letters, never inside one

  // Never taken for a picture, hidden or not.
  EXPECT_FALSE(IsPicture(PartialCopyName("/t/IMG_0001.JPG", 0)));
  EXPECT_FALSE(IsPicture(PartialCopyName("/t/x.jpg", 7)));

  pid_t writer = 0;
  EXPECT_TRUE(IsPartialCopyName(".quillfen-a.jpg.partial-42", writer));
  EXPECT_EQ(writer, 42);
  EXPECT_TRUE(IsPartialCopyName(".quillfen-a.partial-1.jpg.partial-43-2", writer));
  EXPECT_EQ(writer, 43);
  EXPECT_TRUE(IsPartialCopyName(fs::path(PartialCopyName("/t/" + longName, 5)).filename().string(), writer));
  EXPECT_EQ(writer, ::getpid());
  for (const char* other : {".quillfen-a.jpg.partial-", ".quillfen-a.jpg.partial-0", ".quillfen-a.jpg.partial-4-",
                            ".quillfen-a.jpg.partial--4", ".quillfen-a.jpg.partial-12345678901", "quillfen-a.partial-4",
                            ".quillfen-.partial-x", ".quillfen.partial-4"})
    EXPECT_FALSE(IsPartialCopyName(other, writer)) << other;
}

// A FAT or exFAT card keeps the camera's clock, which the kernel shows
// shifted by the mount's offset or its own time zone; other volumes keep
// moments.
TEST(PosixCardClock, TheMountSaysHowToReadTheCardsTimes) {
  struct Case {
    const char* type;
    const char* options;
    bool cameraClock;
    std::int64_t offsetSeconds;
  };
  const Case cases[] = {
      {"vfat", "rw,relatime,fmask=0022,tz=UTC", true, 0},
      {"vfat", "rw,time_offset=-300,iocharset=utf8", true, -300 * 60},
      {"vfat", "rw,relatime", true, 60 * 60},  // the kernel's zone: an hour east of Greenwich
      {"exfat", "rw,relatime,iocharset=utf8", true, 0},
      {"exfat", "rw,sys_tz", true, 60 * 60},
      {"exfat", "rw,time_offset=540", true, 540 * 60},
      {"ext4", "rw,relatime", false, 0},
      {"fuseblk", "rw,user_id=0", false, 0},
  };
  for (const Case& c : cases) {
    const FileClock clock = posix::ClockOfMount(c.type, c.options, -60);
    EXPECT_EQ(clock.cameraClock, c.cameraClock) << c.type << " " << c.options;
    EXPECT_EQ(clock.offsetSeconds, c.offsetSeconds) << c.type << " " << c.options;
  }
  FileClock disk;
  ASSERT_TRUE(posix::ClockOfPath("/", disk));
}

// The card and the two places of a batch moved across volumes.
struct BatchLayout {
  std::string card, target, backup;
};

// The shots A (A.JPG), B (B.JPG, B.CR2) and C (C.JPG, 3 MiB and a ragged
// end) on the card, each to its target and its backup.
std::vector<std::vector<FileMove>> ThreeShots(const BatchLayout& at) {
  std::vector<std::vector<FileMove>> shots;
  for (const std::vector<std::string>& shot : std::vector<std::vector<std::string>>{{"A.JPG"}, {"B.JPG", "B.CR2"}, {"C.JPG"}}) {
    shots.emplace_back();
    for (const std::string& name : shot) {
      WriteFileAt(at.card + "/" + name, name == "C.JPG" ? Pattern((3 << 20) + 17) : name);
      shots.back().push_back({at.card + "/" + name, at.target + "/" + name, at.backup + "/" + name});
    }
  }
  return shots;
}

// MoveShots with every file written beyond `fileSizeLimit` refused, as a
// full volume would refuse it (0: no limit).
std::vector<ShotOutcome> MoveShotsWithin(PosixFileSystem& files, const std::vector<std::vector<FileMove>>& shots,
                                         rlim_t fileSizeLimit) {
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit limited = old;
  if (fileSizeLimit) limited.rlim_cur = fileSizeLimit;
  auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &limited);
  std::vector<ShotOutcome> outcomes = files.MoveShots(shots, true);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  return outcomes;
}

// Shots moved together across volumes, each to its target and its backup,
// in both directions: from memory to the disk, whose copies are made durable
// by one flush of the volume, and from the disk to memory, flushed copy by
// copy. A shot that fails in either place stays on the card whole, nothing
// of it is left under a name in either place, and its outcome names the
// place; the other shots of the batch move.
TEST(PosixMoveShots, AShotFailingInEitherPlaceStaysWholeAndTheOthersMove) {
  struct Case {
    const char* what;
    std::function<void(const BatchLayout&, std::vector<std::vector<FileMove>>&)> fault;
    rlim_t fileSizeLimit;
    // Per shot: Ok, or the code and where it failed ("" the card, else the
    // place and name, as "target/B.CR2").
    std::vector<std::pair<FsCode, std::string>> expected;
    // Shots of one small picture each (N0000.JPG, ...) after those three,
    // enough for several rounds of copies in hand; they move unless listed.
    std::size_t more = 0;
    std::map<std::size_t, std::pair<FsCode, std::string>> moreExpected = {};
  };
  const std::pair<FsCode, std::string> moved{FsCode::Ok, ""};
  const std::vector<Case> cases = {
      {"nothing in the way", [](const BatchLayout&, auto&) {}, 0, {moved, moved, moved}},
      {"a name taken in the target after the checks",
       [](const BatchLayout& at, auto&) { WriteFileAt(at.target + "/B.CR2", "someone else's"); }, 0,
       {moved, {FsCode::Exists, "target/B.CR2"}, moved}},
      {"a name taken in the backup after the checks",
       [](const BatchLayout& at, auto&) { WriteFileAt(at.backup + "/B.JPG", "someone else's"); }, 0,
       {moved, {FsCode::Exists, "backup/B.JPG"}, moved}},
      // B.CR2's copy meets a name that appears between its copying and its
      // naming (the shot before it takes that name first).
      {"a name taken in the target while the copies are checked",
       [](const BatchLayout& at, auto& shots) { shots[1][1].target = at.target + "/A.JPG"; }, 0,
       {moved, {FsCode::Exists, "target/A.JPG"}, moved}},
      {"the backup folder gone", [](const BatchLayout& at, auto&) { fs::remove_all(at.backup); }, 0,
       {{FsCode::NotFound, "backup/A.JPG"}, {FsCode::NotFound, "backup/B.JPG"}, {FsCode::NotFound, "backup/C.JPG"}}},
      {"a picture gone from the card", [](const BatchLayout& at, auto&) { fs::remove(at.card + "/A.JPG"); }, 0,
       {{FsCode::NotFound, ""}, moved, moved}},
      {"a copy larger than the target takes", [](const BatchLayout&, auto&) {}, 1 << 20,
       {moved, moved, {FsCode::Other, "target/C.JPG"}}},
      // The rounds overlap: a later round is copied while the one before is
      // checked; each round's failures stay its own, the outcomes in order.
      {"names taken in several rounds",
       [](const BatchLayout& at, auto&) {
         WriteFileAt(at.target + "/N0100.JPG", "someone else's");
         WriteFileAt(at.backup + "/N0390.JPG", "someone else's");
       },
       0, {moved, moved, moved}, 400,
       {{3 + 100, {FsCode::Exists, "target/N0100.JPG"}}, {3 + 390, {FsCode::Exists, "backup/N0390.JPG"}}}},
  };
  OtherVolume memory;
  if (!memory.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  for (const bool fromMemory : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (fromMemory ? ", memory to disk" : ", disk to memory"));
      TempDir disk, far(memory.path());
      const TempDir& card = fromMemory ? far : disk;
      const TempDir& places = fromMemory ? disk : far;
      const BatchLayout at{card.Path("card"), places.Path("target"), places.Path("backup")};
      for (const std::string& folder : {at.target, at.backup}) fs::create_directories(folder);
      std::vector<std::vector<FileMove>> shots = ThreeShots(at);
      std::vector<std::pair<FsCode, std::string>> expected = c.expected;
      for (std::size_t n = 0; n < c.more; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "N%04zu.JPG", n);
        WriteFileAt(at.card + "/" + name, name);
        shots.push_back({{at.card + "/" + name, at.target + "/" + name, at.backup + "/" + name}});
        const auto listed = c.moreExpected.find(expected.size());
        expected.push_back(listed == c.moreExpected.end() ? moved : listed->second);
      }
      std::map<std::string, std::string> before;
      for (const auto& shot : shots)
        for (const FileMove& file : shot) before[file.source] = ReadFileAt(file.source);
      std::vector<std::vector<FileMove>> moves = shots;
      c.fault(at, moves);
      PosixFileSystem files;
      const std::vector<ShotOutcome> outcomes = MoveShotsWithin(files, moves, c.fileSizeLimit);

      ASSERT_EQ(outcomes.size(), shots.size());
      std::map<std::string, std::vector<std::string>> named = {{at.target, {}}, {at.backup, {}}};
      for (std::size_t k = 0; k < shots.size(); ++k) {
        const auto& [code, where] = expected[k];
        const ShotOutcome& outcome = outcomes[k];
        EXPECT_EQ(outcome.status.code, code) << shots[k][0].source << ": " << outcome.status.reason;
        std::vector<std::string> sums;
        for (const FileMove& file : moves[k]) {
          if (code != FsCode::Ok) {
            // Still on the card, unless it was the picture gone from it.
            if (!where.empty()) {
              EXPECT_EQ(ReadFileAt(file.source), before[file.source]);
            }
            continue;
          }
          EXPECT_FALSE(fs::exists(file.source));
          EXPECT_EQ(ReadFileAt(file.target), before[file.source]);
          EXPECT_EQ(ReadFileAt(file.backup), before[file.source]);
          ASSERT_TRUE(files.Checksum(file.target, sums.emplace_back()));
          named[at.target].push_back(GetFileName(file.target));
          named[at.backup].push_back(GetFileName(file.backup));
        }
        EXPECT_EQ(outcome.checksums, sums);
        const std::string place = where.empty() ? "" : (where.rfind("target", 0) == 0 ? at.target : at.backup) +
                                                           where.substr(where.find('/'));
        EXPECT_EQ(outcome.failedAt, place);
      }
      // In either place, the moved shots' copies and what was there before; nothing else.
      for (auto& [folder, names] : named) {
        if (!fs::exists(folder)) continue;
        for (const std::string& entry : EntriesOf(folder))
          if (ReadFileAt(folder + "/" + entry) == "someone else's") names.push_back(entry);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(EntriesOf(folder), names) << folder;
      }
    }
  }
}

}  // namespace
}  // namespace quillfen
