// A card may hold anything: cut, damaged and hostile pictures give no date or
// a date that is really in them, never a crash, a hang or a read of the whole
// file.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "support/ExifPictures.h"
#include "support/MemoryByteSource.h"
#include "metadata/DateTaken.h"

namespace quillfen {
namespace {

using testing::MakePicture;
using testing::MemoryByteSource;
using testing::PictureKind;

// What the reader may take of any file: its read limit and one read ahead.
constexpr std::uint64_t kMostRead = 1024 * 1024 + 16 * 1024;

const testing::ExifDates kDates{"2021:03:04 05:06:07", "2022:04:05 06:07:08", "2023:05:06 07:08:09"};
const std::set<int> kYearsInThem = {2021, 2022, 2023};

struct Sample {
  const char* name;
  std::string bytes;
};

std::vector<Sample> Samples() {
  std::string orf = MakePicture(PictureKind::Tiff, kDates);
  orf.replace(2, 2, "RO");  // Olympus ORF: a TIFF with its own magic number
  std::string rw2 = MakePicture(PictureKind::Tiff, kDates);
  rw2.replace(2, 2, std::string("U\0", 2));  // Panasonic RW2 likewise
  return {{"JPEG", MakePicture(PictureKind::Jpeg, kDates)},
          {"Canon-like JPEG", testing::MakeCanonLikeJpeg(kDates)},
          {"TIFF", MakePicture(PictureKind::Tiff, kDates)},
          {"ORF", orf},
          {"RW2", rw2},
          {"PNG", MakePicture(PictureKind::Png, kDates)},
          {"WebP", MakePicture(PictureKind::WebP, kDates)},
          {"HEIC", MakePicture(PictureKind::Heic, kDates)},
          {"RAF", MakePicture(PictureKind::Raf, kDates)}};
}

// Reads the date of bytes and checks what any file must satisfy.
void ExpectHarmless(const std::string& bytes, const std::string& what) {
  MemoryByteSource file(bytes);
  ReadDateTaken(file);
  EXPECT_LE(file.furthestEnd, kMostRead) << what;
  EXPECT_LE(file.bytesHandedOut, 2 * kMostRead) << what;
}

TEST(DamagedPictures, ACutPictureGivesNoDateOrOneOfItsOwn) {
  for (const Sample& sample : Samples()) {
    for (std::size_t length = 0; length < sample.bytes.size(); ++length) {
      MemoryByteSource file(sample.bytes.substr(0, length));
      const std::optional<DateTaken> date = ReadDateTaken(file);
      if (date) {
        EXPECT_TRUE(kYearsInThem.count(date->year)) << sample.name << " cut at " << length;
      }
    }
  }
}

TEST(DamagedPictures, FlippedBytesNeverCrashOrReadUnboundedly) {
  std::mt19937 random(20240610);
  for (const Sample& sample : Samples()) {
    for (int variant = 0; variant < 400; ++variant) {
      std::string bytes = sample.bytes;
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i) {
        bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
      }
      ExpectHarmless(bytes, std::string(sample.name) + " variant " + std::to_string(variant));
    }
  }
}

TEST(DamagedPictures, RandomBytesBehindEachKindsSignatureAreHarmless) {
  std::mt19937 random(7);
  for (const Sample& sample : Samples()) {
    for (int variant = 0; variant < 100; ++variant) {
      std::string bytes = sample.bytes.substr(0, 16);
      bytes.resize(16 + random() % 4096);
      for (std::size_t i = 16; i < bytes.size(); ++i) bytes[i] = static_cast<char>(random());
      ExpectHarmless(bytes, std::string(sample.name) + " noise " + std::to_string(variant));
    }
  }
}

std::string BigEndian32(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

TEST(DamagedPictures, EndlessHeadersAreReadOnlyUpToTheLimit) {
  // A JPEG of nothing but comments, 4 MiB of them.
  std::string comments = "\xff\xd8";
  while (comments.size() < 4 * 1024 * 1024) comments += std::string("\xff\xfe\x00\x04xx", 6);
  // A PNG whose chunks claim to go on for 2 GiB.
  std::string png = MakePicture(PictureKind::Png, kDates).substr(0, 33);
  png += BigEndian32(0x7fffffff) + "tEXt" + std::string(3 * 1024 * 1024, 'a');
  // A HEIC whose meta box claims the whole file, 3 MiB.
  std::string heic = MakePicture(PictureKind::Heic, kDates).substr(0, 24);
  heic += BigEndian32(3 * 1024 * 1024) + "meta" + std::string(3 * 1024 * 1024, '\0');
  // A TIFF whose directory lies past the first megabyte.
  std::string tiff = std::string("II*\0", 4) + std::string("\0\0\x20\0", 4);
  tiff.resize(3 * 1024 * 1024, '\x01');
  // A RAF whose JPEG, and so its dates, lie 2 MiB in.
  const std::string jpeg = MakePicture(PictureKind::Jpeg, kDates);
  std::string raf = MakePicture(PictureKind::Raf, kDates).substr(0, 84);
  raf += BigEndian32(2 * 1024 * 1024) + BigEndian32(static_cast<std::uint32_t>(jpeg.size()));
  raf.resize(2 * 1024 * 1024, '\0');
  raf += jpeg;
  for (const std::string& bytes : {comments, png, heic, tiff, raf}) {
    MemoryByteSource file(bytes);
    EXPECT_EQ(ReadDateTaken(file), std::nullopt);
    EXPECT_LE(file.furthestEnd, kMostRead);
    EXPECT_LE(file.bytesHandedOut, 2 * kMostRead);
  }
}

// The reader fails on a box after the one that holds the dates (a part of
// the file it cannot read, as in Canon's CR3s, or one cut short): the dates
// it read before still count.
TEST(DamagedPictures, DatesReadBeforeAFailureStillCount) {
  const std::string heic = MakePicture(PictureKind::Heic, kDates);
  for (const std::string& tail : {std::string("\0\0\0\x04" "bad!", 8), std::string("\xff\xff\xff\xff" "mdat", 8),
                                  BigEndian32(16) + "moov" + BigEndian32(2) + "trak"}) {
    MemoryByteSource file(heic + tail);
    const std::optional<DateTaken> date = ReadDateTaken(file);
    ASSERT_TRUE(date);
    EXPECT_EQ(date->year, 2021);
  }
}

// Boxes nested thousands deep keep a reader busy for seconds; no picture
// has them, so the file is refused after a glance at its first boxes.
TEST(DamagedPictures, DeeplyNestedBoxesAreRefusedAtAGlance) {
  for (const char* type : {"meta", "iprp", "moov"}) {
    std::string heic = MakePicture(PictureKind::Heic, kDates).substr(0, 24);
    const std::size_t header = std::string(type) == "meta" ? 12 : 8;
    const std::size_t first = heic.size();
    const int depth = 20000;
    for (int i = 0; i < depth; ++i) heic += BigEndian32(0) + type + std::string(header - 8, '\0');
    heic.resize(1024 * 1024, '\0');
    for (int i = 0; i < depth; ++i)
      heic.replace(first + i * header, 4, BigEndian32(static_cast<std::uint32_t>(heic.size() - first - i * header)));
    MemoryByteSource file(heic);
    EXPECT_EQ(ReadDateTaken(file), std::nullopt) << type;
    EXPECT_LE(file.bytesHandedOut, 64u * 1024) << type;
  }
}

TEST(DamagedPictures, ExivSaysNothingAboutThem) {
  // Its warnings would land on the program's stderr, one per odd file.
  ::testing::internal::CaptureStderr();
  for (const Sample& sample : Samples()) {
    for (std::size_t length = 0; length < sample.bytes.size(); length += 7) {
      MemoryByteSource file(sample.bytes.substr(0, length));
      ReadDateTaken(file);
    }
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(DamagedPictures, AFileShorterThanItsSizeGivesNoDateOrOneOfItsOwn) {
  // Size() says more than the reads give, as when a card is pulled.
  class Shrunk : public MemoryByteSource {
   public:
    using MemoryByteSource::MemoryByteSource;
    std::uint64_t Size() const override { return MemoryByteSource::Size() + 100000; }
  };
  for (const Sample& sample : Samples()) {
    Shrunk file(sample.bytes);
    const std::optional<DateTaken> date = ReadDateTaken(file);
    if (date) {
      EXPECT_TRUE(kYearsInThem.count(date->year)) << sample.name;
    }
  }
}

}  // namespace
}  // namespace quillfen
