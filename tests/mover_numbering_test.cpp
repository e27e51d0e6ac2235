// Numbered names: continuing the target's numbering, its limit, and the
// order in which the walk hands out the numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "support/MoverHarness.h"

namespace quillfen::testing {
namespace {

std::string Numbered(int n) {
  char name[16];
  std::snprintf(name, sizeof name, "%04d.JPG", n);
  return name;
}

class MoverNumberingTest : public ::testing::Test {
 protected:
  MoverNumberingTest() { h.Options(/*autoRename=*/true, /*subfolder=*/false); }
  void WriteSourcePictures(int count) {
    for (int k = 1; k <= count; ++k) h.dir.Write("card/DCIM/100A/" + Numbered(k), "new " + std::to_string(k));
  }
  // Confirms the move; returns the boxes shown.
  std::vector<std::string> Move() {
    h.program.log.Clear();
    h.program.window.QueueAnswer(BoxAnswer::OK);
    h.mover().StartOperation();
    return h.Boxes();
  }
  std::string TooLong(const std::string& path) {
    return MoverHarness::Box("information", "OK", "Quillfen", h.Text("too_long_filename", {path}), "OK");
  }
  MoverHarness h;
};

TEST_F(MoverNumberingTest, ContinuesAfterTheHighestNumberInTheTarget) {
  for (int k = 1; k <= 120; ++k) h.dir.Write("pictures/" + Numbered(k), "old");
  WriteSourcePictures(30);
  Move();
  for (int k = 1; k <= 30; ++k) EXPECT_EQ(h.dir.Read("pictures/" + Numbered(120 + k)), "new " + std::to_string(k));
  EXPECT_EQ(h.Names(h.pictures).size(), 150u);
  EXPECT_EQ(h.dir.Read("pictures/0120.JPG"), "old");
}

TEST_F(MoverNumberingTest, NineMorePassAfter9990AndTenAreRefused) {
  h.dir.Write("pictures/9990.JPG", "old");
  WriteSourcePictures(10);
  EXPECT_EQ(Move(), (std::vector<std::string>{h.Confirmation(h.pictures, "OK"), TooLong(h.dir.Path("pictures/9990.JPG"))}));
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"9990.JPG"}));
  EXPECT_FALSE(h.module().settingsLock().Held());

  h.dir.Remove(h.dir.Path("card/DCIM/100A/0010.JPG"));
  Move();
  EXPECT_EQ(h.dir.Read("pictures/9991.JPG"), "new 1");
  EXPECT_EQ(h.dir.Read("pictures/9999.JPG"), "new 9");
  EXPECT_EQ(h.Names(h.pictures).size(), 10u);
}

TEST_F(MoverNumberingTest, ADateNamedPictureRefusesEvenOneMore) {
  h.dir.Write("pictures/0001.JPG", "small");
  h.dir.Write("pictures/20240131_1200.jpg", "dated");
  WriteSourcePictures(1);
  EXPECT_EQ(Move().back(), TooLong(h.dir.Path("pictures/20240131_1200.jpg")));
  EXPECT_EQ(h.dir.Read("card/DCIM/100A/0001.JPG"), "new 1");
}

TEST_F(MoverNumberingTest, OnlyPicturesCountAndNamesWithoutANumberReadAsZero) {
  h.dir.Write("pictures/IMG_0001.JPG", "camera name");
  WriteSourcePictures(1);
  Move();
  EXPECT_EQ(h.dir.Read("pictures/0001.JPG"), "new 1");

  MemoryFolder other(h.memory, "/other");
  other.Write("0007.jpg", "seven");
  other.Write("0500.png", "not a picture");
  h.mover().Target(other.path());
  WriteSourcePictures(1);
  Move();
  EXPECT_EQ(other.Read("0008.JPG"), "new 1");
}

TEST_F(MoverNumberingTest, NumbersFollowTheWalkAcrossSubfoldersIntoOneFolder) {
  h.dir.Write("card/DCIM/100A/IMG_0001.JPG", "100A/1");
  h.dir.Write("card/DCIM/100A/img_0002.jpg", "100A/2");
  h.dir.Write("card/DCIM/101B/IMG_0001.JPG", "101B/1");
  const auto boxes = Move();
  EXPECT_EQ(h.Names(h.pictures), (std::vector<std::string>{"0001.JPG", "0002.JPG", "0003.JPG"}));
  EXPECT_EQ(h.dir.Read("pictures/0001.JPG"), "100A/1");
  EXPECT_EQ(h.dir.Read("pictures/0002.JPG"), "100A/2");
  EXPECT_EQ(h.dir.Read("pictures/0003.JPG"), "101B/1");
  // Both emptied subfolders go; the DCIM folder itself stays.
  EXPECT_EQ(h.Names(h.dir.Path("card/DCIM")), std::vector<std::string>{});
  EXPECT_TRUE(h.dir.IsFolder(h.dir.Path("card/DCIM")));
  auto extra = h.SetValueCalls("infoExtra");
  ASSERT_FALSE(extra.empty());
  EXPECT_NE(extra.back().find(h.Text("moved_files", {TextValue(3)})), std::string::npos);
  EXPECT_EQ(boxes.back(), MoverHarness::Box("information", "OK", "Quillfen", h.Text("files_moved"), "OK"));
}

TEST_F(MoverNumberingTest, WithoutNumberingNoSurveyRunsAndNamesStay) {
  h.Options(/*autoRename=*/false, /*subfolder=*/false);
  h.dir.Write("pictures/99999.JPG", "a number far too large");
  h.dir.Write("card/photo.jpg", "photo");
  auto boxes = Move();
  EXPECT_EQ(boxes.size(), 2u);  // the question and the final message
  EXPECT_EQ(h.dir.Read("pictures/photo.jpg"), "photo");
}

// Beyond a 16-bit counter; no target picture, so no limit applies.
TEST(MoverLargeCardTest, MoreThan32767PicturesAreCountedAndNumbered) {
  MoverHarness h;
  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  const int count = 32770;
  for (int k = 0; k < count; ++k) h.dir.Write("card/" + std::to_string(100000 + k) + ".jpg", "x");
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.mover().StartOperation();
  EXPECT_EQ(h.dir.Read("pictures/32770.JPG"), "x");
  EXPECT_EQ(h.Names(h.pictures).size(), static_cast<std::size_t>(count));
  auto extra = h.SetValueCalls("infoExtra");
  // The count as the language writes it: English groups thousands.
  EXPECT_NE(extra.back().find("<string>Pictures moved: 32,770</string>"), std::string::npos) << extra.back();
}

}  // namespace
}  // namespace quillfen::testing
