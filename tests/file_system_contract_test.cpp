// What every file system of the program promises (platform/FileSystem.h),
// held against the POSIX one on real folders and the one in memory: the
// same calls give the same results and the same status codes.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "posix/PosixFileSystem.h"
#include "memory/MemoryFileSystem.h"
#include "support/TempDir.h"

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;

// One file system under test with a working folder and, where the machine
// has one, a folder on another volume.
class Subject {
 public:
  virtual ~Subject() = default;
  virtual FileSystem& files() = 0;
  virtual std::string root() const = 0;
  virtual std::string otherVolume() const = 0;  // "" when there is none
  virtual void Write(const std::string& path, const std::string& bytes) = 0;
  virtual std::string Read(const std::string& path) = 0;
};

class PosixSubject : public Subject {
 public:
  PosixSubject() {
    struct stat shm {}, here {};
    if (::stat("/dev/shm", &shm) == 0 && ::stat(dir_.path().c_str(), &here) == 0 && shm.st_dev != here.st_dev)
      other_ = std::make_unique<TempDir>("/dev/shm");
  }
  FileSystem& files() override { return files_; }
  std::string root() const override { return dir_.path(); }
  std::string otherVolume() const override { return other_ ? other_->path() : ""; }
  void Write(const std::string& path, const std::string& bytes) override { WriteFileAt(path, bytes); }
  std::string Read(const std::string& path) override { return ReadFileAt(path); }

 private:
  TempDir dir_;
  std::unique_ptr<TempDir> other_;
  PosixFileSystem files_;
};

class MemorySubject : public Subject {
 public:
  MemorySubject() {
    files_.PutFolder("/work");
    files_.AddVolume("/card", 1 << 30);
  }
  FileSystem& files() override { return files_; }
  std::string root() const override { return "/work"; }
  std::string otherVolume() const override { return "/card"; }
  void Write(const std::string& path, const std::string& bytes) override { files_.Put(path, bytes); }
  std::string Read(const std::string& path) override { return files_.Contents(path).value_or(""); }

 private:
  MemoryFileSystem files_;
};

class FileSystemContract : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::string(GetParam()) == "posix")
      subject_ = std::make_unique<PosixSubject>();
    else
      subject_ = std::make_unique<MemorySubject>();
  }
  FileSystem& files() { return subject_->files(); }
  std::string At(const std::string& relative) const { return subject_->root() + "/" + relative; }
  void Write(const std::string& relative, const std::string& bytes) { subject_->Write(At(relative), bytes); }
  void WriteAt(const std::string& path, const std::string& bytes) { subject_->Write(path, bytes); }
  std::string Read(const std::string& relative) { return subject_->Read(At(relative)); }
  std::string OtherVolume() const { return subject_->otherVolume(); }

  std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<FileEntry> listed;
    EXPECT_TRUE(files().ListFiles(folder, listed));
    std::vector<std::string> names;
    for (const FileEntry& entry : listed) names.push_back(entry.name);
    return names;
  }

 private:
  std::unique_ptr<Subject> subject_;
};

TEST_P(FileSystemContract, ListingsAreInNameOrderIgnoringCase) {
  for (const char* name : {"b.jpg", "A.JPG", "a.jpg", ".hidden.jpg", "C.txt", "_x.jpg", "Ёлка.jpg", "ель.jpg"})
    Write(std::string("card/") + name, "xy");
  for (const char* name : {"101canon", "100CANON", ".thumbs", "099a"}) Write(std::string("card/") + name + "/f", "");

  std::vector<FileEntry> listed;
  ASSERT_TRUE(files().ListFiles(At("card"), listed));
  // Names that differ only in case keep a fixed order by their bytes.
  EXPECT_EQ(FileNames(At("card")), (std::vector<std::string>{".hidden.jpg", "_x.jpg", "A.JPG", "a.jpg", "b.jpg",
                                                             "C.txt", "ель.jpg", "Ёлка.jpg"}));
  EXPECT_TRUE(listed[0].hidden);
  EXPECT_FALSE(listed[2].hidden);
  EXPECT_EQ(listed[2].path, At("card/A.JPG"));
  EXPECT_EQ(listed[2].size, 2u);
  EXPECT_EQ(files().FileNames(At("card")), FileNames(At("card")));
  EXPECT_EQ(files().FileNames(At("absent")), std::vector<std::string>{});
  ASSERT_TRUE(files().ListFiles(At("card") + "/", listed));
  EXPECT_EQ(listed[2].path, At("card/A.JPG")) << "one separator, also after a trailing /";

  std::vector<std::string> subfolders;
  ASSERT_TRUE(files().ListSubfolders(At("card"), subfolders));
  EXPECT_EQ(subfolders, (std::vector<std::string>{At("card/.thumbs"), At("card/099a"), At("card/100CANON"),
                                                  At("card/101canon")}));
}

