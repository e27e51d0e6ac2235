// Which EXIF date texts are taken for a date and which for a broken clock or
// a damaged tag.
#include <gtest/gtest.h>

#include "metadata/ExifDateText.h"

namespace quillfen {
namespace {

std::optional<DateTaken> Parse(std::string_view text) { return ParseExifDate(text); }

TEST(ExifDateText, ReadsTheExifFormAndTheVariantsWritersUse) {
  const DateTaken expected{2021, 3, 4, 5, 6, 7};
  EXPECT_EQ(Parse("2021:03:04 05:06:07"), expected);
  EXPECT_EQ(Parse("2021-03-04 05:06:07"), expected);
  EXPECT_EQ(Parse("2021/03/04 05:06:07"), expected);
  EXPECT_EQ(Parse("2021:03:04T05:06:07"), expected);
  EXPECT_EQ(Parse(std::string_view("2021:03:04 05:06:07\0\0", 21)), expected);
  EXPECT_EQ(Parse("2021:03:04 05:06:07   "), expected);
}

TEST(ExifDateText, RefusesBlankZeroedAndMalformedTexts) {
  for (const std::string_view text :
       {"", "0000:00:00 00:00:00", "    :  :     :  :  ", "2021:03:04", "2021:03:04 05:06",
        "2021:03:04 05:06:07Z", "2021:03:04 05:06:07+02:00", "2021:03-04 05:06:07",
        "2021:03:04_05:06:07", "2021:03:04 05-06-07", "+021:03:04 05:06:07", "2021:3:04 05:06:07 ",
        "20210304 050607xxxxx", "abcd:ef:gh ij:kl:mn"}) {
    EXPECT_EQ(Parse(text), std::nullopt) << '"' << text << '"';
  }
  EXPECT_EQ(Parse(std::string_view("2021:03:04 05:06:0\0", 19)), std::nullopt);
}

TEST(ExifDateText, RefusesDaysNoCalendarHas) {
  EXPECT_EQ(Parse("2021:13:04 05:06:07"), std::nullopt);
  EXPECT_EQ(Parse("2021:00:04 05:06:07"), std::nullopt);
  EXPECT_EQ(Parse("2021:03:00 05:06:07"), std::nullopt);
  EXPECT_EQ(Parse("2021:04:31 05:06:07"), std::nullopt);
  EXPECT_EQ(Parse("2021:02:30 05:06:07"), std::nullopt);
  EXPECT_NE(Parse("2021:12:31 05:06:07"), std::nullopt);
}

TEST(ExifDateText, KnowsLeapYears) {
  EXPECT_NE(Parse("2024:02:29 12:00:00"), std::nullopt);
  EXPECT_NE(Parse("2000:02:29 12:00:00"), std::nullopt);
  EXPECT_EQ(Parse("2023:02:29 12:00:00"), std::nullopt);
  EXPECT_EQ(Parse("2100:02:29 12:00:00"), std::nullopt);  // also past the latest year
  EXPECT_EQ(Parse("1900:02:29 12:00:00"), std::nullopt);
}

TEST(ExifDateText, RefusesTimesNoClockShows) {
  EXPECT_EQ(Parse("2021:03:04 24:00:00"), std::nullopt);
  EXPECT_EQ(Parse("2021:03:04 25:06:07"), std::nullopt);
  EXPECT_EQ(Parse("2021:03:04 05:60:07"), std::nullopt);
  EXPECT_EQ(Parse("2021:03:04 05:06:61"), std::nullopt);
  EXPECT_EQ(Parse("2021:03:04 23:59:60"), (DateTaken{2021, 3, 4, 23, 59, 60}));  // a leap second
  EXPECT_EQ(Parse("2021:03:04 00:00:00"), (DateTaken{2021, 3, 4, 0, 0, 0}));
}

// A day folder's two-digit year is of this century: an earlier year (a
// camera whose clock was never set shows 1980) is no date.
TEST(ExifDateText, TakesOnlyYearsFrom2000To2099) {
  EXPECT_EQ(Parse("1899:12:31 23:59:59"), std::nullopt);
  EXPECT_EQ(Parse("1980:01:01 00:00:00"), std::nullopt);
  EXPECT_EQ(Parse("1999:12:31 23:59:59"), std::nullopt);
  EXPECT_EQ(Parse("2000:01:01 00:00:00"), (DateTaken{2000, 1, 1, 0, 0, 0}));
  EXPECT_EQ(Parse("2099:12:31 23:59:59"), (DateTaken{2099, 12, 31, 23, 59, 59}));
  EXPECT_EQ(Parse("2100:01:01 00:00:00"), std::nullopt);
  EXPECT_EQ(Parse("9999:12:31 23:59:59"), std::nullopt);
}

}  // namespace
}  // namespace quillfen
