// Makes pictures that carry EXIF dates, tagged through exiv2.
#include "support/ExifPictures.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <exiv2/exiv2.hpp>

namespace quillfen::testing {
namespace {

// 8x8 grey pictures as ImageMagick makes them, metadata stripped (and the
// JPEG's JFIF header too: cameras put their EXIF right after the start).
constexpr unsigned char kJpeg[] = {
    0xff, 0xd8, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x10, 0x0b, 0x0c, 0x0e, 0x0c, 0x0a, 0x10,
    0x0e, 0x0d, 0x0e, 0x12, 0x11, 0x10, 0x13, 0x18, 0x28, 0x1a, 0x18, 0x16, 0x16, 0x18, 0x31, 0x23,
    0x25, 0x1d, 0x28, 0x3a, 0x33, 0x3d, 0x3c, 0x39, 0x33, 0x38, 0x37, 0x40, 0x48, 0x5c, 0x4e, 0x40,
    0x44, 0x57, 0x45, 0x37, 0x38, 0x50, 0x6d, 0x51, 0x57, 0x5f, 0x62, 0x67, 0x68, 0x67, 0x3e, 0x4d,
    0x71, 0x79, 0x70, 0x64, 0x78, 0x5c, 0x65, 0x67, 0x63, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x08,
    0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xff, 0xc4, 0x00, 0x14,
    0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0x1f, 0xff, 0xd9,
};

constexpr unsigned char kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x3a, 0x7e, 0x9b,
    0x55, 0x00, 0x00, 0x00, 0x0a, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0xa8, 0x03, 0x00, 0x00,
    0x80, 0x00, 0x7f, 0xce, 0x4b, 0x8c, 0xa4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae,
    0x42, 0x60, 0x82,
};

constexpr unsigned char kWebP[] = {
    0x52, 0x49, 0x46, 0x46, 0x1e, 0x00, 0x00, 0x00, 0x57, 0x45, 0x42, 0x50, 0x56, 0x50, 0x38, 0x4c,
    0x11, 0x00, 0x00, 0x00, 0x2f, 0x07, 0xc0, 0x01, 0x00, 0x07, 0x50, 0xbf, 0xfa, 0xd5, 0xaf, 0xff,
    0x81, 0x88, 0xe8, 0x7f, 0x00, 0x00,
};

std::string Bytes(const unsigned char* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

void PutU16(std::string& out, unsigned value, bool bigEndian) {
  const char b[2] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff)};
  if (bigEndian) {
    out += b[1];
    out += b[0];
  } else {
    out.append(b, 2);
  }
}

void PutU32(std::string& out, std::uint32_t value, bool bigEndian) {
  if (bigEndian) {
    PutU16(out, value >> 16, true);
    PutU16(out, value & 0xffff, true);
  } else {
    PutU16(out, value & 0xffff, false);
    PutU16(out, value >> 16, false);
  }
}

// An uncompressed grey TIFF, its one strip of pixels after its directory as
// in a camera's raw file. `imageBytes` sets the size of the strip.
std::string PlainTiff(std::size_t imageBytes) {
  const unsigned width = imageBytes == 0 ? 8 : 1024;
  const unsigned height = imageBytes == 0 ? 8 : static_cast<unsigned>((imageBytes + 1023) / 1024);
  const std::uint32_t stripSize = width * height;
  struct Entry { unsigned tag, type; std::uint32_t value; };
  constexpr unsigned kShort = 3, kLong = 4;
  constexpr std::uint32_t kStripAt = 8 + 2 + 9 * 12 + 4;
  const Entry entries[] = {{256, kShort, width}, {257, kShort, height}, {258, kShort, 8},
                           {259, kShort, 1},     {262, kShort, 1},      {273, kLong, kStripAt},
                           {277, kShort, 1},     {278, kLong, height},  {279, kLong, stripSize}};
  std::string tiff = "II*";
  tiff += '\0';
  PutU32(tiff, 8, false);
  PutU16(tiff, 9, false);
  for (const Entry& e : entries) {
    PutU16(tiff, e.tag, false);
    PutU16(tiff, e.type, false);
    PutU32(tiff, 1, false);
    if (e.type == kShort) {
      PutU16(tiff, e.value, false);
      PutU16(tiff, 0, false);
    } else {
      PutU32(tiff, e.value, false);
    }
  }
  PutU32(tiff, 0, false);
  tiff.append(stripSize, '\x80');
  return tiff;
}

std::string PlainPicture(PictureKind kind) {
  switch (kind) {
    case PictureKind::Jpeg: return Bytes(kJpeg, sizeof kJpeg);
    case PictureKind::Tiff: return PlainTiff(0);
    case PictureKind::Png: return Bytes(kPng, sizeof kPng);
    case PictureKind::WebP: return Bytes(kWebP, sizeof kWebP);
    case PictureKind::Heic:
    case PictureKind::Raf: break;
  }
  throw std::logic_error("no plain picture of that kind");
}