TEST_P(FileSystemContract, MissingFoldersAndFilesAreNotFound) {
  Write("plain.jpg", "x");
  std::vector<FileEntry> none;
  std::vector<std::string> subfolders;
  std::uint64_t number = 0;
  std::string bytes;
  EXPECT_EQ(files().ListFiles(At("absent"), none).code, FsCode::NotFound);
  EXPECT_EQ(files().ListSubfolders(At("plain.jpg"), subfolders).code, FsCode::NotFound);
  EXPECT_EQ(files().VolumeId(At("absent"), number).code, FsCode::NotFound);
  EXPECT_EQ(files().FreeSpace(At("absent"), number).code, FsCode::NotFound);
  EXPECT_EQ(files().ReadFile(At("absent"), bytes).code, FsCode::NotFound);
  EXPECT_EQ(files().RemoveFolder(At("absent")).code, FsCode::NotFound);
  EXPECT_EQ(files().CreateFolder(At("no/parent")).code, FsCode::NotFound);
  EXPECT_FALSE(files().FolderIsEmpty(At("absent")));
}

TEST_P(FileSystemContract, FoldersAreMadeOnceAndRemovedOnlyWhenEmpty) {
  Write("full/.hidden", "");
  Write("file.jpg", "abc");
  EXPECT_TRUE(files().FolderExists(At("full")));
  EXPECT_FALSE(files().FolderExists(At("file.jpg")));
  EXPECT_TRUE(files().FileExists(At("file.jpg")));
  EXPECT_FALSE(files().FileExists(At("full")));

  ASSERT_TRUE(files().CreateFolder(At("made")));
  EXPECT_TRUE(files().CreateFolder(At("made"))) << "a folder already there is what was wanted";
  EXPECT_EQ(files().CreateFolder(At("file.jpg")).code, FsCode::Exists);
  EXPECT_TRUE(files().FolderIsEmpty(At("made")));
  EXPECT_FALSE(files().FolderIsEmpty(At("full"))) << "a hidden file counts";

  EXPECT_EQ(files().RemoveFolder(At("full")).code, FsCode::Other);
  EXPECT_TRUE(files().FileExists(At("full/.hidden")));
  EXPECT_TRUE(files().RemoveFolder(At("made")));
  EXPECT_FALSE(files().FolderExists(At("made")));
}

TEST_P(FileSystemContract, VolumesAndFreeSpace) {
  Write("a.jpg", "x");
  std::uint64_t here = 0, there = 0, free = 0;
  ASSERT_TRUE(files().VolumeId(At("a.jpg"), here));
  ASSERT_TRUE(files().VolumeId(At(""), there));
  EXPECT_EQ(here, there);
  ASSERT_TRUE(files().FreeSpace(At(""), free));
  EXPECT_GT(free, 0u);
  std::uint64_t unit = 0;
  ASSERT_TRUE(files().AllocationUnit(At(""), unit));
  EXPECT_GE(unit, 1u);
  EXPECT_EQ(files().AllocationUnit(At("absent"), unit).code, FsCode::NotFound);
  if (OtherVolume().empty()) return;
  ASSERT_TRUE(files().VolumeId(OtherVolume(), there));
  EXPECT_NE(here, there);
}

