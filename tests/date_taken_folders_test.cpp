// Day folders by the date taken, through the real headless host on real
// JPEGs that carry EXIF dates: folders per day, each numbered on its own;
// pictures without a usable date by their file time; a refusal in one day
// folder stopping the whole move; the option off; a large card planned.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "support/CardMoves.h"
#include "support/ExifPictures.h"

namespace quillfen::testing {
namespace {

constexpr std::int64_t k4May2021Noon = 1620129600;  // UTC

class DateTakenFoldersTest : public ::testing::Test {
 protected:
  HostSandbox host;
  const std::string card = host.Path("card");
  const std::string target = host.Path("pictures");
  ExifPictures jpegs;
  void SetUp() override {
    // The file times' days are the same on every machine.
    ::setenv("TZ", "UTC", 1);
    HostSandbox::WriteFile(target + "/.keep", "");
  }
  void Picture(const std::string& relative, std::optional<DateTaken> taken) {
    WriteFileAt(card + "/" + relative, jpegs.Bytes(taken));
  }
  void Touch(const std::string& relative, std::int64_t seconds) {
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (card + "/" + relative).c_str(), times, 0), 0);
  }
  std::string Settings(const std::string& lines) const {
    return "Target=" + target + "\nSubfolder=True\nDateTakenFolders=True\n" + lines;
  }
};

TEST_F(DateTakenFoldersTest, ThreeDaysGoIntoThreeFoldersEachNumberedOnItsOwn) {
  Picture("DCIM/100A/IMG_0001.JPG", DateTaken{2023, 6, 1, 9, 0, 0});
  Picture("DCIM/100A/IMG_0002.JPG", DateTaken{2023, 6, 3, 23, 59, 59});
  Picture("DCIM/101B/IMG_0003.JPG", DateTaken{2023, 6, 1, 18, 30, 0});
  Picture("DCIM/101B/IMG_0004.JPG", DateTaken{2023, 6, 2, 0, 0, 0});
  Picture("DCIM/101B/IMG_0005.JPG", DateTaken{2023, 6, 3, 8, 0, 0});
  HostSandbox::WriteFile(target + "/230601/0005.JPG", "earlier");
  HostSandbox::WriteFile(target + "/230603/0100.JPG", "earlier");
  const HostRun run = MoveCard(host, card, Settings("AutoRename=True\n"));
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(FilesBelow(target),
            (std::vector<std::string>{".keep", "230601/0005.JPG", "230601/0006.JPG", "230601/0007.JPG",
                                      "230602/0001.JPG", "230603/0100.JPG", "230603/0101.JPG", "230603/0102.JPG"}));
  EXPECT_EQ(ReadFileAt(target + "/230601/0007.JPG"), jpegs.Bytes(DateTaken{2023, 6, 1, 18, 30, 0}));
  EXPECT_TRUE(run.Has("box question OKCancel title=Moving pictures text=All pictures will be moved\\r\\nfrom " + card +
                      "\\r\\ninto 3 day folders in " + target))
      << run.Log();
  EXPECT_TRUE(FilesBelow(card).empty());
}

TEST_F(DateTakenFoldersTest, WithoutAUsableDateAPictureGoesByItsFileTime) {
  Picture("DCIM/100A/NONE.JPG", std::nullopt);
  HostSandbox::WriteFile(card + "/DCIM/100A/ZERO.JPG",
                         MakePicture(PictureKind::Jpeg, ExifDates{"0000:00:00 00:00:00", "", ""}));
  HostSandbox::WriteFile(card + "/DCIM/100A/FEB30.JPG",
                         MakePicture(PictureKind::Jpeg, ExifDates{"2023:02:30 10:00:00", "", ""}));
  // An unusable DateTimeOriginal falls to the next tag that has a date.
  HostSandbox::WriteFile(card + "/DCIM/100A/DIGITIZED.JPG",
                         MakePicture(PictureKind::Jpeg, ExifDates{"2023:13:01 10:00:00", "2022:12:31 10:00:00", ""}));
  for (const char* name : {"NONE.JPG", "ZERO.JPG", "FEB30.JPG", "DIGITIZED.JPG"})
    Touch(std::string("DCIM/100A/") + name, k4May2021Noon);
  const HostRun run = MoveCard(host, card, Settings("AutoRename=False\n"));
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(FilesBelow(target), (std::vector<std::string>{".keep", "210504/FEB30.JPG", "210504/NONE.JPG",
                                                          "210504/ZERO.JPG", "221231/DIGITIZED.JPG"}));
}

