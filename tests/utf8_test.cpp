#include "base/Utf8.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(Utf8Test, StrayBytesBecomeReplacementCharactersAndTheRestIsKept) {
  EXPECT_EQ(MakeValidUtf8("IMG_0001.JPG"), "IMG_0001.JPG");
  EXPECT_EQ(MakeValidUtf8("Фото \xE2\x80\xA8 x"), "Фото \xE2\x80\xA8 x");
  // A Windows-1251 "Ф", a lone continuation byte, an overlong "/" and a cut sequence.
  EXPECT_EQ(MakeValidUtf8("a\xD4z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(MakeValidUtf8("\x80"), "\xEF\xBF\xBD");
  EXPECT_EQ(MakeValidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(MakeValidUtf8("end\xE2\x80"), "end\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidUtf8(MakeValidUtf8("\xFF\xFE mixed \xED\xA0\x80 surrogate")));
}

}  // namespace
}  // namespace quillfen
