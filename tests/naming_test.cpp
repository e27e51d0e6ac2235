#include <gtest/gtest.h>

#include <cmath>

#include "base/DayStamp.h"
#include "mover/BaseNameNumber.h"
#include "mover/TargetNaming.h"

namespace quillfen {
namespace {

TEST(BaseNameNumberTest, ReadsTheLeadingNumberOfCameraNames) {
  EXPECT_EQ(ReadBaseNameNumber("0042"), 42);
  EXPECT_EQ(ReadBaseNameNumber("12abc"), 12);
  EXPECT_EQ(ReadBaseNameNumber("IMG_0042"), 0);
  EXPECT_EQ(ReadBaseNameNumber("DSC01234"), 0);
  EXPECT_EQ(ReadBaseNameNumber("20240131_120000"), 20240131);
  EXPECT_EQ(ReadBaseNameNumber("20240131_1200"), 20240131);
  EXPECT_EQ(ReadBaseNameNumber(""), 0);
}

TEST(BaseNameNumberTest, BlanksSignPointAndExponent) {
  EXPECT_EQ(ReadBaseNameNumber("  \t17 copy"), 17);
  EXPECT_EQ(ReadBaseNameNumber("-5"), -5);
  EXPECT_EQ(ReadBaseNameNumber("+5"), 5);
  EXPECT_EQ(ReadBaseNameNumber("12.5"), 12.5);
  EXPECT_EQ(ReadBaseNameNumber(".5x"), 0.5);
  EXPECT_EQ(ReadBaseNameNumber("1e3"), 1000);
  EXPECT_EQ(ReadBaseNameNumber("1E+2"), 100);
  EXPECT_EQ(ReadBaseNameNumber("25e-1"), 2.5);
  // An "e" without exponent digits ends the number before it.
  EXPECT_EQ(ReadBaseNameNumber("3e"), 3);
  EXPECT_EQ(ReadBaseNameNumber("3e+x"), 3);
  // A sign or a point without digits is no number.
  EXPECT_EQ(ReadBaseNameNumber("-"), 0);
  EXPECT_EQ(ReadBaseNameNumber("."), 0);
  EXPECT_EQ(ReadBaseNameNumber("- 5"), 0);
}

TEST(BaseNameNumberTest, NeverHexadecimalInfinityOrNotANumberByAccident) {
  EXPECT_EQ(ReadBaseNameNumber("0x1F"), 0);
  EXPECT_EQ(ReadBaseNameNumber("0x"), 0);
  EXPECT_EQ(ReadBaseNameNumber("inf"), 0);
  EXPECT_EQ(ReadBaseNameNumber("infinity"), 0);
  EXPECT_EQ(ReadBaseNameNumber("nan"), 0);
  EXPECT_EQ(ReadBaseNameNumber("NAN(1)"), 0);
  EXPECT_EQ(ReadBaseNameNumber("-inf"), 0);
  // A number beyond a double stays large rather than turning into 0 or nan.
  EXPECT_TRUE(std::isinf(ReadBaseNameNumber("9e999")));
  EXPECT_GT(ReadBaseNameNumber("9e999"), 0);
  EXPECT_EQ(ReadBaseNameNumber("1e-999"), 0);
}

TEST(TargetNamingTest, DayFolderIsYymmdd) {
  EXPECT_EQ(DayStamp({2024, 3, 7}), "240307");
  EXPECT_EQ(DayStamp({2024, 12, 31}), "241231");
  EXPECT_EQ(DayStamp({2000, 1, 1}), "000101");
  EXPECT_EQ(DayStamp({2105, 10, 9}), "051009");
}

TEST(TargetNamingTest, NumberedNamesArePaddedToFourDigitsOnly) {
  EXPECT_EQ(NumberedName(1), "0001.JPG");
  EXPECT_EQ(NumberedName(121), "0121.JPG");
  EXPECT_EQ(NumberedName(9999), "9999.JPG");
  EXPECT_EQ(NumberedName(10000), "10000.JPG");
  EXPECT_EQ(NumberedName(40000), "40000.JPG");
}

TEST(TargetNamingTest, RoundingTakesHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(120.5), 120);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(TargetNamingTest, SurveyTestsTheLimitBeforeRaisingTheHighestNumber) {
  std::int32_t highest = 0;
  EXPECT_TRUE(SurveyNumber(120, 30, highest));
  EXPECT_EQ(highest, 120);
  EXPECT_TRUE(SurveyNumber(7, 30, highest));  // smaller numbers leave it
  EXPECT_EQ(highest, 120);
  EXPECT_TRUE(SurveyNumber(130.5, 30, highest));
  EXPECT_EQ(highest, 130);

  // 9990 leaves room for exactly nine more.
  highest = 0;
  EXPECT_TRUE(SurveyNumber(9990, 9, highest));
  EXPECT_EQ(highest, 9990);
  highest = 5;
  EXPECT_FALSE(SurveyNumber(9990, 10, highest));
  EXPECT_EQ(highest, 5);
  // A small number is refused when the new pictures alone pass the limit.
  EXPECT_FALSE(SurveyNumber(0, 10000, highest));
  EXPECT_FALSE(SurveyNumber(20240131, 1, highest));
  EXPECT_FALSE(SurveyNumber(ReadBaseNameNumber("9e999"), 1, highest));
  // A negative number passes and raises nothing.
  EXPECT_TRUE(SurveyNumber(-40, 1, highest));
  EXPECT_EQ(highest, 5);
}

}  // namespace
}  // namespace quillfen
