#include "base/NoCase.h"
#include "base/PathParts.h"
#include "mover/Pictures.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(PathsTest, BuildPathPutsExactlyOneSeparator) {
  EXPECT_EQ(BuildPath("/", "x"), "/x");
  EXPECT_EQ(BuildPath("/media/card", "DCIM"), "/media/card/DCIM");
  EXPECT_EQ(BuildPath("/media/card/", "DCIM"), "/media/card/DCIM");
}

TEST(PathsTest, ExtensionAndBaseNameOfTheLastElement) {
  EXPECT_EQ(GetExtensionName("/a.b/c"), "");
  EXPECT_EQ(GetExtensionName("/x/IMG_1.JPG"), "JPG");
  EXPECT_EQ(GetBaseName("/x/20240131_1200.jpg"), "20240131_1200");
  EXPECT_EQ(GetBaseName("/x/noext"), "noext");
}

TEST(PathsTest, PictureTestIgnoresLetterCaseOfJpgOnly) {
  EXPECT_TRUE(IsPicture("a.JPG"));
  EXPECT_TRUE(IsPicture("b.jpg"));
  EXPECT_TRUE(IsPicture("c.Jpg"));
  EXPECT_FALSE(IsPicture("d.jpeg"));
  EXPECT_FALSE(IsPicture("jpg"));
}

TEST(PathsTest, CaseInsensitiveOrderCoversCyrillic) {
  EXPECT_EQ(CompareNoCase("IMG_0001.JPG", "img_0001.jpg"), 0);
  EXPECT_LT(CompareNoCase("100CANON", "101canon"), 0);
  EXPECT_EQ(CompareNoCase("Фото.jpg", "фОТО.JPG"), 0);
  EXPECT_LT(CompareNoCase("a", "ab"), 0);
}

}  // namespace
}  // namespace quillfen