Exiv2::ExifData CameraExif(const ExifDates& dates) {
  Exiv2::ExifData exif;
  exif["Exif.Image.Make"] = "Quillfen";
  exif["Exif.Image.Model"] = "Test Camera 1";
  exif["Exif.Image.Orientation"] = uint16_t(1);
  exif["Exif.Image.Software"] = "Firmware 1.0";
  exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
  exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
  exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(200);
  exif["Exif.Photo.FocalLength"] = Exiv2::URational(50, 1);
  exif["Exif.Photo.PixelXDimension"] = uint32_t(8);
  exif["Exif.Photo.PixelYDimension"] = uint32_t(8);
  if (!dates.original.empty()) exif["Exif.Photo.DateTimeOriginal"] = dates.original;
  if (!dates.digitized.empty()) exif["Exif.Photo.DateTimeDigitized"] = dates.digitized;
  if (!dates.dateTime.empty()) exif["Exif.Image.DateTime"] = dates.dateTime;
  return exif;
}

std::string Box(const char* type, const std::string& payload) {
  std::string box;
  PutU32(box, static_cast<std::uint32_t>(8 + payload.size()), true);
  box += type;
  return box + payload;
}

// A HEIC as phones write it: file type, then the item directory with the
// Exif item, then the media data holding the Exif block and the image.
std::string Heic(const Exiv2::ExifData* exif, std::size_t imageBytes) {
  std::string exifItem;
  if (exif != nullptr) {
    Exiv2::Blob tiff;
    Exiv2::ExifParser::encode(tiff, Exiv2::littleEndian, *exif);
    PutU32(exifItem, 6, true);  // where the TIFF header starts, after "Exif\0\0"
    exifItem.append("Exif\0\0", 6);
    exifItem.append(reinterpret_cast<const char*>(tiff.data()), tiff.size());
  }
  const unsigned items = exif != nullptr ? 1 : 0;

  const std::string ftyp = Box("ftyp", std::string("heic\0\0\0\0mif1heic", 16));
  const std::string hdlr = Box("hdlr", std::string(8, '\0') + "pict" + std::string(13, '\0'));
  std::string iinf = std::string(4, '\0');
  PutU16(iinf, items, true);
  if (items > 0) {
    std::string infe = std::string("\x02\0\0\0", 4);  // version 2
    PutU16(infe, 1, true);                               // item 1
    PutU16(infe, 0, true);
    infe += std::string("Exif\0", 5);
    iinf += Box("infe", infe);
  }
  const std::size_t ilocSize = 8 + 4 + 2 + 2 + 14 * items;
  const std::size_t metaSize = 8 + 4 + hdlr.size() + 8 + iinf.size() + ilocSize;
  const auto exifAt = static_cast<std::uint32_t>(ftyp.size() + metaSize + 8);
  std::string iloc = std::string(4, '\0');
  iloc += '\x44';  // offsets and lengths in four bytes
  iloc += '\0';
  PutU16(iloc, items, true);
  if (items > 0) {
    PutU16(iloc, 1, true);  // item 1
    PutU16(iloc, 0, true);  // in this file
    PutU16(iloc, 1, true);  // one extent
    PutU32(iloc, exifAt, true);
    PutU32(iloc, static_cast<std::uint32_t>(exifItem.size()), true);
  }
  const std::string meta =
      Box("meta", std::string(4, '\0') + hdlr + Box("iinf", iinf) + Box("iloc", iloc));
  return ftyp + meta + Box("mdat", exifItem + std::string(imageBytes + 8, '\0'));
}

// A RAF header pointing at the JPEG that follows it; the raw data after.
std::string Raf(const std::string& jpeg, std::size_t imageBytes) {
  std::string raf = "FUJIFILMCCD-RAW 0201FF393101TESTCAM";
  raf.resize(84, '\0');
  constexpr std::uint32_t kJpegAt = 160;
  PutU32(raf, kJpegAt, true);
  PutU32(raf, static_cast<std::uint32_t>(jpeg.size()), true);
  raf.resize(kJpegAt, '\0');
  return raf + jpeg + std::string(imageBytes, '\0');
}

std::string Tagged(PictureKind kind, const Exiv2::ExifData& exif, std::size_t imageBytes) {
  std::string plain = kind == PictureKind::Tiff ? PlainTiff(imageBytes) : PlainPicture(kind);
  auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(plain.data()),
                                         static_cast<long>(plain.size()));
  image->readMetadata();
  image->setExifData(exif);
  image->writeMetadata();
  Exiv2::BasicIo& io = image->io();
  io.open();
  Exiv2::DataBuf buf = io.read(static_cast<long>(io.size()));
  std::string tagged(reinterpret_cast<const char*>(buf.pData_), static_cast<std::size_t>(buf.size_));
  if (kind == PictureKind::Jpeg && imageBytes > 0) {
    // More scan data before the end marker; zero bytes never form a marker.
    tagged.insert(tagged.size() - 2, imageBytes, '\0');
  }
  return tagged;
}

}  // namespace

