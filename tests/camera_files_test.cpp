// Every camera file, through the real headless host on real folders: shots
// numbered together, name checks between shots, the camera's video folders,
// hidden files, and what the move says it leaves behind without the option.
#include <gtest/gtest.h>

#include "support/CardMoves.h"
#include "support/MoverHarness.h"

namespace quillfen::testing {
namespace {

class CameraFilesTest : public ::testing::Test {
 protected:
  HostSandbox host;
  const std::string card = host.Path("card");
  const std::string target = host.Path("pictures");
  void SetUp() override { HostSandbox::WriteFile(target + "/.keep", ""); }
  void Card(const std::string& relative, const std::string& bytes = "x") { HostSandbox::WriteFile(card + "/" + relative, bytes); }
  std::string Settings(const std::string& lines) const { return "Target=" + target + "\n" + lines; }
};

TEST_F(CameraFilesTest, AShotsFilesShareTheNextNumberAndKeepTheirExtensions) {
  for (const char* name : {"IMG_0001.JPG", "IMG_0001.CR2", "IMG_0002.JPG", "img_0002.cr2", "IMG_0002.xmp",
                           "IMG_0003.jpg", "MVI_0004.MOV", "._IMG_0001.JPG", "NOTES.TXT"})
    Card(std::string("DCIM/100CANON/") + name, name);
  HostSandbox::WriteFile(target + "/0007.JPG", "earlier");
  HostSandbox::WriteFile(target + "/0008.NEF", "earlier raw");
  const HostRun run = MoveCard(host, card, Settings("AllCameraFiles=True\nAutoRename=True\n"));
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(FilesBelow(target),
            (std::vector<std::string>{".keep", "0007.JPG", "0008.NEF", "0009.CR2", "0009.JPG", "0010.JPG", "0010.cr2",
                                      "0010.xmp", "0011.jpg", "0012.MOV", "0013.TXT"}));
  EXPECT_EQ(ReadFileAt(target + "/0010.cr2"), "img_0002.cr2");
  EXPECT_EQ(FilesBelow(card), (std::vector<std::string>{"DCIM/100CANON/._IMG_0001.JPG"}))
      << "a hidden file is no camera file; any other file of the picture folder is a shot of its own";
  EXPECT_TRUE(run.Has("movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoExtra</string>"
                      "<string>Files moved: 8 in 5 shots</string>"))
      << run.Log();
}

TEST_F(CameraFilesTest, NamesClashBetweenShotsNeverWithinOne) {
  Card("DCIM/100A/IMG_0001.JPG");
  Card("DCIM/100A/IMG_0001.CR2");
  const HostRun together = MoveCard(host, card, Settings("AllCameraFiles=True\nAutoRename=False\n"));
  EXPECT_EQ(FilesBelow(target), (std::vector<std::string>{".keep", "IMG_0001.CR2", "IMG_0001.JPG"})) << together.Log();

  Card("DCIM/100A/IMG_0002.CR2");
  Card("DCIM/101B/IMG_0002.CR2");
  const HostRun twice = MoveCard(host, card, Settings("AllCameraFiles=True\nAutoRename=False\n"));
  EXPECT_TRUE(twice.Has("box information OK title=Duplicate names")) << twice.Log();

  Card("DCIM/101B/IMG_0002.CR2", "gone");
  std::filesystem::remove(card + "/DCIM/101B/IMG_0002.CR2");
  Card("DCIM/100A/IMG_0001.JPG");
  const HostRun clash = MoveCard(host, card, Settings("AllCameraFiles=True\nAutoRename=False\n"));
  EXPECT_TRUE(clash.Has("box information OK title=Name conflict text=The destination already holds a picture with the "
                        "same name as one being moved:\\r\\n" + target + "/IMG_0001.CR2"))
      << clash.Log();
  EXPECT_EQ(ReadFileAt(card + "/DCIM/100A/IMG_0001.JPG"), "x");
}

TEST_F(CameraFilesTest, TheCamerasVideoFoldersAreTakenBesideDcim) {
  Card("DCIM/100MSDCF/DSC00001.ARW");
  Card("PRIVATE/M4ROOT/CLIP/C0001.MP4");
  Card("private/avchd/BDMV/STREAM/00000.MTS");
  Card("PRIVATE/M4ROOT/THMBNL/C0001T01.JPG");
  const HostRun run = MoveCard(host, card, Settings("AllCameraFiles=True\nAutoRename=False\n"));
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(FilesBelow(target),
            (std::vector<std::string>{".keep", "00000.MTS", "C0001.MP4", "C0001T01.JPG", "DSC00001.ARW"}));
  EXPECT_TRUE(std::filesystem::is_directory(card + "/PRIVATE/M4ROOT/CLIP")) << "the camera's own folders stay";
  EXPECT_TRUE(std::filesystem::is_directory(card + "/PRIVATE/M4ROOT/THMBNL"));
  EXPECT_EQ(FilesBelow(card), std::vector<std::string>{}) << "the clip's thumbnail goes with the clip";
}

// The picture's RAW file would stay behind: the user is asked first, and
// here moves the pictures alone.
TEST_F(CameraFilesTest, WithoutTheOptionThePicturesMoveAndTheRestIsCounted) {
  Card("DCIM/100CANON/IMG_0001.JPG");
  Card("DCIM/100CANON/IMG_0001.CR2");
  Card("PRIVATE/M4ROOT/CLIP/C0001.MP4");
  const HostRun run = MoveCard(host, card, Settings("AutoRename=True\n"), {"3", "OK", "OK"});
  EXPECT_EQ(FilesBelow(target), (std::vector<std::string>{".keep", "0001.JPG"}));
  EXPECT_TRUE(run.Has("choice question title=Other files of the same shots text=1 of the pictures to be moved belongs "
                      "to shots that have other files on the card (RAW, video, sidecars): 1 file."))
      << run.Log();
  EXPECT_TRUE(run.Has("movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoOperation</string>"
                      "<string>Left on the card: 1 RAW file, 1 video."))
      << run.Log();
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=The pictures have been moved, but the card is not "
                      "empty. Still on it: 1 RAW file, 1 video. -> OK"))
      << run.Log();
}

// A shot is never split: when one of its files cannot be moved and the user
// gives up, its files already moved go back under their own names.
TEST(CameraFilesShotTest, AShotGivenUpHalfWayGoesBackWhole) {
  MoverHarness h;
  h.dir.Write("card/DCIM/100A/IMG_0001.CR2", "raw");
  h.dir.Write("card/DCIM/100A/IMG_0001.JPG", "jpeg");
  h.dir.Write("card/DCIM/100A/IMG_0002.JPG", "next");
  h.module().objSettings().SaveParameter("AllCameraFiles", true);
  h.Options(/*autoRename=*/true, /*subfolder=*/false);
  h.overlay.failingMoves[h.dir.Path("card/DCIM/100A/IMG_0001.JPG")] = -1;
  h.program.window.QueueAnswer(BoxAnswer::OK);  // the confirmation; the failure gets Cancel
  h.mover().StartOperation();
  EXPECT_EQ(h.Names(h.pictures), std::vector<std::string>{});
  EXPECT_EQ(h.dir.Read("card/DCIM/100A/IMG_0001.CR2"), "raw");
  EXPECT_EQ(h.dir.Read("card/DCIM/100A/IMG_0001.JPG"), "jpeg");
  EXPECT_EQ(h.dir.Read("card/DCIM/100A/IMG_0002.JPG"), "next");
}

}  // namespace
}  // namespace quillfen::testing
