#pragma once
// Makes pictures that carry EXIF dates, for the tests and benchmarks that
// need cameras' files: single pictures of each kind with any date text, and
// whole cards of dated JPEGs written fast.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "metadata/DateTaken.h"

namespace quillfen::testing {

// Raf: a Fujifilm raw file, its metadata in a JPEG inside it.
enum class PictureKind { Jpeg, Tiff, Png, WebP, Heic, Raf };

// The texts of the date tags a picture carries; an empty one is left out.
struct ExifDates {
  std::string original;   // Exif.Photo.DateTimeOriginal
  std::string digitized;  // Exif.Photo.DateTimeDigitized
  std::string dateTime;   // Exif.Image.DateTime
};

// "YYYY:MM:DD HH:MM:SS", as cameras write it.
std::string ExifDateText(const DateTaken& date);

// A small picture with EXIF (camera make, exposure... and the given dates),
// tagged by exiv2 itself (HEIC, which exiv2 cannot write, is put together
// here). `imageBytes` more bytes of image data follow the metadata, as in a
// camera's full-size picture (all kinds but PNG and WebP).
std::string MakePicture(PictureKind kind, const ExifDates& dates, std::size_t imageBytes = 0);
// A JPEG with EXIF as a Canon camera writes it: besides the dates, a maker
// note of some 240 entries and a thumbnail, 8 KB in all.
std::string MakeCanonLikeJpeg(const ExifDates& dates);
// A TIFF whose Exif directory (and DateTime) come after a description of
// `descriptionBytes`, as raw files may put large maker data before them.
std::string MakeTiffWithLongDescription(const ExifDates& dates, std::size_t descriptionBytes);
// The same small picture with no EXIF at all.
std::string MakePictureWithoutExif(PictureKind kind);

// A QuickTime or MP4 movie as cameras write it, as small as a player still
// reads: its header with the creation time (seconds since 1970, UTC), and
// the name of the program that wrote it (empty: none).
std::string MakeMovie(std::int64_t createdUtc, const std::string& writer = "");
// Sony's metadata of a clip (C0001M01.XML) with its creation time as the
// camera's clock wrote it: "2023-06-01T23:55:00+09:00".
std::string MakeClipMetadata(const std::string& creationDate);

// Dated pictures of one kind, cheap enough for tens of thousands: the bytes
// are made once and each picture only has its date written in.
class ExifPictures {
 public:
  explicit ExifPictures(PictureKind kind = PictureKind::Jpeg, std::size_t imageBytes = 0);
  // A picture taken at `taken` (its DateTimeOriginal), or one without EXIF.
  std::string Bytes(const std::optional<DateTaken>& taken) const;
  // Writes that picture to path, replacing any file there; throws when it cannot.
  void Write(const std::string& path, const std::optional<DateTaken>& taken) const;

 private:
  std::string dated_;
  std::size_t dateAt_ = 0;
  std::string undated_;
};

}  // namespace quillfen::testing