std::string ExifDateText(const DateTaken& d) {
  char text[80];
  std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                d.minute, d.second);
  return text;
}

std::string MakePicture(PictureKind kind, const ExifDates& dates, std::size_t imageBytes) {
  const Exiv2::ExifData exif = CameraExif(dates);
  if (kind == PictureKind::Heic) return Heic(&exif, imageBytes);
  if (kind == PictureKind::Raf) return Raf(Tagged(PictureKind::Jpeg, exif, 0), imageBytes);
  return Tagged(kind, exif, imageBytes);
}

std::string MakeCanonLikeJpeg(const ExifDates& dates) {
  Exiv2::ExifData exif = CameraExif(dates);
  exif["Exif.Image.Make"] = "Canon";
  exif["Exif.Image.Model"] = "Canon EOS 5D Mark IV";
  // exiv2 writes a Canon maker note from whatever Canon tags it is given.
  for (const char* group : {"Canon", "CanonCs", "CanonSi", "CanonCf", "CanonPi", "CanonFi"}) {
    for (const Exiv2::TagInfo* tag = Exiv2::ExifTags::tagList(group); tag->tag_ != 0xffff; ++tag) {
      if (tag->typeId_ == Exiv2::unsignedShort || tag->typeId_ == Exiv2::signedShort) {
        exif[std::string("Exif.") + group + "." + tag->name_] = uint16_t(1);
      }
    }
  }
  std::string thumbnail = PlainPicture(PictureKind::Jpeg);
  thumbnail.insert(thumbnail.size() - 2, 6000, '\0');
  Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(thumbnail.data()),
                                          static_cast<long>(thumbnail.size()));
  return Tagged(PictureKind::Jpeg, exif, 0);
}

std::string MakeTiffWithLongDescription(const ExifDates& dates, std::size_t descriptionBytes) {
  Exiv2::ExifData exif = CameraExif(dates);
  exif["Exif.Image.ImageDescription"] = std::string(descriptionBytes, 'x');
  return Tagged(PictureKind::Tiff, exif, 0);
}

std::string MakePictureWithoutExif(PictureKind kind) {
  if (kind == PictureKind::Heic) return Heic(nullptr, 0);
  if (kind == PictureKind::Raf) return Raf(PlainPicture(PictureKind::Jpeg), 0);
  return PlainPicture(kind);
}

ExifPictures::ExifPictures(PictureKind kind, std::size_t imageBytes) {
  const std::string placeholder = "1999:12:31 23:59:58";
  dated_ = MakePicture(kind, {placeholder, "", ""}, imageBytes);
  dateAt_ = dated_.find(placeholder);
  if (dateAt_ == std::string::npos || dated_.find(placeholder, dateAt_ + 1) != std::string::npos) {
    throw std::logic_error("the date is not in the picture exactly once");
  }
  undated_ = MakePictureWithoutExif(kind);
}

std::string ExifPictures::Bytes(const std::optional<DateTaken>& taken) const {
  if (!taken) return undated_;
  std::string bytes = dated_;
  const std::string text = ExifDateText(*taken);
  bytes.replace(dateAt_, text.size(), text);
  return bytes;
}

void ExifPictures::Write(const std::string& path, const std::optional<DateTaken>& taken) const {
  const std::string bytes = Bytes(taken);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot create " + path);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

std::string MakeMovie(std::int64_t createdUtc, const std::string& writer) {
  // QuickTime counts from 1904.
  const auto created = static_cast<std::uint32_t>(createdUtc + 2082844800);
  std::string mvhd(4, '\0');  // version 0, no flags
  for (std::uint32_t value : {created, created, 1000u, 5000u, 0x00010000u}) PutU32(mvhd, value, true);
  mvhd += std::string("\x01\x00", 2) + std::string(10 + 36 + 24, '\0');
  PutU32(mvhd, 2, true);  // the next track's id
  std::string moov = Box("mvhd", mvhd);
  if (!writer.empty()) {
    // A user-data entry "©swr": the software that wrote the movie.
    std::string text;
    PutU16(text, static_cast<unsigned>(writer.size()), true);
    PutU16(text, 0, true);
    moov += Box("udta", Box("\xa9swr", text + writer));
  }
  return Box("ftyp", std::string("qt  \0\0\0\0qt  ", 12)) + Box("moov", moov) + Box("mdat", std::string(64, '\0'));
}

std::string MakeClipMetadata(const std::string& creationDate) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<NonRealTimeMeta xmlns=\"urn:schemas-professionalDisc:nonRealTimeMeta:ver.2.00\">\n"
         "  <Duration value=\"250\"/>\n"
         "  <CreationDate value=\"" + creationDate + "\"/>\n"
         "</NonRealTimeMeta>\n";
}

}  // namespace quillfen::testing