TEST_P(FileSystemContract, MovesNeverReplaceAndFailuresLeaveTheSource) {
  Write("card/IMG_0001.JPG", "first");
  Write("card/IMG_0002.JPG", "second");
  Write("target/IMG_0002.JPG", "already here");

  ASSERT_TRUE(files().MoveFile(At("card/IMG_0001.JPG"), At("target/IMG_0001.JPG")));
  EXPECT_FALSE(files().FileExists(At("card/IMG_0001.JPG")));
  EXPECT_EQ(Read("target/IMG_0001.JPG"), "first");

  EXPECT_EQ(files().MoveFile(At("card/IMG_0002.JPG"), At("target/IMG_0002.JPG")).code, FsCode::Exists);
  EXPECT_EQ(Read("card/IMG_0002.JPG"), "second");
  EXPECT_EQ(Read("target/IMG_0002.JPG"), "already here");
  EXPECT_EQ(files().MoveFile(At("card/gone.JPG"), At("target/gone.JPG")).code, FsCode::NotFound);
  EXPECT_EQ(files().MoveFile(At("card/IMG_0002.JPG"), At("absent/IMG_0002.JPG")).code, FsCode::NotFound);
  EXPECT_EQ(Read("card/IMG_0002.JPG"), "second");
  EXPECT_EQ(files().MoveFile(At("card"), At("target/card")).code, FsCode::Other) << "folders are not moved";
}

TEST_P(FileSystemContract, MovesAcrossVolumesKeepTheContent) {
  if (OtherVolume().empty()) GTEST_SKIP() << "no second volume (/dev/shm) on this machine";
  const std::string card = OtherVolume();
  Write("target/IMG_0003.JPG", "already here");
  std::string content(3 << 20, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 + i / 977);
  WriteAt(card + "/IMG_0001.JPG", content);
  WriteAt(card + "/EMPTY.JPG", "");
  WriteAt(card + "/IMG_0003.JPG", "third");

  ASSERT_TRUE(files().MoveFile(card + "/IMG_0001.JPG", At("target/IMG_0001.JPG")));
  EXPECT_FALSE(files().FileExists(card + "/IMG_0001.JPG"));
  EXPECT_EQ(Read("target/IMG_0001.JPG"), content);
  ASSERT_TRUE(files().MoveFile(card + "/EMPTY.JPG", At("target/EMPTY.JPG")));
  EXPECT_EQ(Read("target/EMPTY.JPG"), "");
  EXPECT_EQ(files().MoveFile(card + "/IMG_0003.JPG", At("target/IMG_0003.JPG")).code, FsCode::Exists);
  EXPECT_TRUE(files().FileExists(card + "/IMG_0003.JPG"));
  EXPECT_EQ(FileNames(At("target")), (std::vector<std::string>{"EMPTY.JPG", "IMG_0001.JPG", "IMG_0003.JPG"}))
      << "nothing else is left in the target";
}

TEST_P(FileSystemContract, FilesAreReadWholeAndReplacedInOneStep) {
  std::string bytes;
  ASSERT_TRUE(files().ReplaceFile(At("settings.ini"), "first"));
  ASSERT_TRUE(files().ReadFile(At("settings.ini"), bytes));
  EXPECT_EQ(bytes, "first");
  ASSERT_TRUE(files().ReplaceFile(At("settings.ini"), std::string("second\0with a NUL", 17)));
  ASSERT_TRUE(files().ReadFile(At("settings.ini"), bytes));
  EXPECT_EQ(bytes, std::string("second\0with a NUL", 17));
  EXPECT_EQ(FileNames(At("")), std::vector<std::string>{"settings.ini"}) << "no temporary file is left";

  Write("folder/inner", "");
  EXPECT_EQ(files().ReadFile(At("folder"), bytes).code, FsCode::Other);
  EXPECT_EQ(files().ReplaceFile(At("folder"), "x").code, FsCode::Other);
  EXPECT_EQ(files().ReplaceFile(At("no/such/file"), "x").code, FsCode::NotFound);
}

INSTANTIATE_TEST_SUITE_P(Both, FileSystemContract, ::testing::Values("posix", "memory"));

}  // namespace
}  // namespace quillfen::testing
