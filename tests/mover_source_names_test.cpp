#include <gtest/gtest.h>

#include <locale>
#include <random>

#include "base/NoCase.h"
#include "mover/Megabytes.h"
#include "mover/SourceNames.h"
#include "mover/SourceScan.h"
#include "posix/PosixFileSystem.h"
#include "support/TempDir.h"

namespace quillfen {
namespace {

TEST(SourceNamesTest, DoubleNamesAreFoundInAnyLetterCase) {
  std::vector<std::string> names{"b.jpg", "IMG_0001.JPG", "a.JPG", "img_0001.jpg"};
  SortNoCase(names);
  EXPECT_EQ(names.front(), "a.JPG");
  std::vector<std::string> arr{"old"};
  EXPECT_TRUE(HasDoubleNames(names, arr));
  // The walk stops at the second of the two; later entries stay empty.
  ASSERT_EQ(arr.size(), 4u);
  EXPECT_EQ(arr[0], "a.JPG");
  EXPECT_EQ(arr[1], "b.jpg");
  EXPECT_TRUE(EqualsNoCase(arr[2], "img_0001.jpg"));
  EXPECT_EQ(arr[3], "");

  std::vector<std::string> distinct{"Фото.jpg", "photo.jpg", "IMG_1.JPG"};
  SortNoCase(distinct);
  EXPECT_FALSE(HasDoubleNames(distinct, arr));
  EXPECT_EQ(arr, distinct);

  // Without names the array keeps what the previous operation left.
  EXPECT_FALSE(HasDoubleNames({}, arr));
  EXPECT_EQ(arr, distinct);
}

TEST(SourceNamesTest, BinarySearchGivesTheSameAnswersAsComparingEveryName) {
  std::mt19937 random(7);
  const std::string letters = "aAbBcCdD_0123";
  auto randomName = [&] {
    std::string name;
    int length = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < length; ++k) name += letters[random() % letters.size()];
    return name + (random() % 2 ? ".JPG" : ".jpg");
  };
  std::vector<std::string> source;
  for (int k = 0; k < 300; ++k) source.push_back(randomName());
  SortNoCase(source);
  // Keep one name of each case-insensitive kind, as a move without numbering has.
  source.erase(std::unique(source.begin(), source.end(), EqualsNoCase), source.end());
  std::vector<std::string> arr;
  ASSERT_FALSE(HasDoubleNames(source, arr));

  for (int k = 0; k < 2000; ++k) {
    std::string candidate = randomName();
    bool linear = std::any_of(arr.begin(), arr.end(), [&](const std::string& n) { return EqualsNoCase(n, candidate); });
    EXPECT_EQ(ClashesWithSourceName(arr, candidate), linear) << candidate;
  }
  EXPECT_FALSE(ClashesWithSourceName({}, "a.jpg"));
}

// The shots' names in the order of the walk: each folder's own, then its subfolders'.
std::vector<std::string> ShotNames(const SourceScan& scan) {
  std::vector<std::string> names;
  for (const ScannedFolder& folder : scan.folders)
    for (const Shot& shot : folder.shots) names.push_back(shot.name);
  return names;
}

TEST(SourceScanTest, CountsEveryPictureAtEveryDepthHiddenOnesIncluded) {
  testing::TempDir dir;
  dir.Write("DCIM/100A/IMG_0001.JPG", "12345");
  dir.Write("DCIM/100A/.hidden.jpg", "123");
  dir.Write("DCIM/100A/notes.txt", "not a picture");
  dir.Write("DCIM/100A/deep/er/x.Jpg", "1");
  dir.Write("DCIM/top.jpeg", "not a picture");
  PosixFileSystem files;
  SourceScan scan;
  std::string failed;
  ASSERT_TRUE(ScanTree(files, dir.Path("DCIM"), {}, scan, failed));
  EXPECT_EQ(scan.shotCount, 3);
  EXPECT_EQ(scan.totalSize, 9);
  EXPECT_EQ(ShotNames(scan), (std::vector<std::string>{".hidden.jpg", "IMG_0001.JPG", "x.Jpg"}));
  EXPECT_EQ(scan.left.Count(FileFate::Picture), 1) << "the camera's .jpeg stays behind";

  SourceScan missing;
  EXPECT_FALSE(ScanTree(files, dir.Path("nowhere"), {}, missing, failed));
  EXPECT_EQ(failed, dir.Path("nowhere"));
}

// With every camera file, the files of one exposure are one shot whatever
// their letter case; an edited copy and a hidden file are not of it, and
// another file of the pictures' folders is a shot of its own.
TEST(SourceScanTest, EveryCameraFileGroupsAShotsFilesUnderItsName) {
  const auto entry = [](const std::string& name, std::uint64_t size) {
    return FileEntry{name, "/card/" + name, size, name.front() == '.', 0};
  };
  const FolderShots found =
      ShotsOf({entry("._IMG_0001.JPG", 1), entry("IMG_0001.CR2", 20), entry("img_0001.jpg", 5), entry("IMG_0001.xmp", 1),
               entry("IMG_E0001.JPG", 6), entry("MVI_0015.MOV", 100), entry("notes.txt", 3)},
              "/card", CardFolder::Pictures, /*everyCameraFile=*/true);
  const std::vector<Shot>& shots = found.shots;
  ASSERT_EQ(shots.size(), 4u);
  EXPECT_EQ(shots[0].name, "IMG_0001");
  EXPECT_EQ(shots[0].files.size(), 3u);
  EXPECT_EQ(shots[0].bytes, 26u);
  EXPECT_EQ(shots[1].name, "IMG_E0001");
  EXPECT_EQ(shots[2].name, "MVI_0015");
  EXPECT_EQ(shots[3].name, "notes");
  EXPECT_EQ(found.left.Total(), 1) << "the hidden file stays";

  const FolderShots pictures =
      ShotsOf({entry("IMG_0001.CR2", 20), entry("IMG_0001.JPG", 5), entry("MVI_0015.MOV", 100)}, "/card",
              CardFolder::Pictures, /*everyCameraFile=*/false);
  ASSERT_EQ(pictures.shots.size(), 1u);
  EXPECT_EQ(pictures.shots[0].name, "IMG_0001.JPG");
  EXPECT_EQ(pictures.left.Total(), 2);
  EXPECT_EQ(pictures.splitShots, 1) << "the picture's RAW file would stay behind";
  EXPECT_EQ(pictures.splitFiles, 1);
}

TEST(MegabytesTest, RoundedToWholeMegabytes) {
  const double mib = 1024.0 * 1024.0;
  for (auto [bytes, megabytes] : {std::pair{0.0, 0L}, {1.4 * mib, 1L}, {1.5 * mib, 2L}, {1234567 * mib, 1234567L}})
    EXPECT_EQ(WholeMegabytes(bytes), megabytes) << bytes;
}

}  // namespace
}  // namespace quillfen
