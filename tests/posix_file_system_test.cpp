// The POSIX file system on real temporary folders: listing order, volumes,
// folders, and moves that never replace and never lose a file.
#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/TempDir.h"
#include "platform/Paths.h"
#include "platform/posix/NoReplaceMove.h"

namespace quillfen {
namespace {

using testing::TempDir;
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

TEST(PosixListing, FilesInNameOrderIgnoringCaseWithHiddenOnesMarked) {
  TempDir dir;
  for (const char* name : {"b.jpg", "A.JPG", "a.jpg", ".hidden.jpg", "C.txt", "_x.jpg", "Ёлка.jpg", "ель.jpg"})
    dir.Write(name, "xy");
  dir.Write("sub/inner.jpg", "z");
  ASSERT_EQ(::symlink(dir.Path("b.jpg").c_str(), dir.Path("link.jpg").c_str()), 0);

  PosixFileSystem files;
  std::vector<FileEntry> listed;
  ASSERT_TRUE(files.ListFiles(dir.path(), listed));
  // Names that differ only in case keep a fixed order by their bytes; the
  // subfolder and the symbolic link are not files of the folder.
  EXPECT_EQ(Names(listed), (std::vector<std::string>{".hidden.jpg", "_x.jpg", "A.JPG", "a.jpg", "b.jpg",
                                                      "C.txt", "ель.jpg", "Ёлка.jpg"}));
  EXPECT_TRUE(listed[0].hidden);
  EXPECT_FALSE(listed[2].hidden);
  EXPECT_EQ(listed[2].path, dir.Path("A.JPG"));
  EXPECT_EQ(listed[2].size, 2u);

  std::vector<FileEntry> again;
  ASSERT_TRUE(files.ListFiles(dir.path() + "/", again));
  EXPECT_EQ(again[2].path, dir.Path("A.JPG"));  // one separator, also after a trailing "/"
}

TEST(PosixListing, SubfoldersInCameraOrderWithoutFollowingLinks) {
  TempDir dir;
  for (const char* name : {"101canon", "100CANON", "102Canon", ".thumbs", "099a"}) dir.Write(std::string(name) + "/f", "");
  dir.Write("plain.jpg", "");
  ASSERT_EQ(::symlink(dir.path().c_str(), dir.Path("loop").c_str()), 0);

  PosixFileSystem files;
  std::vector<std::string> subfolders;
  ASSERT_TRUE(files.ListSubfolders(dir.path(), subfolders));
  EXPECT_EQ(LastElements(subfolders),
            (std::vector<std::string>{".thumbs", "099a", "100CANON", "101canon", "102Canon"}));
  EXPECT_EQ(subfolders[2], dir.Path("100CANON"));

  std::vector<FileEntry> none;
  FsStatus missing = files.ListFiles(dir.Path("absent"), none);
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.reason, "No such file or directory");
  EXPECT_FALSE(files.ListSubfolders(dir.Path("plain.jpg"), subfolders));
}

TEST(PosixFolders, ExistenceCreationEmptinessAndRemoval) {
  TempDir dir;
  dir.Write("full/.hidden", "");
  dir.Write("file.jpg", "abc");
  PosixFileSystem files;

  EXPECT_TRUE(files.FolderExists(dir.path()));
  EXPECT_FALSE(files.FolderExists(dir.Path("file.jpg")));
  EXPECT_TRUE(files.FileExists(dir.Path("file.jpg")));
  EXPECT_FALSE(files.FileExists(dir.path()));

  ASSERT_TRUE(files.CreateFolder(dir.Path("made")));
  EXPECT_TRUE(files.CreateFolder(dir.Path("made")));  // already there is fine
  EXPECT_FALSE(files.CreateFolder(dir.Path("file.jpg")));
  EXPECT_FALSE(files.CreateFolder(dir.Path("no/parent")));

  EXPECT_TRUE(files.FolderIsEmpty(dir.Path("made")));
  EXPECT_FALSE(files.FolderIsEmpty(dir.Path("full")));  // a hidden file counts
  EXPECT_FALSE(files.FolderIsEmpty(dir.Path("absent")));

  // A folder with anything inside is never removed, with its contents or without.
  FsStatus refused = files.RemoveFolder(dir.Path("full"));
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.reason, "Directory not empty");
  EXPECT_TRUE(files.FileExists(dir.Path("full/.hidden")));
  EXPECT_TRUE(files.RemoveFolder(dir.Path("made")));
  EXPECT_FALSE(files.FolderExists(dir.Path("made")));
}

