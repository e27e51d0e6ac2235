// Cards as the makers write them, moved with every camera file and numbers:
// after the move every file is exactly once on the card or in the target,
// byte for byte, the shots keep one number each in the order they were
// taken, and the report says what stays. QUILLFEN_PRINT_CARDS=1 prints each
// card's target listing and report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "support/ExifPictures.h"
#include "support/MoverHarness.h"

namespace quillfen::testing {
namespace {

struct CardFile {
  std::string path;  // below the card
  int minute;        // when the camera wrote it, in minutes after the first shot
};

struct MakerCard {
  const char* maker;
  std::vector<CardFile> files;
  std::vector<std::string> target;  // the names in the target, sorted
  std::vector<std::string> left;    // what stays on the card, below it, sorted
  std::string moved;                // the report's count
  std::string leftLine;             // the report's line on what stays ("" when nothing does)
};

const std::vector<MakerCard>& Cards() {
  static const std::vector<MakerCard> cards = {
      {"Canon",
       {{"DCIM/100CANON/IMG_0001.JPG", 0}, {"DCIM/100CANON/IMG_0001.CR3", 0}, {"DCIM/100CANON/MVI_0002.MP4", 1},
        {"DCIM/100CANON/MVI_0002.THM", 1}, {"DCIM/100CANON/IMG_0003.CR2", 2}, {"DCIM/100CANON/IMG_0003.CR2.xmp", 50},
        {"DCIM/100CANON/MVI_0004.CRM", 3}, {"DCIM/CANONMSC/M0100.CTG", 4}},
       {"0001.CR3", "0001.JPG", "0002.MP4", "0002.THM", "0003.CR2", "0003.CR2.xmp", "0004.CRM"},
       {"DCIM/CANONMSC/M0100.CTG"},
       "Files moved: 7 in 4 shots",
       "Left on the card: 1 file the camera keeps for itself."},
      {"Nikon",
       {{"DCIM/100NIKON/DSC_0001.NEF", 0}, {"DCIM/100NIKON/DSC_0001.JPG", 0}, {"DCIM/100NIKON/DSC_0002.NEV", 1},
        {"DCIM/100NIKON/DSC_0002.MP4", 1}, {"DCIM/NC_FLLST.DAT", 2}},
       {"0001.JPG", "0001.NEF", "0002.MP4", "0002.NEV"},
       {"DCIM/NC_FLLST.DAT"},
       "Files moved: 4 in 2 shots",
       "Left on the card: 1 file the camera keeps for itself."},
      {"Sony, video beside DCIM",
       {{"DCIM/100MSDCF/DSC00001.ARW", 0}, {"DCIM/100MSDCF/DSC00001.JPG", 0}, {"DCIM/100MSDCF/DSC00003.ARQ", 5},
        {"PRIVATE/M4ROOT/CLIP/C0001.MP4", 2}, {"PRIVATE/M4ROOT/CLIP/C0001M01.XML", 2},
        {"PRIVATE/M4ROOT/THMBNL/C0001T01.JPG", 2}, {"PRIVATE/M4ROOT/SUB/C0001S03.MP4", 2},
        {"PRIVATE/M4ROOT/MEDIAPRO.XML", 3}},
       {"0001.ARW", "0001.JPG", "0002.MP4", "0002M01.XML", "0002S03.MP4", "0002T01.JPG", "0003.ARQ"},
       {"PRIVATE/M4ROOT/MEDIAPRO.XML"},
       "Files moved: 7 in 3 shots",
       ""},
      {"Fujifilm",
       {{"DCIM/100_FUJI/DSCF0001.RAF", 0}, {"DCIM/100_FUJI/DSCF0001.JPG", 0}, {"DCIM/100_FUJI/DSCF0002.MOV", 1}},
       {"0001.JPG", "0001.RAF", "0002.MOV"},
       {},
       "Files moved: 3 in 2 shots",
       ""},
      {"Olympus and OM",
       {{"DCIM/100OLYMP/P1010001.ORF", 0}, {"DCIM/100OLYMP/P1010001.JPG", 0}, {"DCIM/100OLYMP/P1010002.ORI", 1},
        {"DCIM/100OLYMP/P1010002.ORF", 1}, {"DCIM/100OLYMP/P1010003.MPO", 2}},
       {"0001.JPG", "0001.ORF", "0002.ORF", "0002.ORI", "0003.MPO"},
       {},
       "Files moved: 5 in 3 shots",
       ""},
      {"Panasonic",
       {{"DCIM/100_PANA/P1000001.RW2", 0}, {"DCIM/100_PANA/P1000001.JPG", 0}, {"DCIM/100_PANA/P1000002.MP4", 1},
        {"PRIVATE/AVCHD/BDMV/STREAM/00000.MTS", 3}},
       {"0001.JPG", "0001.RW2", "0002.MP4", "0003.MTS"},
       {},
       "Files moved: 4 in 3 shots",
       ""},
      {"GoPro",
       {{"DCIM/100GOPRO/GX010001.MP4", 0}, {"DCIM/100GOPRO/GX020001.MP4", 10}, {"DCIM/100GOPRO/GL010001.LRV", 0},
        {"DCIM/100GOPRO/GL020001.LRV", 10}, {"DCIM/100GOPRO/GX010001.THM", 0}, {"DCIM/100GOPRO/GOPR0002.JPG", 20}},
       {"0001-2.LRV", "0001-2.MP4", "0001.LRV", "0001.MP4", "0001.THM", "0002.JPG"},
       {},
       "Files moved: 6 in 2 shots",
       ""},
      {"DJI",
       {{"DCIM/100MEDIA/DJI_0001.MP4", 0}, {"DCIM/100MEDIA/DJI_0001.SRT", 0}, {"DCIM/100MEDIA/DJI_0001.LRF", 0},
        {"DCIM/100MEDIA/DJI_0002.DNG", 1}, {"DCIM/100MEDIA/DJI_0002.JPG", 1}},
       {"0001.LRF", "0001.MP4", "0001.SRT", "0002.DNG", "0002.JPG"},
       {},
       "Files moved: 5 in 2 shots",
       ""},
      {"a phone",
       {{"DCIM/100APPLE/IMG_0001.HEIC", 0}, {"DCIM/100APPLE/IMG_0001.AAE", 0}, {"DCIM/100APPLE/IMG_E0001.HEIC", 30},
        {"DCIM/100APPLE/IMG_0002.MOV", 1}, {"DCIM/100APPLE/._IMG_0001.HEIC", 0}},
       {"0001.AAE", "0001.HEIC", "0002.MOV", "0003.HEIC"},
       {"DCIM/100APPLE/._IMG_0001.HEIC"},
       "Files moved: 4 in 3 shots",
       "Left on the card: 1 hidden file."},
      {"sidecars of both kinds, a note",
       {{"DCIM/100CANON/IMG_0001.CR2", 0}, {"DCIM/100CANON/IMG_0001.xmp", 40}, {"DCIM/100CANON/IMG_0001.CR2.xmp", 41},
        {"DCIM/100CANON/IMG_0001.JPG.xmp", 42}, {"DCIM/100CANON/NOTES.TXT", 1}},
       {"0001.CR2", "0001.CR2.xmp", "0001.JPG.xmp", "0001.xmp", "0002.TXT"},
       {},
       "Files moved: 5 in 2 shots",
       ""},
      {"Insta360",
       {{"DCIM/Camera01/VID_20230601_100000_00_001.insv", 0}, {"DCIM/Camera01/VID_20230601_100000_10_001.insv", 0},
        {"DCIM/Camera01/LRV_20230601_100000_01_001.lrv", 0}},
       {"0001-2.insv", "0001.insv", "0001.lrv"},
       {},
       "Files moved: 3 in 1 shot",
       ""},
  };
  return cards;
}

// Every file's bytes below a folder, counted.
void Contents(const MemoryFolder& dir, const std::string& folder, std::map<std::string, int>& counted) {
  for (const std::string& name : dir.Names(folder)) {
    const std::string path = folder + "/" + name;
    if (dir.IsFolder(path))
      Contents(dir, path, counted);
    else
      ++counted[dir.Read(path.substr(dir.path().size() + 1))];
  }
}

// The files below a folder, as paths below it, sorted.
std::vector<std::string> FilesIn(const MemoryFolder& dir, const std::string& folder, const std::string& below = "") {
  std::vector<std::string> files;
  for (const std::string& name : dir.Names(folder)) {
    const std::string path = folder + "/" + name;
    if (dir.IsFolder(path)) {
      for (const std::string& file : FilesIn(dir, path, below + name + "/")) files.push_back(file);
    } else {
      files.push_back(below + name);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string LastValue(const MoverHarness& h, const std::string& control) {
  const std::vector<std::string> calls = h.SetValueCalls(control);
  if (calls.empty()) return "";
  const std::optional<MovieCall> call = DecodeMovieCall(calls.back());
  return call && call->arguments.size() > 1 ? call->arguments[1].text : "";
}

TEST(CameraCardsTest, EveryMakersCardMovesWholeInShotsAndSaysWhatStays) {
  const std::int64_t firstShot = 1685613600;  // 1 June 2023, 10:00 UTC
  for (const MakerCard& card : Cards()) {
    SCOPED_TRACE(card.maker);
    MoverHarness h;
    for (const CardFile& file : card.files) h.memory.Put(h.card + "/" + file.path, file.path, firstShot + 60 * file.minute);
    h.Options(/*autoRename=*/true, /*subfolder=*/false);
    h.module().objSettings().SaveParameter("AllCameraFiles", true);
    std::map<std::string, int> before;
    Contents(h.dir, h.dir.path(), before);
    h.program.window.QueueAnswer(BoxAnswer::OK);
    h.mover().StartOperation();

    std::map<std::string, int> after;
    Contents(h.dir, h.dir.path(), after);
    EXPECT_EQ(after, before) << "every file exactly once, byte for byte";
    EXPECT_EQ(h.Names(h.pictures), card.target);
    EXPECT_EQ(FilesIn(h.dir, h.card), card.left);
    EXPECT_EQ(LastValue(h, "infoExtra"), card.moved);
    const std::string leftLine = LastValue(h, "infoOperation");
    EXPECT_EQ(leftLine.rfind("Left on the card", 0) == 0 ? leftLine : "", card.leftLine);
    const std::string finalText = h.Boxes().back();
    EXPECT_EQ(finalText.find("the card is not empty") != std::string::npos, !card.leftLine.empty()) << finalText;
    if (std::getenv("QUILLFEN_PRINT_CARDS")) {
      std::cout << card.maker << ":\n";
      for (const std::string& name : h.Names(h.pictures)) std::cout << "  " << name << "\n";
      std::cout << "  report: " << card.moved << (card.leftLine.empty() ? "" : " / " + card.leftLine) << "\n";
    }
  }
}

// A FAT card keeps the camera's clock: a photo taken at 23:50 (its EXIF), a
// movie shot five minutes later whose only date is its file time, a Sony
// clip whose metadata names its own offset and a movie whose container
// keeps UTC all fall on the camera's day, in Tokyo, Berlin and New York.
// (tests/e2e/card_time_zones.sh does the same on a real FAT card where the
// kernel mounts one.)
TEST(CameraCardsTest, AFatCardsDayIsTheCamerasInEveryTimeZone) {
  const char* const saved = std::getenv("TZ");
  const std::string before = saved ? saved : "";
  const std::int64_t june1st = 1685577600;  // 00:00 UTC
  for (const char* zone : {"Asia/Tokyo", "Europe/Berlin", "America/New_York"}) {
    SCOPED_TRACE(zone);
    ::setenv("TZ", zone, 1);
    ::tzset();
    MoverHarness h;
    h.program.system.localDays = true;
    h.memory.AddVolume(h.card, std::uint64_t{1} << 30);
    h.memory.KeepCameraClock(h.card);
    h.memory.Put(h.card + "/DCIM/100CANON/IMG_0001.JPG", MakePicture(PictureKind::Jpeg, {"2023:06:01 23:50:00", "", ""}),
                 june1st + 23 * 3600 + 50 * 60);
    h.memory.Put(h.card + "/DCIM/100CANON/MVI_0002.MOV", "a movie without its time", june1st + 23 * 3600 + 55 * 60);
    h.memory.Put(h.card + "/DCIM/100CANON/MVI_0003.MP4", MakeMovie(june1st + 12 * 3600), june1st + 23 * 3600 + 57 * 60);
    h.memory.Put(h.card + "/PRIVATE/M4ROOT/CLIP/C0001.MP4", "a clip", june1st + 23 * 3600 + 58 * 60);
    h.memory.Put(h.card + "/PRIVATE/M4ROOT/CLIP/C0001M01.XML", MakeClipMetadata("2023-06-01T23:58:00+09:00"),
                 june1st + 23 * 3600 + 58 * 60);
    h.Options(/*autoRename=*/false, /*subfolder=*/true);
    for (const char* option : {"AllCameraFiles", "DateTakenFolders"}) h.module().objSettings().SaveParameter(option, true);
    h.program.window.QueueAnswer(BoxAnswer::OK);
    h.mover().StartOperation();
    EXPECT_EQ(h.Names(h.pictures), std::vector<std::string>{"230601"});
    EXPECT_EQ(h.Names(h.pictures + "/230601"),
              (std::vector<std::string>{"C0001.MP4", "C0001M01.XML", "IMG_0001.JPG", "MVI_0002.MOV", "MVI_0003.MP4"}));
  }
  if (saved)
    ::setenv("TZ", before.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace quillfen::testing
