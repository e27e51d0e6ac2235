// Which date a picture of each kind gives, which tag wins, and how little of
// a large file is read to find it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/ExifPictures.h"
#include "support/FileByteSource.h"
#include "support/MemoryByteSource.h"
#include "support/TempDir.h"
#include "metadata/DateTaken.h"
#include "metadata/RecordingTime.h"
#include "metadata/Exiv2Setup.h"

namespace quillfen {
namespace {

using testing::ExifDates;
using testing::MakePicture;
using testing::MakePictureWithoutExif;
using testing::MemoryByteSource;
using testing::PictureKind;

constexpr DateTaken kOriginal{2021, 3, 4, 5, 6, 7};
constexpr DateTaken kDigitized{2022, 4, 5, 6, 7, 8};
constexpr DateTaken kChanged{2023, 5, 6, 7, 8, 9};
const std::string kOriginalText = "2021:03:04 05:06:07";
const std::string kDigitizedText = "2022:04:05 06:07:08";
const std::string kChangedText = "2023:05:06 07:08:09";

std::optional<DateTaken> DateOf(const std::string& bytes) {
  MemoryByteSource file(bytes);
  return ReadDateTaken(file);
}

std::string KindName(const ::testing::TestParamInfo<PictureKind>& info) {
  static const char* const kNames[] = {"Jpeg", "Tiff", "Png", "WebP", "Heic", "Raf"};
  return kNames[static_cast<int>(info.param)];
}

class EveryKind : public ::testing::TestWithParam<PictureKind> {
 protected:
  void SetUp() override {
    if (GetParam() == PictureKind::Heic && !metadata::Exiv2ReadsBmff()) {
      GTEST_SKIP() << "this exiv2 was built without BMFF: HEIC pictures give no date";
    }
  }
};

TEST_P(EveryKind, DateTimeOriginalWinsOverTheOthers) {
  EXPECT_EQ(DateOf(MakePicture(GetParam(), {kOriginalText, kDigitizedText, kChangedText})), kOriginal);
}

TEST_P(EveryKind, DigitizedThenDateTimeStandInForAMissingOriginal) {
  EXPECT_EQ(DateOf(MakePicture(GetParam(), {"", kDigitizedText, kChangedText})), kDigitized);
  EXPECT_EQ(DateOf(MakePicture(GetParam(), {"", "", kChangedText})), kChanged);
}

TEST_P(EveryKind, AnUnusableTagGivesWayToTheNext) {
  for (const std::string unusable :
       {"0000:00:00 00:00:00", "    :  :     :  :  ", "2021:13:04 05:06:07", "2021:02:30 05:06:07",
        "2021:03:04 25:06:07", "1850:03:04 05:06:07", "2999:03:04 05:06:07", "yesterday",
        "2021:03:04"}) {
    SCOPED_TRACE(unusable);
    EXPECT_EQ(DateOf(MakePicture(GetParam(), {unusable, kDigitizedText, kChangedText})), kDigitized);
    EXPECT_EQ(DateOf(MakePicture(GetParam(), {unusable, unusable, kChangedText})), kChanged);
    EXPECT_EQ(DateOf(MakePicture(GetParam(), {unusable, unusable, unusable})), std::nullopt);
  }
}

TEST_P(EveryKind, NoDateWithoutExifOrWithoutDateTags) {
  EXPECT_EQ(DateOf(MakePictureWithoutExif(GetParam())), std::nullopt);
  EXPECT_EQ(DateOf(MakePicture(GetParam(), {})), std::nullopt);
}

TEST_P(EveryKind, ADateThatSlowReadsHandOverByteByByteIsStillFound) {
  MemoryByteSource file(MakePicture(GetParam(), {kOriginalText, "", ""}));
  file.mostPerRead = 1;
  EXPECT_EQ(ReadDateTaken(file), kOriginal);
}

TEST_P(EveryKind, AReadErrorGivesNoDate) {
  MemoryByteSource file(MakePicture(GetParam(), {kOriginalText, "", ""}));
  file.failFrom = 20;
  EXPECT_EQ(ReadDateTaken(file), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind,
                         ::testing::Values(PictureKind::Jpeg, PictureKind::Tiff, PictureKind::Png,
                                           PictureKind::WebP, PictureKind::Heic, PictureKind::Raf),
                         KindName);

// Full-size pictures: the date is at the start, the pixels are never read.
class LargePicture : public EveryKind {};

TEST_P(LargePicture, IsReadOnlyAtItsStart) {
  constexpr std::size_t kSixMiB = 6 * 1024 * 1024;
  MemoryByteSource file(MakePicture(GetParam(), {kOriginalText, kDigitizedText, ""}, kSixMiB));
  ASSERT_GT(file.Size(), kSixMiB);
  EXPECT_EQ(ReadDateTaken(file), kOriginal);
  EXPECT_LE(file.bytesHandedOut, 128u * 1024);
  EXPECT_LE(file.furthestEnd, 128u * 1024);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LargePicture,
                         ::testing::Values(PictureKind::Jpeg, PictureKind::Tiff, PictureKind::Heic,
                                           PictureKind::Raf),
                         KindName);

TEST(DateTaken, ATiffWithoutDateTimeOriginalIsLookedAtFurtherButNotWhole) {
  // Its DateTime could be all the first look found of a directory cut short.
  MemoryByteSource file(MakePicture(PictureKind::Tiff, {"", "", kChangedText}, 6 * 1024 * 1024));
  EXPECT_EQ(ReadDateTaken(file), kChanged);
  EXPECT_LE(file.furthestEnd, 1024u * 1024);
}

TEST(DateTaken, ATiffIsLookedAtFurtherForADateTimeOriginalNotInItsStart) {
  MemoryByteSource file(testing::MakeTiffWithLongDescription({kOriginalText, "", kChangedText}, 100000));
  EXPECT_EQ(ReadDateTaken(file), kOriginal);
}

TEST(DateTaken, ATiffWhoseDatesLiePastTheFirstMegabyteGivesNone) {
  MemoryByteSource file(
      testing::MakeTiffWithLongDescription({kOriginalText, "", kChangedText}, 1100 * 1000));
  EXPECT_EQ(ReadDateTaken(file), std::nullopt);
  EXPECT_LE(file.furthestEnd, 1024u * 1024);
}

TEST(DateTaken, ACameraMakerNoteDoesNotHideTheDates) {
  EXPECT_EQ(DateOf(testing::MakeCanonLikeJpeg({kOriginalText, kDigitizedText, ""})), kOriginal);
  EXPECT_EQ(DateOf(testing::MakeCanonLikeJpeg({"", kDigitizedText, ""})), kDigitized);
}

TEST(DateTaken, FilesThatAreNoPicturesGiveNoDate) {
  EXPECT_EQ(DateOf(""), std::nullopt);
  EXPECT_EQ(DateOf(std::string("Exif\0\0II*\0", 10)), std::nullopt);
  EXPECT_EQ(DateOf("DateTimeOriginal 2021:03:04 05:06:07\n"), std::nullopt);
  EXPECT_EQ(DateOf(std::string(100000, '\xff')), std::nullopt);
}

TEST(DateTaken, VideosAreNotReadEvenWhenTheyHoldExif) {
  // An MP4 opens with an ftyp box as a HEIC does; only its brand tells.
  std::string heic = MakePicture(PictureKind::Heic, {kOriginalText, "", ""});
  ASSERT_EQ(DateOf(heic), kOriginal);
  heic.replace(8, 4, "isom");
  EXPECT_EQ(DateOf(heic), std::nullopt);
}

TEST(DateTaken, SeveralThreadsReadAtOnce) {
  std::vector<std::string> pictures = {MakePicture(PictureKind::Jpeg, {kOriginalText, "", ""}),
                                       MakePicture(PictureKind::Tiff, {"", kOriginalText, ""}),
                                       MakePicture(PictureKind::Png, {"", "", kOriginalText}),
                                       MakePicture(PictureKind::WebP, {kOriginalText, "", ""}),
                                       MakePicture(PictureKind::Raf, {kOriginalText, "", ""})};
  if (metadata::Exiv2ReadsBmff()) pictures.push_back(MakePicture(PictureKind::Heic, {kOriginalText, "", ""}));
  std::atomic<int> wrong = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        const std::string& picture = pictures[(i + t) % pictures.size()];
        if (DateOf(picture) != kOriginal) ++wrong;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

TEST(DateTaken, PicturesWrittenToFilesAreReadThroughTheFile) {
  testing::TempDir dir;
  const testing::ExifPictures jpegs;
  jpegs.Write(dir.Path("a.jpg"), kDigitized);
  jpegs.Write(dir.Path("b.jpg"), std::nullopt);
  testing::FileByteSource dated(dir.Path("a.jpg"));
  EXPECT_EQ(ReadDateTaken(dated), kDigitized);
  EXPECT_EQ(dated.bytesRead, dated.Size());
  testing::FileByteSource undated(dir.Path("b.jpg"));
  EXPECT_EQ(ReadDateTaken(undated), std::nullopt);
}

// A video's recording time: a moment in UTC from its container, except
// where the maker writes its own clock there; Sony's clip metadata carries
// the camera's clock. No time from a file that is no video.
TEST(RecordingTime, MoviesAndClipMetadata) {
  const std::int64_t june1st2355Utc = 1685663700;
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<DateTaken> time;
    bool utc;
  };
  const std::vector<Case> cases = {
      {"a camera's movie", testing::MakeMovie(june1st2355Utc, "Canon"), DateTaken{2023, 6, 1, 23, 55, 0}, true},
      {"GoPro's movie", testing::MakeMovie(june1st2355Utc, "GoPro"), DateTaken{2023, 6, 1, 23, 55, 0}, false},
      {"a picture", MakePicture(PictureKind::Jpeg, {kOriginalText, "", ""}), std::nullopt, false},
      {"noise", std::string(100000, '\x5a'), std::nullopt, false},
  };
  for (const Case& c : cases) {
    testing::MemoryByteSource file(c.bytes);
    const std::optional<RecordedAt> recorded = ReadRecordingTime(file);
    ASSERT_EQ(recorded.has_value(), c.time.has_value()) << c.what;
    if (!recorded) continue;
    EXPECT_EQ(recorded->time, *c.time) << c.what;
    EXPECT_EQ(recorded->utc, c.utc) << c.what;
  }
  testing::MemoryByteSource clip(testing::MakeClipMetadata("2023-06-01T23:55:00+09:00"));
  EXPECT_EQ(ReadClipMetadataTime(clip), (DateTaken{2023, 6, 1, 23, 55, 0}));
  testing::MemoryByteSource broken(std::string("<NonRealTimeMeta><CreationDate value=\"yesterday\"/>"));
  EXPECT_EQ(ReadClipMetadataTime(broken), std::nullopt);
}

std::string Le32(std::uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}
std::string Le16(std::uint16_t value) { return {static_cast<char>(value), static_cast<char>(value >> 8)}; }

// A Sigma X3F: its preview JPEG (with the EXIF dates) far into the file, found
// through the directory at its end.
std::string MakeX3f(const std::string& jpeg) {
  std::string file = "FOVb" + std::string(60, '\0') + std::string(2 * 1024 * 1024, '\x11');
  const auto image = static_cast<std::uint32_t>(file.size());
  file += "SECi" + Le32(0x200) + Le32(2) + Le32(18) + Le32(640) + Le32(480) + Le32(0) + jpeg;
  const auto directory = static_cast<std::uint32_t>(file.size());
  file += "SECd" + Le32(0x200) + Le32(1) + Le32(image) + Le32(static_cast<std::uint32_t>(28 + jpeg.size())) + "IMA2";
  return file + Le32(directory);
}

// A Canon CRW: its time stamp (0x180e, seconds of the camera's clock) in the
// image properties' heap, the heaps' directories at their ends.
std::string MakeCrw(std::uint32_t seconds) {
  const std::string header = "II" + Le32(26) + "HEAPCCDR" + Le32(0x10002) + std::string(8, '\0');
  std::string properties = Le32(seconds) + Le32(0) + Le32(0);  // the time stamp, then its directory
  properties += Le16(1) + Le16(0x180e) + Le32(12) + Le32(0) + Le32(12);
  std::string heap = std::string(3 * 1024 * 1024, '\x22');  // the image data first
  const auto propertiesAt = static_cast<std::uint32_t>(heap.size());
  heap += properties;
  const auto directory = static_cast<std::uint32_t>(heap.size());
  heap += Le16(1) + Le16(0x300a) + Le32(static_cast<std::uint32_t>(properties.size())) + Le32(propertiesAt);
  return header + heap + Le32(directory);
}

// Raw kinds whose metadata lies at the end of the file still give their date.
TEST(DateTaken, X3fAndCrwHaveTheirDatesAtTheirEnds) {
  const std::string jpeg = MakePicture(PictureKind::Jpeg, {kOriginalText, "", ""});
  testing::MemoryByteSource x3f(MakeX3f(jpeg));
  EXPECT_EQ(ReadDateTaken(x3f), kOriginal);
  testing::MemoryByteSource crw(MakeCrw(1685663700));  // 1 June 2023, 23:55 on the camera's clock
  EXPECT_EQ(ReadDateTaken(crw), (DateTaken{2023, 6, 1, 23, 55, 0}));
  std::string damaged = MakeCrw(1685663700);
  damaged.replace(damaged.size() - 4, 4, Le32(0x7ffffff0));
  testing::MemoryByteSource broken(damaged);
  EXPECT_EQ(ReadDateTaken(broken), std::nullopt);
  EXPECT_LE(broken.bytesHandedOut, 64u * 1024);
}

}  // namespace
}  // namespace quillfen