TEST(PosixVolumes, SizeVolumeAndFreeSpace) {
  TempDir dir;
  dir.Write("a.jpg", std::string(12345, 'x'));
  PosixFileSystem files;
  std::uint64_t size = 0, here = 0, there = 0, free = 0;
  ASSERT_TRUE(files.FileSize(dir.Path("a.jpg"), size));
  EXPECT_EQ(size, 12345u);
  EXPECT_FALSE(files.FileSize(dir.Path("none.jpg"), size));
  ASSERT_TRUE(files.VolumeId(dir.Path("a.jpg"), here));
  ASSERT_TRUE(files.VolumeId(dir.path(), there));
  EXPECT_EQ(here, there);
  ASSERT_TRUE(files.FreeSpace(dir.path(), free));
  EXPECT_GT(free, 0u);
  EXPECT_FALSE(files.FreeSpace(dir.Path("absent"), free));

  OtherVolume other;
  if (other.available()) {
    ASSERT_TRUE(files.VolumeId(other.path(), there));
    EXPECT_NE(here, there);
  }
}

TEST(PosixMove, WithinOneVolumeKeepsContentAndTimesAndNeverReplaces) {
  TempDir dir;
  std::string content = Pattern(3 << 20);
  std::string source = dir.Write("card/IMG_0001.JPG", content);
  dir.Write("card/IMG_0002.JPG", "second");
  dir.Write("target/IMG_0002.JPG", "already here");
  SetTimes(source, 1700000000, 123456789);
  PosixFileSystem files;

  ASSERT_TRUE(files.MoveFile(source, dir.Path("target/IMG_0001.JPG")));
  EXPECT_FALSE(files.FileExists(source));
  EXPECT_EQ(dir.Read("target/IMG_0001.JPG"), content);
  EXPECT_EQ(ModifiedAt(dir.Path("target/IMG_0001.JPG")).tv_sec, 1700000000);

  FsStatus clash = files.MoveFile(dir.Path("card/IMG_0002.JPG"), dir.Path("target/IMG_0002.JPG"));
  EXPECT_FALSE(clash);
  EXPECT_EQ(clash.reason, "File exists");
  EXPECT_EQ(dir.Read("card/IMG_0002.JPG"), "second");
  EXPECT_EQ(dir.Read("target/IMG_0002.JPG"), "already here");

  FsStatus vanished = files.MoveFile(dir.Path("card/gone.JPG"), dir.Path("target/gone.JPG"));
  EXPECT_FALSE(vanished);
  EXPECT_EQ(vanished.reason, "No such file or directory");
  FsStatus noFolder = files.MoveFile(dir.Path("card/IMG_0002.JPG"), dir.Path("absent/IMG_0002.JPG"));
  EXPECT_FALSE(noFolder);
  EXPECT_EQ(dir.Read("card/IMG_0002.JPG"), "second");
}

TEST(PosixMove, AcrossVolumesCopiesFlushesKeepsTimesAndLeavesNothingBehind) {
  OtherVolume card;
  if (!card.available()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  TempDir disk;
  disk.Write("target/IMG_0003.JPG", "already here");
  std::string content = Pattern((5 << 20) + 17);  // several chunks and a ragged end
  std::string source = card.Write("IMG_0001.JPG", content);
  std::string empty = card.Write("EMPTY.JPG", "");
  card.Write("IMG_0003.JPG", "third");
  SetTimes(source, 1600000000, 500000000);
  PosixFileSystem files;

  ASSERT_TRUE(files.MoveFile(source, disk.Path("target/IMG_0001.JPG")));
  EXPECT_FALSE(files.FileExists(source));
  EXPECT_EQ(disk.Read("target/IMG_0001.JPG"), content);
  struct timespec kept = ModifiedAt(disk.Path("target/IMG_0001.JPG"));
  EXPECT_EQ(kept.tv_sec, 1600000000);
  EXPECT_EQ(kept.tv_nsec, 500000000);
  ASSERT_TRUE(files.MoveFile(empty, disk.Path("target/EMPTY.JPG")));
  EXPECT_EQ(disk.Read("target/EMPTY.JPG"), "");

  FsStatus clash = files.MoveFile(card.path() + "/IMG_0003.JPG", disk.Path("target/IMG_0003.JPG"));
  EXPECT_FALSE(clash);
  EXPECT_EQ(clash.reason, "File exists");
  EXPECT_TRUE(files.FileExists(card.path() + "/IMG_0003.JPG"));
  EXPECT_EQ(disk.Read("target/IMG_0003.JPG"), "already here");
  EXPECT_EQ(EntriesOf(disk.Path("target")),
            (std::vector<std::string>{"EMPTY.JPG", "IMG_0001.JPG", "IMG_0003.JPG"}));
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
  EXPECT_EQ(failed.reason, "File too large");
  EXPECT_EQ(EntriesOf(disk.Path("target")), (std::vector<std::string>{"keep.txt"}));
  std::uint64_t size = 0;
  ASSERT_TRUE(files.FileSize(source, size));
  EXPECT_EQ(size, content.size());

  FsStatus noFolder = files.MoveFile(source, disk.Path("absent/BIG.JPG"));
  EXPECT_FALSE(noFolder);
  EXPECT_EQ(noFolder.reason, "No such file or directory");
  EXPECT_TRUE(files.FileExists(source));
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

}  // namespace
}  // namespace quillfen