TEST_F(DateTakenFoldersTest, ARefusalInOneDayFolderStopsTheWholeMoveFirst) {
  Picture("DCIM/100A/IMG_0001.JPG", DateTaken{2023, 6, 1, 9, 0, 0});
  Picture("DCIM/100A/IMG_0004.JPG", DateTaken{2023, 6, 3, 9, 0, 0});
  HostSandbox::WriteFile(target + "/230603/IMG_0004.JPG", "already there");
  const HostRun run = MoveCard(host, card, Settings("AutoRename=False\n"));
  EXPECT_TRUE(run.Has("box information OK title=Name conflict text=The destination already holds a picture with "
                      "the same name as one being moved:\\r\\n" + target + "/230603/IMG_0004.JPG"))
      << run.Log();
  EXPECT_EQ(FilesBelow(card), (std::vector<std::string>{"DCIM/100A/IMG_0001.JPG", "DCIM/100A/IMG_0004.JPG"}));
  EXPECT_EQ(FilesBelow(target), (std::vector<std::string>{".keep", "230603/IMG_0004.JPG"}));

  // Two pictures of one name on one day would meet in its folder.
  Picture("DCIM/101B/IMG_0001.JPG", DateTaken{2023, 6, 1, 10, 0, 0});
  const HostRun doubled = MoveCard(host, card, Settings("AutoRename=False\n"));
  EXPECT_TRUE(doubled.Has("box information OK title=Duplicate names text=Some pictures taken on the same day have the "
                          "same name; they would all go into\\r\\n" + target + "/230601"))
      << doubled.Log();
}

TEST_F(DateTakenFoldersTest, AShotTakesTheDateOfItsFirstFileThatHasOne) {
  HostSandbox::WriteFile(card + "/DCIM/100A/IMG_0001.CR2", "a raw file exiv2 cannot read");
  Touch("DCIM/100A/IMG_0001.CR2", k4May2021Noon);
  Picture("DCIM/100A/IMG_0001.JPG", DateTaken{2023, 6, 1, 9, 0, 0});
  const HostRun run = MoveCard(host, card, Settings("AutoRename=True\nAllCameraFiles=True\n"));
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(FilesBelow(target), (std::vector<std::string>{".keep", "230601/0001.CR2", "230601/0001.JPG"}));
}

TEST_F(DateTakenFoldersTest, WithTheOptionOffEveryPictureGoesIntoTodaysFolder) {
  Picture("DCIM/100A/IMG_0001.JPG", DateTaken{2023, 6, 1, 9, 0, 0});
  const HostRun run = MoveCard(host, card, "Target=" + target + "\nSubfolder=True\nAutoRename=False\n");
  const std::vector<std::string> moved = FilesBelow(target);
  ASSERT_EQ(moved.size(), 2u) << run.Log();
  EXPECT_NE(moved[1].rfind("230601/", 0), 0u);
  EXPECT_TRUE(run.Has("box question OKCancel title=Moving pictures text=All pictures will be moved\\r\\nfrom " + card +
                      "\\r\\nto " + target + "/"));
}

// Planning reads every picture's date: a large card is planned and the time
// printed (the budget is a figure of the benchmarks, not a test's limit).
TEST_F(DateTakenFoldersTest, ACardOfThirtyThousandDatedPicturesIsPlanned) {
  const int pictures = std::getenv("QUILLFEN_DATED_PICTURES") ? std::atoi(std::getenv("QUILLFEN_DATED_PICTURES")) : 30000;
  for (int i = 0; i < pictures; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "DCIM/%03dA/IMG_%05d.JPG", 100 + i / 1000, i);
    Picture(name, DateTaken{2023, 6, 1 + i % 28, 12, 0, 0});
  }
  const auto started = std::chrono::steady_clock::now();
  const HostRun run = MoveCard(host, card, Settings("AutoRename=True\n"), {"Cancel"});
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("[ figure   ] %d dated pictures planned (start to confirmation) in %.2f s\n", pictures, seconds);
  EXPECT_TRUE(run.Has("box question OKCancel title=Moving pictures text=All pictures will be moved\\r\\nfrom " + card +
                      "\\r\\ninto 28 day folders"))
      << run.Log();
}

}  // namespace
}  // namespace quillfen::testing
